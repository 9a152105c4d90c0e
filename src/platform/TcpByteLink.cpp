#include "TcpByteLink.h"

namespace {
constexpr qint64 kReadSlice = 64 * 1024;
} // namespace

TcpByteLink::TcpByteLink(Runtime& runtime, QObject* parent) : ByteLink(parent), m_rt(runtime)
{
    // Qt takes whatever the system has buffered (megabytes on a fast link) in one read. A
    // bounded buffer hands a flooding peer's data over in slices, so the window gets its
    // turn between them and the rest waits in the system's buffer, not in ours.
    m_socket.setReadBufferSize(kReadSlice);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { Q_EMIT received(m_socket.readAll()); });
    connect(&m_socket, &QTcpSocket::connected, this, [this] { Q_EMIT opened(); });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_closing)
            Q_EMIT closedByPeer();
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        m_error = m_socket.errorString();
        // The far end hanging up is told once, by closedByPeer, as on every link.
        if (!m_closing && error != QAbstractSocket::RemoteHostClosedError)
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
    // Open or on its way: leave it be, as the serial and simulated links do.
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        return true;
    m_error.clear();
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
    if (n > 0)
        Q_EMIT sent(data.left(n));
    return n;
}

qint64 TcpByteLink::bytesToWrite() const
{
    return m_socket.bytesToWrite();
}

bool TcpByteLink::drain(int timeoutMs)
{
    m_rt.waitUntil([this] { return !isOpen() || m_socket.bytesToWrite() == 0; }, timeoutMs);
    // A connection that dropped meanwhile took its unsent bytes with it.
    return isOpen() && m_socket.bytesToWrite() == 0;
}
