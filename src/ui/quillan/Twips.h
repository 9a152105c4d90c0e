#pragma once

#include <QWidget>

// The window's measures come in twips: 15 to the pixel at 96 dots per inch.
inline int twipsToPixels(int twips, const QWidget* widget)
{
    const int dpi = widget ? widget->logicalDpiY() : 96;
    return qRound(twips / 15.0 * dpi / 96.0);
}
