#pragma once

#include "DeviceLink.h"

#include <QColor>

// The link lamp's colours: green 0x00FF00, yellow 0x00FFFF and cyan 0xFFFF00 in
// blue-green-red order; dark is no colour.
inline QColor ledColor(LedState state)
{
    switch (state) {
    case LedState::Off:
        return QColor();
    case LedState::Green:
        return QColor(0, 255, 0);
    case LedState::Yellow:
        return QColor(255, 255, 0);
    case LedState::Cyan:
        return QColor(0, 255, 255);
    }
    return QColor();
}

// A status lamp's fill: the logic gives colours as the unit's blue-green-red numbers.
inline QColor ledColor(bool lit, quint32 bgr)
{
    if (!lit)
        return QColor();
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
