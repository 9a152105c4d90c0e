#include "SimRuntime.h"

#include <memory>

// A timer tick is an ordinary queued event that carries the generation it was
// scheduled for; stop(), start() and the timer's destruction bump the generation,
// which voids old ticks. The state is shared with the queued ticks so that a tick
// never reaches a timer that is gone.
class SimRuntimeTimer : public RuntimeTimer {
public:
    explicit SimRuntimeTimer(SimRuntime* rt) : m_rt(rt), m_state(std::make_shared<State>()) {}
    ~SimRuntimeTimer() override
    {
        // A callback may delete its own timer and then wait: the tick already armed for
        // the next interval must not fire.
        m_state->active = false;
        ++m_state->generation;
    }

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
        arm(m_rt, m_state, m_rt->nowNs() + qint64(qMax(0, m_state->intervalMs)) * 1000000);
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
        // The generation whose callback is running now (0: none).
        quint64 runningGeneration = 0;
        std::function<void()> callback;
    };

    static void arm(SimRuntime* rt, const std::shared_ptr<State>& state, qint64 due)
    {
        std::weak_ptr<State> weak = state;
        const quint64 generation = state->generation;
        rt->schedule(due, nullptr, [rt, weak, generation, due] {
            auto state = weak.lock();
            if (!state || state->generation != generation || !state->active)
                return;
            if (state->singleShot) {
                state->active = false;
            } else {
                // As with QTimer, a tick held up past the next one (a handler that kept the
                // loop busy) does not make up the ticks it missed: the cadence restarts.
                const qint64 interval = qint64(qMax(1, state->intervalMs)) * 1000000;
                const qint64 next = due + interval;
                arm(rt, state, next < rt->nowNs() ? rt->nowNs() + interval : next);
            }
            // Qt never delivers a timer's tick while that timer's own handler still runs
            // (in a nested wait): the tick is dropped and the cadence goes on. Virtual time
            // must not differ, or a test would see re-entry the program never sees.
            if (state->runningGeneration == generation || !state->callback)
                return;
            // A copy: the handler may replace the callback or delete the timer.
            const auto callback = state->callback;
            const quint64 outer = state->runningGeneration;
            state->runningGeneration = generation;
            callback();
            state->runningGeneration = outer;
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
    // Like one pass of a real event loop: what handlers post now waits for the next pass,
    // so a handler that keeps re-posting itself cannot hold processEvents() forever.
    const qint64 limit = m_nowNs;
    const quint64 seqLimit = m_seq;
    while (!m_queue.empty() && m_queue.top().seq < seqLimit && runNext(limit)) {
    }
}
