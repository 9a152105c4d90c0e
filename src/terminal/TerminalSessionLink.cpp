// Opening, closing and using the link: the LED, the settings panel, the send path and
// the receive routing.
#include "TerminalSession.h"

#include "Prompter.h"
#include "Runtime.h"
#include "TerminalScreen.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSession)

namespace {
constexpr int kReopenTries = 60;
constexpr int kReopenIntervalMs = 1000;
constexpr int kRestartWaitMs = 1500;
// Bound on handing queued output to the device before a close; a line held up by
// handshaking must not keep the port from closing.
constexpr int kCloseDrainLimitMs = 2000;
} // namespace

void TerminalSession::openOrCloseLink()
{
    if (m_serial) {
        if (m_serialLink.isOpen())
            m_serialLink.close();
        else
            openSerial();
        m_portOpen = m_serialLink.isOpen();
        if (m_portOpen)
            markOpen();
        else
            markClosed();
        return;
    }
    if (m_portOpen) {
        m_tcpLink.close();
        m_portOpen = false;
        markClosed();
        return;
    }
    if (connectTcp()) {
        m_portOpen = true;
        markOpen();
    } else {
        m_prompter.error(
            QStringLiteral("Error,\rCannot connect to selected IP device.\rCheck PortSettings Properies."));
    }
}

bool TerminalSession::openSerial(bool reportFailure)
{
    LinkEndpoint ep = m_serialLink.endpoint();
    ep.device = serialDevice();
    ep.settings = m_serialSettings;
    m_serialLink.setEndpoint(ep);
    if (!m_serialLink.open()) {
        // The platform's text does not say which device it is about; a COM number can
        // mean any device the profile maps it to.
        if (reportFailure) {
            QString text = m_serialLink.errorString() + QLatin1Char('\r') + portLabel() + ep.device;
            if (!m_serialLink.openAdvice().isEmpty())
                text += QLatin1Char('\r') + m_serialLink.openAdvice();
            m_prompter.error(text);
        }
        return false;
    }
    m_serialLink.setHandshake(Handshake(m_handshaking));
    qCDebug(lcSession) << "serial open" << ep.device << ep.settings;
    return true;
}

bool TerminalSession::connectTcp()
{
    m_tcpLink.close();
    LinkEndpoint ep = m_tcpLink.endpoint();
    ep.host = m_address;
    ep.port = quint16(m_tcpPort);
    m_tcpLink.setEndpoint(ep);
    m_tcpFailed = false;
    if (!m_tcpLink.open())
        return false;
    // A refused connection is final for this attempt, so the wait ends there too.
    m_rt.waitUntil([this] { return m_tcpLink.isOpen() || m_tcpFailed; }, kConnectWaitMs);
    if (m_tcpLink.isOpen())
        return true;
    m_tcpLink.close();
    qCDebug(lcSession) << "tcp connect failed" << m_address << m_tcpPort;
    return false;
}

void TerminalSession::closeLink()
{
    const bool wasOpen = m_portOpen;
    // A close drops whatever is still queued: a sequence's last command ("^BL", the end of
    // a firmware file) must reach the module before its port goes away.
    if (wasOpen)
        activeLink().drain(kCloseDrainLimitMs);
    if (m_serialLink.isOpen())
        m_serialLink.close();
    m_tcpLink.close();
    m_portOpen = false;
    if (wasOpen)
        markClosed();
}

void TerminalSession::markOpen()
{
    updateSettingsText();
    startConnectTimer();
    if (m_serial)
        applyOutputLines();
    const LineStates in = m_serial ? m_serialLink.lineStates() : LineStates{};
    m_lines.cts = in.cts;
    m_lines.dsr = in.dsr;
    m_lines.dcd = in.dcd;
    if (in.available)
        m_lineStateTimer->start();
    Q_EMIT lineStatesChanged(m_lines);
    Q_EMIT linkStateChanged(true);
}

void TerminalSession::markClosed()
{
    updateSettingsText();
    stopConnectTimer();
    m_lineStateTimer->stop();
    // The boxes show a closed port; the outputs the user chose are kept for the next open.
    m_lines = TerminalLineStates{};
    Q_EMIT lineStatesChanged(m_lines);
    Q_EMIT linkStateChanged(false);
}

void TerminalSession::updateSettingsText()
{
    QString text = QStringLiteral("Settings: ");
    if (m_portOpen) {
        if (m_serial)
            text += portLabel() + m_serialSettings;
        else
            text += QStringLiteral("IP ") + m_address + QStringLiteral(" : ") + QString::number(m_tcpPort);
        text += echoText() + m_moduleDescription;
    }
    if (text == m_settingsText)
        return;
    m_settingsText = text;
    Q_EMIT settingsTextChanged(text);
}

bool TerminalSession::commOut(const QByteArray& text)
{
    if (!m_portOpen) {
        m_prompter.error(QStringLiteral("Error,\rOperation not allowed while port is closed\rClick LED or "
                                        "'CommPort / Port Open' to connect."));
        m_abortCode = kAbortPortClosed;
        return false;
    }
    if (m_serial)
        return m_serialLink.write(text) >= 0;
    if (!m_tcpLink.isOpen() && !connectTcp()) {
        m_portOpen = false;
        markClosed();
        m_prompter.error(
            QStringLiteral("Error,\rTCP/IP connection is no longer valid.\rClick LED to re-connect."));
        return false;
    }
    return m_tcpLink.write(text) >= 0;
}

bool TerminalSession::closeAndReopen()
{
    closeLink();
    m_screen->showLine(QStringLiteral("PT:  Closing USB/Service port"));
    modalWait(kRestartWaitMs);
    if (!m_serial) {
        openOrCloseLink();
        return m_portOpen;
    }
    m_screen->showLine(QStringLiteral("PT:  Waiting for application to restart"));
    for (int attempt = 1; attempt <= kReopenTries; ++attempt) {
        // The device is gone while it restarts; failed tries are expected and not reported.
        if (openSerial(false))
            break;
        if (attempt < kReopenTries)
            modalWait(kReopenIntervalMs);
    }
    m_portOpen = m_serialLink.isOpen();
    if (m_portOpen) {
        markOpen();
        return true;
    }
    m_screen->showLine(QStringLiteral("PT:  Port did not re-open with 60 seconds"));
    return false;
}

bool TerminalSession::reopenQuietly()
{
    if (m_portOpen)
        return true;
    const bool opened = m_serial ? openSerial(false) : connectTcp();
    if (!opened)
        return false;
    m_portOpen = true;
    markOpen();
    return true;
}

void TerminalSession::onReceived(const QByteArray& data, bool fromSerial)
{
    m_lastReceived = data;
    if (fromSerial && m_endWaitOnReceive && !m_modalWaits.empty())
        *m_modalWaits.back() = true;
    m_screen->showReceived(data);
}

void TerminalSession::onLineEvent(LineEvent event)
{
    setStatus(QStringLiteral("Status: ") + lineEventText(event), true);
}

void TerminalSession::onSerialLost(const QString& text)
{
    // The device went away under us (adapter unplugged, unit restarting): the link is
    // closed, and sends now get the closed-port message instead of vanishing.
    if (!m_portOpen)
        return;
    m_portOpen = false;
    markClosed();
    if (!text.isEmpty())
        setStatus(QStringLiteral("Status: ") + text, true);
}
