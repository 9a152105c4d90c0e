#pragma once

#include "GraphCanvas.h"
#include "GraphColors.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

class GraphEngine;
class QPagedPaintDevice;

// The graph's canvas on a QPainter. The caller maps the 640 x 480 plot units onto the
// device with the painter's transform; a point is a square of pointUnits plot units, so
// that it stays visible when the plot is drawn smaller than one pixel per unit.
class PainterCanvas : public GraphCanvas {
public:
    explicit PainterCanvas(QPainter* painter = nullptr, qreal pointUnits = 1.0)
        : m_painter(painter), m_pointUnits(pointUnits)
    {
    }
    void setPointUnits(qreal units) { m_pointUnits = units; }

    void clear(quint32 colour) override;
    void fillRect(int x1, int y1, int x2, int y2, quint32 colour) override;
    void point(int x, int y, quint32 colour) override;
    void line(int x1, int y1, int x2, int y2, quint32 colour) override;
    void arc(int cx, int cy, int radius, double start, double end, quint32 colour) override;
    void text(int x, int y, const QString& text, quint32 colour) override;

protected:
    virtual QPainter& painter() { return *m_painter; }

private:
    void usePen(QPainter& p, quint32 colour);
    QPainter* m_painter;
    qreal m_pointUnits;
};

// The plot's persistent picture: what the engine drew stays until it draws again, so a
// repaint of the window only copies it. Held at the screen's device pixel ratio, so it is
// sharp on a HiDPI screen.
class ImageCanvas : public PainterCanvas {
public:
    // The picture for a plot of this many logical pixels; its content is lost.
    void resize(QSize logical, qreal devicePixelRatio);
    // Finishes the drawing in progress and gives the picture.
    const QImage& image();

protected:
    QPainter& painter() override;

private:
    QImage m_image;
    QPainter m_active;
};

namespace graphprint {
// The graph on a page: a heading, the plot in print colours in a frame, and a legend
// row with each shown trace's colour, source and scale. Returns false if nothing could
// be drawn on the device.
void drawPage(QPainter& painter, const QRectF& page, GraphEngine& engine, const QString& heading);
// One landscape A4 page in PDF; false (and why) when the file cannot be written.
bool savePdf(GraphEngine& engine, const QString& path, const QString& heading, QString* error = nullptr);
// The graph as on screen, twice the plot's size.
QImage renderImage(GraphEngine& engine, QSize size = QSize(1280, 960));
} // namespace graphprint
