#pragma once

class QApplication;

// A dark, low-glare look for the whole program: technicians use it in dim equipment
// rooms and on deck at night, next to the unit's own dark panel.
namespace instrumenttheme {
void apply(QApplication& app);
}
