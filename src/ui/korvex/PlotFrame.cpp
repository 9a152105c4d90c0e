#include "PlotFrame.h"

#include "PromptConversions.h"

#include <QPainter>

namespace {
// The colours the graph starts with (blue-green-red values as the settings keep them).
constexpr quint32 kDefaultBack = 2039583;
constexpr quint32 kDefaultGrid = 5197647;
} // namespace

PlotFrame::PlotFrame(QWidget* parent)
    : QWidget(parent), m_back(promptconv::colorFromBgr(kDefaultBack)),
      m_grid(promptconv::colorFromBgr(kDefaultGrid))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotFrame::setColors(const QColor& back, const QColor& grid)
{
    m_back = back;
    m_grid = grid;
    update();
}

QTransform PlotFrame::plotTransform() const
{
    return QTransform::fromScale(qreal(width()) / kUnitsWide, qreal(height()) / kUnitsHigh);
}

QTransform PlotFrame::uniformTransform() const
{
    const qreal scale = qMin(qreal(width()) / kUnitsWide, qreal(height()) / kUnitsHigh);
    const qreal dx = (width() - kUnitsWide * scale) / 2.0;
    const qreal dy = (height() - kUnitsHigh * scale) / 2.0;
    return QTransform(scale, 0, 0, scale, dx, dy);
}

void PlotFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(12, 12, 14));
    p.setTransform(plotTransform());
    p.fillRect(QRect(0, 0, kUnitsWide, kUnitsHigh), m_back);
    QPen pen(m_grid);
    pen.setCosmetic(true);
    p.setPen(pen);
    for (int x = 0; x <= kUnitsWide; x += 10)
        p.drawLine(QLineF(x, 1, x, kUnitsHigh));
    for (int y = 0; y <= kUnitsHigh; y += 10)
        p.drawLine(QLineF(0, y, kUnitsWide - 1, y));
}
