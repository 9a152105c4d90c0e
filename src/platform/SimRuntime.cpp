#include "SimRuntime.h"

#include <memory>

// A timer tick is an ordinary queued event that carries the generation it was
// scheduled for; stop() and start() bump the generation, which voids old ticks.
class SimRuntimeTimer : public RuntimeTimer {
public:
    explicit SimRuntimeTimer(SimRuntime* rt) : m_rt(rt), m_state(std::make_shared<State>()) {}

    void setInterval(int ms) override
    {
        m_state->intervalMs = ms;
        // As with QTimer, changing the interval of a running timer restarts it.
        if (m_state->active)
            start();
    }
    int interval() const override { return m_state->intervalMs; }
    void setSingleShot(bool singleShot) override { m_state->singleShot = singleShot; }
    bool isSingleShot() const override { return m_state->singleShot; }
    void start() override
    {
        m_state->active = true;
        ++m_state->generation;
        arm(m_rt->nowNs() + qint64(qMax(0, m_state->intervalMs)) * 1000000);
    }
    void stop() override
    {
        m_state->active = false;
        ++m_state->generation;
    }
    bool isActive() const override { return m_state->active; }
    void setCallback(std::function<void()> callback) override { m_state->callback = std::move(callback); }

private:
    struct State {
        int intervalMs = 0;
        bool singleShot = false;
        bool active = false;
        quint64 generation = 0;
        std::function<void()> callback;
    };

    void arm(qint64 due)
    {
        std::weak_ptr<State> weak = m_state;
        const quint64 generation = m_state->generation;
        m_rt->schedule(due, nullptr, [weak, generation, due, this] {
            auto state = weak.lock();
            if (!state || state->generation != generation || !state->active)
                return;
            if (state->singleShot)
                state->active = false;
            else
                arm(due + qint64(qMax(1, state->intervalMs)) * 1000000);
            // Keep the state alive through the callback even if it deletes the timer.
            auto keep = state;
            if (keep->callback)
                keep->callback();
        });
    }

    SimRuntime* m_rt;
    std::shared_ptr<State> m_state;
};

SimRuntime::SimRuntime() = default;
SimRuntime::~SimRuntime() = default;

QTime SimRuntime::timeOfDay() const
{
    return m_timeOfDayOrigin.addMSecs(int((m_nowNs / 1000000) % (24 * 3600 * 1000)));
}

std::unique_ptr<RuntimeTimer> SimRuntime::createTimer()
{
    return std::make_unique<SimRuntimeTimer>(this);
}

void SimRuntime::singleShot(int ms, const QObject* context, std::function<void()> fn)
{
    schedule(m_nowNs + qint64(qMax(0, ms)) * 1000000, context, std::move(fn));
}

void SimRuntime::singleShotNs(qint64 ns, const QObject* context, std::function<void()> fn)
{
    schedule(m_nowNs + qMax<qint64>(0, ns), context, std::move(fn));
}

void SimRuntime::schedule(qint64 due, const QObject* context, std::function<void()> fn)
{
    m_queue.push(Event{due, m_seq++, std::move(fn), QPointer<QObject>(const_cast<QObject*>(context)),
                       context != nullptr});
}

bool SimRuntime::runNext(qint64 limit)
{
    if (m_queue.empty() || m_queue.top().due > limit)
        return false;
    Event ev = m_queue.top();
    m_queue.pop();
    if (ev.due > m_nowNs)
        m_nowNs = ev.due;
    if (ev.hasContext && ev.context.isNull())
        return true;
    ++m_eventsRun;
    ev.fn();
    return true;
}

void SimRuntime::wait(int ms)
{
    waitNs(qint64(qMax(0, ms)) * 1000000);
}

bool SimRuntime::waitUntilNs(const std::function<bool()>& pred, qint64 timeoutNs)
{
    const qint64 deadline = m_nowNs + qMax<qint64>(0, timeoutNs);
    while (!pred()) {
        if (!runNext(deadline)) {
            if (m_nowNs < deadline)
                m_nowNs = deadline;
            return pred();
        }
    }
    return true;
}

void SimRuntime::processEvents()
{
    const qint64 limit = m_nowNs;
    while (runNext(limit)) {
    }
}
