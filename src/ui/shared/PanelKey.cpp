#include "PanelKey.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

PanelKey::PanelKey(const QString& caption, QWidget* parent) : QAbstractButton(parent)
{
    setText(caption);
    setFocusPolicy(Qt::TabFocus);
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(12);
    setFont(f);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PanelKey::setArrow(Qt::ArrowType arrow)
{
    m_arrow = arrow;
    update();
}

void PanelKey::setMinimumKeySize(const QSize& size)
{
    m_minimum = size;
    updateGeometry();
}

void PanelKey::setIndicatorColor(const QColor& color)
{
    m_indicator = color;
    update();
}

QSize PanelKey::sizeHint() const
{
    const int textWidth = fontMetrics().horizontalAdvance(text()) + 22;
    return {qMax(m_minimum.width(), textWidth), m_minimum.height()};
}

void PanelKey::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PanelKey::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void PanelKey::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool down = isDown();
    const bool live = isEnabled();
    const qreal travel = down ? 2.0 : 0.0;

    // The well the key sits in, then the cap; the cap's shadow shrinks as it goes down.
    const QRectF well = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 8, 10));
    p.drawRoundedRect(well, 6, 6);

    const QRectF cap = well.adjusted(2, 2 + travel, -2, -4 + travel);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawRoundedRect(cap.translated(0, down ? 0.5 : 2.0), 5, 5);

    QColor top(86, 89, 96), bottom(46, 48, 53);
    if (m_hover && live && !down) {
        top = top.lighter(112);
        bottom = bottom.lighter(112);
    }
    if (down) {
        top = top.darker(115);
        bottom = bottom.darker(110);
    }
    QLinearGradient g(cap.topLeft(), cap.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.setBrush(g);
    p.setPen(QPen(QColor(20, 21, 24), 1.0));
    p.drawRoundedRect(cap, 5, 5);
    // A thin highlight along the upper edge makes the cap read as raised.
    p.setPen(QPen(QColor(255, 255, 255, down ? 18 : 45), 1.0));
    p.drawLine(cap.topLeft() + QPointF(5, 1.2), cap.topRight() + QPointF(-5, 1.2));

    QRectF face = cap;
    if (isCheckable()) {
        const QRectF strip(cap.left() + 8, cap.top() + 4, cap.width() - 16, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(isChecked() ? m_indicator : QColor(24, 26, 28));
        p.drawRoundedRect(strip, 1.5, 1.5);
        face.setTop(strip.bottom());
    }

    const QColor ink = live ? QColor(232, 234, 238) : QColor(150, 153, 160);
    if (m_arrow != Qt::NoArrow) {
        paintArrow(p, face, ink);
    } else {
        p.setPen(ink);
        p.setFont(font());
        p.drawText(face, Qt::AlignCenter, text());
    }
    if (hasFocus()) {
        p.setPen(QPen(QColor(110, 200, 255, 160), 1.0, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(cap.adjusted(2, 2, -2, -2), 4, 4);
    }
}

void PanelKey::paintArrow(QPainter& p, const QRectF& face, const QColor& color) const
{
    const qreal s = qMin(face.width(), face.height()) * 0.22;
    const QPointF c = face.center();
    QPainterPath path;
    switch (m_arrow) {
    case Qt::UpArrow:
        path.moveTo(c.x(), c.y() - s);
        path.lineTo(c.x() + s, c.y() + s * 0.7);
        path.lineTo(c.x() - s, c.y() + s * 0.7);
        break;
    case Qt::DownArrow:
        path.moveTo(c.x(), c.y() + s);
        path.lineTo(c.x() + s, c.y() - s * 0.7);
        path.lineTo(c.x() - s, c.y() - s * 0.7);
        break;
    case Qt::LeftArrow:
        path.moveTo(c.x() - s, c.y());
        path.lineTo(c.x() + s * 0.7, c.y() - s);
        path.lineTo(c.x() + s * 0.7, c.y() + s);
        break;
    case Qt::RightArrow:
        path.moveTo(c.x() + s, c.y());
        path.lineTo(c.x() - s * 0.7, c.y() - s);
        path.lineTo(c.x() - s * 0.7, c.y() + s);
        break;
    case Qt::NoArrow:
        return;
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
}
