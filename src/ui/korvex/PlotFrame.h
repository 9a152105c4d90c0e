#pragma once

#include "GraphPainter.h"

#include <QWidget>

// The plotting surface of the lower half: 640 x 480 plot units stretched over the space
// the window gives it. It shows the persistent picture the graph engine draws on, and
// passes the mouse on: right button for the graph's pop-up menus, double-click for the
// position graph's change of traces. A figure whose shape matters (the X-Y pattern) keeps
// its aspect, centred in the space.
class PlotFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int kUnitsWide = 640;
    static constexpr int kUnitsHigh = 480;

    explicit PlotFrame(QWidget* parent = nullptr);

    // What the engine draws on.
    GraphCanvas* canvas() { return &m_canvas; }
    // Keep the 4:3 shape of the plot units (true) or fill the widget.
    void setKeepAspect(bool keep);
    bool keepsAspect() const { return m_keepAspect; }
    // Where the plot lies in the widget.
    QRect plotRect() const;
    // The picture as it stands (for tests and screenshots).
    QImage picture() { return m_canvas.image(); }

    QSize sizeHint() const override { return {kUnitsWide, kUnitsHigh}; }
    QSize minimumSizeHint() const override { return {kUnitsWide / 2, kUnitsHigh / 3}; }

Q_SIGNALS:
    // The picture was made anew (size or shape): it must be drawn again in full.
    void pictureReset();
    void rightClicked(const QPoint& globalPos);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void resetPicture();

    ImageCanvas m_canvas;
    bool m_keepAspect = false;
    qreal m_ratio = 0;
    QSize m_pictureSize;
};
