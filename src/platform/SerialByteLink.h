#pragma once

#include "ByteLink.h"
#include "Runtime.h"
#include "SerialPortProbe.h"

#include <QSerialPort>

#include <memory>

// A serial port (a COM port, a USB adapter or a pseudo-terminal) over QSerialPort.
//
// The link keeps the wire clock itself. A byte that Qt, the kernel or a USB adapter has
// accepted is not on the line yet, and a pseudo-terminal has no line speed at all, so
// each write moves "line free at" on by the bytes' time on the wire at the port's
// settings; drain() waits for that time and for the kernel's queue. Pacing by drain and
// pause thus puts its gaps on the wire, not in front of a buffer.
class SerialByteLink : public ByteLink {
    Q_OBJECT
public:
    // The kernel's line-error counters are read this often while the port is open (and
    // after every arrival of data).
    static constexpr int kErrorPollMs = 200;

    explicit SerialByteLink(Runtime& runtime, QObject* parent = nullptr);
    ~SerialByteLink() override;

    // Replaces the kernel probe (tests feed counter values and queue levels).
    void setProbe(std::unique_ptr<SerialPortProbe> probe);

    Kind kind() const override { return Kind::Serial; }
    bool open() override;
    void close() override;
    bool isOpen() const override;
    QString errorString() const override { return m_error; }
    // After a failed open: what the technician can do about it (see serialOpenAdvice).
    QString openAdvice() const override { return m_openAdvice; }
    qint64 write(const QByteArray& data) override;
    qint64 bytesToWrite() const override;
    bool drain(int timeoutMs) override;
    qint64 outputDoneAtNs() const override { return m_outputDoneAtNs; }
    void discardOutput() override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool dtr() const override;
    bool rts() const override;
    bool setHandshake(Handshake h) override;
    LineStates lineStates() const override;

    // Time (Runtime ns) at which the last byte written so far has left the line.
    qint64 lineFreeAtNs() const { return m_lineFreeAtNs; }

private:
    void onError(QSerialPort::SerialPortError error);
    void onReadyRead();
    void pollErrorCounts();
    qint64 wireTimeNs(qint64 bytes) const;
    // Sets the reason (time up, or the port closed meanwhile) and returns false.
    bool failDrain(int timeoutMs);
    bool readOutput(bool (QSerialPort::*level)()) const;

    Runtime& m_rt;
    mutable QSerialPort m_port;
    std::unique_ptr<SerialPortProbe> m_probe;
    std::unique_ptr<RuntimeTimer> m_errorPoll;
    QString m_error;
    QString m_openAdvice;
    // While open() runs, failures are reported by its result only, not by errorOccurred.
    bool m_opening = false;

    // The wire clock. Bytes written back to back form one run timed from its start, so
    // that many small writes take exactly as long as one big one.
    int m_baud = 9600;
    int m_bitsPerByte = 10;
    qint64 m_runStartNs = 0;
    qint64 m_runBytes = 0;
    qint64 m_lineFreeAtNs = 0;
    qint64 m_outputDoneAtNs = -1;

    bool m_countsAvailable = false;
    SerialErrorCounts m_counts;
};
