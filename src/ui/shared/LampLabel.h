#pragma once

#include "LedWidget.h"

#include <QLabel>

// A status caption with its lamp. The captions start with blanks, as the unit's own
// labels do, and the lamp sits in that blank space at the left; the whole label is a
// click target.
class LampLabel : public QLabel {
    Q_OBJECT
public:
    explicit LampLabel(const QString& caption = QString(), QWidget* parent = nullptr);

    LedWidget* led() const { return m_led; }

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    LedWidget* m_led;
    bool m_pressed = false;
};
