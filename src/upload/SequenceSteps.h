#pragma once

#include "ModuleTable.h"

#include <QByteArray>
#include <QString>

#include <initializer_list>

class ModuleSelection;
class TerminalSession;

// The vocabulary every bootloader and upload sequence is written in: send a command with
// CR LF, bare or with CR alone; show a progress line; wait with the window alive; pause
// after draining the output; and ask which module item carries the check mark. Keeping
// it in one place keeps the sequences readable as the step lists they are.
//
// A send the session refuses (the port closed under the sequence: a cable pulled, a USB
// adapter gone) halts the sequence: the refusal's box is the one message, and every later
// step is skipped (no more boxes, waits or progress lines) until the next sequence begins.
class SequenceSteps {
public:
    static constexpr char kEsc = 27;
    static constexpr const char* kStoppedLine = "PT:  Stopped: the port closed";
    static constexpr const char* kStalledLine = "PT:  Stopped: the port stopped sending";
    // The one message when the output does not leave the port.
    static constexpr const char* kStalledText =
        "Error,\rThe port did not send its output within 10 s.\rCheck the cable and the handshaking setting.";

    // One user command. The outermost scope starts with a clean slate; if the port was lost
    // on the way it ends with kStoppedLine and cancelRequested set, so callers stop too.
    class Sequence {
    public:
        explicit Sequence(SequenceSteps& steps);
        ~Sequence();
        Sequence(const Sequence&) = delete;
        Sequence& operator=(const Sequence&) = delete;

    private:
        SequenceSteps& m_steps;
    };

    SequenceSteps(TerminalSession& session, ModuleSelection& selection);

    TerminalSession& session() const { return m_session; }
    ModuleSelection& selection() const { return m_selection; }

    // The command followed by CR LF. False when nothing could be sent (port closed); the
    // sequence is halted then.
    bool send(const QByteArray& text);
    // The characters alone.
    bool sendBare(const QByteArray& text);
    // The command followed by CR only.
    bool sendCr(const QByteArray& text);
    // A progress line on the terminal (the text, then CR LF).
    void show(const QString& line);
    // Text on the terminal with no line end.
    void showText(const QString& text);
    // ModalWait: the window stays responsive; ends after ms.
    void wait(int ms);
    // FlushAndPause: the output is drained first, then ms pass. Output that does not leave
    // the port halts the sequence with one message, as a refused send does.
    void pause(int ms);

    // Reply capture: everything received is appended to replyText while it is on.
    void captureOn();
    void captureOff();
    void clearReply();
    bool replyContains(const QString& text) const;
    int replyLength() const;

    bool checked(Module module) const;
    bool anyChecked(std::initializer_list<Module> modules) const;

    bool cancelRequested() const;
    void setCancelRequested(bool on);

    // True once a send was refused, or the output stalled, in the running sequence.
    bool halted() const { return m_halted; }
    // What halted it, for the verdict line: "the port closed" or "the port stopped sending".
    QString haltReason() const;
    // A sequence run outside a Sequence scope (the transfer) starts here.
    void resume() { m_halted = m_stalled = false; }

private:
    bool out(const QByteArray& bytes);

    TerminalSession& m_session;
    ModuleSelection& m_selection;
    bool m_halted = false;
    bool m_stalled = false; // halted because the output did not leave the port
    int m_depth = 0;
};
