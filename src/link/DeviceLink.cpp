#include "DeviceLink.h"

#include "ByteLink.h"
#include "KorvexSettings.h"
#include "Prompter.h"
#include "Runtime.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLink, "korvex.link", QtWarningMsg)

namespace {
const QString kClosedPortText = QStringLiteral(
    "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect.");
const QString kConnectFailedText =
    QStringLiteral("Error,\rCannot connect to selected IP device.\rCheck PortSettings Properies.");
const QString kConnectionLostText =
    QStringLiteral("Error,\rTCP/IP connection is no longer valid.\rClick LED to re-connect.");
const QString kLineEventTitle = QStringLiteral("Click Cancel to quit, OK to ignore.");

// Marks a sequence that pumps events, so that a second click arriving during its waits
// cannot start the same sequence again inside it.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }

private:
    bool& m_flag;
};
} // namespace

DeviceLink::DeviceLink(Runtime& runtime, Prompter& prompter, KorvexSettings& settings, ByteLink& serial,
                       ByteLink& tcp, QObject* parent)
    : QObject(parent), m_rt(runtime), m_prompter(prompter), m_settings(settings), m_serial(serial), m_tcp(tcp)
{
    for (int i = 0; i < kAntennaCount; ++i)
        m_profiles[i] = ConnectionProfile::defaults(i + 1);
    connect(&m_serial, &ByteLink::received, this, &DeviceLink::received);
    connect(&m_tcp, &ByteLink::received, this, &DeviceLink::received);
    connect(&m_serial, &ByteLink::lineEvent, this, &DeviceLink::onLineEvent);
    connect(&m_serial, &ByteLink::closedByPeer, this, [this] { onPeerClosed(&m_serial); });
    connect(&m_tcp, &ByteLink::closedByPeer, this, [this] { onPeerClosed(&m_tcp); });
}

DeviceLink::~DeviceLink()
{
    disconnect(&m_serial, nullptr, this, nullptr);
    disconnect(&m_tcp, nullptr, this, nullptr);
}

ConnectionProfile& DeviceLink::profile(int antenna)
{
    return m_profiles[qBound(1, antenna, kAntennaCount) - 1];
}

const ConnectionProfile& DeviceLink::profile(int antenna) const
{
    return m_profiles[qBound(1, antenna, kAntennaCount) - 1];
}

void DeviceLink::setProfileCaption(int antenna, const QString& caption)
{
    ConnectionProfile& p = profile(antenna);
    if (p.caption == caption)
        return;
    p.caption = caption;
    Q_EMIT profileChanged(antenna);
}

void DeviceLink::setProfileEnabled(int antenna, bool enabled)
{
    ConnectionProfile& p = profile(antenna);
    if (p.enabled == enabled)
        return;
    p.enabled = enabled;
    Q_EMIT profileChanged(antenna);
}

void DeviceLink::load()
{
    m_profiles = m_settings.loadProfiles();
    for (int a = 1; a <= kAntennaCount; ++a)
        Q_EMIT profileChanged(a);
    m_selected = m_settings.loadSelected();
    reselectCurrent();
}

// Shows the current antenna's button checked without taking it as a switch. The guard
// covers only this one notification: a view that re-enters selectAntenna() while it
// checks the button consumes it, and one that does not must not leave it armed for the
// user's next real click.
void DeviceLink::reselectCurrent()
{
    m_switchGuard = true;
    Q_EMIT selectedAntennaChanged(m_selected);
    m_switchGuard = false;
}

ByteLink& DeviceLink::linkFor(const ConnectionProfile& p) const
{
    return p.serial ? m_serial : m_tcp;
}

void DeviceLink::togglePort()
{
    if (m_busy) {
        qCDebug(lcLink) << "port toggle ignored while the link is busy";
        return;
    }
    BusyScope busy(m_busy);
    const ConnectionProfile p = profile(m_selected);
    Q_EMIT matchingReset(p.serial ? 0 : kTcpReceiveIndex);
    if (p.serial)
        toggleSerial(p);
    else
        toggleTcp(p);
    if (m_portOpen) {
        Q_EMIT linkOpened();
        setStatusText(QStringLiteral("Status: Port Open"));
    } else {
        enterClosed();
    }
}

