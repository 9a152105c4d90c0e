#include "DatagramSocket.h"

#include <QHostAddress>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <atomic>

Q_LOGGING_CATEGORY(lcDatagram, "qvr.datagram", QtWarningMsg)

namespace {
std::atomic<int> g_refused{0};
}

bool DatagramSocket::loopbackOnly()
{
    return !qEnvironmentVariableIsEmpty("QVR_LOOPBACK_ONLY");
}

bool DatagramSocket::allowedDestination(const QString& host)
{
    if (!loopbackOnly())
        return true;
    const QHostAddress address(host.trimmed());
    return !address.isNull() && address.isLoopback();
}

int DatagramSocket::refusedDestinations()
{
    return g_refused.load();
}

void DatagramSocket::countRefusal(const QString& host)
{
    ++g_refused;
    qCCritical(lcDatagram) << "datagram to" << host << "refused: this process may reach 127.0.0.1 only";
}

UdpDatagramSocket::UdpDatagramSocket(QObject* parent) : DatagramSocket(parent), m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &UdpDatagramSocket::readPending);
}

UdpDatagramSocket::~UdpDatagramSocket() = default;

bool UdpDatagramSocket::bind(quint16 localPort)
{
    close();
    // Another program on this machine may listen on the same port for its own answers.
    return m_socket->bind(QHostAddress::AnyIPv4, localPort, QUdpSocket::ShareAddress);
}

void UdpDatagramSocket::close()
{
    m_socket->close();
}

bool UdpDatagramSocket::send(const QString& host, quint16 port, const QByteArray& data)
{
    const QHostAddress address(host.trimmed());
    if (address.isNull() || port == 0)
        return false;
    if (!allowedDestination(host)) {
        countRefusal(host);
        return false;
    }
    return m_socket->writeDatagram(data, address, port) == data.size();
}

void UdpDatagramSocket::readPending()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (!datagram.isValid()) {
            Q_EMIT receiveFailed();
            return;
        }
        QHostAddress sender = datagram.senderAddress();
        // An IPv4 sender reached through a dual-stack socket reads as ::ffff:a.b.c.d.
        bool v4 = false;
        const quint32 ip4 = sender.toIPv4Address(&v4);
        if (v4)
            sender = QHostAddress(ip4);
        Q_EMIT datagramReceived(sender.toString(), datagram.data());
    }
}
