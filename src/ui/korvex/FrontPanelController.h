#pragma once

#include "FrontPanelLogic.h"
#include "StatusBits.h"

#include <QObject>
#include <QPointer>

class DeviceLink;
class FrontPanel;
class QMenu;
class QPoint;

// Joins the front panel's widgets to the panel logic: keys, arrows, status labels and
// the entry box call the logic; the display, the lamps and their captions show what it
// says. The link lamp (Port Status) is the main window's. While the link is closed the
// status lamps show dark: the unit is saying nothing, whatever it said last.
class FrontPanelController : public QObject {
    Q_OBJECT
public:
    FrontPanelController(FrontPanel& panel, FrontPanelLogic& logic, const DeviceLink& link,
                         QObject* parent = nullptr);

    // Opens a status-bit window as a pop-up under the status lamps.
    QMenu* openBitWindow(statusbits::Window kind);
    // The last pop-up opened (shortcut menu or bit window) while it is open.
    QMenu* openPopup() const { return m_popup; }

private:
    void connectKeys();
    void connectEntry();
    void openShortcutMenu(FrontPanelLogic::Screen screen, const QPoint& localPos);
    void onLampClicked(int index);
    void showDisplay();
    void showLeds();
    void popup(QMenu* menu, const QPoint& globalPos);

    FrontPanel& m_panel;
    FrontPanelLogic& m_logic;
    const DeviceLink& m_link;
    QPointer<QMenu> m_popup;
};
