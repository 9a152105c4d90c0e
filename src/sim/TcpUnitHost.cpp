#include "TcpUnitHost.h"

#include "TranscriptWriter.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include <algorithm>

Q_LOGGING_CATEGORY(lcSimTcp, "qvrsim.tcp", QtWarningMsg)

namespace {
// A babbling client's socket holds between one and five blocks: enough that the kernel
// never waits for us, little enough that memory stays flat.
constexpr int kBabbleBlockBytes = 16 * 1024;
constexpr int kBabbleQueueBytes = 4 * kBabbleBlockBytes;
} // namespace

TcpUnitHost::TcpUnitHost(PeerFactory factory, TranscriptWriter* transcript, QObject* parent)
    : QObject(parent), m_factory(std::move(factory)), m_transcript(transcript)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpUnitHost::accept);
}

TcpUnitHost::~TcpUnitHost()
{
    m_server.close();
    for (auto& c : m_connections) {
        c->peer->setSender({});
        c->socket->disconnect(this);
        c->socket->abort();
        delete c->socket;
    }
}

bool TcpUnitHost::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

void TcpUnitHost::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto connection = std::make_unique<Connection>();
        Connection* c = connection.get();
        c->socket = socket;
        c->name = QStringLiteral("tcp%1").arg(++m_accepted);
        c->peer = m_factory(m_accepted);
        m_connections.push_back(std::move(connection));
        // Replies are small and often timed on purpose (split pieces): do not let Nagle merge them.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);

        c->peer->setSender([this, c](const QByteArray& bytes) {
            if (c->socket->state() != QAbstractSocket::ConnectedState)
                return;
            if (m_transcript)
                m_transcript->record(c->name, TranscriptWriter::Direction::Out, bytes);
            c->socket->write(bytes);
        });
        // The socket sends what it was given before it closes, like a unit that says its
        // last word and puts the line down.
        c->peer->setHangUp([c] { c->socket->disconnectFromHost(); });
        connect(socket, &QTcpSocket::readyRead, this, [this, c] {
            const QByteArray bytes = c->socket->readAll();
            if (m_transcript)
                m_transcript->record(c->name, TranscriptWriter::Direction::In, bytes);
            c->peer->peerReceived(bytes);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] { remove(c); });

        qCInfo(lcSimTcp) << c->name << "connected from" << socket->peerAddress().toString()
                         << socket->peerPort();
        if (m_transcript)
            m_transcript->note(c->name, QStringLiteral("connected"));
        Q_EMIT clientConnected(c->name);
        c->peer->peerConnected();
        if (!m_babble.isEmpty()) {
            if (m_transcript)
                m_transcript->note(c->name, QStringLiteral("babbling"));
            connect(socket, &QTcpSocket::bytesWritten, this, [this, c] { topUp(c); });
            topUp(c);
        }
    }
}

void TcpUnitHost::setBabble(const QByteArray& lines)
{
    m_babble.clear();
    while (!lines.isEmpty() && m_babble.size() < kBabbleBlockBytes)
        m_babble += lines;
}

void TcpUnitHost::topUp(Connection* c)
{
    if (c->socket->state() != QAbstractSocket::ConnectedState)
        return;
    while (c->socket->bytesToWrite() < kBabbleQueueBytes)
        c->socket->write(m_babble);
}

void TcpUnitHost::remove(Connection* connection)
{
    auto it = std::find_if(m_connections.begin(), m_connections.end(),
                           [connection](const auto& c) { return c.get() == connection; });
    if (it == m_connections.end())
        return;
    Connection* c = it->get();
    m_retired.push_back(std::move(*it));
    m_connections.erase(it);
    c->peer->peerDisconnected();
    c->peer->setSender({});
    c->peer->setHangUp({});
    c->socket->disconnect(this);
    c->socket->deleteLater();
    // The unit may be the one on the stack (a hang-up noticed while it answers): it goes
    // once control is back in the event loop.
    QMetaObject::invokeMethod(
        this, [this] { m_retired.clear(); }, Qt::QueuedConnection);
    if (m_transcript)
        m_transcript->note(c->name, QStringLiteral("closed"));
    qCInfo(lcSimTcp) << c->name << "closed";
    Q_EMIT clientDisconnected(c->name);
}

void TcpUnitHost::disconnectAll()
{
    // remove() runs from each socket's disconnected signal and edits the list: walk a copy.
    std::vector<QTcpSocket*> sockets;
    for (const auto& c : m_connections)
        sockets.push_back(c->socket);
    for (QTcpSocket* s : sockets)
        s->disconnectFromHost();
}
