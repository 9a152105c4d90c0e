#pragma once

#include "DumpRowFormatter.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class DataFile;
class KorvexSession;
class ToolProgress;

// The legacy parameter dump: one query per parameter of the ACU (and the PCU's gains and
// identity), one row per reply in the data file that is open. It owns the poll tick while
// it sends its list, reads every reply through the parser's `fmtParam`, and always ends by
// closing the file: at the end of its table, on Cancel, when the unit stops answering, when
// the file refuses a write, or when the link goes away.
class ParameterDump : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 80;
    static constexpr int kCancelWatchdogMs = 100;
    // From this reply on the pedestal unit is read.
    static constexpr int kPcuIndex = 73;
    // Stand-ins in a row, with no byte from the unit between them, after which the unit
    // counts as gone: a whole ring of replies lost.
    static constexpr int kSilentPlaceholders = 32;
    static const QByteArray kPlaceholder; // "????" CR
    static const QString kReadingQvr;     // "Reading QVR Parameters"
    static const QString kReadingPcu;     // "Reading PCU Parameters"
    static const QString kPortClosed;     // the three-line message of a closed port
    static const QString kLogOpen;
    static const QString kTimedOut;
    static const QString kFilter;
    static const QString kDefaultName; // "param_Leg.txt"

    enum class End { None, Completed, Cancelled, TimedOut, WriteFailed, LinkClosed };

    ParameterDump(KorvexSession& session, ToolProgress& progress, QObject* parent = nullptr);
    ~ParameterDump() override;

    // Starts the dump on a file already open (a data log, a screen capture, or the dump's
    // own file): the header goes out at once, the rows follow as the replies come, and the
    // end closes the file. On a closed link it ends at once with the cancel note. False (and
    // nothing written) when a dump or an upload runs or the file is not open.
    bool start(DataFile& file);
    // "Parameter Dump (mA999, nA999, [?)": checks, asks for the file, opens it in the
    // capture slot of `file` and starts.
    void userCommand(DataFile& file);
    // The progress window's Cancel: the dump ends with its next reply (or stand-in).
    void cancel();

    bool running() const { return m_file != nullptr; }
    // Character position reached in the command list (0: no dump).
    int position() const { return m_position; }
    // Index of the next reply to format (-1: not formatting).
    int replyIndex() const;
    End lastEnd() const { return m_lastEnd; }
    // Another activity that must not overlap a dump (the upload) says when it runs.
    void setBlockedBy(std::function<bool()> busy) { m_blockedBy = std::move(busy); }

    // The poll cycle's and the parser's calls (public so that a test can drive them).
    std::optional<QByteArray> tick();
    void fmtParam(const QByteArray& reply, const QByteArray& query);
    void watchdogTick();

Q_SIGNALS:
    void runningChanged(bool running);
    // The file is closed. `cancelled` is true for every end but the complete one.
    void ended(bool cancelled);

private:
    void onCommandSent(const QByteArray& command);
    // Writes the row of the current reply index; false when that ended the dump.
    bool writeRow(const QByteArray& reply, const QByteArray& query);
    void finish(End end);

    KorvexSession& m_session;
    ToolProgress& m_progress;
    DumpRowFormatter m_formatter;
    DataFile* m_file = nullptr;
    QByteArray m_list;
    int m_position = 0;
    QByteArray m_pending; // what the last tick handed out, not yet seen on the wire
    bool m_cancel = false;
    int m_silent = 0;
    End m_lastEnd = End::None;
    std::function<bool()> m_blockedBy;
};
