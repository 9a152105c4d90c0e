#include "ParameterDump.h"

#include "CommLog.h"
#include "DataFile.h"
#include "DumpRowFormatter.h"
#include "DumpTable.h"
#include "ModuleSelection.h"
#include "Prompter.h"
#include "Runtime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

constexpr char kEsc = 27;
constexpr const char* kTimedOut = "??";
constexpr int kAbortCancelled = 1;
constexpr int kIdentityQueries = 2;
constexpr int kModuleVersionQueries = 4;

const char* const kPcuDescriptions[ParameterDump::kPcuEntries] = {
    "Model Index", "CL Kp", "LV Kp", "AZ Kp", "CL Trim", "LV Trim",
    "HF Trim", "Nutara", "Scan Rate", "Error", "Sys ID", "Stat1"};

struct CommIfEntry {
    char letter;
    const char* description;
};
// The board lists its settings as "name = value" lines in this order; the rows take the
// values in turn.
const CommIfEntry kCommIfEntries[] = {
    {'I', "'IP Address"},          {'N', "'Net Mask"},           {'G', "'Gateway"},
    {'0', "\t'TCP Port 0"},        {'1', "\t'TCP Port 1"},       {'U', "\t'UDP Port"},
    {'C', "\t'Baud Rate M&C  (C)"}, {'A', "\t'Baud Rate NMEA (A)"}, {'B', "\t'Baud Rate NMEA (B)"},
};

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Where the text starts after the line ends left over from an earlier answer (the LF of a
// CR LF that came in a chunk of its own).
qsizetype answerStart(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && isLineEnd(text[i]))
        ++i;
    return i;
}

qsizetype lineEnd(const QString& text, qsizetype from = 0)
{
    for (qsizetype i = from; i < text.size(); ++i)
        if (isLineEnd(text[i]))
            return i;
    return -1;
}

// Received text with every line ended by CR LF, as the file's own lines are.
QByteArray fileLines(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    t.replace(QLatin1String("\r"), QLatin1String("\r\n"));
    if (!t.endsWith(QLatin1String("\r\n")))
        t += QLatin1String("\r\n");
    return t.toLatin1();
}

QString clock(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QLatin1Char('0')).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ParameterDump::ParameterDump(TerminalSession& session, ModuleSelection& selection, QObject* parent)
    : QObject(parent), m_session(session), m_selection(selection)
{
    connect(&m_session, &TerminalSession::cancelPressed, this, [this] {
        if (m_running)
            cancel();
    });
}

QString ParameterDump::dialogTitle(Kind kind)
{
    return kind == Kind::All ? QStringLiteral("Parameter DumpALL Text File")
                             : QStringLiteral("5000/30 Legacy Parameter Dump Text File");
}

QString ParameterDump::defaultFileName(Kind kind)
{
    return kind == Kind::All ? QStringLiteral("param_All.txt") : QStringLiteral("param_Leg.txt");
}

int ParameterDump::totalQueries() const
{
    const bool versions = !m_selection.isChecked(Module::USBpcu) && !m_selection.isChecked(Module::SPG2pcu);
    return kIdentityQueries + dump::kTerminalAcuEntries + kIdentityQueries + kPcuEntries +
           (versions ? kModuleVersionQueries : 0) + 1;
}

QString ParameterDump::progressLine(int done, int total)
{
    const int left = qMax(0, total - done);
    return QStringLiteral("Query %1 of %2    Time left (2 s a query): %3")
        .arg(qMin(done + 1, total))
        .arg(total)
        .arg(clock(qint64(left) * TerminalSession::kReplyWaitMs / 1000));
}

void ParameterDump::cancel()
{
    m_session.setAbortCode(kAbortCancelled);
}

bool ParameterDump::stopped() const
{
    return m_session.abortCode() != 0 || m_writeFailed;
}

void ParameterDump::run(Kind kind)
{
    if (m_session.isBusy())
        return;
    // The log and the dump would both be the record of this session; the technician
    // closes the log first, so neither file holds half of what the other expects.
    if (m_session.log().isOpen()) {
        m_session.prompter().error(
            QStringLiteral("Error,\rParameter Dump not allowed while a log file is open\r"
                           "Click 'Stop Log File' in the File menu, then dump again."));
        return;
    }
    Prompter::FileRequest request{dialogTitle(kind), QString::fromLatin1(kFilter), QString(), defaultFileName(kind),
                                  false};
    for (;;) {
        const QString path = m_session.prompter().saveFileName(request);
        if (path.isEmpty())
            return;
        if (QFileInfo::exists(path) &&
            m_session.prompter().ask(QStringLiteral("Replace existing file - ") + path + QLatin1Char('?'),
                                     Prompter::Buttons::YesNo, QString(), Prompter::Icon::Question) !=
                Prompter::Answer::Yes)
            continue;
        dumpTo(path);
        return;
    }
}

