#include "SimRuntime.h"

#include <gtest/gtest.h>

#include <QObject>

#include <vector>

namespace {

constexpr qint64 kMs = 1000000;

// Virtual times (ms) at which something happened.
struct Log {
    explicit Log(SimRuntime& runtime) : rt(runtime) {}
    void mark() { times.push_back(rt.nowMsF()); }
    SimRuntime& rt;
    std::vector<double> times;
};

} // namespace

TEST(SimRuntime, RepeatingTimerKeepsExactCadence)
{
    SimRuntime rt;
    Log log{rt};
    auto timer = rt.createTimer();
    timer->setCallback([&] { log.mark(); });
    timer->start(200);
    rt.wait(1000);
    EXPECT_EQ(log.times, (std::vector<double>{200, 400, 600, 800, 1000}));
    EXPECT_EQ(rt.nowNs(), 1000 * kMs);
    // Waiting in odd pieces does not shift the cadence.
    rt.wait(150);
    rt.wait(149);
    rt.wait(1);
    EXPECT_EQ(log.times.back(), 1200);
    EXPECT_EQ(log.times.size(), 6u);
}

TEST(SimRuntime, SingleShotTimerFiresOnce)
{
    SimRuntime rt;
    Log log{rt};
    auto timer = rt.createTimer();
    timer->setSingleShot(true);
    timer->setCallback([&] { log.mark(); });
    timer->start(30);
    EXPECT_TRUE(timer->isActive());
    rt.wait(100);
    EXPECT_EQ(log.times, (std::vector<double>{30}));
    EXPECT_FALSE(timer->isActive());
    // Started again from its own callback, it runs once more.
    timer->setCallback([&] {
        log.mark();
        if (log.times.size() < 3)
            timer->start();
    });
    timer->start();
    rt.wait(200);
    EXPECT_EQ(log.times, (std::vector<double>{30, 130, 160}));
}

TEST(SimRuntime, StopAndRestartInsideTheCallback)
{
    SimRuntime rt;
    Log log{rt};
    auto timer = rt.createTimer();
    timer->setCallback([&] {
        log.mark();
        if (log.times.size() == 2)
            timer->start(50); // new interval, counted from now
        if (log.times.size() == 4)
            timer->stop();
    });
    timer->start(100);
    rt.wait(1000);
    EXPECT_EQ(log.times, (std::vector<double>{100, 200, 250, 300}));
    EXPECT_FALSE(timer->isActive());
}

TEST(SimRuntime, ChangingTheIntervalRestartsARunningTimer)
{
    SimRuntime rt;
    Log log{rt};
    auto timer = rt.createTimer();
    timer->setCallback([&] { log.mark(); });
    timer->start(100);
    rt.singleShot(50, nullptr, [&] { timer->setInterval(30); });
    rt.wait(145);
    EXPECT_EQ(log.times, (std::vector<double>{80, 110, 140}));
    // A stopped timer only takes the new interval.
    timer->stop();
    timer->setInterval(10);
    rt.wait(100);
    EXPECT_EQ(log.times.size(), 3u);
}

TEST(SimRuntime, TimerDeletedInItsCallbackNeverTicksAgain)
{
    SimRuntime rt;
    int ticks = 0;
    auto timer = rt.createTimer();
    timer->setCallback([&] {
        ++ticks;
        timer.reset();
        // Waiting on past the next tick that was already armed for it.
        rt.wait(50);
    });
    timer->start(20);
    rt.wait(200);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(rt.nowNs(), 200 * kMs);
}

TEST(SimRuntime, TimerDoesNotReenterItsOwnHandler)
{
    // A handler that waits longer than its interval: the ticks due meanwhile are dropped,
    // as on Qt's event loop, and the cadence goes on afterwards.
    SimRuntime rt;
    Log log{rt};
    int depth = 0, maxDepth = 0;
    auto timer = rt.createTimer();
    timer->setCallback([&] {
        log.mark();
        maxDepth = std::max(maxDepth, ++depth);
        if (log.times.size() == 1)
            rt.wait(25);
        --depth;
    });
    timer->start(10);
    rt.wait(60);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(log.times, (std::vector<double>{10, 40, 50, 60}));
}

