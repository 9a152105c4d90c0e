#include "PollCycle.h"

#include "CommandVocabulary.h"
#include "DeviceLink.h"
#include "Runtime.h"

#include <QLoggingCategory>

#include <utility>

Q_LOGGING_CATEGORY(lcPoll, "korvex.poll", QtWarningMsg)

namespace {
const QString kTimeOutText = QStringLiteral("Status: TimeOut");
const QString kQueryPrefix = QStringLiteral("Query: ");
} // namespace

PollCycle::PollCycle(Runtime& runtime, DeviceLink& link, QueryRing& ring, QObject* parent)
    : QObject(parent), m_rt(runtime), m_link(link), m_ring(ring), m_start(runtime.createTimer()),
      m_poll(runtime.createTimer()), m_watchdog(runtime.createTimer())
{
    m_start->setInterval(kStartFirstMs);
    m_poll->setInterval(m_pacingMs);
    m_watchdog->setInterval(m_timeoutMs);
    m_start->setCallback([this] { startTick(); });
    m_poll->setCallback([this] { pollTick(); });
    m_watchdog->setCallback([this] { watchdogTick(); });
}

PollCycle::~PollCycle() = default;

void PollCycle::begin()
{
    m_start->start(kStartFirstMs);
}

void PollCycle::setPacingMs(int ms)
{
    m_pacingMs = ms;
    m_poll->setInterval(pollIntervalMs());
}

void PollCycle::setTimeoutMs(int ms)
{
    m_timeoutMs = ms;
    m_watchdog->setInterval(ms);
}

void PollCycle::setPollIntervalMs(int ms)
{
    m_pollOverrideMs = ms;
    m_poll->setInterval(ms);
}

void PollCycle::setWatchdogIntervalMs(int ms)
{
    m_watchdog->setInterval(ms);
}

void PollCycle::restoreIntervals()
{
    m_pollOverrideMs = 0;
    m_poll->setInterval(m_pacingMs);
    m_watchdog->setInterval(m_timeoutMs);
}

void PollCycle::setPollSequence(const QByteArray& text)
{
    m_sequence.setText(text);
}

void PollCycle::rearmStart(int ms)
{
    m_poll->stop();
    m_start->stop();
    m_start->start(ms);
}

void PollCycle::setStopOption(bool on)
{
    if (m_stop == on)
        return;
    m_stop = on;
    Q_EMIT stopOptionChanged(on);
}

void PollCycle::setLongCommand(const QByteArray& command)
{
    m_long = command;
    m_longSent.clear();
    m_longRepeat = false;
}

void PollCycle::linkClosed()
{
    m_start->stop();
    m_watchdog->stop();
    m_poll->stop();
    setStopOption(true);
    // A command still pending was meant for the link that is gone; sent after a later
    // open it would be stale, or reach another antenna.
    m_oneShot.clear();
    setLongCommand({});
}

void PollCycle::restartWatchdog()
{
    m_watchdog->stop();
    m_watchdog->start();
}

bool PollCycle::polling() const
{
    return m_poll->isActive();
}

bool PollCycle::startArmed() const
{
    return m_start->isActive();
}

bool PollCycle::watchdogArmed() const
{
    return m_watchdog->isActive();
}

int PollCycle::startIntervalMs() const
{
    return m_start->interval();
}

int PollCycle::watchdogIntervalMs() const
{
    return m_watchdog->interval();
}

const QString& PollCycle::startTag() const
{
    return m_start->tag;
}

void PollCycle::startTick()
{
    if (m_start->tag.isEmpty()) {
        Q_EMIT statusLedsIdle();
        m_start->tag = QStringLiteral("1");
        m_start->setInterval(kStartRecheckMs);
    }
    if (!m_link.portOpen())
        return;
    m_start->stop();
    m_start->setInterval(kStartRecheckMs);
    m_link.setLinkLed(LedState::Green);
    if (m_stop) {
        // Polling stays paused, but the poll timer runs on: while "Stop" is on its tick
        // sends nothing but the diagnostics window's commands, and a command typed after a
        // screen change must not wait for ever, nor be dropped at the next re-check, while
        // "Last Sent" shows it.
        if (!m_sequence.isEmpty())
            m_start->start();
        if (!m_poll->isActive())
            m_poll->start(pollIntervalMs());
        return;
    }
    m_oneShot.clear();
    if (m_sequence.isEmpty())
        return;
    if (!m_poll->isActive())
        m_poll->start(pollIntervalMs());
}