bool ParameterDump::dumpTo(const QString& path)
{
    if (m_session.log().isOpen() || m_running)
        return false;
    DataFile file;
    QString reason;
    if (!file.open(path, DataFile::Slot::Capture, &reason)) {
        m_session.prompter().error(QStringLiteral("Error,\r") + reason + QStringLiteral("\rChoose another file or folder."));
        return false;
    }
    BusyScope busy(m_session);
    m_running = true;
    m_writeFailed = false;
    m_done = 0;
    m_total = totalQueries();
    m_sink = [this, &file](const QByteArray& bytes) {
        if (file.write(bytes))
            return true;
        m_writeError = file.lastError();
        return false;
    };
    m_session.setAbortCode(0);
    m_session.setCancelRequested(false);
    m_session.setReplyCapture(true);
    Q_EMIT cancelWindowShown(QString::fromLatin1(kWindowCaption), QStringLiteral("Parameter Dump\r") + path);
    Q_EMIT progressChanged(progressLine(0, m_total), 0, m_total);

    if (writeIdentity("V") && writeIdentity("S")) {
        write(dump::terminalAcuHeader());
        writeAcuRows();
        writePcuSection();
        if (!m_selection.isChecked(Module::USBpcu) && !m_selection.isChecked(Module::SPG2pcu))
            writeModuleVersions();
        writeCommIfSection();
    }

    Q_EMIT cancelWindowHidden();
    const bool cancelled = m_session.abortCode() != 0;
    if (cancelled && !m_writeFailed)
        write(QByteArray(kCancelledLine) + "\r\n");
    file.close();
    // The last word on the screen says whether the file is whole.
    if (!cancelled && !m_writeFailed)
        m_session.screen().showLine(QStringLiteral("\r\nParameter Dump written to ") + path);
    else
        m_session.screen().showLine(QStringLiteral("\r\nParameter Dump stopped: ") + path + QStringLiteral(" is incomplete"));
    m_session.setReplyCapture(false);
    m_sink = nullptr;
    m_running = false;
    return !cancelled && !m_writeFailed;
}

bool ParameterDump::pcuDumpToScreen()
{
    if (m_running)
        return false;
    // A file of our own in the temporary folder: a fixed name there could be another
    // user's file, or the other instance's dump.
    QTemporaryFile tmp(QDir(QDir::tempPath()).filePath(QStringLiteral("QuillanTmp-XXXXXX.txt")));
    if (!tmp.open()) {
        m_session.prompter().error(QStringLiteral("Error,\r") + tmp.errorString() +
                                   QStringLiteral("\rCheck the temporary folder."));
        return false;
    }
    BusyScope busy(m_session);
    m_running = true;
    m_writeFailed = false;
    m_done = 0;
    m_total = kIdentityQueries + kPcuEntries;
    m_sink = [this, &tmp](const QByteArray& bytes) {
        if (tmp.write(bytes) == bytes.size() && tmp.flush())
            return true;
        m_writeError = tmp.errorString();
        return false;
    };
    m_session.setAbortCode(0);
    m_session.setReplyCapture(true);
    writePcuSection();
    m_sink = nullptr;
    tmp.seek(0);
    while (!tmp.atEnd()) {
        QByteArray line = tmp.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        m_session.screen().showLine(QString::fromLatin1(line));
    }
    m_session.setReplyCapture(false);
    m_running = false;
    return !stopped();
}

bool ParameterDump::write(const QByteArray& bytes)
{
    if (m_writeFailed || !m_sink)
        return false;
    if (m_sink(bytes))
        return true;
    // The rows asked after this could not be kept: stop, and say so once.
    m_writeFailed = true;
    m_session.prompter().error(QStringLiteral("Error,\r") + m_writeError +
                               QStringLiteral("\rThe dump stopped; the rows before it are in the file."));
    return false;
}

