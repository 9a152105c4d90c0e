#include "TcpByteLink.h"

TcpByteLink::TcpByteLink(Runtime& runtime, QObject* parent) : ByteLink(parent), m_rt(runtime)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { Q_EMIT received(m_socket.readAll()); });
    connect(&m_socket, &QTcpSocket::connected, this, [this] { Q_EMIT opened(); });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_closing)
            Q_EMIT closedByPeer();
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        m_error = m_socket.errorString();
        if (!m_closing)
            Q_EMIT errorOccurred(m_error);
    });
}

TcpByteLink::~TcpByteLink()
{
    m_closing = true;
    m_socket.abort();
}

bool TcpByteLink::open()
{
    m_error.clear();
    close();
    m_socket.connectToHost(m_endpoint.host, m_endpoint.port);
    return true;
}

void TcpByteLink::close()
{
    m_closing = true;
    m_socket.abort();
    m_closing = false;
}

bool TcpByteLink::isOpen() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

qint64 TcpByteLink::write(const QByteArray& data)
{
    if (!isOpen())
        return -1;
    const qint64 n = m_socket.write(data);
    m_socket.flush();
    return n;
}

qint64 TcpByteLink::bytesToWrite() const
{
    return m_socket.bytesToWrite();
}

bool TcpByteLink::drain(int timeoutMs)
{
    return m_rt.waitUntil([this] { return !isOpen() || m_socket.bytesToWrite() == 0; }, timeoutMs);
}
