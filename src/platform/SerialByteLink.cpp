#include "SerialByteLink.h"

#include "SerialPorts.h"

#include <QStringList>

namespace {

// "9600,N,8,1" -> port settings. False (with a message) when the text is not of that form.
// *bitsPerByte is what one byte takes on the wire: start bit, data bits, parity bit if
// any, stop bits.
bool applySettings(QSerialPort& port, const QString& text, int* baudOut, int* bitsPerByte, QString* error)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool ok = parts.size() == 4;
    int baud = 0, data = 0, stop = 0;
    if (ok)
        baud = parts[0].trimmed().toInt(&ok);
    if (ok)
        data = parts[2].trimmed().toInt(&ok);
    if (ok)
        stop = parts[3].trimmed().toInt(&ok);
    QSerialPort::Parity parity = QSerialPort::NoParity;
    if (ok) {
        const QString p = parts[1].trimmed().toUpper();
        if (p == QLatin1String("N"))
            parity = QSerialPort::NoParity;
        else if (p == QLatin1String("E"))
            parity = QSerialPort::EvenParity;
        else if (p == QLatin1String("O"))
            parity = QSerialPort::OddParity;
        else if (p == QLatin1String("M"))
            parity = QSerialPort::MarkParity;
        else if (p == QLatin1String("S"))
            parity = QSerialPort::SpaceParity;
        else
            ok = false;
    }
    ok = ok && baud > 0 && data >= 5 && data <= 8 && (stop == 1 || stop == 2);
    if (!ok) {
        *error = QStringLiteral("Invalid property value");
        return false;
    }
    port.setBaudRate(baud);
    port.setParity(parity);
    port.setDataBits(QSerialPort::DataBits(data));
    port.setStopBits(stop == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    *baudOut = baud;
    *bitsPerByte = 1 + data + (parity == QSerialPort::NoParity ? 0 : 1) + stop;
    return true;
}

// How often drain() looks at the kernel's queue once the wire clock has run out: short,
// as the queue is normally empty by then, and never a busy spin.
constexpr qint64 kQueuePollNs = 500000;

} // namespace

SerialByteLink::SerialByteLink(Runtime& runtime, QObject* parent)
    : ByteLink(parent), m_rt(runtime), m_probe(makeKernelSerialProbe()), m_errorPoll(runtime.createTimer())
{
    m_errorPoll->setInterval(kErrorPollMs);
    m_errorPoll->setSingleShot(false);
    m_errorPoll->setCallback([this] { pollErrorCounts(); });
    connect(&m_port, &QSerialPort::readyRead, this, &SerialByteLink::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialByteLink::onError);
}

SerialByteLink::~SerialByteLink()
{
    m_errorPoll->stop();
    if (m_port.isOpen())
        m_port.close();
}

void SerialByteLink::setProbe(std::unique_ptr<SerialPortProbe> probe)
{
    m_probe = std::move(probe);
}

bool SerialByteLink::open()
{
    m_error.clear();
    m_openAdvice.clear();
    if (m_port.isOpen())
        return true;
    m_port.setPortName(m_endpoint.device);
    if (!applySettings(m_port, m_endpoint.settings, &m_baud, &m_bitsPerByte, &m_error))
        return false;
    m_opening = true;
    const bool ok = m_port.open(QIODevice::ReadWrite);
    m_opening = false;
    if (!ok) {
        m_error = m_port.errorString();
        m_openAdvice = serialOpenAdvice(m_endpoint.device, m_port.error() == QSerialPort::PermissionError);
        m_port.clearError();
        return false;
    }
    m_runStartNs = m_lineFreeAtNs = m_rt.nowNs();
    m_runBytes = 0;
    // Counts before our open are history; a device without counters says nothing, ever.
    const std::optional<SerialErrorCounts> counts = m_probe->errorCounts(int(m_port.handle()));
    m_countsAvailable = counts.has_value();
    if (m_countsAvailable) {
        m_counts = *counts;
        m_errorPoll->start();
    }
    return true;
}

void SerialByteLink::close()
{
    m_errorPoll->stop();
    m_countsAvailable = false;
    if (m_port.isOpen())
        m_port.close();
}

