#pragma once

#include <QIcon>
#include <QImage>

// The programs' icons, painted rather than shipped as pictures, so the window icons and
// the installed icon files come from one drawing at every size.
namespace appicons {

enum class Program { Korvex, Quillan };

// One square image of the icon, `size` pixels wide.
QImage render(Program program, int size);
// The icon at the usual sizes, for a window.
QIcon icon(Program program);

} // namespace appicons
