#pragma once

#include "GraphEngine.h"

class FrontPanelLogic;
class KorvexSession;

// The graph engine joined to a running session: the parser's plot requests and spectrum
// levels come in, the mode's poll sequence, the sweep's poll ticks and the graph mode the
// parser needs go out. The front panel's first screen clears the graph and an opened link
// brings back the first mode. Lives as long as the session it joins, or shorter.
class GraphSession {
public:
    explicit GraphSession(KorvexSession& session, FrontPanelLogic* front = nullptr);
    ~GraphSession();
    GraphSession(const GraphSession&) = delete;
    GraphSession& operator=(const GraphSession&) = delete;

    GraphEngine& engine() { return m_engine; }
    // The sample the parser has just completed, stamped with the runtime's clock.
    PanelSample currentSample() const;

private:
    KorvexSession& m_session;
    FrontPanelLogic* m_front;
    GraphEngine m_engine;
};
