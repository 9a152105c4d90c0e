#include "BezelFrame.h"

#include <QLinearGradient>
#include <QPainter>

BezelFrame::BezelFrame(QWidget* parent) : QFrame(parent)
{
    setAttribute(Qt::WA_StyledBackground, false);
    // Text on the bezel is printed in light grey, like the unit's legends.
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(214, 217, 222));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 153, 160));
    setPalette(pal);
}

void BezelFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);

    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0.0, QColor(58, 60, 65));
    face.setColorAt(0.5, QColor(42, 44, 48));
    face.setColorAt(1.0, QColor(33, 34, 38));
    p.setPen(QPen(QColor(14, 14, 16), 2));
    p.setBrush(face);
    p.drawRoundedRect(r, 8, 8);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 7, 7);

    // Mounting screws in the corners.
    const qreal inset = 10;
    const QPointF corners[] = {{r.left() + inset, r.top() + inset},
                               {r.right() - inset, r.top() + inset},
                               {r.left() + inset, r.bottom() - inset},
                               {r.right() - inset, r.bottom() - inset}};
    for (const QPointF& c : corners) {
        QRadialGradient head(c - QPointF(1, 1), 5);
        head.setColorAt(0, QColor(140, 142, 148));
        head.setColorAt(1, QColor(60, 62, 66));
        p.setPen(QPen(QColor(20, 20, 22), 1));
        p.setBrush(head);
        p.drawEllipse(c, 4, 4);
        p.setPen(QPen(QColor(30, 30, 34), 1.2));
        p.drawLine(c + QPointF(-2.5, 2.5), c + QPointF(2.5, -2.5));
    }
}
