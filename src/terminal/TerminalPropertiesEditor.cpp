#include "TerminalPropertiesEditor.h"

#include "ModuleSelectorHook.h"
#include "Prompter.h"
#include "SettingsStore.h"
#include "TcpPort.h"
#include "TerminalSession.h"

namespace {
int indexOfTrimmed(const QStringList& list, const QString& value)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].compare(value.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
} // namespace

QStringList TerminalPropertiesEditor::ports()
{
    QStringList out;
    for (int i = 1; i <= 16; ++i)
        out << QStringLiteral("Com%1").arg(i);
    return out;
}

QStringList TerminalPropertiesEditor::baudRates()
{
    return {"1200", "2400", "4800", "9600", "19200", "38400", "115200"};
}

QStringList TerminalPropertiesEditor::dataBits()
{
    return {"4", "5", "6", "7", "8"};
}

QStringList TerminalPropertiesEditor::parities()
{
    return {"Even", "Odd", "None", "Mark", "Space"};
}

QStringList TerminalPropertiesEditor::stopBits()
{
    return {"1", "1.5", "2"};
}

QStringList TerminalPropertiesEditor::flowControls()
{
    return {"None", "Xon/Xoff", "RTS", "Xon/RTS"};
}

QStringList TerminalPropertiesEditor::echoChoices()
{
    return {"Off", "On"};
}

TerminalPropertiesEditor::TerminalPropertiesEditor(TerminalSession& session) : m_session(session)
{
    load();
}

void TerminalPropertiesEditor::load()
{
    form = Form{};
    form.serial = m_session.linkIsSerial();
    const int com = m_session.comNumber();
    form.port = com >= 1 && com <= 16 ? com - 1 : -1;
    const QStringList parts = m_session.serialSettings().split(QLatin1Char(','));
    if (parts.size() > 0)
        form.baud = indexOfTrimmed(baudRates(), parts[0]);
    if (parts.size() > 1) {
        const QString letter = parts[1].trimmed().toLower();
        const int byLetter = QStringLiteral("eonms").indexOf(letter);
        form.parity = letter.size() == 1 && byLetter >= 0 ? byLetter : -1;
    }
    if (parts.size() > 2)
        form.dataBits = indexOfTrimmed(dataBits(), parts[2]);
    if (parts.size() > 3)
        form.stopBits = parts[3].contains(QLatin1Char('.')) ? 1 : indexOfTrimmed(stopBits(), parts[3]);
    form.flowControl = m_session.handshaking();
    form.echo = m_session.echo();
    form.address = m_session.address();
    form.portNumber = QString::number(m_session.tcpPort());
}

bool TerminalPropertiesEditor::chooseTcp()
{
    const ModuleSelectorHook* selector = m_session.moduleSelector();
    if (selector && selector->tcpAllowed()) {
        form.serial = false;
        return true;
    }
    m_session.prompter().error(QString::fromLatin1(kTcpRefused));
    m_session.closeLink();
    form.serial = true;
    return false;
}

QString TerminalPropertiesEditor::settingsString() const
{
    auto pick = [](const QStringList& list, int i) {
        return i >= 0 && i < list.size() ? list[i].trimmed() : QString();
    };
    return pick(baudRates(), form.baud) + QLatin1Char(',') + pick(parities(), form.parity).left(1) +
           QLatin1Char(',') + pick(dataBits(), form.dataBits) + QLatin1Char(',') +
           pick(stopBits(), form.stopBits);
}

bool TerminalPropertiesEditor::accept()
{
    // Refused before anything changes, so the dialog stays as the user left it.
    const std::optional<int> port = tcpport::parse(form.portNumber);
    if (!port) {
        m_session.prompter().error(tcpport::enteredValueText(QStringLiteral("PortNumber"), form.portNumber));
        return false;
    }
    if (m_session.isPortOpen())
        m_session.openOrCloseLink();
    if (form.serial) {
        if (!m_session.setComNumber(form.port + 1))
            return false;
        m_session.setSerialSettings(settingsString());
    }
    m_session.setHandshaking(form.flowControl);
    m_session.setLinkIsSerial(form.serial);
    m_session.setAddress(form.address);
    m_session.setTcpPort(*port);
    m_session.setEcho(form.echo);

    SettingsStore& store = m_session.store();
    const QString app = m_session.profileName();
    const QString section = QString::fromLatin1(TerminalSession::kSection);
    store.set(app, section, QStringLiteral("Settings"), m_session.serialSettings());
    store.set(app, section, QStringLiteral("CommPort"), QString::number(m_session.comNumber()));
    store.set(app, section, QStringLiteral("Handshaking"), QString::number(m_session.handshaking()));
    store.set(app, section, QStringLiteral("Address"), m_session.address());
    store.set(app, section, QStringLiteral("PortNumber"), QString::number(m_session.tcpPort()));
    store.set(app, section, QStringLiteral("Echo"), SettingsStore::boolText(m_session.echo()));
    store.set(app, section, QStringLiteral("Type"), SettingsStore::boolText(m_session.linkIsSerial()));
    store.sync();

    m_session.openOrCloseLink();
    return true;
}
