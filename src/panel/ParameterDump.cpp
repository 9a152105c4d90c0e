#include "ParameterDump.h"

#include "DataFile.h"
#include "DumpTable.h"
#include "KorvexSession.h"
#include "Prompter.h"
#include "ToolProgress.h"

#include <QFileInfo>

const QByteArray ParameterDump::kPlaceholder = QByteArrayLiteral("????\r");
const QString ParameterDump::kReadingQvr = QStringLiteral("Reading QVR Parameters");
const QString ParameterDump::kReadingPcu = QStringLiteral("Reading PCU Parameters");
const QString ParameterDump::kPortClosed = QStringLiteral(
    "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect.");
const QString ParameterDump::kLogOpen =
    QStringLiteral("Error,\rParameter Dump is not supported while a log file is currently open");
const QString ParameterDump::kTimedOut =
    QStringLiteral("Error,\rTimeout while reading QVR Parameters\rClosing Log / Parameter file");
const QString ParameterDump::kFilter =
    QStringLiteral("Data (*.csv, *.txt)|*.csv;*.txt|Text (*.txt, *.prn)|*.txt;*.prn|All files (*.*)|*.*");
const QString ParameterDump::kDefaultName = QStringLiteral("param_Leg.txt");

ParameterDump::ParameterDump(KorvexSession& session, ToolProgress& progress, QObject* parent)
    : QObject(parent), m_session(session), m_progress(progress)
{
    PollHooks& poll = m_session.pollCycle().hooks();
    poll.dumpTick = [this] { return tick(); };
    poll.dumpPosition = [this] { return m_position; };
    poll.dumpWatchdogTick = [this] { watchdogTick(); };
    m_session.parser().hooks().fmtParam = [this](const QByteArray& reply, const QByteArray& query) {
        fmtParam(reply, query);
    };
    connect(&m_session.pollCycle(), &PollCycle::commandSent, this, &ParameterDump::onCommandSent);
    connect(&m_session.link(), &DeviceLink::received, this, [this] { m_silent = 0; });
    // Without a link nothing more will come: waiting would hold the file open for ever.
    connect(&m_session.link(), &DeviceLink::linkClosed, this, [this] {
        if (running())
            finish(End::LinkClosed);
    });
    connect(&m_progress, &ToolProgress::cancelRequested, this, &ParameterDump::cancel);
}

ParameterDump::~ParameterDump()
{
    PollHooks& poll = m_session.pollCycle().hooks();
    poll.dumpTick = nullptr;
    poll.dumpPosition = nullptr;
    poll.dumpWatchdogTick = nullptr;
    m_session.parser().hooks().fmtParam = nullptr;
}

int ParameterDump::replyIndex() const
{
    return m_session.queryRing().dumpFormatting;
}

bool ParameterDump::start(DataFile& file)
{
    if (running() || !file.isOpen() || (m_blockedBy && m_blockedBy()))
        return false;
    m_file = &file;
    m_list = dump::panelCommandList();
    m_formatter.reset();
    m_pending.clear();
    m_cancel = false;
    m_silent = 0;
    m_lastEnd = End::None;
    QueryRing& ring = m_session.queryRing();
    ring.dumpStart = -1;
    ring.dumpFormatting = -1;
    Q_EMIT runningChanged(true);
    if (!m_file->write(dump::panelHeader())) {
        finish(End::WriteFailed);
        return true;
    }
    // Without a link no tick would ever come: the file ends at once, saying so.
    if (!m_session.link().portOpen()) {
        finish(End::LinkClosed);
        return true;
    }
    m_position = 1;
    m_session.pollCycle().setPollIntervalMs(kTickMs);
    m_progress.setLabel(kReadingQvr);
    m_progress.setValue(0);
    m_progress.show();
    return true;
}

void ParameterDump::userCommand(DataFile& file)
{
    if (running() || (m_blockedBy && m_blockedBy()))
        return;
    Prompter& prompter = m_session.prompter();
    if (!m_session.link().portOpen()) {
        prompter.error(kPortClosed);
        return;
    }
    if (file.slot() == DataFile::Slot::DataLog) {
        prompter.error(kLogOpen);
        return;
    }
    QString path;
    for (;;) {
        path = prompter.saveFileName({QString(), kFilter, QString(), kDefaultName, false});
        if (path.isEmpty())
            return;
        if (!QFileInfo::exists(path))
            break;
        const Prompter::Message replace{QStringLiteral("Replace existing file - ") + path + QLatin1Char('?'),
                                        QString(),
                                        Prompter::Icon::Question,
                                        Prompter::Buttons::YesNo,
                                        {}};
        if (prompter.message(replace) == Prompter::Answer::Yes)
            break;
    }
    QString error;
    if (!file.open(path, DataFile::Slot::Capture, &error)) {
        prompter.error(error);
        return;
    }
    start(file);
}

void ParameterDump::cancel()
{
    if (!running())
        return;
    m_cancel = true;
    m_session.pollCycle().setWatchdogIntervalMs(kCancelWatchdogMs);
    // No reply will come to end it on a closed link.
    if (!m_session.link().portOpen())
        finish(End::Cancelled);
}

