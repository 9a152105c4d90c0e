#include "PollCycle.h"

#include "CommandVocabulary.h"
#include "DeviceLink.h"
#include "Runtime.h"

#include <QLoggingCategory>

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
    m_poll->setInterval(ms);
}

void PollCycle::setTimeoutMs(int ms)
{
    m_timeoutMs = ms;
    m_watchdog->setInterval(ms);
}

void PollCycle::setWatchdogIntervalMs(int ms)
{
    m_watchdog->setInterval(ms);
}

void PollCycle::restoreIntervals()
{
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
    m_oneShot.clear();
    m_start->stop();
    m_start->setInterval(kStartRecheckMs);
    m_link.setLinkLed(LedState::Green);
    if (m_sequence.isEmpty() || m_stop) {
        if (!m_sequence.isEmpty())
            m_start->start();
        return;
    }
    if (!m_poll->isActive())
        m_poll->start(m_pacingMs);
}

void PollCycle::pollTick()
{
    if (!m_link.portOpen())
        return;
    QByteArray command;
    // What the ring records for this send; null while a long command is only partly out.
    QByteArray record;
    if (m_stop) {
        if (m_oneShot.isEmpty())
            return;
        command = record = takeOneShot();
    } else if (std::optional<QByteArray> tool = takeToolTick()) {
        command = record = *tool;
    } else if (!m_oneShot.isEmpty()) {
        command = record = takeOneShot();
    } else if (!m_long.isEmpty()) {
        command = takeLongPiece();
        m_longSent += command;
        // A piece that ends a command line (or the last piece) completes it: the unit
        // answers once per command, so the ring records the command once, not its pieces.
        if (m_longRepeat || command.endsWith('\n') || m_long.isEmpty()) {
            record = m_longSent;
            m_longSent.clear();
        }
    } else {
        command = record = takeSequenceCommand();
    }
    if (command.isEmpty())
        return;
    dispatch(command, !record.isNull(), record);
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
    QByteArray command = m_oneShot;
    m_oneShot.clear();
    m_ring.oneShotSlot = m_ring.sendIndex;
    return command;
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

void PollCycle::dispatch(const QByteArray& command, bool completesCommand, const QByteArray& recordAs)
{
    if (completesCommand) {
        if (recordAs.startsWith(vocab::kNoReplyPrefix)) {
            m_ring.oneShotSlot = -1;
            m_oneShot = vocab::wireForm(vocab::kDvbVersionFollowUp);
        } else if (vocab::expectsNoReply(recordAs)) {
            m_ring.oneShotSlot = -1;
        } else {
            m_ring.record(recordAs);
            enableWatchdog();
        }
    }
    qCDebug(lcPoll) << "send" << command;
    m_link.commOut(command);
    Q_EMIT commandSent(command);
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
}
