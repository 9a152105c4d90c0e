#pragma once

#include "CaptureBuffer.h"
#include "GraphTarget.h"
#include "PanelState.h"

#include <QFile>

#include <functional>
#include <vector>

// The graph engine as the data files see it: samples go into a real capture buffer and
// each composed line is handed on, as the engine does; everything else is counted.
struct FakeGraph : GraphTarget {
    GraphMode current = GraphMode::Admc;
    CaptureBuffer buf;
    PanelSample live;
    std::vector<PanelSample> plotted;
    std::vector<GraphMode> selected;
    int clears = 0;
    int centers = 0;
    bool stop = false;
    std::function<void(const QString&)> onCaptureLine;

    GraphMode mode() const override { return current; }
    void selectMode(GraphMode mode) override
    {
        current = mode;
        selected.push_back(mode);
        buf.clear();
        stop = false; // a mode selection resumes polling
    }
    void clear() override
    {
        buf.clear();
        plotted.clear();
        ++clears;
    }
    void plot(const PanelSample& sample) override
    {
        const int slot = buf.record(current, sample, AdmcTraceSources{}, QTime(12, 0, 0));
        buf.advance(current);
        plotted.push_back(sample);
        if (onCaptureLine)
            onCaptureLine(buf.line(slot));
    }
    void centerAll() override { ++centers; }
    const CaptureBuffer& buffer() const override { return buf; }
    PanelSample liveSample() const override { return live; }
    void setStopOption(bool on) override { stop = on; }
};

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
