#pragma once

#include "CaptureBuffer.h"
#include "GraphTarget.h"
#include "PanelState.h"

// The graph as the data files see it while no engine draws one: it keeps the chosen
// mode and an empty buffer and plots nothing, so logs get their title line and dump and
// a replay pauses and resumes polling as it should.
class IdleGraph : public GraphTarget {
public:
    explicit IdleGraph(const PanelState& panel) : m_panel(panel) {}
    GraphMode mode() const override { return m_mode; }
    void selectMode(GraphMode mode) override { m_mode = mode; }
    void clear() override { m_buffer.clear(); }
    void plot(const PanelSample&) override {}
    void centerAll() override {}
    const CaptureBuffer& buffer() const override { return m_buffer; }
    PanelSample liveSample() const override { return PanelSample::from(m_panel, 0, QTime::currentTime()); }
    void setStopOption(bool) override {}

private:
    const PanelState& m_panel;
    GraphMode m_mode = GraphMode::Admc;
    CaptureBuffer m_buffer;
};
