#include "FrontPanelController.h"

#include "DeviceLink.h"
#include "EntryBox.h"
#include "FrontPanel.h"
#include "LampLabel.h"
#include "LedColors.h"
#include "PanelKey.h"
#include "PanelMenus.h"
#include "VfdDisplay.h"

#include <QMenu>

using Screen = FrontPanelLogic::Screen;
using Label = FrontPanelLogic::Label;

FrontPanelController::FrontPanelController(FrontPanel& panel, FrontPanelLogic& logic, const DeviceLink& link,
                                           QObject* parent)
    : QObject(parent), m_panel(panel), m_logic(logic), m_link(link)
{
    connectKeys();
    connectEntry();
    connect(&m_logic, &FrontPanelLogic::displayChanged, this, &FrontPanelController::showDisplay);
    connect(&m_logic, &FrontPanelLogic::ledsChanged, this, &FrontPanelController::showLeds);
    connect(&m_logic, &FrontPanelLogic::labelsChanged, this, &FrontPanelController::showLeds);
    connect(&m_link, &DeviceLink::portOpenChanged, this, &FrontPanelController::showLeds);
    connect(&m_logic, &FrontPanelLogic::bitWindowRequested, this,
            [this](statusbits::Window kind) { openBitWindow(kind); });
    connect(&m_panel, &FrontPanel::lampClicked, this, &FrontPanelController::onLampClicked);
    // The labels that answer a click show it with the cursor.
    for (int lamp : {int(StatusLeds::Tracking), int(StatusLeds::Error), int(StatusLeds::Nutara),
                     FrontPanel::kPortStatusLamp})
        m_panel.lamp(lamp)->setCursor(Qt::PointingHandCursor);
    showDisplay();
    showLeds();
}

void FrontPanelController::connectKeys()
{
    for (int k = FrontPanel::Ship; k <= FrontPanel::Mode; ++k) {
        PanelKey* key = m_panel.screenKey(FrontPanel::ScreenKey(k));
        const auto screen = Screen(k);
        connect(key, &PanelKey::clicked, this, [this, screen] { m_logic.pressScreenKey(screen); });
        connect(key, &QWidget::customContextMenuRequested, this,
                [this, screen](const QPoint& pos) { openShortcutMenu(screen, pos); });
    }
    for (int a = FrontPanel::Up; a <= FrontPanel::Right; ++a) {
        PanelKey* key = m_panel.arrowKey(FrontPanel::Arrow(a));
        const auto arrow = FrontPanelLogic::Arrow(a);
        // Held, not clicked: the antenna moves from press to release.
        connect(key, &PanelKey::pressed, this, [this, arrow] { m_logic.pressArrow(arrow); });
        connect(key, &PanelKey::released, this, [this] { m_logic.releaseArrow(); });
    }
    connect(m_panel.trackingKey(), &PanelKey::clicked, this, [this] { m_logic.pressTracking(); });
}

void FrontPanelController::connectEntry()
{
    EntryBox* entry = m_panel.entryBox();
    entry->setSpaceHandler([this] { return m_logic.entrySpace(); });
    connect(entry, &EntryBox::keyTyped, this, [this] { m_logic.entryKey(); });
    connect(entry, &EntryBox::entered, this, [this, entry](const QString& text) {
        // A value that went out leaves the box; one that did not stays, marked, to be mended.
        if (m_logic.entryEnter(text))
            entry->clear();
        else
            entry->selectAll();
    });
}

void FrontPanelController::openShortcutMenu(Screen screen, const QPoint& localPos)
{
    const std::optional<FrontPanelLogic::ShortcutMenu> shortcuts = m_logic.rightClickScreenKey(screen);
    if (!shortcuts)
        return;
    QWidget* key = m_panel.screenKey(FrontPanel::ScreenKey(int(screen)));
    QMenu* menu = panelmenus::shortcutMenu(
        *shortcuts, [this](int page) { m_logic.chooseShortcut(page); }, key);
    popup(menu, key->mapToGlobal(localPos));
}

QMenu* FrontPanelController::openBitWindow(statusbits::Window kind)
{
    QWidget* anchor = m_panel.lamp(StatusLeds::Error);
    QMenu* menu = panelmenus::bitWindowMenu(
        m_logic.bitWindow(kind), [this] { m_logic.resetErrorBits(); }, anchor);
    // Under the lamps, but kept over the window: the lamps sit at its right-hand edge.
    QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height()));
    const QWidget* window = anchor->window();
    const int rightEdge = window->mapToGlobal(QPoint(window->width(), 0)).x();
    at.rx() = qMin(at.x(), rightEdge - menu->sizeHint().width());
    popup(menu, at);
    return menu;
}

void FrontPanelController::popup(QMenu* menu, const QPoint& globalPos)
{
    if (m_popup)
        m_popup->close();
    m_popup = menu;
    menu->popup(globalPos);
}

void FrontPanelController::onLampClicked(int index)
{
    switch (index) {
    case StatusLeds::Tracking:
        m_logic.clickStatusLabel(Label::Tracking);
        break;
    case StatusLeds::Error:
        m_logic.clickStatusLabel(Label::Error);
        break;
    case StatusLeds::Nutara:
        m_logic.clickStatusLabel(Label::Nutara);
        break;
    case FrontPanel::kPortStatusLamp:
        m_logic.clickStatusLabel(Label::PortStatus);
        break;
    default:
        break;
    }
}

void FrontPanelController::showDisplay()
{
    m_panel.display()->setLines(m_logic.displayLines());
}

void FrontPanelController::showLeds()
{
    const auto& leds = m_logic.leds();
    const bool live = m_logic.ledsShown() && m_link.portOpen();
    for (int i = 0; i < StatusLeds::kCount; ++i) {
        LampLabel* lamp = m_panel.lamp(i);
        const StatusLed& led = leds[i];
        lamp->led()->setColor(ledColor(live && led.lit, led.colour));
        if (!led.caption.isEmpty())
            lamp->setText(led.caption);
    }
}
