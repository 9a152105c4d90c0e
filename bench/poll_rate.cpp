// Korvex's poll cycle against a real unit (or qvrsim) over TCP, in real time: how many
// commands per second go out at a pacing, and whether the rate drifts over the run.
//
//   poll_rate --port 2000 [--pacing 50] [--seconds 60]
//
// It runs the panel's session and front-panel logic headless (no window), exactly as the
// program wires them, and counts the commands the poll timer hands to the link.
#include "FrontPanelLogic.h"
#include "KorvexBenchStore.h"
#include "KorvexSession.h"
#include "Prompter.h"
#include "QtRuntime.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "TcpByteLink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption portOpt("port", "TCP port of the unit on 127.0.0.1.", "port", "2000");
    const QCommandLineOption pacingOpt("pacing", "Poll pacing in ms (50, 100, 200, 500).", "ms", "50");
    const QCommandLineOption secondsOpt("seconds", "Length of the measurement.", "s", "60");
    parser.addOptions({portOpt, pacingOpt, secondsOpt});
    parser.process(app);
    const int port = parser.value(portOpt).toInt();
    const int pacing = parser.value(pacingOpt).toInt();
    const int seconds = std::max(5, parser.value(secondsOpt).toInt());

    QtRuntime rt;
    MemorySettingsStore store;
    pointAntennaOneAt(store, port);
    ScriptedPrompter prompter;
    SimByteLink unusedSerial(rt, ByteLink::Kind::Serial);
    TcpByteLink tcp(rt);
    KorvexSession session(store, prompter, rt, unusedSerial, tcp);
    FrontPanelLogic front(session);

    std::vector<qint64> sentAtNs;
    sentAtNs.reserve(size_t(seconds) * 1000 / size_t(std::max(1, pacing)) + 100);
    QObject::connect(&session.pollCycle(), &PollCycle::commandSent,
                     [&](const QByteArray&) { sentAtNs.push_back(rt.nowNs()); });

    session.start();
    session.setPacingMs(pacing);
    if (!session.link().portOpen()) {
        std::fprintf(stderr, "poll_rate: no connection to 127.0.0.1:%d (%s)\n", port,
                     qPrintable(prompter.lastText().replace('\r', ' ')));
        return 1;
    }
    // Measure from the first command on, once polling runs.
    rt.waitUntil([&] { return !sentAtNs.empty(); }, 5000);
    const qint64 t0 = sentAtNs.empty() ? rt.nowNs() : sentAtNs.front();
    rt.waitUntil([&] { return rt.nowNs() - t0 >= qint64(seconds) * 1000000000; }, seconds * 1000 + 1000);
    session.link().togglePort();

    const qint64 windowNs = qint64(seconds) * 1000000000;
    // Windows start half a pacing interval before their first command, so that timer
    // jitter cannot move a command across a window's edge.
    const qint64 half = qint64(pacing) * 500000;
    auto countIn = [&](qint64 from, qint64 to) {
        return std::count_if(sentAtNs.begin(), sentAtNs.end(),
                             [&](qint64 t) { return t >= t0 - half + from && t < t0 - half + to; });
    };
    const double total = double(countIn(0, windowNs));
    const double rate = total / seconds;
    const qint64 tenth = windowNs / 10;
    const double first = double(countIn(0, tenth)) / (seconds / 10.0);
    const double last = double(countIn(windowNs - tenth, windowNs)) / (seconds / 10.0);
    std::vector<double> gaps;
    for (size_t i = 1; i < sentAtNs.size(); ++i)
        gaps.push_back(double(sentAtNs[i] - sentAtNs[i - 1]) / 1e6);
    std::sort(gaps.begin(), gaps.end());
    auto pct = [&](double p) { return gaps.empty() ? 0.0 : gaps[size_t(p * double(gaps.size() - 1))]; };

    QTextStream out(stdout);
    out << "poll_rate: pacing " << pacing << " ms over " << seconds << " s: " << qint64(total)
        << " commands, " << QString::number(rate, 'f', 3) << " per second (target "
        << QString::number(1000.0 / pacing, 'f', 1) << ")\n";
    out << "poll_rate: first tenth " << QString::number(first, 'f', 2) << "/s, last tenth "
        << QString::number(last, 'f', 2) << "/s (drift " << QString::number(last - first, 'f', 2) << "/s)\n";
    out << "poll_rate: gap between commands ms: p1 " << QString::number(pct(0.01), 'f', 2) << ", p50 "
        << QString::number(pct(0.5), 'f', 2) << ", p99 " << QString::number(pct(0.99), 'f', 2) << "\n";
    out << "poll_rate: status at the end: " << session.link().statusText() << "\n";
    return 0;
}
