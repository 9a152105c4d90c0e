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
class SequenceSteps {
public:
    static constexpr char kEsc = 27;

    SequenceSteps(TerminalSession& session, ModuleSelection& selection);

    TerminalSession& session() const { return m_session; }
    ModuleSelection& selection() const { return m_selection; }

    // The command followed by CR LF. False when nothing could be sent (port closed).
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
    // FlushAndPause: the output is drained first, then ms pass.
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

private:
    TerminalSession& m_session;
    ModuleSelection& m_selection;
};