std::optional<QByteArray> ParameterDump::tick()
{
    if (m_position == 0)
        return std::nullopt;
    // The whole list is out: the tick stays the dump's while the last replies come.
    if (m_position > m_list.size())
        return QByteArray();
    // A unit that has stopped answering must not make the walk overwrite the ring: every
    // row takes its command letters from its slot, and a slot filled again 32 commands
    // later would put another parameter's letters on it. The walk waits until the stand-ins
    // have made room.
    if (m_session.queryRing().outstanding() >= QueryRing::kSlots - 1)
        return QByteArray();
    if (m_list[m_position - 1] == '!')
        m_pending = m_list.mid(m_position, 5) + "\r\n";
    else
        m_pending = m_list.mid(m_position - 1, 1);
    return m_pending;
}

// The walk moves on only once its command has gone out, so a send the link refused is
// asked again on the next tick instead of leaving a row without its query.
void ParameterDump::onCommandSent(const QByteArray& command)
{
    if (m_position == 0 || m_pending.isEmpty() || command != m_pending)
        return;
    QueryRing& ring = m_session.queryRing();
    if (m_position == 1)
        ring.dumpStart = QueryRing::wrap(ring.sendIndex - 1);
    m_position += m_pending.size() > 1 ? 6 : 1;
    m_pending.clear();
}

namespace {

// The parameter letter a reply to "m" + letter names ("mB025" names "B"), or 0.
char parameterLetter(const QByteArray& text)
{
    const qsizetype k = text.indexOf('m');
    return k >= 0 && k + 1 < text.size() ? text[k + 1] : '\0';
}

} // namespace

void ParameterDump::fmtParam(const QByteArray& reply, const QByteArray& query)
{
    if (!running() || replyIndex() < 0)
        return;
    QueryRing& ring = m_session.queryRing();
    QByteArray asked = query;
    // Every parameter reply names its letter. One that names the letter of a later query
    // means the replies in between were lost on the line: their rows get the stand-in, so
    // that this value, and every one after it, stays on its own parameter. Sent back, a
    // value on the wrong row would be written into another parameter.
    const char named = asked.startsWith('m') ? parameterLetter(reply) : '\0';
    if (named != '\0' && asked.size() >= 2 && asked[1] != named) {
        int ahead = -1;
        for (int i = 0; i < ring.outstanding() && ahead < 0; ++i) {
            const QByteArray& later = ring.entries[size_t(QueryRing::wrap(ring.receiveIndex + i))];
            if (later.startsWith('m') && later.size() >= 2 && later[1] == named)
                ahead = i;
        }
        for (int i = 0; i <= ahead; ++i) {
            if (!writeRow(kPlaceholder.chopped(1), asked))
                return;
            asked = ring.takeQuery();
        }
    }
    writeRow(reply, asked);
}

bool ParameterDump::writeRow(const QByteArray& reply, const QByteArray& query)
{
    QueryRing& ring = m_session.queryRing();
    int index = ring.dumpFormatting;
    const QByteArray row = m_formatter.panelRow(index, reply, query);
    if (!row.isEmpty() && !m_file->write(row)) {
        finish(End::WriteFailed);
        return false;
    }
    ring.dumpFormatting = ++index;
    if (index == kPcuIndex)
        m_progress.setLabel(kReadingPcu);
    m_progress.setValue(index);
    if (dump::panelCode(index) == dump::kEndOfDump)
        finish(End::Completed);
    else if (m_cancel)
        finish(End::Cancelled);
    return running();
}

// The reply watchdog past the first few commands: a reply that did not come is stood in
// for by "????", so the file keeps one row per parameter; a unit that answered nothing of
// this dump, or has been silent for a whole ring of stand-ins, has stopped.
void ParameterDump::watchdogTick()
{
    if (!running())
        return;
    if (replyIndex() < 0 || ++m_silent > kSilentPlaceholders) {
        finish(End::TimedOut);
        return;
    }
    m_session.pollCycle().setWatchdogIntervalMs(kCancelWatchdogMs);
    m_session.parser().receive(kPlaceholder);
}

void ParameterDump::finish(End end)
{
    DataFile* file = std::exchange(m_file, nullptr);
    // A dump cut short says so at its end, whatever cut it.
    if (end == End::Cancelled || end == End::LinkClosed)
        file->write(dump::panelCancelLines());
    const QString writeError = file->lastError();
    file->close();
    QueryRing& ring = m_session.queryRing();
    ring.dumpFormatting = -1;
    ring.dumpStart = -1;
    // The queries a silent unit left unanswered are lost: the next line it sends answers
    // the newest one, as after any time-out, instead of meeting a stale query of the dump.
    if (end == End::TimedOut)
        ring.timedOut = true;
    m_position = 0;
    m_pending.clear();
    m_cancel = false;
    m_lastEnd = end;
    m_session.pollCycle().restoreIntervals();
    m_progress.hide();
    Q_EMIT runningChanged(false);
    Q_EMIT ended(end != End::Completed);
    // The box comes last: while it waits for its click the poll cycle runs on, and finds the
    // dump already over.
    if (end == End::TimedOut)
        m_session.prompter().error(kTimedOut);
    else if (end == End::WriteFailed)
        m_session.prompter().error(writeError);
}
