#pragma once

#include "SequenceSteps.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
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
        Stopped,    // the automatic sequence saw the module's error marker and stopped it
    };

    // What the automatic sequence changes in the transfer: it watches the received text for
    // the module's error marker while it sends, keeps its own pauses at the end, and judges
    // the module's closing word itself rather than announcing completion or restarting it.
    struct AutoChecks {
        // Asked after every 20th line (when set); true stops the transfer.
        std::function<bool()> markerSeen;
        int tailPauseMs = 1000;
        // Sent twice after the tail pause, 100 ms apart, behind the ACU.
        QByteArray tailBurstEnd = "!   ";
        // Lines sent whole: an empty line and a short pause close the file, nothing else.
        bool closeWithEmptyLine = false;
    };

    static constexpr const char* kWindowCaption = "Upload";
    static constexpr const char* kWindowTextPrefix = "Uploading S19 File - ";
    // An echo wait without any answer for this long gives up (the legacy program waited forever).
    static constexpr int kEchoLimitMs = 10000;

    S19Transfer(TerminalSession& session, ModuleSelection& selection, QObject* parent = nullptr);

    Outcome sendS19File(const QString& path);
    // The same, under the automatic sequence's checks.
    Outcome sendS19File(const QString& path, const AutoChecks& checks);
    bool isRunning() const { return m_running; }
    // The display length before the last line went out, and the bytes of the lines sent.
    qint64 lastLineMark() const { return m_lastLineMark; }
    qint64 bytesSent() const { return m_bytesSent; }
    qint64 linesSent() const { return m_linesSent; }
    qint64 linesTotal() const { return m_linesTotal; }
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
    void lineSent(const QByteArray& line);
    // After every 20th line under the automatic checks: true when the marker stops the file.
    bool markerCheck() const;
    Outcome closeWholeLines();
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
    qint64 m_bytesSent = 0;
    qint64 m_lastLineMark = 0;
    const AutoChecks* m_auto = nullptr;
};
