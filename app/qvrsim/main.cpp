// qvrsim: stand-in units for Korvex and Quillan, served on 127.0.0.1 over TCP and on a
// pseudo-terminal that the programs open like a serial port. See --help.
#include "Options.h"

#include <AcuModel.h>
#include <AcuUnit.h>
#include <PtyUnitHost.h>
#include <QtRuntime.h>
#include <TcpUnitHost.h>
#include <TerminalUnit.h>
#include <TranscriptWriter.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
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

[[noreturn]] void die(const QString& line)
{
    std::fprintf(stderr, "qvrsim: %s\n", qPrintable(line));
    std::exit(1);
}

// Makes the lines into the one unit behind every port, with the faults asked for.
class LineMaker {
public:
    LineMaker(Runtime& runtime, const Options& options)
        : m_rt(runtime), m_options(options), m_unit(std::make_shared<AcuUnit>(runtime, options.seed))
    {
        m_unit->setReferenceForm(options.referenceForm);
    }

    std::unique_ptr<UnitLine> make(quint64 lineSeed, const QByteArray& greeting)
    {
        std::unique_ptr<UnitLine> line;
        if (m_options.unit == Options::Unit::Terminal) {
            auto terminal = std::make_unique<TerminalUnit>(m_rt, m_unit, lineSeed);
            terminal->setEcho(m_options.echo);
            terminal->setPanelFrames(m_options.panelIntervalMs);
            terminal->setStream(m_options.streamBytesPerSecond);
            line = std::move(terminal);
        } else {
            line = std::make_unique<AcuModel>(m_rt, m_unit, lineSeed);
        }
        SimFaults faults = m_options.faults;
        if (m_options.hangUpOnce && m_hungUp)
            faults.hangUpAfterReplies = faults.hangUpAfterMs = 0;
        line->setFaults(faults);
        line->setGreeting(greeting);
        UnitLine* raw = line.get();
        QObject::connect(raw, &UnitLine::hungUp, raw, [this, raw] {
            if (!m_options.hangUpOnce)
                return;
            m_hungUp = true;
            raw->setHangUpAfterReplies(0);
            raw->setHangUpAfterMs(0);
        });
        return line;
    }

private:
    Runtime& m_rt;
    const Options& m_options;
    // One unit behind every port, as on the ship: a parameter written over TCP reads back
    // the same on the serial line, and the antenna does not jump when a client reconnects.
    std::shared_ptr<AcuUnit> m_unit;
    bool m_hungUp = false;
};

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

    LineMaker lines(runtime, options);

    std::unique_ptr<TcpUnitHost> tcp;
    if (options.tcp) {
        tcp = std::make_unique<TcpUnitHost>(
            [&](int connection) { return lines.make(options.seed + quint64(connection), options.greeting); },
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
        pty = std::make_unique<PtyUnitHost>(lines.make(options.seed, {}), &transcript);
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
