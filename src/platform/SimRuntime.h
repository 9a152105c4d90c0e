#pragma once

#include "Runtime.h"

#include <QPointer>

#include <queue>
#include <vector>

// Virtual time for tests. Events (timer ticks, bytes arriving from a simulated unit)
// wait in a queue ordered by due time; a wait runs them in time order and returns at
// once in real time. Nested waits behave like nested event loops: an event handler
// may wait in turn, and the outer wait ends when the clock has passed its deadline.
class SimRuntime : public Runtime {
public:
    SimRuntime();
    ~SimRuntime() override;

    qint64 nowNs() const override { return m_nowNs; }
    QTime timeOfDay() const override;
    std::unique_ptr<RuntimeTimer> createTimer() override;
    void singleShot(int ms, const QObject* context, std::function<void()> fn) override;
    void singleShotNs(qint64 ns, const QObject* context, std::function<void()> fn) override;
    void wait(int ms) override;
    bool waitUntilNs(const std::function<bool()>& pred, qint64 timeoutNs) override;
    void processEvents() override;

    // The wall-clock time shown at virtual time zero.
    void setTimeOfDayOrigin(QTime t) { m_timeOfDayOrigin = t; }
    // Time a handler spends computing: the clock moves on and nothing else runs meanwhile,
    // as when a handler of the program keeps its event loop busy.
    void spend(qint64 ns) { m_nowNs += qMax<qint64>(0, ns); }
    // Runs events until none is due before now + ms (same as wait, named for tests).
    void advance(int ms) { wait(ms); }
    // Number of queued events (cancelled timer ticks included until they come due).
    int pendingEvents() const { return int(m_queue.size()); }
    quint64 eventsRun() const { return m_eventsRun; }

private:
    friend class SimRuntimeTimer;
    struct Event {
        qint64 due;
        quint64 seq;
        std::function<void()> fn;
        QPointer<QObject> context;
        bool hasContext;
    };
    struct Later {
        bool operator()(const Event& a, const Event& b) const
        {
            return a.due != b.due ? a.due > b.due : a.seq > b.seq;
        }
    };

    void schedule(qint64 due, const QObject* context, std::function<void()> fn);
    // Runs the earliest event if it is due at or before limit. False when none is.
    bool runNext(qint64 limit);

    qint64 m_nowNs = 0;
    quint64 m_seq = 0;
    quint64 m_eventsRun = 0;
    QTime m_timeOfDayOrigin{12, 0, 0};
    std::priority_queue<Event, std::vector<Event>, Later> m_queue;
};
