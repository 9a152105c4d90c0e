#include "TerminalSession.h"

#include "CommLog.h"
#include "InstanceLock.h"
#include "KeyInput.h"
#include "ModuleSelectorHook.h"
#include "NumberFormat.h"
#include "Prompter.h"
#include "Runtime.h"
#include "SerialPorts.h"
#include "SerialSettings.h"
#include "SettingsStore.h"
#include "TcpPort.h"
#include "TerminalScreen.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSession, "quillan.session", QtWarningMsg)

const QByteArray TerminalSession::kLineTerminator("\r\n");

namespace {
constexpr int kMaxComNumber = 16;
const char* const kInvalidPortNumber = "Invalid port number";
} // namespace

TerminalSession::TerminalSession(Runtime& runtime, Prompter& prompter, SettingsStore& store, ByteLink& serial,
                                 ByteLink& tcp, int instanceNumber, QObject* parent)
    : QObject(parent), m_rt(runtime), m_prompter(prompter), m_store(store), m_serialLink(serial),
      m_tcpLink(tcp), m_instance(instanceNumber == 2 ? 2 : 1), m_log(std::make_unique<CommLog>(prompter)),
      m_screen(std::make_unique<TerminalScreen>(*m_log)), m_lineStateTimer(runtime.createTimer()),
      m_connectTimer(runtime.createTimer()), m_statusTimer(runtime.createTimer())
{
    // The modem-status lines have no change notification here; reading them on a timer of
    // their own keeps the boxes current also while an upload has stopped the connect time.
    m_lineStateTimer->setInterval(kLineStatePollMs);
    m_lineStateTimer->setSingleShot(false);
    m_lineStateTimer->setCallback([this] { refreshLineStates(); });
    m_connectTimer->setInterval(1000);
    m_connectTimer->setSingleShot(false);
    m_connectTimer->setCallback([this] { tickConnectTime(); });
    m_statusTimer->setSingleShot(true);
    m_statusTimer->setInterval(kStatusClearMs);
    m_statusTimer->setCallback([this] { setStatus(QStringLiteral("Status: "), false); });

    connect(m_log.get(), &CommLog::loggingChanged, this, [this] { updateCaption(); });
    connect(m_screen.get(), &TerminalScreen::receivedShown, this, [this](const QString& text) {
        if (m_replyCapture)
            m_replyText += text;
    });

    connect(&m_serialLink, &ByteLink::received, this, [this](const QByteArray& d) {
        if (m_serial)
            onReceived(d, true);
    });
    connect(&m_tcpLink, &ByteLink::received, this, [this](const QByteArray& d) {
        if (!m_serial)
            onReceived(d, false);
    });
    connect(&m_serialLink, &ByteLink::lineEvent, this, [this](LineEvent e) {
        if (m_serial)
            onLineEvent(e);
    });
    connect(&m_serialLink, &ByteLink::errorOccurred, this, [this](const QString& text) {
        if (m_serial && m_portOpen)
            setStatus(QStringLiteral("Status: ") + text, true);
    });
    connect(&m_serialLink, &ByteLink::closedByPeer, this, [this] {
        if (m_serial)
            onSerialLost(m_serialLink.errorString());
    });
    connect(&m_tcpLink, &ByteLink::errorOccurred, this, [this] { m_tcpFailed = true; });
}

TerminalSession::~TerminalSession()
{
    m_lineStateTimer->stop();
    m_connectTimer->stop();
    m_statusTimer->stop();
}

QString TerminalSession::profileName() const
{
    return InstanceLock::profileName(m_instance);
}

void TerminalSession::pinRunLink(OverlaySettingsStore& store, const QString& profile, bool serial,
                                 const QString& device, int baud, const QString& host, int port,
                                 const QString& module)
{
    const QString section = QString::fromLatin1(kSection);
    auto pin = [&](const char* key, const QString& value) { store.pin(profile, section, QLatin1String(key), value); };
    pin("Type", SettingsStore::boolText(serial));
    if (serial) {
        // COM1 stands for the device during this run; its mapping is pinned with it.
        pin("CommPort", QStringLiteral("1"));
        store.pin(profile, QStringLiteral("Ports"), QStringLiteral("COM1"), device);
        if (baud > 0)
            pin("Settings", QStringLiteral("%1,N,8,1").arg(baud));
    } else {
        pin("Address", host);
        pin("PortNumber", QString::number(port));
    }
    if (!module.isEmpty())
        pin("Direct", module);
}