std::optional<QString> ParameterDump::ask(const QByteArray& question)
{
    if (stopped())
        return std::nullopt;
    m_session.clearReplyText();
    m_session.commOut(question + TerminalSession::kLineTerminator);
    const qint64 deadlineNs = m_session.runtime().nowNs() + qint64(TerminalSession::kReplyWaitMs) * 1000000;
    QString reply = m_session.awaitParamReply();
    if (stopped())
        return std::nullopt;
    // The first piece of an answer is not all of it on a slow line: the rest of its line
    // gets what is left of the 2 s, so a value is never cut short.
    const auto whole = [](const QString& text) { return lineEnd(text, answerStart(text)) >= 0; };
    if (reply != QLatin1String(kTimedOut) && !whole(reply)) {
        m_session.runtime().waitUntilNs(
            [this, &whole] { return whole(m_session.replyText()) || stopped(); },
            qMax<qint64>(0, deadlineNs - m_session.runtime().nowNs()));
        if (stopped())
            return std::nullopt;
        reply = m_session.replyText();
    }
    return reply;
}

QString ParameterDump::firstLine(const QString& reply) const
{
    const qsizetype start = answerStart(reply);
    const qsizetype end = lineEnd(reply, start);
    return reply.mid(start, end < 0 ? -1 : end - start);
}

void ParameterDump::counted()
{
    ++m_done;
    Q_EMIT progressChanged(progressLine(m_done, m_total), m_done, m_total);
}

bool ParameterDump::writeIdentity(const QByteArray& question)
{
    const auto reply = ask(question);
    if (!reply)
        return false;
    counted();
    return write("'" + firstLine(*reply).toLatin1() + "\r\n");
}

void ParameterDump::writeAcuRows()
{
    DumpRowFormatter rows(DumpRowFormatter::Style::Terminal);
    for (int i = 0; i < dump::kTerminalAcuEntries; ++i) {
        const dump::Entry entry = dump::terminalAcuEntry(i);
        for (;;) {
            const auto reply = ask(entry.query);
            if (!reply)
                return;
            const QByteArray value = firstLine(*reply).toLatin1();
            if (value.mid(2) == kBusyValue) {
                m_session.modalWait(kBusyRetryMs);
                continue;
            }
            counted();
            if (const auto row = rows.terminalAcuRow(i, value))
                write(*row);
            break;
        }
    }
}

void ParameterDump::writePcuSection()
{
    if (!writeIdentity("?V") || !writeIdentity("?S"))
        return;
    const QByteArray header = "'PCU Parameter Dump, Legacy Mode\r\n'CMD\tValue\tDescription\r\n";
    write(header);
    m_session.screen().showText(QString::fromLatin1(header));
    for (int j = 0; j < kPcuEntries; ++j) {
        const char code = char('0' + j);
        const auto reply = ask(QByteArray(1, kEsc) + 'n' + code + "999");
        if (!reply)
            return;
        counted();
        write(QByteArray("n") + code + '\t' + firstLine(*reply).mid(1, 3).toLatin1() + "\t'" +
              kPcuDescriptions[j] + "\r\n");
    }
}

void ParameterDump::writeModuleVersions()
{
    const QByteArray questions[] = {"]0411", "<0411", ">0411", "[V"};
    for (const QByteArray& q : questions) {
        if (stopped())
            return;
        // A blank line before the motor driver's and the below-deck modem's rows.
        if (q == "]0411" || q == "<0411")
            write("\r\n");
        if (!writeIdentity(q))
            return;
    }
}

void ParameterDump::writeCommIfSection()
{
    if (!ask("[?"))
        return;
    m_session.modalWait(kListingWaitMs);
    if (stopped())
        return;
    counted();
    const QString listing = m_session.replyText();
    if (listing.startsWith(QLatin1String("'C"))) {
        write(fileLines(listing));
        return;
    }
    if (!listing.startsWith(QLatin1String("IP")))
        return;
    write("'CommIF Parameter Dump, Legacy mode\r\n'CMD\tValue\t\tDescription\r\n");
    qsizetype at = 0;
    for (const CommIfEntry& e : kCommIfEntries) {
        QString value;
        const qsizetype eq = listing.indexOf(QLatin1Char('='), at);
        if (eq >= 0) {
            const qsizetype end = lineEnd(listing, eq + 1);
            value = listing.mid(eq + 1, end < 0 ? -1 : end - eq - 1);
            at = end < 0 ? listing.size() : end;
        } else {
            at = listing.size();
        }
        write(QByteArray("[") + e.letter + '\t' + value.toLatin1() + '\t' + e.description + "\r\n");
    }
}
