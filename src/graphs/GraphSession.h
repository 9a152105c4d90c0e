#pragma once

#include "GraphEngine.h"
#include "GraphTarget.h"

class FrontPanelLogic;
class KorvexSession;

// The graph engine joined to a running session: the parser's plot requests and spectrum
// levels come in, the mode's poll sequence, the sweep's poll ticks and the graph mode the
// parser needs go out. The front panel's first screen clears the graph and an opened link
// brings back the first mode. Lives as long as the session it joins, or shorter.
// It is also the graph the data logs and the replay work with.
class GraphSession : public GraphTarget {
public:
    explicit GraphSession(KorvexSession& session, FrontPanelLogic* front = nullptr);
    ~GraphSession() override;
    GraphSession(const GraphSession&) = delete;
    GraphSession& operator=(const GraphSession&) = delete;

    GraphEngine& engine() { return m_engine; }
    // The sample the parser has just completed, stamped with the runtime's clock.
    PanelSample currentSample() const;

    // The data files' view (GraphTarget): straight to the engine, and the "Stop" option to
    // the poll cycle.
    GraphMode mode() const override { return m_engine.mode(); }
    void selectMode(GraphMode mode) override { m_engine.selectMode(mode); }
    void clear() override { m_engine.clear(); }
    void plot(const PanelSample& sample) override { m_engine.plot(sample); }
    void centerAll() override { m_engine.centerAll(); }
    const CaptureBuffer& buffer() const override { return m_engine.buffer(); }
    PanelSample liveSample() const override { return currentSample(); }
    void setStopOption(bool on) override;

private:
    KorvexSession& m_session;
    FrontPanelLogic* m_front;
    GraphEngine m_engine;
};
