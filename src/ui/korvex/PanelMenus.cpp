#include "PanelMenus.h"

#include <QLabel>
#include <QWidgetAction>

namespace panelmenus {

namespace {
// Flags listed under the item before them ("Critical Error") are set in by this much.
const QString kSubItemIndent = QStringLiteral("      ");

QMenu* popupMenu(const QString& title, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setTitle(title);
    menu->setWindowTitle(title);
    menu->setObjectName(title);
    return menu;
}
// A pop-up has no title bar; its name heads the list instead, not to be chosen.
void addHeading(QMenu* menu, const QString& title)
{
    auto* label = new QLabel(title, menu);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(10, 4, 10, 4);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setForegroundRole(QPalette::PlaceholderText);
    auto* heading = new QWidgetAction(menu);
    heading->setDefaultWidget(label);
    heading->setEnabled(false);
    menu->addAction(heading);
    menu->addSeparator();
}
} // namespace

QMenu* shortcutMenu(const FrontPanelLogic::ShortcutMenu& shortcuts, std::function<void(int)> chosen,
                    QWidget* parent)
{
    QMenu* menu = popupMenu(shortcuts.title, parent);
    addHeading(menu, shortcuts.title);
    for (const statusbits::ShortcutItem& item : shortcuts.items) {
        QAction* action = menu->addAction(QString::fromLatin1(item.caption));
        action->setData(item.page);
        // Listed as on the unit, but there is no page of ours to show for them.
        action->setEnabled(item.page != 0);
        const int page = item.page;
        QObject::connect(action, &QAction::triggered, menu, [chosen, page] { chosen(page); });
    }
    return menu;
}

QMenu* bitWindowMenu(const statusbits::BitWindow& window, std::function<void()> resetErrors, QWidget* parent)
{
    QMenu* menu = popupMenu(window.title, parent);
    addHeading(menu, window.title);
    for (const statusbits::WindowItem& item : window.items) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.subItem ? kSubItemIndent + item.caption : item.caption);
        if (item.isDefault) {
            menu->setDefaultAction(action);
            QObject::connect(action, &QAction::triggered, menu, [resetErrors] { resetErrors(); });
            continue;
        }
        // A tick says what the unit reported; clicking it changes nothing.
        action->setCheckable(true);
        action->setChecked(item.checked);
        QObject::connect(action, &QAction::toggled, action, [action, was = item.checked] {
            const QSignalBlocker block(action);
            action->setChecked(was);
        });
    }
    return menu;
}

} // namespace panelmenus

ParameterBitMenu::ParameterBitMenu(std::span<const statusbits::BitItem> items, QWidget* parent)
    : QMenu(parent)
{
    for (const statusbits::BitItem& item : items) {
        QAction* action = addAction(QString::fromLatin1(item.caption));
        action->setCheckable(true);
        const int bit = item.bit;
        // The tick follows the unit's value, not the click: restore it until the reply says.
        connect(action, &QAction::triggered, this, [this, action, bit](bool checked) {
            const QSignalBlocker block(action);
            action->setChecked(!checked);
            Q_EMIT bitChosen(bit);
        });
        m_items << action;
    }
}

void ParameterBitMenu::showValue(const statusbits::BitMenu& menu)
{
    setTitle(menu.caption);
    for (int i = 0; i < m_items.size() && i < int(menu.checked.size()); ++i)
        m_items[i]->setChecked(menu.checked[i]);
}