TEST(SimRuntime, SameTimeEventsRunInTheOrderTheyWereScheduled)
{
    SimRuntime rt;
    QString order;
    auto timer = rt.createTimer();
    timer->setSingleShot(true);
    timer->setCallback([&] { order += 'T'; });
    rt.singleShot(10, nullptr, [&] { order += 'A'; });
    timer->start(10);
    rt.singleShotNs(10 * kMs, nullptr, [&] { order += 'B'; });
    rt.singleShot(5, nullptr, [&] {
        order += 'E';
        rt.singleShot(5, nullptr, [&] { order += 'C'; }); // also due at 10, scheduled last
    });
    rt.post(nullptr, [&] { order += 'P'; });
    rt.wait(10);
    EXPECT_EQ(order, "PEATBC");
}

TEST(SimRuntime, NestedWaitsRunEverythingInTimeOrder)
{
    SimRuntime rt;
    QStringList log;
    auto note = [&](const QString& what) { log << QString("%1@%2").arg(what).arg(rt.nowMsF()); };
    rt.singleShot(10, nullptr, [&] {
        note("outer-handler");
        rt.wait(50); // as a handler waiting for a reply would
        note("inner-done");
    });
    rt.singleShot(20, nullptr, [&] { note("a"); });
    rt.singleShot(55, nullptr, [&] { note("b"); });
    rt.singleShot(90, nullptr, [&] { note("c"); });
    rt.wait(30);
    // The outer wait cannot end before the handler it ran has returned.
    EXPECT_EQ(log, (QStringList{"outer-handler@10", "a@20", "b@55", "inner-done@60"}));
    EXPECT_EQ(rt.nowNs(), 60 * kMs);
    rt.wait(40);
    EXPECT_EQ(log.last(), "c@90");
    EXPECT_EQ(rt.nowNs(), 100 * kMs);
}

TEST(SimRuntime, WaitUntilEndsOnThePredicateOrAtTheDeadline)
{
    SimRuntime rt;
    bool flag = false;
    rt.singleShot(37, nullptr, [&] { flag = true; });
    EXPECT_TRUE(rt.waitUntil([&] { return flag; }, 100));
    EXPECT_EQ(rt.nowNs(), 37 * kMs);
    // Already true: returns at once.
    EXPECT_TRUE(rt.waitUntil([&] { return flag; }, 100));
    EXPECT_EQ(rt.nowNs(), 37 * kMs);
    // Never true: ends exactly on the deadline, with later events left for later.
    bool late = false;
    rt.singleShot(200, nullptr, [&] { late = true; });
    EXPECT_FALSE(rt.waitUntil([] { return false; }, 100));
    EXPECT_EQ(rt.nowNs(), 137 * kMs);
    EXPECT_FALSE(late);
    // Nanosecond deadlines are exact too.
    EXPECT_FALSE(rt.waitUntilNs([] { return false; }, 1234));
    EXPECT_EQ(rt.nowNs(), 137 * kMs + 1234);
}

TEST(SimRuntime, EventsOfDestroyedContextsAreDropped)
{
    SimRuntime rt;
    int ran = 0;
    auto* gone = new QObject;
    auto* killedMeanwhile = new QObject;
    QObject stays;
    rt.singleShot(10, gone, [&] { ++ran; });
    rt.singleShot(5, nullptr, [&] { delete killedMeanwhile; });
    rt.singleShot(10, killedMeanwhile, [&] { ran += 10; });
    rt.singleShot(10, &stays, [&] { ran += 100; });
    delete gone;
    rt.wait(20);
    EXPECT_EQ(ran, 100);
}

TEST(SimRuntime, ProcessEventsRunsOnlyWhatIsDueNow)
{
    SimRuntime rt;
    int reposts = 0, later = 0;
    std::function<void()> repost = [&] {
        ++reposts;
        rt.post(nullptr, repost);
    };
    rt.post(nullptr, repost);
    rt.singleShot(1, nullptr, [&] { ++later; });
    rt.processEvents();
    EXPECT_EQ(reposts, 1); // what a handler posts waits for the next pass
    EXPECT_EQ(later, 0);
    EXPECT_EQ(rt.nowNs(), 0);
    rt.processEvents();
    EXPECT_EQ(reposts, 2);
}

TEST(SimRuntime, TimeOfDayFollowsVirtualTime)
{
    SimRuntime rt;
    rt.setTimeOfDayOrigin(QTime(23, 59, 59));
    EXPECT_EQ(rt.timeOfDay(), QTime(23, 59, 59));
    rt.wait(1500);
    EXPECT_EQ(rt.timeOfDay(), QTime(0, 0, 0, 500));
    EXPECT_EQ(rt.now(), 1500);
}
