#pragma once

#include <QColor>
#include <QTransform>
#include <QWidget>

// The plotting surface of the lower half: 640 x 480 plot units stretched over the space
// the window gives it, on the dark background with its grid of ten units per division.
// A strip chart may stretch; a figure whose shape matters (an X-Y pattern) is drawn with
// the uniform transform, which keeps the aspect and centres the 640 x 480 units.
class PlotFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int kUnitsWide = 640;
    static constexpr int kUnitsHigh = 480;

    explicit PlotFrame(QWidget* parent = nullptr);

    void setColors(const QColor& back, const QColor& grid);
    // Plot units to this widget's pixels, filling it.
    QTransform plotTransform() const;
    // The same with one scale for both axes.
    QTransform uniformTransform() const;

    QSize sizeHint() const override { return {kUnitsWide, kUnitsHigh}; }
    QSize minimumSizeHint() const override { return {kUnitsWide * 3 / 4, kUnitsHigh * 5 / 8}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_back;
    QColor m_grid;
};
