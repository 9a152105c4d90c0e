// Korvex's panel against qvrsim over TCP, in real time, with the session trace on: the
// events a technician causes (targets typed on the ANTENNA pages, the unit restarting) and
// the sync errors each one costs.
//
//   korvex_events --qvrsim PATH --trace FILE [--seconds 120] [--split N]
//
// It runs the panel's session and front-panel logic headless, wired to the trace as the
// program wires them, starts qvrsim itself on a free port on 127.0.0.1 and restarts it once
// on the same port (a unit that reboots and greets again). At the end it reads the trace
// back and prints, per event, the sync errors recorded in the 20 s after it.
#include "FrontPanelLogic.h"
#include "KorvexBenchStore.h"
#include "KorvexSession.h"
#include "KorvexTrace.h"
#include "Prompter.h"
#include "QtRuntime.h"
#include "SessionTrace.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "TcpByteLink.h"
#include "TracingPrompter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>
#include <vector>

namespace {

struct Event {
    QString name;
    qint64 atMs = 0; // on the trace's clock
};

// Starts qvrsim and returns its TCP port (0 when it did not come up).
int startUnit(QProcess& process, const QString& program, int port, const QString& split)
{
    QStringList args{"--unit", "acu", "--port", QString::number(port), "--quiet"};
    if (!split.isEmpty())
        args << "--split" << split;
    process.setProgram(program);
    process.setArguments(args);
    process.start();
    if (!process.waitForStarted(5000))
        return 0;
    static const QRegularExpression endpoint(QStringLiteral("TCP 127\\.0\\.0\\.1:(\\d+)"));
    QByteArray out;
    for (int i = 0; i < 50; ++i) {
        process.waitForReadyRead(100);
        out += process.readAllStandardOutput();
        const QRegularExpressionMatch m = endpoint.match(QString::fromLatin1(out));
        if (m.hasMatch())
            return m.captured(1).toInt();
    }
    return 0;
}

void stopUnit(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption qvrsimOpt("qvrsim", "Path of qvrsim.", "path");
    const QCommandLineOption traceOpt("trace", "Session trace file to write.", "file");
    const QCommandLineOption secondsOpt("seconds", "Length of the run (at least 100).", "s", "120");
    const QCommandLineOption splitOpt("split", "Have qvrsim send replies in pieces of N bytes.", "N");
    parser.addOptions({qvrsimOpt, traceOpt, secondsOpt, splitOpt});
    parser.process(app);
    if (!parser.isSet(qvrsimOpt) || !parser.isSet(traceOpt)) {
        std::fprintf(stderr, "korvex_events: --qvrsim and --trace are required\n");
        return 2;
    }
    const int seconds = std::max(100, parser.value(secondsOpt).toInt());
    const QString split = parser.value(splitOpt);

    QProcess unit;
    const int port = startUnit(unit, parser.value(qvrsimOpt), 0, split);
    if (port == 0) {
        std::fprintf(stderr, "korvex_events: qvrsim did not start\n");
        return 1;
    }

    QtRuntime rt;
    // Event times are taken on the trace's clock, which starts with the trace.
    const qint64 origin = rt.now();
    SessionTrace trace(rt);
    MemorySettingsStore store;
    pointAntennaOneAt(store, port);
    ScriptedPrompter scripted;
    TracingPrompter prompter(scripted, trace);
    SimByteLink unusedSerial(rt, ByteLink::Kind::Serial);
    TcpByteLink tcp(rt);
    trace.watchLink(tcp);
    KorvexSession session(store, prompter, rt, unusedSerial, tcp);
    KorvexTrace hooks(session, unusedSerial, tcp, trace);
    FrontPanelLogic front(session);
    if (!trace.start(parser.value(traceOpt), prompter)) {
        std::fprintf(stderr, "korvex_events: cannot write %s\n", qPrintable(parser.value(traceOpt)));
        stopUnit(unit);
        return 1;
    }
    session.start();
    if (!session.link().portOpen()) {
        std::fprintf(stderr, "korvex_events: no connection to 127.0.0.1:%d\n", port);
        stopUnit(unit);
        return 1;
    }

    const auto traceMs = [&] { return rt.now() - origin; };
    const auto goTo = [&](int code) {
        const std::optional<screens::Screen> screen = screens::screenOf(code);
        for (int i = 0; screen && i < 40 && front.screenCode() != code; ++i)
            front.pressScreenKey(*screen);
    };
    std::vector<Event> events;
    const auto enter = [&](const QString& name, int page, const QString& text) {
        goTo(page);
        rt.wait(2000); // the page's polling is under way before the entry
        events.push_back({name, traceMs()});
        if (!front.entryEnter(text))
            std::fprintf(stderr, "korvex_events: %s was not sent\n", qPrintable(name));
    };

    rt.wait(15000);
    enter(QStringLiteral("AZ 123.4"), 65, QStringLiteral("123.4"));
    rt.wait(18000);
    enter(QStringLiteral("EL 45"), 66, QStringLiteral("45"));
    rt.wait(18000);
    enter(QStringLiteral("target A123.45678901 (15 characters)"), 65, QStringLiteral("123.45678901"));
    rt.wait(18000);
    goTo(64);
    events.push_back({QStringLiteral("unit restart over TCP"), traceMs()});
    stopUnit(unit);
    if (startUnit(unit, parser.value(qvrsimOpt), port, split) != port) {
        std::fprintf(stderr, "korvex_events: qvrsim did not come back on port %d\n", port);
        return 1;
    }
    rt.wait(qMax<qint64>(1000, qint64(seconds) * 1000 - traceMs()));
    const qint64 endMs = traceMs();
    trace.stop();
    stopUnit(unit);

    // The trace's own lines: "<ms>\tsync\t<code>".
    QFile file(parser.value(traceOpt));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "korvex_events: cannot read the trace back\n");
        return 1;
    }
    std::vector<qint64> syncAt;
    int sends = 0, recvs = 0;
    while (!file.atEnd()) {
        const QList<QByteArray> f = file.readLine().trimmed().split('\t');
        if (f.size() < 2)
            continue;
        const qint64 ms = f[0].toLongLong();
        if (f[1] == "sync")
            syncAt.push_back(ms);
        else if (f[1] == "send")
            ++sends;
        else if (f[1] == "recv")
            ++recvs;
    }
    std::printf("korvex_events: %lld s against qvrsim on 127.0.0.1:%d%s; trace %s\n", endMs / 1000, port,
                split.isEmpty() ? ""
                                : qPrintable(QStringLiteral(", replies split in %1-byte pieces").arg(split)),
                qPrintable(parser.value(traceOpt)));
    std::printf("  commands sent %d, chunks received %d, sync errors in all %zu\n", sends, recvs,
                syncAt.size());
    for (size_t i = 0; i < events.size(); ++i) {
        const qint64 from = events[i].atMs;
        const qint64 to = from + 20000;
        int n = 0;
        for (qint64 t : syncAt)
            n += t >= from && t < to;
        std::printf("  %-40s at %6.1f s: %d sync error(s) in the next 20 s\n", qPrintable(events[i].name),
                    events[i].atMs / 1000.0, n);
    }
    int before = 0;
    for (qint64 t : syncAt)
        before += t < events.front().atMs;
    std::printf("  %-40s         : %d sync error(s)\n", "before the first event", before);
    return 0;
}
