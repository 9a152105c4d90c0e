// How fast virtual time runs, and how exactly real waits end.
//   (a) SimRuntime: a 10-minute wait with a 200 ms repeating timer, in real milliseconds.
//   (b) QtRuntime: lateness of wait(6 ms), mean and 99th percentile, against the plain
//       nested event loop with a precise QTimer that the waits replace.
// Usage: runtime_bench [waits]   (default 500)
#include "QtRuntime.h"
#include "SimRuntime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <vector>

namespace {

constexpr int kWaitMs = 6;

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Stats {
    double mean, p50, p99, max;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) { return v[std::min(v.size() - 1, size_t(q * double(v.size())))]; };
    return {std::accumulate(v.begin(), v.end(), 0.0) / double(v.size()), at(0.50), at(0.99), v.back()};
}

void simBench()
{
    std::vector<double> runs;
    quint64 ticks = 0;
    for (int i = 0; i < 5; ++i) {
        SimRuntime rt;
        auto timer = rt.createTimer();
        quint64 n = 0;
        timer->setCallback([&] { ++n; });
        timer->start(200);
        QElapsedTimer real;
        real.start();
        rt.wait(10 * 60 * 1000);
        runs.push_back(double(real.nsecsElapsed()) / 1e6);
        ticks = n;
    }
    std::sort(runs.begin(), runs.end());
    std::printf("sim: 10 min virtual wait, 200 ms timer (%llu ticks): median %.3f ms real, worst %.3f ms"
                "  [target < 50 ms: %s]\n",
                (unsigned long long)ticks, runs[runs.size() / 2], runs.back(),
                runs.back() < 50 ? "met" : "MISSED");
}

void printLateness(const char* what, const std::vector<double>& late, double cpu, double wall, bool target)
{
    const Stats s = stats(late);
    std::printf("%s: wait(%d ms) x %zu: lateness mean %.3f ms, p50 %.3f ms, p99 %.3f ms, max %.3f ms;"
                " CPU %.0f%% of the time",
                what, kWaitMs, late.size(), s.mean, s.p50, s.p99, s.max, 100.0 * cpu / wall);
    if (target)
        std::printf("  [target p99 < 1 ms: %s]", s.p99 < 1.0 ? "met" : "MISSED");
    std::printf("\n");
}

void qtBench(int waits)
{
    QtRuntime rt;
    std::vector<double> late;
    double cpu0 = cpuMs();
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < waits; ++i) {
        const qint64 t0 = rt.nowNs();
        rt.wait(kWaitMs);
        late.push_back(double(rt.nowNs() - t0) / 1e6 - kWaitMs);
    }
    printLateness("qt runtime", late, cpuMs() - cpu0, double(wall.nsecsElapsed()) / 1e6, true);

    // What the waits replace: a nested event loop ended by a precise single-shot timer.
    late.clear();
    cpu0 = cpuMs();
    wall.restart();
    for (int i = 0; i < waits; ++i) {
        QElapsedTimer t;
        t.start();
        QEventLoop loop;
        QTimer::singleShot(kWaitMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        late.push_back(double(t.nsecsElapsed()) / 1e6 - kWaitMs);
    }
    printLateness("baseline (QEventLoop + QTimer)", late, cpuMs() - cpu0, double(wall.nsecsElapsed()) / 1e6,
                  false);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int waits = argc > 1 ? std::max(10, std::atoi(argv[1])) : 500;
    std::printf("runtime_bench\n");
    simBench();
    qtBench(waits);
    return 0;
}