QString TerminalSession::captionText() const
{
    return InstanceLock::captionText(m_instance);
}

QString TerminalSession::caption() const
{
    if (m_log->isOpen())
        return captionText() + QStringLiteral(" - Logging ") + m_log->path();
    return captionText();
}

void TerminalSession::updateCaption()
{
    Q_EMIT captionChanged(caption());
}

void TerminalSession::start()
{
    readProfile();
    Q_EMIT captionChanged(caption());
    openOrCloseLink();
}

void TerminalSession::readProfile()
{
    // Settings written later (module choice, the dialog) that cannot be saved are reported
    // once, naming the file.
    m_store.reportSaveFailuresTo(m_prompter);
    const QString app = profileName();
    const QString section = QString::fromLatin1(kSection);
    auto read = [&](const char* key, const QString& def) {
        return m_store.get(app, section, QLatin1String(key), def);
    };

    const QString settings = read("Settings", QString());
    if (!settings.isEmpty())
        setSerialSettings(settings);
    const QString com = read("CommPort", QString());
    if (!com.isEmpty()) {
        const std::optional<int> n = numfmt::toInt16(com);
        if (n)
            setComNumber(*n);
        else
            m_prompter.error(QString::fromLatin1(kInvalidPortNumber));
    }
    const QString handshaking = read("Handshaking", QString());
    if (!handshaking.isEmpty()) {
        const std::optional<int> h = numfmt::toInt16(handshaking);
        if (!h || !setHandshaking(*h))
            m_prompter.error(QString::fromLatin1(SerialSettings::kInvalidText));
    }
    setEcho(numfmt::toBool(read("Echo", QString())).value_or(false));

    const QString direct = read("Direct", QStringLiteral("DATA"));
    if (m_selector)
        m_selector->restoreModule(direct);

    m_address = read("Address", QString::fromLatin1(kDefaultAddress));
    m_serial = m_store.getBool(app, section, QStringLiteral("Type"), true);
    // A port the file names but cannot be is said, not swapped silently for another.
    const QString port = read("PortNumber", QString::number(kDefaultTcpPort));
    if (const std::optional<int> n = tcpport::parse(port)) {
        m_tcpPort = *n;
    } else {
        m_tcpPort = kDefaultTcpPort;
        m_prompter.error(tcpport::storedValueText(QStringLiteral("PortNumber"), port, m_store.location(app),
                                                  kDefaultTcpPort));
    }

    setSendPacing(kDefaultPacing);
}

void TerminalSession::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (m_serialLink.isOpen())
        m_serialLink.close();
    m_tcpLink.close();
    m_log->stop();
    m_lineStateTimer->stop();
    m_connectTimer->stop();
    m_statusTimer->stop();
    m_portOpen = false;
}

bool TerminalSession::setComNumber(int com)
{
    if (com < 1 || com > kMaxComNumber) {
        m_prompter.error(QString::fromLatin1(kInvalidPortNumber));
        return false;
    }
    m_comNumber = com;
    return true;
}

bool TerminalSession::setSerialSettings(const QString& settings)
{
    SerialSettings parsed;
    if (!SerialSettings::parse(settings, &parsed)) {
        m_prompter.error(QString::fromLatin1(SerialSettings::kInvalidText));
        return false;
    }
    m_serialSettings = parsed.toString();
    return true;
}

bool TerminalSession::setHandshaking(int code)
{
    if (code < 0 || code > 3)
        return false;
    m_handshaking = code;
    if (m_serial && m_portOpen)
        m_serialLink.setHandshake(Handshake(code));
    return true;
}

void TerminalSession::setEcho(bool on)
{
    if (m_echo == on)
        return;
    m_echo = on;
    Q_EMIT echoChanged(on);
}

QString TerminalSession::echoText() const
{
    return m_echo ? QStringLiteral(", Echo On  ") : QStringLiteral(", Echo Off  ");
}

QString TerminalSession::portLabel() const
{
    return QStringLiteral("Com%1: ").arg(m_comNumber);
}

QString TerminalSession::serialDevice() const
{
    return comDevice(m_store, profileName(), m_comNumber);
}

void TerminalSession::setTopMarginTwips(int twips)
{
    m_screen->setPanelFrames(twips > kNormalTopMargin);
    if (m_topMargin == twips)
        return;
    m_topMargin = twips;
    Q_EMIT topMarginChanged(twips);
}

