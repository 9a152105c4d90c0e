#include "FrontPanelLogic.h"

#include "EntryCommands.h"
#include "KorvexSession.h"
#include "NumberFormat.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcFront, "korvex.panel", QtWarningMsg)

using screens::Screen;

const QByteArray FrontPanelLogic::kNutaraToggle = QByteArrayLiteral("^0067\r\n");
const QByteArray FrontPanelLogic::kResetErrorBits = QByteArrayLiteral("&    \r\n?   S\r\n");

namespace {
const QString kBlankLine = QStringLiteral(" ");
const QString kKeyNotSentText = QStringLiteral("Status: Port Closed - key not sent");
const QLatin1String kStartedTag("1");
} // namespace

FrontPanelLogic::FrontPanelLogic(KorvexSession& session, QObject* parent)
    : QObject(parent), m_session(session)
{
    m_systemType.caption = QLatin1String(statusbits::kSystemTypeMenu);
    m_polangType.caption = QLatin1String(statusbits::kPolangTypeMenu);
    m_shownCode = session.screenCode();
    session.setPanelView(this);
    connect(&session.link(), &DeviceLink::linkOpened, this, &FrontPanelLogic::onLinkOpened);
    connect(&session.pollCycle(), &PollCycle::statusLedsIdle, this, [this] {
        m_leds.idle();
        m_ledsShown = true;
        Q_EMIT ledsChanged();
        Q_EMIT labelsChanged();
    });
    connect(&session, &KorvexSession::displayChanged, this, &FrontPanelLogic::onDisplayChanged);
}

FrontPanelLogic::~FrontPanelLogic()
{
    if (m_sessionAlive)
        m_session.setPanelView(nullptr);
}

int FrontPanelLogic::screenCode() const
{
    return m_session.screenCode();
}

const QStringList& FrontPanelLogic::displayLines() const
{
    return m_session.displayLines();
}

bool FrontPanelLogic::mhz70() const
{
    return m_session.receiverMode() == ReceiverMode::Mhz70;
}

void FrontPanelLogic::onDisplayChanged()
{
    Q_EMIT displayChanged();
    const int code = m_session.screenCode();
    if (code != m_shownCode) {
        m_shownCode = code;
        Q_EMIT screenChanged(code);
    }
}

void FrontPanelLogic::onLinkOpened()
{
    m_leds.idle();
    Q_EMIT ledsChanged();
    Q_EMIT labelsChanged();
    if (m_hooks.resetGraphSelection)
        m_hooks.resetGraphSelection();
    showScreen(Screen::Antenna);
}

void FrontPanelLogic::setLines(const QStringList& lines)
{
    for (int i = 0; i < lines.size(); ++i)
        m_session.setDisplayLine(i, lines[i]);
}

// Screens and pages ---------------------------------------------------------------------

void FrontPanelLogic::pressScreenKey(Screen screen)
{
    if (screens::screenOf(screenCode()) == screen)
        stepPage(screen);
    else
        showScreen(screen);
}

void FrontPanelLogic::showScreen(Screen screen)
{
    if (screenCode() == screens::kNone && m_hooks.clearGraph)
        m_hooks.clearGraph();
    const int code = screens::base(screen);
    m_session.setScreenCode(code);
    setLines({screens::title(screen), kBlankLine, kBlankLine, kBlankLine});
    PollCycle& poll = m_session.pollCycle();
    poll.rearmStart(kScreenChangeMs);
    poll.setPollSequence(screens::pollSequence(code));
    poll.setStopOption(false);
}

void FrontPanelLogic::stepPage(Screen screen)
{
    const int code = screenCode();
    int next = code + 1;
    switch (screen) {
    case Screen::Ship:
        if (next > screens::kShipLast)
            next = screens::kShip;
        break;
    case Screen::Satellite:
        if (mhz70() && (next == screens::kTonePage || next == screens::kVoltagePage))
            next = screens::kVoltagePage + 1;
        if (next > screens::kSatelliteLast)
            next = screens::kSatellite;
        break;
    case Screen::Antenna:
        if (next > screens::kAntennaLast)
            next = screens::kAntenna;
        break;
    case Screen::Mode:
        // The last page stays: there is nothing after it.
        if (next > screens::kModeLast)
            return;
        break;
    }
    goToPage(next);
}

