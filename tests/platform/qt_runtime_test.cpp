#include "QtRuntime.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QObject>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

} // namespace

TEST(QtRuntime, WaitEndsOnTheDeadlineWithoutSpinning)
{
    QtRuntime rt;
    std::vector<double> lateMs;
    for (int i = 0; i < 40; ++i) {
        const qint64 t0 = rt.nowNs();
        rt.wait(6);
        lateMs.push_back(double(rt.nowNs() - t0) / 1e6 - 6.0);
    }
    std::sort(lateMs.begin(), lateMs.end());
    EXPECT_GE(lateMs.front(), 0.0) << "a wait ended before its deadline";
    // The median, so that one scheduling hiccup of a busy machine does not fail the test.
    EXPECT_LT(lateMs[lateMs.size() / 2], 0.5);

    // Most of a long wait is spent asleep in the event loop.
    const double cpu0 = cpuMs();
    QElapsedTimer wall;
    wall.start();
    rt.wait(300);
    EXPECT_GE(wall.elapsed(), 300);
    EXPECT_LT(cpuMs() - cpu0, 60.0);
}

TEST(QtRuntime, TimersAndPostedWorkRunDuringWaits)
{
    QtRuntime rt;
    int ticks = 0;
    auto timer = rt.createTimer();
    timer->setCallback([&] { ++ticks; });
    timer->start(5);
    bool shot = false, posted = false;
    rt.singleShot(20, nullptr, [&] { shot = true; });
    rt.post(nullptr, [&] { posted = true; });
    rt.wait(0);
    EXPECT_TRUE(posted); // even a wait of zero lets what is due run once
    rt.wait(60);
    EXPECT_TRUE(shot);
    EXPECT_GE(ticks, 6);
    EXPECT_LE(ticks, 13);
    timer->stop();
}

TEST(QtRuntime, WaitUntilEndsEarlyOnThePredicateOrAtTheDeadline)
{
    QtRuntime rt;
    bool flag = false;
    rt.singleShot(20, nullptr, [&] { flag = true; });
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(rt.waitUntil([&] { return flag; }, 2000));
    EXPECT_GE(t.elapsed(), 19);
    EXPECT_LT(t.elapsed(), 500);

    t.restart();
    EXPECT_FALSE(rt.waitUntil([] { return false; }, 30));
    EXPECT_GE(t.nsecsElapsed(), 30000000);
}

TEST(QtRuntime, NestedWaitsAndTimersThatDeleteThemselves)
{
    QtRuntime rt;
    std::unique_ptr<RuntimeTimer> timer = rt.createTimer();
    int ticks = 0;
    bool innerDone = false;
    timer->setCallback([&] {
        ++ticks;
        timer.reset(); // the timer goes away in its own handler
        rt.wait(20);   // and the handler waits on, in a nested wait
        innerDone = true;
    });
    timer->start(5);
    const qint64 t0 = rt.nowNs();
    rt.wait(10);
    EXPECT_TRUE(innerDone);
    EXPECT_EQ(ticks, 1);
    EXPECT_GE(rt.nowNs() - t0, 25000000);

    auto* context = new QObject;
    bool ran = false;
    rt.singleShot(5, context, [&] { ran = true; });
    delete context;
    rt.wait(20);
    EXPECT_FALSE(ran);
}
