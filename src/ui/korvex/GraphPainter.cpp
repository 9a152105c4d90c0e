#include "GraphPainter.h"

#include "GraphEngine.h"
#include "GraphLayout.h"
#include "PromptConversions.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPdfWriter>

#include <cmath>

namespace {
constexpr qreal kUnitsWide = 640;
constexpr qreal kUnitsHigh = 480;
constexpr double kPi = 3.14159265358979;

QColor colour(quint32 bgr)
{
    return promptconv::colorFromBgr(bgr);
}
} // namespace

void PainterCanvas::usePen(QPainter& p, quint32 c)
{
    QPen pen(colour(c));
    pen.setCosmetic(true);
    pen.setWidthF(1.0);
    p.setPen(pen);
}

void PainterCanvas::clear(quint32 c)
{
    QPainter& p = painter();
    p.fillRect(QRectF(0, 0, kUnitsWide, kUnitsHigh), colour(c));
}

void PainterCanvas::fillRect(int x1, int y1, int x2, int y2, quint32 c)
{
    painter().fillRect(
        QRectF(QPointF(qMin(x1, x2), qMin(y1, y2)), QPointF(qMax(x1, x2) + 1, qMax(y1, y2) + 1)), colour(c));
}

void PainterCanvas::point(int x, int y, quint32 c)
{
    // Centred on the unit, so a point larger than one unit does not lean right and down.
    const qreal offset = (m_pointUnits - 1.0) / 2.0;
    painter().fillRect(QRectF(x - offset, y - offset, m_pointUnits, m_pointUnits), colour(c));
}

void PainterCanvas::line(int x1, int y1, int x2, int y2, quint32 c)
{
    QPainter& p = painter();
    usePen(p, c);
    p.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
}

void PainterCanvas::arc(int cx, int cy, int radius, double start, double end, quint32 c)
{
    QPainter& p = painter();
    usePen(p, c);
    double span = end - start;
    if (span < 0)
        span += 2 * kPi;
    const QRectF box(cx + 0.5 - radius, cy + 0.5 - radius, 2.0 * radius, 2.0 * radius);
    // Qt counts sixteenths of a degree, counter-clockwise on screen as the angles are.
    p.drawArc(box, int(std::lround(start * 180 / kPi * 16)), int(std::lround(span * 180 / kPi * 16)));
}

void PainterCanvas::text(int x, int y, const QString& text, quint32 c)
{
    QPainter& p = painter();
    usePen(p, c);
    p.drawText(QPointF(x, y), text);
}

void ImageCanvas::resize(QSize logical, qreal devicePixelRatio)
{
    if (m_active.isActive())
        m_active.end();
    const QSize pixels = (QSizeF(logical.expandedTo(QSize(1, 1))) * devicePixelRatio).toSize();
    m_image = QImage(pixels, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(devicePixelRatio);
    m_image.fill(Qt::black);
    // Below about one and a half pixels per unit a single unit would flicker in and out.
    const qreal perUnit =
        qMin(logical.width() / kUnitsWide, logical.height() / kUnitsHigh) * devicePixelRatio;
    setPointUnits(perUnit >= 1.5 ? 1.0 : 1.5 / qMax(perUnit, 0.1));
}

QPainter& ImageCanvas::painter()
{
    if (!m_active.isActive()) {
        m_active.begin(&m_image);
        const QSizeF logical = m_image.deviceIndependentSize();
        m_active.scale(logical.width() / kUnitsWide, logical.height() / kUnitsHigh);
    }
    return m_active;
}

const QImage& ImageCanvas::image()
{
    if (m_active.isActive())
        m_active.end();
    return m_image;
}

namespace graphprint {

namespace {
// The legend under the printed plot: colour, source and scale of each trace shown.
void drawLegend(QPainter& p, const QRectF& row, const GraphEngine& engine)
{
    const GraphLayout& l = engine.layout();
    const qreal cell = row.width() / 4;
    QFont f = p.font();
    f.setPixelSize(int(row.height() * 0.45));
    p.setFont(f);
    for (int i = 0; i < 4; ++i) {
        if (!l.legendVisible[size_t(i)])
            continue;
        const qreal x = row.left() + i * cell;
        QPen pen(colour(engine.colors().trace[i]));
        pen.setWidthF(row.height() * 0.18);
        p.setPen(pen);
        const qreal y = row.center().y();
        p.drawLine(QPointF(x, y), QPointF(x + cell * 0.15, y));
        p.setPen(Qt::black);
        const GraphLayout::TraceList& list = l.lists[size_t(i)];
        QString text;
        if (list.visible)
            text = graphtext::traceListItems(i).value(list.index) + QStringLiteral("   ");
        if (l.scales[size_t(i)].visible)
            text += QString(l.scales[size_t(i)].caption).replace(QLatin1Char('\n'), QStringLiteral(", "));
        p.drawText(QRectF(x + cell * 0.2, row.top(), cell * 0.78, row.height()),
                   Qt::AlignVCenter | Qt::AlignLeft, text);
    }
}
} // namespace

void drawPage(QPainter& p, const QRectF& page, GraphEngine& engine, const QString& heading)
{
    p.save();
    const qreal headingHeight = page.height() * 0.07;
    const qreal legendHeight = page.height() * 0.06;
    QFont f = p.font();
    f.setPixelSize(int(headingHeight * 0.45));
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRectF(page.left(), page.top(), page.width(), headingHeight), Qt::AlignLeft | Qt::AlignVCenter,
               heading);
    p.drawText(QRectF(page.left(), page.top(), page.width(), headingHeight),
               Qt::AlignRight | Qt::AlignVCenter,
               QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));

    // The plot keeps its 4:3 shape on any paper.
    const QRectF room(page.left(), page.top() + headingHeight, page.width(),
                      page.height() - headingHeight - legendHeight);
    const qreal scale = qMin(room.width() / kUnitsWide, room.height() / kUnitsHigh);
    const QRectF plot(room.left() + (room.width() - kUnitsWide * scale) / 2, room.top(), kUnitsWide * scale,
                      kUnitsHigh * scale);
    p.save();
    p.setClipRect(plot);
    p.translate(plot.topLeft());
    p.scale(scale, scale);
    // Points a little larger than on screen: paper is read from further away.
    PainterCanvas canvas(&p, 1.6);
    engine.drawOn(canvas, engine.colors().forPrint());
    p.restore();
    QPen frame(Qt::black);
    frame.setWidthF(qMax(1.0, scale * 0.4));
    p.setPen(frame);
    p.drawRect(plot);
    drawLegend(p, QRectF(plot.left(), plot.bottom(), plot.width(), legendHeight), engine);
    p.restore();
}

bool savePdf(GraphEngine& engine, const QString& path, const QString& heading, QString* error)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(heading);
    writer.setCreator(QStringLiteral("Korvex"));
    QPainter p;
    if (!p.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Cannot write %1").arg(QFileInfo(path).absoluteFilePath());
        return false;
    }
    drawPage(p, QRectF(0, 0, writer.width(), writer.height()), engine, heading);
    return p.end();
}

QImage renderImage(GraphEngine& engine, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.scale(size.width() / kUnitsWide, size.height() / kUnitsHigh);
    PainterCanvas canvas(&p, qMax(1.0, 1.5 * kUnitsWide / size.width()));
    engine.drawOn(canvas, engine.colors());
    p.end();
    return image;
}

} // namespace graphprint
