#pragma once

#include "FrontPanelLogic.h"
#include "StatusBits.h"

#include <QMenu>

#include <functional>
#include <span>

// The front panel's menus as Qt menus: the screen keys' shortcut menus, the three
// status-bit windows (a snapshot of the flags, ticked as they were when it opened) and
// the System Type / Polang Type bit menus of the menu bar.
namespace panelmenus {

// Each item carries its page; items without one are listed but not offered. The menu
// deletes itself when it closes; chosen(page) runs for the item picked.
QMenu* shortcutMenu(const FrontPanelLogic::ShortcutMenu& menu, std::function<void(int)> chosen,
                    QWidget* parent);

// The bit window as a pop-up. Ticks are shown, not editable; the default item (the
// error window's "Reset Error Bits") runs resetErrors. Deletes itself when it closes.
QMenu* bitWindowMenu(const statusbits::BitWindow& window, std::function<void()> resetErrors, QWidget* parent);

} // namespace panelmenus

// A System Type or Polang Type menu: one item per bit, ticked from the unit's value;
// choosing an item asks for its bit to be flipped.
class ParameterBitMenu : public QMenu {
    Q_OBJECT
public:
    ParameterBitMenu(std::span<const statusbits::BitItem> items, QWidget* parent = nullptr);

    // Caption and ticks as the logic has them.
    void showValue(const statusbits::BitMenu& menu);

Q_SIGNALS:
    void bitChosen(int bit);

private:
    QList<QAction*> m_items;
};
