#include "GraphSession.h"

#include "FrontPanelLogic.h"
#include "KorvexSession.h"
#include "Runtime.h"

GraphSession::GraphSession(KorvexSession& session, FrontPanelLogic* front)
    : m_session(session), m_front(front)
{
    PanelState& state = session.panelState();
    PollCycle& poll = session.pollCycle();
    ReplyParser& parser = session.parser();

    parser.hooks().plot = [this] { m_engine.plot(currentSample()); };
    parser.hooks().spectrumPoint = [this, &state](int index) {
        m_engine.spectrumPoint(index, state.spectrum[size_t(index)]);
    };
    poll.hooks().sweepTick = [this, &state]() -> std::optional<QByteArray> {
        std::optional<QByteArray> command = m_engine.sweepTick();
        // The reply to this command is the level of this point of the trace.
        if (command)
            state.spectrumNext = m_engine.sweepIndex();
        return command;
    };

    GraphEngine::Hooks& h = m_engine.hooks();
    h.setPollSequence = [&poll](const QByteArray& text) { poll.setPollSequence(text); };
    h.hasPollSequence = [&poll] { return !poll.pollSequence().isEmpty(); };
    h.clearPollSequence = [&poll] { poll.setPollSequence(QByteArray()); };
    h.modeChanged = [&parser, &poll](GraphMode mode) {
        parser.setGraphMode(int(mode));
        poll.rearmStart();
    };
    h.resumePolling = [&poll] { poll.setStopOption(false); };
    h.currentSample = [this] { return currentSample(); };

    if (m_front) {
        m_front->hooks().clearGraph = [this] { m_engine.clear(); };
        m_front->hooks().resetGraphSelection = [this] { m_engine.selectMode(GraphMode::Admc); };
    }
}

GraphSession::~GraphSession()
{
    // The session and the front panel may outlive us: nothing of theirs calls back here.
    m_session.parser().hooks().plot = nullptr;
    m_session.parser().hooks().spectrumPoint = nullptr;
    m_session.pollCycle().hooks().sweepTick = nullptr;
    if (m_front) {
        m_front->hooks().clearGraph = nullptr;
        m_front->hooks().resetGraphSelection = nullptr;
    }
}

PanelSample GraphSession::currentSample() const
{
    Runtime& rt = m_session.runtime();
    return PanelSample::from(m_session.panelState(), rt.now(), rt.timeOfDay());
}

void GraphSession::setStopOption(bool on)
{
    m_session.pollCycle().setStopOption(on);
}
