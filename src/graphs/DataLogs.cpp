#include "DataLogs.h"

#include "CaptureBuffer.h"
#include "CaptureLine.h"
#include "CaptureTitles.h"
#include "GraphTarget.h"
#include "Prompter.h"
#include "Runtime.h"

#include <QFileInfo>

const QString DataLogs::kLogFilter =
    QStringLiteral("Data (*.csv) |*.csv|Text (*.txt, *.prn) |*.txt;*.prn|All files (*.*)|*.*");
const QString DataLogs::kScreenFilter =
    QStringLiteral("Data (*.csv, *.txt) |*.csv;*.txt|Text (*.txt, *.prn) |*.txt;*.prn|All files (*.*)|*.*");
const QString DataLogs::kPortClosed = QStringLiteral(
    "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect.");
// The log and the capture share one data file: a capture written now would end the log
// with a dump in the middle of the session, so it waits until the log is closed.
const QString DataLogs::kSaveWhileLogging =
    QStringLiteral("Error,\rSave Screen Data is not supported while a log file is currently open\rClose the "
                   "data log first.");
const QString DataLogs::kDumpStillWriting = QStringLiteral(
    "Error,\rA parameter dump is still writing its data file\rWait for it to finish, or cancel it.");
// A replayed line is plotted like a live one, and would land in the open log.
const QString DataLogs::kLoadWhileLogging = QStringLiteral(
    "Error,\rLoad Data Log is not supported while a log file is currently open\rClose the data log first.");

namespace {
const QString kStartLog = QStringLiteral("Start Data Log");
const QString kCloseLog = QStringLiteral("Close Data Log");

QByteArray fileBytes(const QString& line)
{
    return line.toLatin1() + capture::kLineEnd;
}
} // namespace

DataLogs::DataLogs(DataFile& file, Prompter& prompter, GraphTarget& graph, Hooks hooks, QObject* parent)
    : QObject(parent), m_file(file), m_prompter(prompter), m_graph(graph), m_hooks(std::move(hooks))
{
}

QString DataLogs::menuCaption() const
{
    return m_logPath.isEmpty() ? QStringLiteral("Start Data &Log") : kCloseLog;
}

QString DataLogs::buttonCaption() const
{
    return m_logPath.isEmpty() ? kStartLog : kCloseLog;
}

QString DataLogs::busyText() const
{
    if (m_state == State::Logging)
        return kSaveWhileLogging;
    if (m_state == State::Dumping || m_file.isOpen())
        return kDumpStillWriting;
    return QString();
}

QString DataLogs::loadRefusal() const
{
    return m_state == State::Logging ? kLoadWhileLogging : busyText();
}

void DataLogs::toggleLog()
{
    if (m_state == State::Logging)
        closeLog();
    else
        startLog();
}

void DataLogs::startLog()
{
    if (m_state != State::Idle || (m_hooks.replaying && m_hooks.replaying()))
        return;
    if (m_file.isOpen()) {
        m_prompter.error(kDumpStillWriting);
        return;
    }
    if (m_hooks.portOpen && !m_hooks.portOpen()) {
        m_prompter.error(kPortClosed);
        return;
    }
    const QString path = chooseFile(kLogFilter);
    if (path.isEmpty())
        return;
    QString error;
    if (!startLogAt(path, &error))
        m_prompter.error(error);
}

bool DataLogs::startLogAt(const QString& path, QString* error)
{
    if (m_state != State::Idle || m_file.isOpen()) {
        if (error)
            *error = busyText();
        return false;
    }
    if (!m_file.open(path, DataFile::Slot::DataLog, error))
        return false;
    const std::optional<QString> title = capture::dataLogTitleLine(m_graph.mode(), m_notes);
    if (title && !m_file.write(fileBytes(*title))) {
        if (error)
            *error = m_file.lastError();
        m_file.close();
        return false;
    }
    m_logPath = path;
    m_state = State::Logging;
    m_writeFailureShown = false;
    Q_EMIT changed();
    return true;
}

void DataLogs::appendCaptureLine(const QString& line)
{
    // Only while logging: once the dump has begun, the rows after the data lines are the
    // dump's, and a late sample between them would break the file apart.
    if (m_state != State::Logging)
        return;
    if (m_file.write(fileBytes(line)) || m_writeFailureShown)
        return;
    // Once per log: the box must not repeat at every sample of a full disk. The next
    // lines are still tried, so the log goes on as soon as the disk takes them again.
    m_writeFailureShown = true;
    m_prompter.error(QStringLiteral("Error,\rThe data log could not be written: ") + m_file.lastError() +
                     QStringLiteral("\rLines are missing from ") + m_logPath);
}

void DataLogs::closeLog()
{
    if (m_state != State::Logging)
        return;
    beginDump();
}

void DataLogs::saveScreen()
{
    if (m_hooks.replaying && m_hooks.replaying())
        return;
    if (m_state != State::Idle || m_file.isOpen()) {
        m_prompter.error(busyText());
        return;
    }
    if (m_hooks.portOpen && !m_hooks.portOpen()) {
        m_prompter.error(kPortClosed);
        return;
    }
    const QString path = chooseFile(kScreenFilter);
    if (path.isEmpty())
        return;
    QString error;
    if (!m_file.open(path, DataFile::Slot::Capture, &error)) {
        m_prompter.error(error);
        return;
    }
    const CaptureBuffer& buffer = m_graph.buffer();
    QByteArray bytes = fileBytes(capture::screenCaptureTitleLine(m_graph.mode(), m_notes));
    for (int slot : buffer.stripReplaySlots())
        bytes += fileBytes(buffer.line(slot));
    if (!m_file.write(bytes)) {
        m_prompter.error(m_file.lastError());
        m_file.close();
        return;
    }
    beginDump();
}

void DataLogs::beginDump()
{
    m_state = State::Dumping;
    Q_EMIT changed();
    // Without a link the dump could never end, and the file would stay open for good:
    // the data lines are complete, so the file is closed without the dump.
    if (m_hooks.startDump && (!m_hooks.portOpen || m_hooks.portOpen()))
        m_hooks.startDump(m_file);
    else
        dumpEnded(false);
}

void DataLogs::dumpEnded(bool /*cancelled*/)
{
    if (m_state != State::Dumping)
        return;
    // The dump closes the file it wrote; closing again is harmless and makes sure of it.
    m_file.close();
    m_logPath.clear();
    m_state = State::Idle;
    Q_EMIT changed();
}

void DataLogs::finishForExit(Runtime& runtime, int timeoutMs)
{
    closeLog();
    if (m_state == State::Dumping &&
        !runtime.waitUntil([this] { return m_state != State::Dumping; }, timeoutMs))
        dumpEnded(true);
}

QString DataLogs::chooseFile(const QString& filter)
{
    const Prompter::FileRequest request{QString(), filter, QString(), QString(), false};
    for (;;) {
        const QString path = m_prompter.saveFileName(request);
        if (path.isEmpty())
            return QString();
        if (!QFileInfo::exists(path))
            return path;
        const Prompter::Answer a =
            m_prompter.ask(QStringLiteral("Replace existing file - ") + path + QLatin1Char('?'),
                           Prompter::Buttons::YesNo, QString(), Prompter::Icon::Question);
        if (a == Prompter::Answer::Yes)
            return path;
    }
}
