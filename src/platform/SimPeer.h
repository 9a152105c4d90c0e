#pragma once

#include <QByteArray>

#include <functional>

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
