#include "PropertiesEditor.h"

#include "DeviceLink.h"
#include "KorvexSettings.h"
#include "Prompter.h"
#include "TcpPort.h"

const QString PropertiesEditor::kHelpUrl =
    QStringLiteral("file:///C:\\Program Files\\Korvex\\html\\comm_port.html");

namespace {
constexpr int kPortCount = 20;
constexpr int kReopenPauseMs = 1000;
} // namespace

PropertiesEditor::PropertiesEditor(DeviceLink& link, KorvexSettings& settings, SettingsStore& store,
                                   Prompter& prompter, QObject* parent)
    : QObject(parent), m_link(link), m_settings(settings), m_store(store), m_prompter(prompter)
{
}

QStringList PropertiesEditor::portList()
{
    QStringList out;
    for (int i = 1; i <= kPortCount; ++i)
        out << QStringLiteral("Com%1").arg(i);
    return out;
}

QStringList PropertiesEditor::baudList()
{
    return {"1200", "2400", "4800", "9600", "19200", "38400"};
}

QStringList PropertiesEditor::parityList()
{
    return {"Even", "Odd", "None", "Mark", "Space"};
}

QStringList PropertiesEditor::dataBitsList()
{
    return {"7", "8"};
}

QStringList PropertiesEditor::stopBitsList()
{
    return {"1", "2"};
}

QStringList PropertiesEditor::flowList()
{
    return {"None", "Xon/Xoff", "RTS", "Xon/RTS"};
}

QStringList PropertiesEditor::tabCaptions() const
{
    QStringList out;
    for (const ConnectionProfile& p : m_link.profiles())
        out << p.caption;
    return out;
}

void PropertiesEditor::open(int tab)
{
    m_deviceEdits.clear();
    m_tab = -1;
    selectTab(tab);
}

void PropertiesEditor::selectTab(int tab)
{
    tab = qBound(0, tab, kAntennaCount - 1);
    if (tab == m_tab)
        return;
    m_tab = tab;
    // The new tab shows its profile's port; what was typed on the last one is gone.
    m_badPortText.reset();
    Q_EMIT viewChanged();
}

PropertiesEditor::TabView PropertiesEditor::view() const
{
    const ConnectionProfile& p = m_link.profile(antenna());
    TabView v;
    v.enabled = p.enabled;
    v.caption = p.caption;
    v.portIndex = p.commPort - 1;
    v.baud = p.settings.section(QLatin1Char(','), 0, 0);
    v.address = p.address;
    v.portText = QString::number(p.tcpPort);
    v.serial = p.serial;
    v.comDevice = m_deviceEdits.value(p.commPort, m_settings.comDevice(p.commPort));
    return v;
}

void PropertiesEditor::setCaption(const QString& caption)
{
    m_link.setProfileCaption(antenna(), caption);
    Q_EMIT viewChanged();
}

void PropertiesEditor::setEnabled(bool enabled)
{
    m_link.setProfileEnabled(antenna(), enabled);
    Q_EMIT viewChanged();
}

void PropertiesEditor::setAddress(const QString& address)
{
    m_link.profile(antenna()).address = address;
    Q_EMIT viewChanged();
}

void PropertiesEditor::setPortText(const QString& text)
{
    // Text on its way to a port ("7" of "7000") leaves the port as it was; OK refuses
    // text that never became one.
    const std::optional<int> port = tcpport::parse(text);
    if (!port) {
        m_badPortText = text;
        return;
    }
    m_badPortText.reset();
    m_link.profile(antenna()).tcpPort = *port;
    Q_EMIT viewChanged();
}

void PropertiesEditor::setPortIndex(int index)
{
    if (index < 0 || index >= kPortCount)
        return;
    m_link.profile(antenna()).commPort = index + 1;
    Q_EMIT viewChanged();
}

void PropertiesEditor::setBaud(const QString& baud)
{
    // Parity, data and stop bits are fixed at N,8,1 on these units; the lists only show them.
    m_link.profile(antenna()).settings = baud.trimmed() + QStringLiteral(",N,8,1");
    Q_EMIT viewChanged();
}

void PropertiesEditor::setSerial(bool serial)
{
    if (m_link.profile(antenna()).serial == serial)
        return;
    if (antenna() == m_link.selectedAntenna() && m_link.portOpen())
        m_link.togglePort();
    m_link.profile(antenna()).serial = serial;
    Q_EMIT viewChanged();
}

void PropertiesEditor::setComDevice(const QString& device)
{
    m_deviceEdits.insert(m_link.profile(antenna()).commPort, device.trimmed());
    Q_EMIT viewChanged();
}

bool PropertiesEditor::ok()
{
    if (m_badPortText) {
        m_prompter.error(
            tcpport::enteredValueText(QStringLiteral("Port") + QString::number(antenna()), *m_badPortText));
        return false;
    }
    m_settings.saveProfiles(m_link.profiles());
    for (auto it = m_deviceEdits.cbegin(); it != m_deviceEdits.cend(); ++it) {
        if (!it.value().isEmpty() && it.value() != m_settings.comDevice(it.key()))
            m_settings.setComDevice(it.key(), it.value());
    }
    m_deviceEdits.clear();
    if (m_link.portOpen()) {
        m_link.togglePort();
        m_link.wait(kReopenPauseMs);
    }
    m_link.togglePort();
    Q_EMIT closed();
    return true;
}

void PropertiesEditor::cancel()
{
    m_deviceEdits.clear();
    m_badPortText.reset();
    Q_EMIT closed();
}

void PropertiesEditor::help()
{
    m_prompter.openUrl(kHelpUrl);
}