void PollCycle::pollTick()
{
    if (!m_link.portOpen())
        return;
    QByteArray command;
    // The command lines this send completes, as the ring records them.
    QList<QByteArray> lines;
    bool oneShot = false;
    if (m_stop) {
        if (m_oneShot.isEmpty())
            return;
        command = takeOneShot();
        oneShot = true;
        lines = {command};
    } else if (std::optional<QByteArray> tool = takeToolTick()) {
        command = *tool;
        lines = {command};
    } else if (!m_oneShot.isEmpty()) {
        command = takeOneShot();
        oneShot = true;
        lines = {command};
    } else if (!m_long.isEmpty()) {
        command = takeLongPiece();
        m_longSent += command;
        lines = takeCompletedLines();
    } else {
        command = takeSequenceCommand();
        lines = {command};
    }
    if (command.isEmpty())
        return;
    dispatch(command, lines, oneShot);
}

// The unit acts on a command line at its CR, so the line counts as asked once the piece
// carrying the CR has gone; the LF after it is a byte the unit ignores, whichever piece
// it travels in. A long command may hold two lines ("&    " and "?   S"), each answered.
QList<QByteArray> PollCycle::takeCompletedLines()
{
    QList<QByteArray> lines;
    for (;;) {
        while (m_longSent.startsWith('\n'))
            m_longSent.remove(0, 1);
        const qsizetype cr = m_longSent.indexOf('\r');
        if (cr < 0)
            break;
        lines << m_longSent.left(cr) + vocab::kCrLf.toByteArray();
        m_longSent.remove(0, cr + 1);
    }
    // A command without a line end ("C", "D") is complete with its last character.
    if (m_long.isEmpty() && !m_longSent.isEmpty()) {
        lines << m_longSent;
        m_longSent.clear();
    }
    return lines;
}

std::optional<QByteArray> PollCycle::takeToolTick()
{
    for (const PollHooks::TickSource* source : {&m_hooks.sweepTick, &m_hooks.dumpTick, &m_hooks.uploadTick}) {
        if (!*source)
            continue;
        if (std::optional<QByteArray> command = (*source)())
            return command;
    }
    return std::nullopt;
}

QByteArray PollCycle::takeOneShot()
{
    return std::exchange(m_oneShot, QByteArray());
}

QByteArray PollCycle::takeLongPiece()
{
    if (m_longRepeat) {
        // The second of the two sends of a long line.
        QByteArray command = m_long;
        m_long.clear();
        m_longRepeat = false;
        return command;
    }
    const int length = int(m_long.size());
    if (length >= kLongWholeMin) {
        m_longRepeat = true;
        return m_long;
    }
    const int take = length < kLongPiece ? 1 : kLongPiece;
    QByteArray piece = m_long.left(take);
    m_long.remove(0, take);
    return piece;
}

QByteArray PollCycle::takeSequenceCommand()
{
    const PollSequence::Step step = m_sequence.next();
    if (step.atStart)
        Q_EMIT queryTextChanged(kQueryPrefix + QString::fromLatin1(m_sequence.text()));
    if (step.wrapped)
        m_link.setLinkLed(LedState::Off);
    return step.command;
}

void PollCycle::dispatch(const QByteArray& command, const QList<QByteArray>& lines, bool oneShot)
{
    qCDebug(lcPoll) << "send" << command;
    // Only what went out is recorded: a tick whose send was refused, or that came while a
    // reconnect was waiting, asked the unit nothing and must leave no slot behind.
    if (!m_link.commOut(command))
        return;
    for (const QByteArray& line : lines)
        record(line, oneShot);
    Q_EMIT commandSent(command);
}

void PollCycle::record(const QByteArray& line, bool oneShot)
{
    if (line.startsWith(vocab::kNoReplyPrefix)) {
        m_ring.oneShotSlot = -1;
        m_oneShot = vocab::wireForm(vocab::kDvbVersionFollowUp);
    } else if (vocab::expectsNoReply(line)) {
        m_ring.oneShotSlot = -1;
    } else {
        const int slot = m_ring.record(line);
        if (oneShot)
            m_ring.oneShotSlot = slot;
        enableWatchdog();
    }
}

void PollCycle::enableWatchdog()
{
    if (!m_watchdog->isActive())
        m_watchdog->start();
}

void PollCycle::watchdogTick()
{
    const int position = m_hooks.dumpPosition ? m_hooks.dumpPosition() : 0;
    if (position > kDumpWatchdogFrom && m_hooks.dumpWatchdogTick) {
        m_hooks.dumpWatchdogTick();
        return;
    }
    m_link.setLinkLed(LedState::Cyan);
    m_link.setStatusText(kTimeOutText);
    m_ring.timedOut = true;
    Q_EMIT replyTimedOut();
}
