#pragma once

#include "GraphMode.h"

#include <QString>
#include <QTime>

#include <array>
#include <vector>

struct PanelSample;

// The samples behind the graph: four traces and the capture line of each sample, kept
// in a ring of 640 slots, one per plot column. The counters decide where the next
// sample lands and which samples a redraw shows; drawing and files live elsewhere.
class CaptureBuffer {
public:
    static constexpr int kSlots = 640;
    static constexpr int kTraces = 4;

    // Samples since the last clear. It folds from 1280 back to 640 so that it stays
    // small while its value modulo 640, the slot, runs on without a jump.
    int sampleCount() const { return m_sampleCount; }
    // The column of the next sample, 0 to 639.
    int xPos() const { return m_xPos; }
    // The slot the next sample is stored in.
    int nextSlot() const { return m_sampleCount % kSlots; }

    // Stores the sample's trace values and its capture line in the next slot without
    // moving the counters (the caller plots it first, then advances). Returns the slot.
    int record(GraphMode mode, const PanelSample& sample, const AdmcTraceSources& sources,
               const QTime& timeOfDay);

    // Moves to the next column. Once the plot is full the column steps back to 630, so
    // the trace scrolls left ten columns at a time; returns true when that calls for a
    // redraw of the strip chart (modes 0 to 4).
    bool advance(GraphMode mode);

    // Forgets every sample: the next one lands in slot 0 at column 0.
    void clear();
    // The spectrum sweep counts its points here, a step at a time, without columns.
    void countSweepPoints(int step) { m_sampleCount += step; }

    // The slots a strip-chart redraw replots, oldest first; entry i goes to column i.
    std::vector<int> stripReplaySlots() const;
    // The slots an X-Y redraw replots: every slot that holds a sample, in slot order.
    std::vector<int> xyReplaySlots() const;
    // How many slots hold a sample since the last clear (at most 640).
    int storedSamples() const;

    // Trace 1 to 4 of a slot.
    qint16 value(int trace, int slot) const { return m_traces[trace - 1][slot]; }
    const QString& line(int slot) const { return m_lines[slot]; }

private:
    void storeAdmc(int slot, const PanelSample& sample, const AdmcTraceSources& sources);

    std::array<std::array<qint16, kSlots>, kTraces> m_traces{};
    std::array<QString, kSlots> m_lines;
    int m_sampleCount = 0;
    int m_xPos = 0;
};