void TerminalSession::setSendPacing(int ms)
{
    if (m_pacing == ms)
        return;
    m_pacing = ms;
    Q_EMIT sendPacingChanged(ms);
}

void TerminalSession::setLoopSend(bool on)
{
    if (m_loopSend == on)
        return;
    m_loopSend = on;
    Q_EMIT loopSendChanged(on);
}

void TerminalSession::requestCancel()
{
    m_cancelRequested = true;
    Q_EMIT cancelPressed();
}

bool TerminalSession::handleKey(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    const KeyInput::Result r = KeyInput::translate(key, modifiers, text, m_portOpen);
    switch (r.action) {
    case KeyInput::Action::Ignore:
        return false;
    case KeyInput::Action::Swallow:
        return true;
    case KeyInput::Action::LocalEdit:
        m_screen->typeLocally(r.text);
        return true;
    case KeyInput::Action::Send:
        commOut(r.bytes);
        if (r.characterKey) {
            if (m_echo)
                m_screen->typeLocally(r.text);
            if (!connectTimerRunning())
                startConnectTimer();
        }
        return true;
    }
    return false;
}

void TerminalSession::setDtr(bool on)
{
    m_dtrWanted = on;
    m_lines.dtr = on;
    if (m_serial && m_portOpen)
        m_serialLink.setDtr(on);
    Q_EMIT lineStatesChanged(m_lines);
}

void TerminalSession::setRts(bool on)
{
    m_rtsWanted = on;
    m_lines.rts = on;
    if (m_serial && m_portOpen)
        m_serialLink.setRts(on);
    Q_EMIT lineStatesChanged(m_lines);
}

void TerminalSession::applyOutputLines()
{
    // Some USB boards stay silent while DTR is low, so a reopen (a module change, a
    // restart) must not drop what the user chose; before any choice the port's own
    // levels stand.
    if (!m_dtrWanted)
        m_dtrWanted = m_serialLink.dtr();
    else
        m_serialLink.setDtr(*m_dtrWanted);
    if (!m_rtsWanted)
        m_rtsWanted = m_serialLink.rts();
    else
        m_serialLink.setRts(*m_rtsWanted);
    m_lines.dtr = *m_dtrWanted;
    m_lines.rts = *m_rtsWanted;
}

void TerminalSession::refreshLineStates()
{
    TerminalLineStates next = m_lines;
    const LineStates in = (m_serial && m_portOpen) ? m_serialLink.lineStates() : LineStates{};
    if (!in.available)
        m_lineStateTimer->stop();
    next.cts = in.cts;
    next.dsr = in.dsr;
    next.dcd = in.dcd;
    if (next == m_lines)
        return;
    m_lines = next;
    Q_EMIT lineStatesChanged(m_lines);
}

void TerminalSession::startConnectTimer()
{
    m_connectStartNs = m_rt.nowNs();
    m_connectTimer->start();
    m_connectTimeText = QStringLiteral("00:00:00 ");
    Q_EMIT connectTimeChanged(m_connectTimeText);
}

void TerminalSession::stopConnectTimer()
{
    m_connectTimer->stop();
}

bool TerminalSession::connectTimerRunning() const
{
    return m_connectTimer->isActive();
}

void TerminalSession::tickConnectTime()
{
    const qint64 secs = (m_rt.nowNs() - m_connectStartNs) / 1000000000LL;
    m_connectTimeText = QStringLiteral("%1:%2:%3 ")
                            .arg(secs / 3600, 2, 10, QLatin1Char('0'))
                            .arg((secs / 60) % 60, 2, 10, QLatin1Char('0'))
                            .arg(secs % 60, 2, 10, QLatin1Char('0'));
    Q_EMIT connectTimeChanged(m_connectTimeText);
}

void TerminalSession::setStatus(const QString& text, bool clearLater)
{
    if (clearLater)
        m_statusTimer->start();
    if (m_statusText == text)
        return;
    m_statusText = text;
    Q_EMIT statusTextChanged(text);
}

void TerminalSession::beginBusy()
{
    if (m_busy++ == 0)
        Q_EMIT busyChanged(true);
}

void TerminalSession::endBusy()
{
    if (m_busy > 0 && --m_busy == 0)
        Q_EMIT busyChanged(false);
}
