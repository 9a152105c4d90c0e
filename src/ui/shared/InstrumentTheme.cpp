#include "InstrumentTheme.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace instrumenttheme {

void apply(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);

    QPalette p;
    const QColor window(44, 46, 50);
    const QColor base(28, 29, 32);
    const QColor text(222, 224, 228);
    const QColor dimText(128, 131, 138);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, QColor(250, 246, 214));
    p.setColor(QPalette::ToolTipText, QColor(20, 20, 20));
    p.setColor(QPalette::PlaceholderText, dimText);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(58, 61, 66));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 90, 90));
    p.setColor(QPalette::Highlight, QColor(48, 120, 168));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(110, 180, 240));
    p.setColor(QPalette::Light, QColor(80, 83, 90));
    p.setColor(QPalette::Midlight, QColor(66, 69, 75));
    p.setColor(QPalette::Mid, QColor(36, 37, 41));
    p.setColor(QPalette::Dark, QColor(24, 25, 28));
    p.setColor(QPalette::Shadow, QColor(0, 0, 0));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimText);
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    app.setPalette(p);
    // Fusion draws a menu's frame and separators as faint dark lines, lost on a dark panel:
    // a pop-up must stand off the window, and the groups of the status-bit pop-ups apart.
    app.setStyleSheet(
        QStringLiteral("QMenu { border: 1px solid #6a6d74; }"
                       "QMenu::separator { height: 1px; background: #6a6d74; margin: 4px 10px; }"));
}

} // namespace instrumenttheme
