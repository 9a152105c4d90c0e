#pragma once

#include <QString>

#include <functional>

class MainWindow;
class QWidget;

// The graph in each of its modes with data, its two pop-up menus, and a printed page.
struct GraphShotTools {
    std::function<bool(const QString& name, QWidget* popup)> save;
    std::function<void(int ms)> run;
    QString folder;
};
void renderGraphShots(MainWindow& window, const GraphShotTools& tools);
