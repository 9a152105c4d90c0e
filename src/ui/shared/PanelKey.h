#pragma once

#include <QAbstractButton>

// A key of the unit's front panel: a raised cap that goes down when pressed. A key that
// can be checked (an antenna selector) shows a lit strip while it is the chosen one.
class PanelKey : public QAbstractButton {
    Q_OBJECT
public:
    explicit PanelKey(const QString& caption = QString(), QWidget* parent = nullptr);

    // Arrow keys show a triangle instead of a caption.
    void setArrow(Qt::ArrowType arrow);
    Qt::ArrowType arrow() const { return m_arrow; }
    void setMinimumKeySize(const QSize& size);
    void setIndicatorColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintArrow(QPainter& p, const QRectF& face, const QColor& color) const;

    Qt::ArrowType m_arrow = Qt::NoArrow;
    QSize m_minimum{64, 34};
    QColor m_indicator{90, 230, 120};
    bool m_hover = false;
};
