// qvrsim: a stand-in antenna control unit for Korvex and Quillan, served on 127.0.0.1 over
// TCP and on a pseudo-terminal that the programs open like a serial port.
#include <AcuModel.h>
#include <AcuUnit.h>
#include <PtyUnitHost.h>
#include <QtRuntime.h>
#include <TcpUnitHost.h>
#include <TranscriptWriter.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <limits>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop normally, so the hosts' destructors remove the link.
void quitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte;
        [[maybe_unused]] const auto n = ::read(g_signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

void say(const QString& line)
{
    std::fprintf(stdout, "qvrsim: %s\n", qPrintable(line));
    std::fflush(stdout);
}

[[noreturn]] void die(const QString& line, int code = 1)
{
    std::fprintf(stderr, "qvrsim: %s\n", qPrintable(line));
    std::exit(code);
}

// The panel counts on one line from a unit right after a TCP connection and pairs it with
// no command; a unit that stays silent would cost it a sync error on its first reply.
constexpr char kGreeting[] = "QVR ACU SIMULATOR";

struct Options {
    bool tcp = true;
    quint16 port = 2000;
    bool pty = false;
    QString ptyLink;
    QByteArray greeting;
    QString transcript;
    quint64 seed = 1;
    SimFaults faults;
    bool quiet = false;
};

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser p;
    p.setApplicationDescription("Simulated antenna control unit (ACU with its PCU) for Korvex and Quillan.\n"
                                "Serves on 127.0.0.1 only; prints one line per endpoint it serves.");
    p.addHelpOption();
    const QCommandLineOption port("port", "TCP port on 127.0.0.1 (default 2000; 0 picks a free one).", "N",
                                  "2000");
    const QCommandLineOption noTcp("no-tcp", "Do not serve TCP.");
    const QCommandLineOption pty("pty", "Also serve on a pseudo-terminal (opened like a serial port).");
    const QCommandLineOption ptyLink("pty-link",
                                     "Serve on a pseudo-terminal and make a symbolic link to it at "
                                     "PATH (removed on exit).",
                                     "PATH");
    const QCommandLineOption greeting(
        "greeting",
        QStringLiteral("Line a TCP client receives when it connects (default \"") + kGreeting +
            "\"; an empty TEXT sends none).",
        "TEXT");
    const QCommandLineOption transcript("transcript",
                                        "Write every byte received and sent, with times, to FILE.", "FILE");
    const QCommandLineOption seed("seed", "Seed of the unit's motion and of the random faults (default 1).",
                                  "N", "1");
    const QCommandLineOption dropEvery("drop-every", "Fault: never send every Nth reply.", "N");
    const QCommandLineOption delay("delay", "Fault: send every reply MS milliseconds late.", "MS");
    const QCommandLineOption split("split", "Fault: send replies in pieces of at most N bytes.", "N");
    const QCommandLineOption splitGap("split-gap",
                                      "Milliseconds between the pieces of a split reply (default 10).", "MS");
    const QCommandLineOption join("join", "Fault: send replies two at a time in one chunk.");
    const QCommandLineOption garble("garble", "Fault: change each byte sent with probability P (0 to 1).",
                                    "P");
    const QCommandLineOption noCr("no-cr", "Fault: send replies without their closing CR.");
    const QCommandLineOption prompt("prompt",
                                    "Start a reply with the \">\" prompt with probability P (0 to 1).", "P");
    const QCommandLineOption quiet("quiet",
                                   "Print only the endpoint lines, not connections coming and going.");
    p.addOptions({port, noTcp, pty, ptyLink, greeting, transcript, seed, dropEvery, delay, split, splitGap,
                  join, garble, noCr, prompt, quiet});
    p.process(app);

    auto integer = [&](const QCommandLineOption& o, qint64 low, qint64 high) {
        bool ok = false;
        const qint64 v = p.value(o).toLongLong(&ok);
        if (!ok || v < low || v > high)
            die(QStringLiteral("--%1 wants a whole number from %2 to %3")
                    .arg(o.names().first())
                    .arg(low)
                    .arg(high),
                2);
        return v;
    };
    auto probability = [&](const QCommandLineOption& o) {
        bool ok = false;
        const double v = p.value(o).toDouble(&ok);
        if (!ok || v < 0 || v > 1)
            die(QStringLiteral("--%1 wants a probability from 0 to 1").arg(o.names().first()), 2);
        return v;
    };

    Options o;
    o.tcp = !p.isSet(noTcp);
    o.port = quint16(integer(port, 0, 65535));
    o.pty = p.isSet(pty) || p.isSet(ptyLink);
    o.ptyLink = p.value(ptyLink);
    o.greeting = p.isSet(greeting) ? p.value(greeting).toLatin1() : QByteArray(kGreeting);
    o.transcript = p.value(transcript);
    o.seed = quint64(integer(seed, 0, std::numeric_limits<qint64>::max()));
    o.quiet = p.isSet(quiet);
    if (p.isSet(dropEvery))
        o.faults.dropEvery = int(integer(dropEvery, 0, 1000000));
    if (p.isSet(delay))
        o.faults.delayMs = int(integer(delay, 0, 600000));
    if (p.isSet(split))
        o.faults.splitBytes = int(integer(split, 0, 1000000));
    if (p.isSet(splitGap))
        o.faults.splitGapMs = int(integer(splitGap, 0, 60000));
    o.faults.joinPairs = p.isSet(join);
    if (p.isSet(garble))
        o.faults.garbleProbability = probability(garble);
    o.faults.omitCr = p.isSet(noCr);
    if (p.isSet(prompt))
        o.faults.promptProbability = probability(prompt);
    if (!o.tcp && !o.pty)
        die(QStringLiteral("nothing to serve: --no-tcp without --pty"), 2);
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName("qvrsim");
    const Options options = parseOptions(app);
    quitOnSignals(app);

    QtRuntime runtime;
    TranscriptWriter transcript(runtime);
    if (!options.transcript.isEmpty() && !transcript.open(options.transcript))
        die(QStringLiteral("cannot write %1: %2").arg(options.transcript, transcript.errorString()));

    // One unit behind every port, as on the ship: a parameter written over TCP reads back
    // the same on the serial line, and the antenna does not jump when a client reconnects.
    auto unit = std::make_shared<AcuUnit>(runtime, options.seed);
    auto makeLine = [&](quint64 lineSeed, const QByteArray& greeting) {
        auto model = std::make_unique<AcuModel>(runtime, unit, lineSeed);
        model->setFaults(options.faults);
        model->setGreeting(greeting);
        return model;
    };

    std::unique_ptr<TcpUnitHost> tcp;
    if (options.tcp) {
        tcp = std::make_unique<TcpUnitHost>(
            [&](int connection) { return makeLine(options.seed + quint64(connection), options.greeting); },
            &transcript);
        if (!tcp->listen(options.port))
            die(QStringLiteral("cannot listen on 127.0.0.1:%1: %2")
                    .arg(options.port)
                    .arg(tcp->errorString()));
        if (!options.quiet) {
            QObject::connect(tcp.get(), &TcpUnitHost::clientConnected,
                             [](const QString& name) { say(name + " connected"); });
            QObject::connect(tcp.get(), &TcpUnitHost::clientDisconnected,
                             [](const QString& name) { say(name + " closed"); });
        }
        say(QStringLiteral("TCP 127.0.0.1:%1").arg(tcp->port()));
    }

    std::unique_ptr<PtyUnitHost> pty;
    if (options.pty) {
        // A serial line has no connection, so no greeting.
        pty = std::make_unique<PtyUnitHost>(makeLine(options.seed, {}), &transcript);
        if (!pty->open(options.ptyLink))
            die(QStringLiteral("cannot serve a pseudo-terminal: %1").arg(pty->errorString()));
        say(pty->linkPath().isEmpty()
                ? QStringLiteral("pty %1").arg(pty->slavePath())
                : QStringLiteral("pty %1 -> %2").arg(pty->slavePath(), pty->linkPath()));
    }

    const int rc = app.exec();
    pty.reset();
    tcp.reset();
    if (!options.quiet)
        say(QStringLiteral("stopped"));
    return rc;
}
