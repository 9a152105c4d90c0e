#pragma once

#include <QByteArray>
#include <QObject>

class QUdpSocket;

// Answers the discovery request the way a unit on the network would: a datagram back to
// the sender for every request heard. It listens on 127.0.0.1 only, so that the discovery
// window can be shown working without reaching any network.
class DiscoveryResponder : public QObject {
    Q_OBJECT
public:
    // Port 0 picks a free one.
    explicit DiscoveryResponder(quint16 port = 3000, int answers = 1, QObject* parent = nullptr);
    ~DiscoveryResponder() override;

    bool listening() const;
    quint16 port() const;
    QString errorString() const;
    // How many datagrams answer each request (a unit that answers twice is listed twice).
    void setAnswers(int answers) { m_answers = answers; }
    int requestsHeard() const { return m_requests; }
    QByteArray lastRequest() const { return m_lastRequest; }
    quint16 lastSenderPort() const { return m_lastSenderPort; }
    // What each answer holds (the program does not look inside).
    QByteArray answer = "QVR-100 ACU SIM";

private:
    void readPending();

    QUdpSocket* m_socket;
    int m_answers;
    int m_requests = 0;
    QByteArray m_lastRequest;
    quint16 m_lastSenderPort = 0;
};