bool SerialByteLink::isOpen() const
{
    return m_port.isOpen();
}

qint64 SerialByteLink::wireTimeNs(qint64 bytes) const
{
    return bytes * m_bitsPerByte * 1000000000LL / m_baud;
}

qint64 SerialByteLink::write(const QByteArray& data)
{
    if (!m_port.isOpen())
        return -1;
    const qint64 n = m_port.write(data);
    if (n <= 0)
        return n;
    // Qt would hand the bytes to the kernel only on a later pass of the event loop; on a
    // busy machine that moment can come a millisecond or more after the clock below starts,
    // and a pause measured from the clock would come out short on the wire.
    m_port.flush();
    const qint64 now = m_rt.nowNs();
    if (now >= m_lineFreeAtNs) {
        // The line is idle: these bytes start now.
        m_runStartNs = now;
        m_runBytes = 0;
    }
    m_runBytes += n;
    m_lineFreeAtNs = m_runStartNs + wireTimeNs(m_runBytes);
    Q_EMIT sent(data.left(n));
    return n;
}

void SerialByteLink::discardOutput()
{
    if (!m_port.isOpen())
        return;
    m_port.clear(QSerialPort::Output);
    // Nothing more is on its way: the line is free from now.
    m_lineFreeAtNs = m_rt.nowNs();
}

qint64 SerialByteLink::bytesToWrite() const
{
    // By the wire clock, rounded up: a byte half out is not out. Qt's own queue can only
    // be longer when the device has stalled (handshaking, a full kernel buffer).
    const qint64 leftNs = m_lineFreeAtNs - m_rt.nowNs();
    const qint64 bitNs = qint64(m_bitsPerByte) * 1000000000LL;
    const qint64 onClock = leftNs > 0 ? (leftNs * m_baud + bitNs - 1) / bitNs : 0;
    return qMax(onClock, m_port.isOpen() ? m_port.bytesToWrite() : 0);
}

bool SerialByteLink::failDrain(int timeoutMs)
{
    m_error = m_port.isOpen() ? QStringLiteral("The port did not finish sending within %1 ms").arg(timeoutMs)
                              : QStringLiteral("The port closed before its output was sent");
    return false;
}

bool SerialByteLink::drain(int timeoutMs)
{
    const qint64 deadline = m_rt.nowNs() + qint64(qMax(0, timeoutMs)) * 1000000;
    const auto closed = [this] { return !m_port.isOpen(); };

    // Qt hands its queue to the kernel from the event loop. Normally that is at once; a
    // device that held it up (a full kernel buffer) sends the rest only from then on.
    qint64 doneAt = 0;
    if (m_port.isOpen() && m_port.bytesToWrite() > 0) {
        m_rt.waitUntilNs([this] { return !m_port.isOpen() || m_port.bytesToWrite() == 0; },
                         deadline - m_rt.nowNs());
        doneAt = m_rt.nowNs();
    }
    if (closed() || m_port.bytesToWrite() > 0)
        return failDrain(timeoutMs);

    // The wire clock. Events run meanwhile and may write more, which moves it on.
    for (qint64 now = m_rt.nowNs(); m_lineFreeAtNs > now; now = m_rt.nowNs()) {
        if (m_lineFreeAtNs > deadline) {
            m_rt.waitUntilNs(closed, deadline - now);
            return failDrain(timeoutMs);
        }
        if (m_rt.waitUntilNs(closed, m_lineFreeAtNs - now))
            return failDrain(timeoutMs);
    }

    // The kernel's queue (a slower device, handshaking holding the line), polled in short
    // waits so that the window stays alive.
    doneAt = qMax(doneAt, m_lineFreeAtNs);
    for (;;) {
        const std::optional<int> queued = m_probe->outputQueued(int(m_port.handle()));
        if (!queued || *queued <= 0) {
            m_outputDoneAtNs = doneAt;
            return true;
        }
        const qint64 left = deadline - m_rt.nowNs();
        if (left <= 0 || m_rt.waitUntilNs(closed, qMin(left, kQueuePollNs)))
            return failDrain(timeoutMs);
        doneAt = m_rt.nowNs();
    }
}

