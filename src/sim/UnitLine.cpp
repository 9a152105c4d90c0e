#include "UnitLine.h"

#include <Runtime.h>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSimLine, "qvrsim.line", QtWarningMsg)

UnitLine::UnitLine(Runtime& runtime, quint64 seed, QObject* parent)
    : QObject(parent), m_rt(runtime),
      // The fault stream gets its own sequence so that switching a fault on does not
      // change what the unit itself does.
      m_output(runtime, this, seed ^ 0x5EED0F0A17ULL, [this](const QByteArray& bytes) { sendToHost(bytes); })
{
    m_output.setHangUpHandler([this] { hangUpNow(kHangUpLingerMs); });
}

UnitLine::~UnitLine() = default;

void UnitLine::peerReceived(const QByteArray& bytes)
{
    // A unit that has hung up hears nothing more on this connection.
    if (m_output.isHalted())
        return;
    received(bytes);
}

void UnitLine::peerReceivedOnWire(const QByteArray& bytes, const WireTiming& timing)
{
    if (m_output.isHalted())
        return;
    receivedOnWire(bytes, timing);
}

void UnitLine::peerConnected()
{
    m_connected = true;
    ++m_connection;
    m_output.clear();
    if (!m_greeting.isEmpty())
        m_output.sendRaw(m_greeting + '\r');
    armTimedHangUp();
    connected();
}

void UnitLine::peerDisconnected()
{
    m_connected = false;
    ++m_connection;
    m_output.clear();
    disconnected();
}

void UnitLine::armTimedHangUp()
{
    // A later setting (or switching the knob off) replaces any timer armed before.
    ++m_timedSerial;
    const int ms = m_output.faults().hangUpAfterMs;
    if (!m_connected || ms <= 0)
        return;
    const quint64 connection = m_connection;
    const quint64 serial = m_timedSerial;
    m_rt.singleShot(ms, this, [this, connection, serial] {
        if (connection != m_connection || serial != m_timedSerial || m_output.isHalted())
            return;
        m_output.halt();
        hangUpNow(0);
    });
}

void UnitLine::hangUpNow(int afterMs)
{
    qCInfo(lcSimLine) << "hanging up" << (afterMs > 0 ? "after the last reply" : "on time");
    const quint64 connection = m_connection;
    auto drop = [this, connection] {
        if (connection != m_connection)
            return;
        Q_EMIT hungUp();
        if (m_hangUp)
            m_hangUp();
    };
    // Deferred in any case: the host may tear the line down, and this runs inside the
    // unit's own handling of a command or a timer.
    m_rt.singleShot(afterMs, this, drop);
}

void UnitLine::changeFaults(const std::function<void(SimFaults&)>& change)
{
    SimFaults f = m_output.faults();
    change(f);
    setFaults(f);
}

void UnitLine::setFaults(const SimFaults& faults)
{
    const bool rearm = faults.hangUpAfterMs != m_output.faults().hangUpAfterMs;
    m_output.setFaults(faults);
    if (rearm)
        armTimedHangUp();
}

void UnitLine::setDropEvery(int n)
{
    changeFaults([n](SimFaults& f) { f.dropEvery = qMax(0, n); });
}

void UnitLine::setReplyDelayMs(int ms)
{
    changeFaults([ms](SimFaults& f) { f.delayMs = qMax(0, ms); });
}

void UnitLine::setSplit(int pieceBytes, int gapMs)
{
    changeFaults([=](SimFaults& f) {
        f.splitBytes = qMax(0, pieceBytes);
        f.splitGapMs = qMax(0, gapMs);
    });
}

void UnitLine::setJoinPairs(bool on)
{
    changeFaults([on](SimFaults& f) { f.joinPairs = on; });
}

void UnitLine::setGarbleProbability(double p)
{
    changeFaults([p](SimFaults& f) { f.garbleProbability = qBound(0.0, p, 1.0); });
}

void UnitLine::setOmitCr(bool on)
{
    changeFaults([on](SimFaults& f) { f.omitCr = on; });
}

void UnitLine::setPromptProbability(double p)
{
    changeFaults([p](SimFaults& f) { f.promptProbability = qBound(0.0, p, 1.0); });
}

void UnitLine::setHangUpAfterReplies(int n)
{
    changeFaults([n](SimFaults& f) { f.hangUpAfterReplies = qMax(0, n); });
}

void UnitLine::setHangUpAfterMs(int ms)
{
    changeFaults([ms](SimFaults& f) { f.hangUpAfterMs = qMax(0, ms); });
}
