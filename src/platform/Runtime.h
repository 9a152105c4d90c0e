#pragma once

#include <QTime>
#include <QtGlobal>

#include <functional>
#include <memory>

class QObject;

// A timer owned by logic code. Created by a Runtime, so that the same code runs
// on real Qt timers in the programs and on virtual time in the tests.
class RuntimeTimer {
public:
    virtual ~RuntimeTimer() = default;

    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setSingleShot(bool singleShot) = 0;
    virtual bool isSingleShot() const = 0;
    // (Re)starts the timer: the first tick comes one interval from now.
    virtual void start() = 0;
    void start(int ms)
    {
        setInterval(ms);
        start();
    }
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Tick handler. The handler may stop, restart or re-time its own timer, replace the
    // callback or delete the timer. Ticks never nest: one that comes due while the timer's
    // own handler still runs (waiting) is dropped, as QTimer does, and the cadence goes on.
    virtual void setCallback(std::function<void()> callback) = 0;

    // A free tag the owner may use (the legacy timers carried one).
    QString tag;
};

// The clock and the event pump. Everything that waits or ticks goes through here.
class Runtime {
public:
    virtual ~Runtime() = default;

    // Monotonic time since an arbitrary origin.
    virtual qint64 nowNs() const = 0;
    qint64 now() const { return nowNs() / 1000000; }
    double nowMsF() const { return double(nowNs()) / 1e6; }

    // Wall-clock time of day, only for texts shown to the user.
    virtual QTime timeOfDay() const = 0;

    virtual std::unique_ptr<RuntimeTimer> createTimer() = 0;

    // Runs fn once after ms, unless context is destroyed first (context may be null).
    virtual void singleShot(int ms, const QObject* context, std::function<void()> fn) = 0;
    // Same, with a delay in nanoseconds (used to model wire timing).
    virtual void singleShotNs(qint64 ns, const QObject* context, std::function<void()> fn) = 0;
    // Runs fn as soon as the current handler returns to the event loop.
    void post(const QObject* context, std::function<void()> fn) { singleShotNs(0, context, std::move(fn)); }

    // Keeps processing events for ms; ends on the deadline, not a timer slice later. Even a
    // wait of 0 runs the events that are due once.
    virtual void wait(int ms) = 0;
    void waitNs(qint64 ns)
    {
        waitUntilNs([] { return false; }, ns);
    }
    // Processes events until pred() holds or the time is up. Returns pred()'s last value.
    virtual bool waitUntilNs(const std::function<bool()>& pred, qint64 timeoutNs) = 0;
    bool waitUntil(const std::function<bool()>& pred, int timeoutMs)
    {
        return waitUntilNs(pred, qint64(timeoutMs) * 1000000);
    }
    // One pass over the events that are due now (what they post waits for the next pass).
    virtual void processEvents() = 0;
};
