#pragma once

#include <QMenuBar>

// A menu bar whose own checkable entries (not those inside the menus) show their state:
// a checked entry is drawn framed and shaded, so "Hex Data Display" shows whether it
// is on.
class ToggleMenuBar : public QMenuBar {
    Q_OBJECT
public:
    using QMenuBar::QMenuBar;

protected:
    void paintEvent(QPaintEvent* event) override;
    void actionEvent(QActionEvent* event) override;
};
