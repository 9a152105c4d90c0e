#pragma once

#include "ByteLink.h"
#include "Runtime.h"

#include <QTcpSocket>

// A TCP client connection to a unit (or to a serial server in front of one).
class TcpByteLink : public ByteLink {
    Q_OBJECT
public:
    explicit TcpByteLink(Runtime& runtime, QObject* parent = nullptr);
    ~TcpByteLink() override;

    Kind kind() const override { return Kind::Tcp; }
    bool open() override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override { return m_error; }
    qint64 write(const QByteArray& data) override;
    qint64 bytesToWrite() const override;
    bool drain(int timeoutMs) override;

private:
    Runtime& m_rt;
    QTcpSocket m_socket;
    QString m_error;
    bool m_closing = false;
};