void DeviceLink::toggleTcp(const ConnectionProfile& p)
{
    setSettingsText(QStringLiteral("Settings: IP  ") + p.address + QStringLiteral(" : ") +
                    QString::number(p.tcpPort));
    // A link whose peer went away still counts as open until it is closed here: the
    // menu shows it checked, so a click on it means "close", not "connect again".
    const bool wasOpen = m_portOpen || m_tcp.isOpen();
    m_portOpen = false;
    m_tcp.close();
    if (wasOpen) {
        m_serial.close();
        setPortOpen(false);
        return;
    }
    if (m_serial.isOpen())
        m_serial.close();
    if (connectTcp(p)) {
        setPortOpen(true);
        return;
    }
    m_prompter.error(kConnectFailedText);
    setPortOpen(false);
}

bool DeviceLink::connectTcp(const ConnectionProfile& p)
{
    LinkEndpoint e;
    e.host = p.address;
    e.port = quint16(p.tcpPort);
    m_tcp.setEndpoint(e);
    if (m_tcp.open())
        m_rt.waitUntil([this] { return m_tcp.isOpen(); }, kConnectWaitMs);
    if (m_tcp.isOpen())
        return true;
    // A connect still pending would complete later behind a link that counts as closed.
    m_tcp.close();
    qCInfo(lcLink) << "no connection to" << p.address << p.tcpPort << m_tcp.errorString();
    return false;
}

void DeviceLink::toggleSerial(const ConnectionProfile& p)
{
    setSettingsText(QStringLiteral("Settings: Com") + QString::number(p.commPort) + QStringLiteral(": ") +
                    p.settings);
    if (m_portOpen) {
        m_serial.close();
        m_tcp.close();
        setPortOpen(false);
        return;
    }
    if (m_tcp.isOpen())
        m_tcp.close();
    LinkEndpoint e;
    e.device = m_settings.comDevice(p.commPort);
    e.settings = p.settings;
    m_serial.setEndpoint(e);
    // The platform's text says what went wrong, not with which device; a COM number can
    // mean any device the settings map it to.
    if (!m_serial.open()) {
        QString text = m_serial.errorString() + QStringLiteral("\rCom") + QString::number(p.commPort) +
                       QStringLiteral(": ") + e.device;
        if (!m_serial.openAdvice().isEmpty())
            text += QLatin1Char('\r') + m_serial.openAdvice();
        m_prompter.error(text);
    }
    setPortOpen(m_serial.isOpen());
}

void DeviceLink::setPortOpen(bool open)
{
    m_portOpen = open;
    if (m_shownOpen == open)
        return;
    m_shownOpen = open;
    Q_EMIT portOpenChanged(open);
}

void DeviceLink::enterClosed()
{
    setLinkLed(LedState::Off);
    Q_EMIT linkClosed();
    setStatusText(QStringLiteral("Status: Port Closed"));
}

// Closing by failure (a lost TCP link, a serial error the user quits on, a device that
// went away) leaves the indicators as a closed port shows them, so that nothing keeps
// polling or reporting time-outs on a link that is gone.
void DeviceLink::closeOnFailure(ByteLink& link)
{
    link.close();
    setPortOpen(false);
    enterClosed();
}

bool DeviceLink::commOut(const QByteArray& text)
{
    if (!m_portOpen) {
        // A poll tick that fires during a reconnect's waits is dropped quietly; the
        // reconnect reports the outcome once.
        if (!m_reconnecting)
            m_prompter.error(kClosedPortText);
        return false;
    }
    const ConnectionProfile& p = profile(m_selected);
    if (p.serial)
        return m_serial.write(text) >= 0;
    if (m_tcp.isOpen())
        return m_tcp.write(text) >= 0;
    if (m_reconnecting)
        return false;
    if (!reconnectTcp(p)) {
        closeOnFailure(m_tcp);
        m_prompter.error(kConnectionLostText);
        return false;
    }
    if (!m_portOpen)
        return false;
    return m_tcp.write(text) >= 0;
}