bool SerialByteLink::setDtr(bool on)
{
    return m_port.isOpen() && m_port.setDataTerminalReady(on);
}

bool SerialByteLink::setRts(bool on)
{
    return m_port.isOpen() && m_port.setRequestToSend(on);
}

// An output line as the port has it; a device without the line (a pseudo-terminal) says
// so by an error, which here means "low", as for a closed port.
bool SerialByteLink::readOutput(bool (QSerialPort::*level)()) const
{
    if (!m_port.isOpen())
        return false;
    m_port.clearError();
    const bool on = (m_port.*level)();
    return on && m_port.error() == QSerialPort::NoError;
}

bool SerialByteLink::dtr() const
{
    return readOutput(&QSerialPort::isDataTerminalReady);
}

bool SerialByteLink::rts() const
{
    return readOutput(&QSerialPort::isRequestToSend);
}

bool SerialByteLink::setHandshake(Handshake h)
{
    switch (h) {
    case Handshake::None:
        return m_port.setFlowControl(QSerialPort::NoFlowControl);
    case Handshake::XonXoff:
        return m_port.setFlowControl(QSerialPort::SoftwareControl);
    case Handshake::Rts:
    case Handshake::XonRts:
        return m_port.setFlowControl(QSerialPort::HardwareControl);
    }
    return false;
}

LineStates SerialByteLink::lineStates() const
{
    LineStates s;
    if (!m_port.isOpen())
        return s;
    // A pseudo-terminal has no modem lines; Qt reports that as an unsupported
    // operation, which here just means "not available". The error stays set after an
    // earlier failed call (a DTR on a pty), so clear it before asking.
    m_port.clearError();
    const QSerialPort::PinoutSignals pins = m_port.pinoutSignals();
    if (m_port.error() == QSerialPort::UnsupportedOperationError)
        return s;
    s.available = true;
    s.cts = pins.testFlag(QSerialPort::ClearToSendSignal);
    s.dsr = pins.testFlag(QSerialPort::DataSetReadySignal);
    s.dcd = pins.testFlag(QSerialPort::DataCarrierDetectSignal);
    s.ring = pins.testFlag(QSerialPort::RingIndicatorSignal);
    return s;
}

void SerialByteLink::onReadyRead()
{
    Q_EMIT received(m_port.readAll());
    // Errors come with data; reading the counters now shows them while the bytes they
    // spoiled are on the screen.
    pollErrorCounts();
}

void SerialByteLink::pollErrorCounts()
{
    if (!m_countsAvailable || !m_port.isOpen())
        return;
    const std::optional<SerialErrorCounts> counts = m_probe->errorCounts(int(m_port.handle()));
    if (!counts) {
        m_countsAvailable = false;
        m_errorPoll->stop();
        return;
    }
    const std::vector<LineEvent> events = lineEventsBetween(m_counts, *counts);
    // Taken before telling anyone: a listener may wait (a message box) while more data
    // arrives and this runs again.
    m_counts = *counts;
    for (LineEvent e : events) {
        if (!m_port.isOpen())
            return;
        Q_EMIT lineEvent(e);
    }
}

void SerialByteLink::onError(QSerialPort::SerialPortError error)
{
    if (m_opening)
        return;
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError:
        return;
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        // The device went away (a USB adapter unplugged, the far end of a pty closed).
        // Qt would keep flooding errors with the port still "open": close it, say so once.
        // closedByPeer is the one notice, as for every link; errorString() tells why.
        if (m_port.isOpen()) {
            m_error = m_port.errorString();
            m_port.clearError();
            close();
            Q_EMIT closedByPeer();
        }
        return;
    case QSerialPort::UnknownError:
        // An event on an open port that Qt cannot name: the programs have one text for that.
        // (A failed write stays an error of its own: it comes just before a device that went
        // away, which is told once as that.)
        if (m_port.isOpen()) {
            m_error = m_port.errorString();
            m_port.clearError();
            Q_EMIT lineEvent(LineEvent::Unknown);
        }
        return;
    default:
        m_error = m_port.errorString();
        Q_EMIT errorOccurred(m_error);
        return;
    }
}
