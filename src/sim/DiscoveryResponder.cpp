#include "DiscoveryResponder.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

DiscoveryResponder::DiscoveryResponder(quint16 port, int answers, QObject* parent)
    : QObject(parent), m_socket(new QUdpSocket(this)), m_answers(answers)
{
    connect(m_socket, &QUdpSocket::readyRead, this, &DiscoveryResponder::readPending);
    m_socket->bind(QHostAddress::LocalHost, port);
}

DiscoveryResponder::~DiscoveryResponder() = default;

bool DiscoveryResponder::listening() const
{
    return m_socket->state() == QAbstractSocket::BoundState;
}

quint16 DiscoveryResponder::port() const
{
    return m_socket->localPort();
}

QString DiscoveryResponder::errorString() const
{
    return m_socket->errorString();
}

void DiscoveryResponder::readPending()
{
    while (m_socket->hasPendingDatagrams()) {
        const QNetworkDatagram request = m_socket->receiveDatagram();
        if (!request.isValid())
            continue;
        ++m_requests;
        m_lastRequest = request.data();
        m_lastSenderPort = quint16(request.senderPort());
        // Answers go back to the sender only, which is on this machine.
        if (!request.senderAddress().isLoopback())
            continue;
        for (int i = 0; i < m_answers; ++i)
            m_socket->writeDatagram(answer, request.senderAddress(), request.senderPort());
    }
}
