#include "SerialByteLink.h"

#include <QStringList>

namespace {

// "9600,N,8,1" -> port settings. False (with a message) when the text is not of that form.
bool applySettings(QSerialPort& port, const QString& text, QString* error)
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
    return true;
}

} // namespace

SerialByteLink::SerialByteLink(Runtime& runtime, QObject* parent) : ByteLink(parent), m_rt(runtime)
{
    connect(&m_port, &QSerialPort::readyRead, this, [this] { Q_EMIT received(m_port.readAll()); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialByteLink::onError);
}

SerialByteLink::~SerialByteLink()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialByteLink::open()
{
    m_error.clear();
    if (m_port.isOpen())
        return true;
    m_port.setPortName(m_endpoint.device);
    if (!applySettings(m_port, m_endpoint.settings, &m_error))
        return false;
    m_opening = true;
    const bool ok = m_port.open(QIODevice::ReadWrite);
    m_opening = false;
    if (!ok) {
        m_error = m_port.errorString();
        m_port.clearError();
        return false;
    }
    return true;
}

void SerialByteLink::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialByteLink::isOpen() const
{
    return m_port.isOpen();
}

qint64 SerialByteLink::write(const QByteArray& data)
{
    if (!m_port.isOpen())
        return -1;
    return m_port.write(data);
}

qint64 SerialByteLink::bytesToWrite() const
{
    return m_port.bytesToWrite();
}

bool SerialByteLink::drain(int timeoutMs)
{
    m_rt.waitUntil([this] { return !m_port.isOpen() || m_port.bytesToWrite() == 0; }, timeoutMs);
    // A port that closed meanwhile took its unsent bytes with it.
    return m_port.isOpen() && m_port.bytesToWrite() == 0;
}

bool SerialByteLink::setDtr(bool on)
{
    return m_port.isOpen() && m_port.setDataTerminalReady(on);
}

bool SerialByteLink::setRts(bool on)
{
    return m_port.isOpen() && m_port.setRequestToSend(on);
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
            m_port.close();
            Q_EMIT closedByPeer();
        }
        return;
    default:
        m_error = m_port.errorString();
        Q_EMIT errorOccurred(m_error);
        return;
    }
}
