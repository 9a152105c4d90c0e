#include "PlotFrame.h"

#include <QMouseEvent>
#include <QPainter>

PlotFrame::PlotFrame(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    resetPicture();
}

void PlotFrame::setKeepAspect(bool keep)
{
    if (keep == m_keepAspect)
        return;
    m_keepAspect = keep;
    resetPicture();
    update();
}

QRect PlotFrame::plotRect() const
{
    if (!m_keepAspect)
        return rect();
    const qreal scale = qMin(qreal(width()) / kUnitsWide, qreal(height()) / kUnitsHigh);
    const QSize size(qRound(kUnitsWide * scale), qRound(kUnitsHigh * scale));
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void PlotFrame::resetPicture()
{
    m_ratio = devicePixelRatioF();
    m_pictureSize = plotRect().size();
    m_canvas.resize(m_pictureSize, m_ratio);
    Q_EMIT pictureReset();
}

void PlotFrame::resizeEvent(QResizeEvent*)
{
    resetPicture();
}

void PlotFrame::paintEvent(QPaintEvent*)
{
    // Moved to a screen of another pixel ratio: a new picture at that ratio.
    if (!qFuzzyCompare(m_ratio, devicePixelRatioF()) || m_pictureSize != plotRect().size())
        resetPicture();
    QPainter p(this);
    const QRect plot = plotRect();
    if (plot != rect())
        p.fillRect(rect(), QColor(12, 12, 14));
    p.drawImage(plot.topLeft(), m_canvas.image());
}

void PlotFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        Q_EMIT rightClicked(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}

void PlotFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}
