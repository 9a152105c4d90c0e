#include "ToggleMenuBar.h"

#include <QActionEvent>
#include <QPainter>

void ToggleMenuBar::paintEvent(QPaintEvent* event)
{
    QMenuBar::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const auto list = actions();
    for (QAction* a : list) {
        if (a->menu() || !a->isCheckable() || !a->isChecked() || !a->isVisible())
            continue;
        const QRect r = actionGeometry(a).adjusted(1, 2, -1, -2);
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(70);
        p.setPen(QPen(palette().color(QPalette::Highlight), 1));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
}

void ToggleMenuBar::actionEvent(QActionEvent* event)
{
    QMenuBar::actionEvent(event);
    if (event->type() == QEvent::ActionChanged)
        update();
}
