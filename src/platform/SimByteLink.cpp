#include "SimByteLink.h"

SimByteLink::SimByteLink(Runtime& runtime, Kind kind, QObject* parent)
    : ByteLink(parent), m_rt(runtime), m_kind(kind)
{
}

SimByteLink::~SimByteLink()
{
    if (m_peer)
        m_peer->setSender({});
}

void SimByteLink::attachPeer(SimPeer* peer)
{
    if (m_peer)
        m_peer->setSender({});
    m_peer = peer;
    if (m_peer)
        m_peer->setSender([this](const QByteArray& b) { deliverFromPeer(b); });
}

qint64 SimByteLink::byteTimeNs(qint64 bytes) const
{
    if (m_baud <= 0)
        return 0;
    return bytes * m_bitsPerByte * 1000000000LL / m_baud;
}

qint64 SimByteLink::occupy(Wire& wire, qint64 n, qint64* endNs) const
{
    const qint64 now = m_rt.nowNs();
    if (now >= wire.busyUntilNs) {
        wire.runStartNs = now;
        wire.runBytes = 0;
    }
    const qint64 start = qMax(now, wire.busyUntilNs);
    wire.runBytes += n;
    wire.busyUntilNs = wire.runStartNs + byteTimeNs(wire.runBytes);
    *endNs = wire.busyUntilNs;
    return start;
}

bool SimByteLink::open()
{
    if (m_open || m_connecting)
        return true;
    m_error.clear();
    const quint64 epoch = ++m_epoch;
    m_undelivered = 0;
    if (m_kind == Kind::Serial) {
        if (!m_openFailure.isEmpty()) {
            m_error = m_openFailure;
            return false;
        }
        m_open = true;
        ++m_openCount;
        // A port opens with the driver's line levels, not with what was set before.
        m_dtr = m_initialDtr;
        m_rts = m_initialRts;
        m_txSegments.clear();
        m_tx = m_rx = Wire{m_rt.nowNs(), m_rt.nowNs(), 0};
        if (m_peer)
            m_peer->peerConnected();
        return true;
    }
    // TCP: the connection completes (or not) a moment later, like a real socket.
    m_connecting = true;
    m_rt.singleShot(m_connectDelayMs, this, [this, epoch] {
        if (epoch != m_epoch || !m_connecting)
            return;
        m_connecting = false;
        if (!m_openFailure.isEmpty()) {
            m_error = m_openFailure;
            Q_EMIT errorOccurred(m_error);
            return;
        }
        m_open = true;
        ++m_openCount;
        m_txSegments.clear();
        m_tx = m_rx = Wire{m_rt.nowNs(), m_rt.nowNs(), 0};
        Q_EMIT opened();
        if (m_peer)
            m_peer->peerConnected();
    });
    return true;
}

void SimByteLink::close()
{
    const bool wasOpen = m_open;
    m_open = false;
    m_connecting = false;
    ++m_epoch;
    m_undelivered = 0;
    m_held.clear();
    m_txSegments.clear();
    if (wasOpen && m_peer)
        m_peer->peerDisconnected();
}

void SimByteLink::dropFromPeer()
{
    if (!m_open)
        return;
    close();
    // The texts Qt gives for a TCP hang-up and for a pseudo-terminal whose far end went away.
    m_error = m_kind == Kind::Tcp ? QStringLiteral("The remote host closed the connection")
                                  : QStringLiteral("Input/output error");
    Q_EMIT closedByPeer();
}

void SimByteLink::setOutputStalled(bool stalled)
{
    m_stalled = stalled;
    if (stalled)
        return;
    // Held bytes were accepted but never handed on: they are told as sent when they go.
    std::vector<QByteArray> held;
    held.swap(m_held);
    m_undelivered -= int(held.size());
    for (const QByteArray& data : held)
        write(data);
}

void SimByteLink::discardOutput()
{
    m_undelivered -= int(m_held.size());
    m_held.clear();
}

qint64 SimByteLink::write(const QByteArray& data)
{
    if (!m_open)
        return -1;
    if (m_stalled) {
        m_held.push_back(data);
        ++m_undelivered;
        return data.size();
    }
    const qint64 now = m_rt.nowNs();
    qint64 end = 0;
    const qint64 start = occupy(m_tx, data.size(), &end);
    if (m_baud > 0)
        m_txSegments.push_back({start, end, data.size()});
    m_transcript.push_back({start, Direction::ToUnit, data});
    const quint64 epoch = m_epoch;
    ++m_undelivered;
    const bool timed = m_baud > 0;
    m_rt.singleShotNs(end - now + m_latencyNs, this, [this, epoch, data, timed, start, end] {
        if (epoch != m_epoch)
            return;
        --m_undelivered;
        if (!m_peer)
            return;
        const QByteArray arrived = m_noise ? m_noise(data) : data;
        if (arrived.isEmpty())
            return;
        // A serial wire tells the unit when each byte arrived; a TCP link has no such time.
        if (timed)
            m_peer->peerReceivedOnWire(arrived, {start + m_latencyNs, end + m_latencyNs});
        else
            m_peer->peerReceived(arrived);
    });
    Q_EMIT sent(data);
    return data.size();
}

void SimByteLink::pruneSegments() const
{
    const qint64 now = m_rt.nowNs();
    while (!m_txSegments.empty() && m_txSegments.front().endNs <= now)
        m_txSegments.pop_front();
}

qint64 SimByteLink::bytesToWrite() const
{
    pruneSegments();
    const qint64 now = m_rt.nowNs();
    qint64 pending = 0;
    for (const auto& s : m_txSegments) {
        if (now <= s.startNs) {
            pending += s.bytes;
        } else {
            // Whole bytes on the wire so far, without the rounding of a per-byte time.
            const qint64 done = (now - s.startNs) * m_baud / (qint64(m_bitsPerByte) * 1000000000LL);
            pending += qMax<qint64>(0, s.bytes - done);
        }
    }
    return pending;
}

bool SimByteLink::drain(int timeoutMs)
{
    // Drained means the peer has the bytes, as a real port's written data is the device's
    // business once it has left: a close right after a drain loses nothing.
    m_rt.waitUntilNs([this] { return !m_open || m_undelivered == 0; }, qint64(timeoutMs) * 1000000);
    // A link that closed meanwhile took its unsent bytes with it.
    return m_open && m_undelivered == 0;
}

bool SimByteLink::setDtr(bool on)
{
    m_dtr = on;
    return m_kind == Kind::Serial;
}

bool SimByteLink::setRts(bool on)
{
    m_rts = on;
    return m_kind == Kind::Serial;
}

void SimByteLink::deliverFromPeer(const QByteArray& bytes)
{
    if (!m_open || bytes.isEmpty())
        return;
    const qint64 now = m_rt.nowNs();
    qint64 end = 0;
    const qint64 start = occupy(m_rx, bytes.size(), &end);
    m_transcript.push_back({start, Direction::FromUnit, bytes});
    const quint64 epoch = m_epoch;
    m_rt.singleShotNs(end - now + m_latencyNs, this, [this, epoch, bytes] {
        if (epoch == m_epoch && m_open)
            Q_EMIT received(bytes);
    });
}

void SimByteLink::injectLineEvent(LineEvent event)
{
    if (m_open)
        Q_EMIT lineEvent(event);
}

QByteArray SimByteLink::sentBytes() const
{
    QByteArray out;
    for (const auto& r : m_transcript)
        if (r.direction == Direction::ToUnit)
            out += r.bytes;
    return out;
}