bool DeviceLink::reconnectTcp(const ConnectionProfile& p)
{
    m_reconnecting = true;
    m_tcp.close();
    // The unit may have restarted: what it says on the new connection starts over, as
    // after opening, with its greeting consumed by the empty slot one behind.
    Q_EMIT matchingReset(kTcpReceiveIndex);
    LinkEndpoint e;
    e.host = p.address;
    e.port = quint16(p.tcpPort);
    m_tcp.setEndpoint(e);
    m_tcp.open();
    const qint64 start = m_rt.now();
    while (!m_tcp.isOpen() && m_rt.now() - start < kConnectWaitMs)
        wait(kReconnectStepMs);
    m_reconnecting = false;
    qCInfo(lcLink) << "reconnect to" << p.address << p.tcpPort << (m_tcp.isOpen() ? "done" : "failed")
                   << "after" << m_rt.now() - start << "ms";
    return m_tcp.isOpen();
}

void DeviceLink::selectAntenna(int index)
{
    if (m_switchGuard) {
        m_switchGuard = false;
        return;
    }
    const int antenna = index + 1;
    if (antenna < 1 || antenna > kAntennaCount || antenna == m_selected)
        return;
    if (m_busy) {
        reselectCurrent();
        return;
    }
    const QString question = QStringLiteral("Close Port for Antenna ") + QString::number(m_selected) +
                             QStringLiteral("\rand\rOpen Port for Antenna ") + QString::number(antenna) +
                             QStringLiteral("?");
    if (m_prompter.ask(question, Prompter::Buttons::OkCancel) != Prompter::Answer::Ok) {
        reselectCurrent();
        return;
    }
    if (m_portOpen)
        togglePort();
    m_selected = antenna;
    Q_EMIT selectedAntennaChanged(antenna);
    togglePort();
    m_settings.saveSelected(antenna);
}

void DeviceLink::wait(int ms)
{
    Q_EMIT waitStarted(ms);
    m_rt.wait(ms);
    Q_EMIT waitFinished();
}

void DeviceLink::setStatusText(const QString& text)
{
    if (m_statusText == text)
        return;
    m_statusText = text;
    Q_EMIT statusTextChanged(text);
}

void DeviceLink::setSettingsText(const QString& text)
{
    if (m_settingsText == text)
        return;
    m_settingsText = text;
    Q_EMIT settingsTextChanged(text);
}

void DeviceLink::setLinkLed(LedState state)
{
    if (m_led == state)
        return;
    m_led = state;
    Q_EMIT linkLedChanged(state);
}

void DeviceLink::onLineEvent(LineEvent event)
{
    if (!profile(m_selected).serial || !m_portOpen)
        return;
    // A wrong baud rate spoils every byte: the one box waiting for its answer speaks for
    // the events that come while it is up, instead of a stack of boxes to click away.
    if (m_lineEventBoxUp)
        return;
    BusyScope boxUp(m_lineEventBoxUp);
    Prompter::Message m;
    m.text = lineEventText(event);
    m.title = kLineEventTitle;
    m.icon = Prompter::Icon::Exclamation;
    m.buttons = Prompter::Buttons::OkCancel;
    if (m_prompter.message(m) != Prompter::Answer::Cancel)
        return;
    // Another event may have been answered while this box was up.
    if (m_portOpen)
        closeOnFailure(m_serial);
}

void DeviceLink::onPeerClosed(ByteLink* link)
{
    const bool active = link == &linkFor(profile(m_selected));
    if (link->kind() == ByteLink::Kind::Tcp) {
        // The socket is finished with; the link stays logically open and the next send
        // reconnects, as a unit that restarts should not need a click on the LED.
        link->close();
        qCInfo(lcLink) << "TCP peer closed the connection";
        return;
    }
    if (!active || !m_portOpen) {
        link->close();
        return;
    }
    const QString text = link->errorString();
    closeOnFailure(*link);
    m_prompter.error(text.isEmpty() ? QStringLiteral("Serial port closed") : text);
}
