#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// When bytes came off a serial wire: the first began arriving at startNs and the last had
// arrived at endNs, back to back in between, each taking an equal share. Hosts hand over
// runs without gaps, so the time of every byte follows from these two. A host that can
// only stamp bytes when it reads them (a pseudo-terminal on a busy machine) says how much
// earlier they may have come: earlyNs.
struct WireTiming {
    qint64 startNs = 0;
    qint64 endNs = 0;
    qint64 earlyNs = 0;

    qint64 byteStartNs(qsizetype i, qsizetype count) const
    {
        return count <= 0 ? startNs : startNs + (endNs - startNs) * i / count;
    }
    qint64 byteEndNs(qsizetype i, qsizetype count) const { return byteStartNs(i + 1, count); }
};

// The far end of a link: a simulated unit. It hears what the program sends and answers
// through the sender its host gives it (a simulated wire in tests, a TCP socket or a
// pseudo-terminal in qvrsim).
class SimPeer {
public:
    using Sender = std::function<void(const QByteArray&)>;

    virtual ~SimPeer() = default;

    void setSender(Sender sender) { m_sender = std::move(sender); }

    // Bytes from the program, as they come off the wire (possibly in pieces).
    virtual void peerReceived(const QByteArray& bytes) = 0;
    // The same from a host that knows when they crossed a serial wire; a unit that keeps
    // time on its line (bootloaders that need pauses) overrides this.
    virtual void peerReceivedOnWire(const QByteArray& bytes, const WireTiming& timing)
    {
        Q_UNUSED(timing);
        peerReceived(bytes);
    }
    // The program opened (connected) or closed its end.
    virtual void peerConnected() {}
    virtual void peerDisconnected() {}

protected:
    void sendToHost(const QByteArray& bytes)
    {
        if (m_sender)
            m_sender(bytes);
    }

private:
    Sender m_sender;
};
