#pragma once

#include <QColor>
#include <QWidget>

// A round indicator lamp. Dark it shows as a hollow ring over the background, the way
// an unlit lamp looks on the unit; lit it is filled with its colour.
class LedWidget : public QWidget {
    Q_OBJECT
public:
    explicit LedWidget(QWidget* parent = nullptr);

    // An invalid colour means dark.
    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    bool isLit() const { return m_color.isValid(); }
    void setDark() { setColor(QColor()); }

    void setDiameter(int pixels);
    int diameter() const { return m_diameter; }

    QSize sizeHint() const override { return {m_diameter + 2, m_diameter + 2}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
    int m_diameter = 13;
};
