#include "LedWidget.h"

#include <QPainter>
#include <QRadialGradient>

LedWidget::LedWidget(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LedWidget::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void LedWidget::setDiameter(int pixels)
{
    m_diameter = qMax(6, pixels);
    updateGeometry();
    update();
}

void LedWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = m_diameter;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);

    if (!isLit()) {
        // Hollow: a recessed ring, the panel showing through.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(20, 20, 22), 1.6));
        p.drawEllipse(r.adjusted(0.8, 0.8, -0.8, -0.8));
        p.setPen(QPen(QColor(150, 152, 158), 1.0));
        p.drawEllipse(r.adjusted(1.8, 1.8, -1.8, -1.8));
        return;
    }

    QRadialGradient glow(r.center() - QPointF(d * 0.18, d * 0.2), d * 0.65);
    glow.setColorAt(0.0, m_color.lighter(170));
    glow.setColorAt(0.35, m_color);
    glow.setColorAt(1.0, m_color.darker(170));
    p.setPen(QPen(QColor(20, 20, 22), 1.2));
    p.setBrush(glow);
    p.drawEllipse(r.adjusted(0.6, 0.6, -0.6, -0.6));
}