void FrontPanelLogic::goToPage(int code)
{
    const std::optional<Screen> screen = screens::screenOf(code);
    if (!screen)
        return;
    m_session.setScreenCode(code);
    PanelState& state = m_session.panelState();
    if (*screen == Screen::Mode) {
        setLines({screens::modeTitle(code), kBlankLine, kBlankLine, kBlankLine});
        state.settleCounter = kSettleModePage;
    } else {
        const screens::Lines written = screens::pageLines(code, state, {mhz70(), true});
        for (int i = 0; i < int(written.size()); ++i)
            if (written[i])
                m_session.setDisplayLine(i, kBlankLine);
        if (*screen == Screen::Satellite)
            state.settleCounter = kSettleSatellitePage;
    }
    // Pages that poll something else change the sequence; the others keep their walk.
    const QByteArray sequence = screens::pollSequence(code);
    PollCycle& poll = m_session.pollCycle();
    if (sequence != poll.pollSequence().text())
        poll.setPollSequence(sequence);
}

std::optional<FrontPanelLogic::ShortcutMenu> FrontPanelLogic::rightClickScreenKey(Screen screen)
{
    if (screen != Screen::Mode && screen != Screen::Satellite)
        return std::nullopt;
    if (screens::screenOf(screenCode()) != screen)
        showScreen(screen);
    if (screen == Screen::Mode)
        return ShortcutMenu{QLatin1String(statusbits::kModeDisplayMenu), statusbits::modeDisplayItems()};
    return ShortcutMenu{QLatin1String(statusbits::kSatDisplayMenu), statusbits::satDisplayItems()};
}

void FrontPanelLogic::chooseShortcut(int page)
{
    const std::optional<Screen> screen = screens::screenOf(page);
    if (!screen || page == screens::base(*screen))
        return;
    if (screens::screenOf(screenCode()) != screen)
        showScreen(*screen);
    // As the unit's own shortcut does: the page before, then the screen's key.
    m_session.setScreenCode(page - 1);
    stepPage(*screen);
}

// Arrow, Tracking and label clicks ------------------------------------------------------

void FrontPanelLogic::pressArrow(Arrow arrow)
{
    if (m_hooks.stopPatternScan)
        m_hooks.stopPatternScan();
    m_arrowHeld = true;
    Q_EMIT arrowHeldChanged(true);
    const int code = screenCode();
    if (code == screens::kAntenna) {
        static constexpr JogDirection kDirections[] = {JogDirection::ElevationUp, JogDirection::ElevationDown,
                                                       JogDirection::AzimuthDown, JogDirection::AzimuthUp};
        if (m_hooks.jog)
            m_hooks.jog(Jog{kDirections[int(arrow)]});
        return;
    }
    if (screens::screenOf(code) != Screen::Mode)
        return;
    if (arrow == Arrow::Down) {
        pressScreenKey(Screen::Mode);
    } else if (arrow == Arrow::Up) {
        const int back = qMax(code - 1, screens::kAcuVersionPage);
        if (back != code)
            goToPage(back);
    }
}

void FrontPanelLogic::releaseArrow()
{
    if (!m_arrowHeld)
        return;
    m_arrowHeld = false;
    Q_EMIT arrowHeldChanged(false);
}

// A command queued while the link is closed would go out whenever the link opens again,
// perhaps much later and to another antenna: the panel's keys act now or not at all, and
// the status bar says that the key did nothing.
bool FrontPanelLogic::queueCommand(const QByteArray& command)
{
    if (!m_session.link().portOpen()) {
        qCInfo(lcFront) << "link closed, not sent:" << command;
        m_session.link().setStatusText(kKeyNotSentText);
        return false;
    }
    m_session.pollCycle().setLongCommand(command);
    return true;
}

bool FrontPanelLogic::pressTracking()
{
    const bool tracking = m_session.panelState().trackingState != 0;
    return queueCommand(QByteArray(1, tracking ? 'D' : 'C'));
}

bool FrontPanelLogic::clickStatusLabel(Label label)
{
    if (m_session.pollCycle().startTag() != kStartedTag)
        return false;
    switch (label) {
    case Label::Tracking:
        pressTracking();
        break;
    case Label::Error:
        Q_EMIT bitWindowRequested(statusbits::Window::Error);
        break;
    case Label::PortStatus:
        m_session.link().togglePort();
        break;
    case Label::Nutara:
        queueCommand(kNutaraToggle);
        break;
    }
    return true;
}

// Entry box -----------------------------------------------------------------------------

void FrontPanelLogic::entryKey()
{
    m_session.panelState().settleCounter = 0;
}

bool FrontPanelLogic::isTogglePage() const
{
    const int code = screenCode();
    return code == screens::kTonePage || code == screens::kVoltagePage || code == screens::kVoltagePage + 1;
}

