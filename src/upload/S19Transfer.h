#pragma once

#include "SequenceSteps.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <vector>

class ModuleSelection;
class TerminalSession;

// SendS19File: streams a firmware file to the checked module, line by line, paced rather
// than acknowledged. The line shape follows how the module is reached: five-character
// pass-through pieces through the ACU, whole lines over USB or a service port. The file is
// read and every record checked before the first byte goes out.
class S19Transfer : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Completed,  // the file is exhausted (or the SPanel path met its short last line)
        Cancelled,  // the user pressed Cancel, or a wait for an echo gave up
        Refused,    // the file could not be read or holds a bad record: nothing was sent
        PortClosed, // a send was refused: the transfer stopped there, cancelRequested is set
    };

    static constexpr const char* kWindowCaption = "Upload";
    static constexpr const char* kWindowTextPrefix = "Uploading S19 File - ";
    // An echo wait without any answer for this long gives up (the legacy program waited forever).
    static constexpr int kEchoLimitMs = 10000;

    S19Transfer(TerminalSession& session, ModuleSelection& selection, QObject* parent = nullptr);

    Outcome sendS19File(const QString& path);
    bool isRunning() const { return m_running; }
    // Without its pauses the transfer still drains each piece but goes straight on. Only
    // tests switch them off, to show that a unit catches a sender that does not keep them.
    void setPausesKept(bool kept) { m_pausesKept = kept; }

    // The five-character pass-through messages one line becomes on its way through the ACU:
    // the routing prefix and four characters each; a shorter tail is padded with "00" and
    // cut to five characters.
    static std::vector<QByteArray> acuPieces(const QByteArray& line, char prefix);

Q_SIGNALS:
    void cancelWindowShown(const QString& caption, const QString& text);
    // Lines sent of the lines the file holds, and the time since the transfer began.
    void progress(qint64 linesSent, qint64 linesTotal, qint64 elapsedMs);
    void cancelWindowHidden();

private:
    using Lines = std::vector<QByteArray>;
    using Path = Outcome (S19Transfer::*)(const Lines&);

    // Which of the file's lines a path is given.
    enum class Take {
        All,
        AllButFirst, // the first line is the module's own header, never sent
        NoHeader,    // no "S0" line goes through the ACU
        PanelLines,  // up to the first short line that carries no data
    };
    struct Route {
        Take take;
        Path path;
    };
    // The path for the checked module item.
    Route chooseRoute() const;

    // The paths, one per way of reaching a module; each sends the lines it is given.
    Outcome acuRouted(const Lines& lines);
    Outcome shorvelPanel(const Lines& lines);
    Outcome shorvelPcu(const Lines& lines);
    Outcome servicePortPcu(const Lines& lines);
    Outcome vtPcu(const Lines& lines);
    Outcome wholeLines(const Lines& lines);
    Outcome pacedText(const Lines& lines);

    // Waits until more than moreThan received characters have been shown since mark.
    // False when the user cancelled, the port closed, or nothing came for kEchoLimitMs (then
    // the upload is stopped with a line saying so and cancelRequested set).
    bool awaitEcho(qint64 mark, qint64 moreThan);
    void lineSent();
    // The port went away under the transfer, or stopped sending: says at which line, and
    // stops what follows.
    Outcome portClosed();
    // FlushAndPause, unless the pauses are switched off. False when the output did not
    // leave the port and the sequence stopped.
    bool pause(int ms)
    {
        m_steps.pause(m_pausesKept ? ms : 0);
        return !m_steps.halted();
    }

    SequenceSteps m_steps;
    bool m_running = false;
    bool m_pausesKept = true;
    qint64 m_startNs = 0;
    qint64 m_linesSent = 0;
    qint64 m_linesTotal = 0;
};
