#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QUdpSocket;

// One UDP socket as the discovery window uses it: bound to a local port, it sends a
// datagram to a broadcast or single address and reports every datagram that comes back
// with its sender's address.
class DatagramSocket : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~DatagramSocket() override = default;

    // Binds the local port (closing first). False on failure.
    virtual bool bind(quint16 localPort) = 0;
    virtual void close() = 0;
    // False when the address is not an address or the datagram could not be sent.
    virtual bool send(const QString& host, quint16 port, const QByteArray& data) = 0;

    // While the environment variable QVR_LOOPBACK_ONLY is set (every test process and
    // every screenshot program sets it), datagrams go to 127.0.0.0/8 only; anything else
    // is refused and counted, so that no test can reach a network.
    static bool loopbackOnly();
    static bool allowedDestination(const QString& host);
    static int refusedDestinations();

Q_SIGNALS:
    void datagramReceived(const QString& sender, const QByteArray& data);
    void receiveFailed();

protected:
    static void countRefusal(const QString& host);
};

// The platform's socket.
class UdpDatagramSocket : public DatagramSocket {
    Q_OBJECT
public:
    explicit UdpDatagramSocket(QObject* parent = nullptr);
    ~UdpDatagramSocket() override;

    bool bind(quint16 localPort) override;
    void close() override;
    bool send(const QString& host, quint16 port, const QByteArray& data) override;

private:
    void readPending();

    QUdpSocket* m_socket;
};
