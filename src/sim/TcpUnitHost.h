#pragma once

#include "UnitLine.h"

#include <QObject>
#include <QTcpServer>

#include <functional>
#include <memory>
#include <vector>

class QTcpSocket;
class TranscriptWriter;

// Serves a simulated unit on a TCP port of this machine. Each client gets its own peer from
// the factory (its own command reader and transmitter; the factory decides whether they
// share one unit). Only 127.0.0.1 is ever bound: the simulator is for programs on this
// machine and must never be reachable from, or mistaken for, a unit on the ship's network.
class TcpUnitHost : public QObject {
    Q_OBJECT
public:
    // connection counts from 1; the name is the transcript's endpoint ("tcp1", "tcp2", ...).
    // A unit that hangs up closes its client's socket.
    using PeerFactory = std::function<std::unique_ptr<UnitLine>(int connection)>;

    explicit TcpUnitHost(PeerFactory factory, TranscriptWriter* transcript = nullptr,
                         QObject* parent = nullptr);
    ~TcpUnitHost() override;

    // port 0 picks a free port; port() tells which.
    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    int connectionCount() const { return int(m_connections.size()); }
    // Hangs up on every client.
    void disconnectAll();
    // Load tests: every client also gets these lines, repeated without pause for as long as
    // it stays, as fast as TCP takes them (the socket's queue is kept topped up). They are
    // not written to the transcript, which would outgrow the disk.
    void setBabble(const QByteArray& lines);

Q_SIGNALS:
    void clientConnected(const QString& endpoint);
    void clientDisconnected(const QString& endpoint);

private:
    struct Connection {
        QTcpSocket* socket = nullptr;
        std::unique_ptr<UnitLine> peer;
        QString name;
    };
    void accept();
    void remove(Connection* connection);
    void topUp(Connection* connection);

    PeerFactory m_factory;
    TranscriptWriter* m_transcript;
    QTcpServer m_server;
    int m_accepted = 0;
    QByteArray m_babble; // a block of the repeated lines
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::vector<std::unique_ptr<Connection>> m_retired;
};
