// Measures FlushAndPause(6) as the S-record transfer uses it: a five-character piece and
// its CR LF written to a serial link at 9600 baud (here a pseudo-terminal whose far end
// this program drains), then the pause. The link keeps the wire clock itself, so the
// piece's wire time (7 bytes of 10 bits: 7.292 ms) comes before the pause. Prints the distribution of
// (duration - wire time - 6 ms) over the runs and the CPU share spent, next to a plain
// precise-timer wait for comparison.
#include "Prompter.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SerialPorts.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "TerminalSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPauseMs = 6;

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Stats {
    double p50, p90, p99, max, mean;
};

Stats summarise(std::vector<double> lateMs)
{
    std::sort(lateMs.begin(), lateMs.end());
    auto at = [&](double q) {
        return lateMs[std::min(lateMs.size() - 1, size_t(q * double(lateMs.size())))];
    };
    double sum = 0;
    for (double v : lateMs)
        sum += v;
    return {at(0.50), at(0.90), at(0.99), lateMs.back(), sum / double(lateMs.size())};
}

void print(const char* name, const Stats& s, double cpuShare, int runs)
{
    std::printf("%-28s runs=%d  late ms: mean=%.3f p50=%.3f p90=%.3f p99=%.3f max=%.3f  cpu=%.0f%%\n", name,
                runs, s.mean, s.p50, s.p90, s.p99, s.max, cpuShare * 100.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 500;

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("posix_openpt");
        return 1;
    }
    const QString slave = QString::fromLocal8Bit(ptsname(master));
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    // The far end reads everything, as a unit would, so the pty buffer never fills.
    QSocketNotifier reader(master, QSocketNotifier::Read);
    QObject::connect(&reader, &QSocketNotifier::activated, [master] {
        char buf[4096];
        while (::read(master, buf, sizeof buf) > 0) {
        }
    });

    QtRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    SerialByteLink serial(rt);
    TcpByteLink tcp(rt);
    setComDevice(store, QStringLiteral("QuillanUniv1"), 1, slave);
    TerminalSession session(rt, prompter, store, serial, tcp, 1);
    session.start();
    if (!session.isPortOpen()) {
        std::fprintf(stderr, "could not open %s: %s\n", qPrintable(slave), qPrintable(prompter.lastText()));
        return 1;
    }

    const QByteArray piece("#S113\r\n");
    // At the session's default settings, 9600,N,8,1.
    const double wireMs = double(piece.size()) * 10.0 * 1000.0 / 9600.0;
    std::printf("piece of %lld bytes: %.3f ms on the wire at 9600 baud\n", qint64(piece.size()), wireMs);
    std::vector<double> late;
    late.reserve(runs);
    double cpu0 = cpuSeconds();
    qint64 wall0 = rt.nowNs();
    for (int i = 0; i < runs; ++i) {
        session.commOut(piece);
        const qint64 t0 = rt.nowNs();
        session.flushAndPause(kPauseMs);
        late.push_back(double(rt.nowNs() - t0) / 1e6 - wireMs - kPauseMs);
    }
    print("FlushAndPause(6) over pty", summarise(late),
          (cpuSeconds() - cpu0) / (double(rt.nowNs() - wall0) / 1e9), runs);

    // Where the time goes: the same three steps, timed one by one.
    std::vector<double> drainMs, eventsMs;
    late.clear();
    for (int i = 0; i < runs; ++i) {
        session.commOut(piece);
        const qint64 t0 = rt.nowNs();
        serial.drain(10000);
        const qint64 t1 = rt.nowNs();
        rt.processEvents();
        const qint64 t2 = rt.nowNs();
        rt.wait(kPauseMs);
        const qint64 t3 = rt.nowNs();
        drainMs.push_back(double(t1 - t0) / 1e6 - wireMs);
        eventsMs.push_back(double(t2 - t1) / 1e6);
        late.push_back(double(t3 - t2) / 1e6 - kPauseMs);
    }
    print("  drain beyond the wire time", summarise(drainMs), 0, runs);
    print("  processEvents (ms taken)", summarise(eventsMs), 0, runs);
    print("  pause only (late)", summarise(late), 0, runs);

    // For comparison: the same pause as a precise timer in a nested event loop.
    late.clear();
    cpu0 = cpuSeconds();
    wall0 = rt.nowNs();
    for (int i = 0; i < runs; ++i) {
        session.commOut(piece);
        const qint64 t0 = rt.nowNs();
        QEventLoop loop;
        QTimer::singleShot(kPauseMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        late.push_back(double(rt.nowNs() - t0) / 1e6 - kPauseMs);
    }
    print("QTimer nested loop (6 ms)", summarise(late),
          (cpuSeconds() - cpu0) / (double(rt.nowNs() - wall0) / 1e9), runs);

    session.shutdown();
    ::close(master);
    return 0;
}
