#pragma once

#include "ByteLink.h"
#include "Runtime.h"

#include <QSerialPort>

// A serial port (a COM port, a USB adapter or a pseudo-terminal) over QSerialPort.
class SerialByteLink : public ByteLink {
    Q_OBJECT
public:
    explicit SerialByteLink(Runtime& runtime, QObject* parent = nullptr);
    ~SerialByteLink() override;

    Kind kind() const override { return Kind::Serial; }
    bool open() override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override { return m_error; }
    qint64 write(const QByteArray& data) override;
    qint64 bytesToWrite() const override;
    bool drain(int timeoutMs) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool setHandshake(Handshake h) override;
    LineStates lineStates() const override;

private:
    void onError(QSerialPort::SerialPortError error);

    Runtime& m_rt;
    mutable QSerialPort m_port;
    QString m_error;
    // While open() runs, failures are reported by its result only, not by errorOccurred.
    bool m_opening = false;
};
