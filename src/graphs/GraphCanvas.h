#pragma once

#include <QString>
#include <QtGlobal>

// Where the graph draws: a surface of 640 x 480 plot units, x growing to the right and y
// downwards. Colours are 24-bit values with red in the low byte, as the settings keep
// them. The screen, the printer and the tests each supply one.
class GraphCanvas {
public:
    virtual ~GraphCanvas() = default;

    // Wipes everything and fills the whole surface.
    virtual void clear(quint32 colour) = 0;
    // A filled rectangle between two corners, both included.
    virtual void fillRect(int x1, int y1, int x2, int y2, quint32 colour) = 0;
    // One plot unit.
    virtual void point(int x, int y, quint32 colour) = 0;
    virtual void line(int x1, int y1, int x2, int y2, quint32 colour) = 0;
    // An arc of a circle, counter-clockwise from start to end (radians, 0 = to the right);
    // an end below the start runs on through 0.
    virtual void arc(int cx, int cy, int radius, double start, double end, quint32 colour) = 0;
    virtual void text(int x, int y, const QString& text, quint32 colour) = 0;
};
