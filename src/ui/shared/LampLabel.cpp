#include "LampLabel.h"

#include <QMouseEvent>

LampLabel::LampLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent), m_led(new LedWidget(this))
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setMinimumHeight(m_led->sizeHint().height() + 4);
}

void LampLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LampLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click && isEnabled())
        Q_EMIT clicked();
}

void LampLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    const QSize s = m_led->sizeHint();
    m_led->setGeometry(contentsRect().left() + 2, (height() - s.height()) / 2, s.width(), s.height());
}
