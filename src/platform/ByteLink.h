#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Where a link goes. A serial link uses device and settings, a TCP link host and port.
struct LinkEndpoint {
    QString device;                  // e.g. /dev/ttyS0, /dev/ttyUSB0, a pseudo-terminal
    QString settings = "9600,N,8,1"; // baud, parity letter, data bits, stop bits
    QString host;
    quint16 port = 0;
};

// Serial line events, as a serial port reports them.
enum class LineEvent {
    Break,
    CdTimeout,
    CtsTimeout,
    DcbError,
    DsrTimeout,
    Framing,
    Overrun,
    ReceiveOverflow,
    Parity,
    TransmitBufferFull,
    Unknown,
};

// The text both programs show for a line event ("Framing Error", ...).
QString lineEventText(LineEvent event);

// The modem-status inputs. A line that the device cannot report is "not available",
// never an error (pseudo-terminals have none of them).
struct LineStates {
    bool available = false;
    bool cts = false;
    bool dsr = false;
    bool dcd = false;
    bool ring = false;
};

enum class Handshake { None, XonXoff, Rts, XonRts };

// One byte stream to a unit. It only moves bytes and says what happened with signals;
// nothing here frames or interprets the text.
class ByteLink : public QObject {
    Q_OBJECT
public:
    enum class Kind { Serial, Tcp };

    explicit ByteLink(QObject* parent = nullptr) : QObject(parent) {}
    ~ByteLink() override = default;

    virtual Kind kind() const = 0;

    void setEndpoint(const LinkEndpoint& endpoint) { m_endpoint = endpoint; }
    const LinkEndpoint& endpoint() const { return m_endpoint; }

    // Serial: opens now and returns the result; a failure is told by the result only (with
    // errorString()), not by errorOccurred. TCP: starts connecting and returns false only
    // when that cannot even start; isOpen() turns true and opened() comes once connected,
    // a refused or failed connection comes as errorOccurred. Opening a link that is open
    // or connecting does nothing and returns true.
    // On failure errorString() holds the platform's own text.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString errorString() const = 0;
    // After a failed open, what the user can do about it in words (empty: nothing to add).
    virtual QString openAdvice() const { return {}; }

    // Queues bytes for sending. Returns the number accepted (-1 when closed).
    virtual qint64 write(const QByteArray& data) = 0;
    // Bytes accepted but not yet on the wire.
    virtual qint64 bytesToWrite() const = 0;
    // Waits (pumping events) until every queued byte is on the wire, or the time is up.
    // True only when all of them went out; false on timeout or when the link closed.
    virtual bool drain(int timeoutMs) = 0;
    // When the output of the last successful drain() finished going out, by the link's own
    // wire clock (Runtime ns); -1 when the link keeps no such clock. A drain that wakes up
    // late still knows when the line fell silent.
    virtual qint64 outputDoneAtNs() const { return -1; }
    // Throws away what is queued and not yet sent (Qt's buffer and the kernel's), so that
    // output held up by a stalled line cannot reach the device later, out of its context.
    virtual void discardOutput() {}

    // Output lines and handshaking. False when the device has no such line.
    virtual bool setDtr(bool on)
    {
        Q_UNUSED(on);
        return false;
    }
    virtual bool setRts(bool on)
    {
        Q_UNUSED(on);
        return false;
    }
    // The output lines as the device has them now; false when it has no such line.
    virtual bool dtr() const { return false; }
    virtual bool rts() const { return false; }
    virtual bool setHandshake(Handshake h)
    {
        Q_UNUSED(h);
        return false;
    }
    virtual LineStates lineStates() const { return {}; }

Q_SIGNALS:
    void received(const QByteArray& data);
    // Bytes write() accepted, as they were handed over (a session trace listens here).
    void sent(const QByteArray& data);
    void lineEvent(LineEvent event);
    void opened();
    // The link closed by itself (peer gone, device removed), not by close(). This is the
    // one notice of it (no errorOccurred as well); errorString() has the platform's text.
    void closedByPeer();
    // A failed connection, or a fault while the link stays open. Never after close().
    void errorOccurred(const QString& text);

protected:
    LinkEndpoint m_endpoint;
};
