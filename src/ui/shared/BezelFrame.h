#pragma once

#include <QFrame>

// The dark, slightly brushed face of the unit that carries the display, keys and lamps.
class BezelFrame : public QFrame {
    Q_OBJECT
public:
    explicit BezelFrame(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