bool FrontPanelLogic::entryEnter(const QString& text)
{
    entryKey();
    if (text.isEmpty())
        return false;
    PanelState& state = m_session.panelState();
    const std::optional<entry::Outcome> outcome = entry::forPage(screenCode(), text, state);
    if (!outcome) {
        qCInfo(lcFront) << "entry not sent on page" << screenCode() << text;
        return false;
    }
    if (!queueCommand(outcome->command))
        return false;
    if (outcome->latitude) {
        state.latitude = qint16(outcome->latitude->tenths);
        state.latHemisphere = outcome->latitude->hemisphere.value_or(state.latHemisphere);
        state.latitudeText = numfmt::formatPattern(state.latitude / 10.0, QStringLiteral("##.0")) +
                             QLatin1Char(state.latHemisphere);
    }
    if (outcome->longitude) {
        state.longitude = qint16(outcome->longitude->tenths);
        state.lonHemisphere = outcome->longitude->hemisphere.value_or(state.lonHemisphere);
        state.longitudeText = numfmt::formatPattern(state.longitude / 10.0, QStringLiteral("###.0")) +
                              QLatin1Char(state.lonHemisphere);
    }
    return true;
}

bool FrontPanelLogic::entrySpace()
{
    if (!isTogglePage())
        return false;
    entryKey();
    const std::optional<entry::Outcome> outcome =
        entry::forPage(screenCode(), QString(), m_session.panelState());
    if (outcome)
        queueCommand(outcome->command);
    return true;
}

// After each good reply: the lines the current page shows, from the panel state.
void FrontPanelLogic::refreshPage()
{
    const int code = screenCode();
    if (code == screens::kNone)
        return;
    const PanelState& state = m_session.panelState();
    const screens::Lines lines = screens::pageLines(code, state, {mhz70(), state.settleCounter > 0});
    for (int i = 0; i < int(lines.size()); ++i)
        if (lines[i])
            m_session.setDisplayLine(i, *lines[i]);
}

// Status LEDs and bits ------------------------------------------------------------------

void FrontPanelLogic::showLeds(const std::array<StatusLed, StatusLeds::kCount>& before)
{
    if (before == m_leds.leds())
        return;
    Q_EMIT ledsChanged();
    for (int i = 0; i < StatusLeds::kCount; ++i) {
        if (before[i].caption != m_leds.led(i).caption) {
            Q_EMIT labelsChanged();
            break;
        }
    }
}

void FrontPanelLogic::statusDecoded()
{
    const auto before = m_leds.leds();
    m_leds.acuStatus(m_session.panelState());
    showLeds(before);
}

void FrontPanelLogic::pcuStatusDecoded()
{
    const auto before = m_leds.leds();
    m_leds.pcuStatus(m_session.panelState());
    showLeds(before);
}

statusbits::BitWindow FrontPanelLogic::bitWindow(statusbits::Window kind) const
{
    return statusbits::bitWindow(kind, m_session.panelState());
}

bool FrontPanelLogic::resetErrorBits()
{
    return queueCommand(kResetErrorBits);
}

void FrontPanelLogic::setCheckSys(int value)
{
    statusbits::BitMenu menu;
    menu.caption = m_session.panelState().systemTypeCaption;
    if (menu.caption.isEmpty())
        menu.caption = QLatin1String(statusbits::kSystemTypeMenu);
    menu.checked = statusbits::ticks(statusbits::systemTypeItems(), value);
    if (menu.caption == m_systemType.caption && menu.checked == m_systemType.checked)
        return;
    m_systemType = menu;
    Q_EMIT bitMenusChanged();
}

void FrontPanelLogic::setCheckPol(int value)
{
    const auto checked = statusbits::ticks(statusbits::polangTypeItems(), value);
    if (checked == m_polangType.checked)
        return;
    m_polangType.checked = checked;
    Q_EMIT bitMenusChanged();
}

bool FrontPanelLogic::flipSystemTypeBit(int bit)
{
    return flipBit('N', bit);
}

bool FrontPanelLogic::flipPolangTypeBit(int bit)
{
    return flipBit('P', bit);
}

// The unit takes the whole parameter at once, so the bit is flipped in the value last read
// and all of it written back.
bool FrontPanelLogic::flipBit(quint8 letter, int bit)
{
    PanelState& state = m_session.panelState();
    const int value = state.parameter(letter) ^ bit;
    const std::optional<QByteArray> command = entry::parameterWrite(letter, value);
    if (!command || !queueCommand(*command))
        return false;
    state.parameters[letter] = qint16(value);
    if (letter == 'N') {
        state.systemTypeCaption = QLatin1String("System Type    ") + numfmt::afmtINT3(value);
        setCheckSys(value);
    } else {
        setCheckPol(value);
    }
    state.settleCounter = kSettleBitWrite;
    return true;
}
