#pragma once

#include "GraphMode.h"

class CaptureBuffer;
struct PanelSample;

// The graph as the data log, the screen capture and the replay see it: the engine that
// plots samples, and the communication-diagnostics "Stop" box that pauses live polling
// while a file is replayed. The program joins the real engine to it; tests give a fake.
class GraphTarget {
public:
    virtual ~GraphTarget() = default;

    virtual GraphMode mode() const = 0;
    // The full mode selection: layout, poll sequence, a cleared graph, polling resumed.
    virtual void selectMode(GraphMode mode) = 0;
    virtual void clear() = 0;
    // Stores, draws and composes the capture line of one sample, exactly as a live one.
    virtual void plot(const PanelSample& sample) = 0;
    virtual void centerAll() = 0;
    virtual const CaptureBuffer& buffer() const = 0;
    // The live values: a replayed line changes only the fields its file holds.
    virtual PanelSample liveSample() const = 0;
    virtual void setStopOption(bool on) = 0;
};
