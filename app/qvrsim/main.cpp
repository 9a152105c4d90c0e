// qvrsim: stand-in units for Korvex and Quillan, served on 127.0.0.1 over TCP and on a
// pseudo-terminal that the programs open like a serial port. See --help.
#include "Options.h"

#include <AcuBootModules.h>
#include <AcuModel.h>
#include <AcuUnit.h>
#include <DiscoveryResponder.h>
#include <ModuleUnit.h>
#include <PtyUnitHost.h>
#include <QtRuntime.h>
#include <TcpUnitHost.h>
#include <TerminalUnit.h>
#include <TranscriptWriter.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <map>
#include <sys/socket.h>
#include <tuple>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

// --babble: a status, a position and a heading reply, over and over.
const QByteArray kBabbleLines = QByteArrayLiteral("SH@@@L0300 @@\rE0123A1234C0012\rR0100H0200\r");

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
        m_unit->setLiveMotion(options.liveMotion);
    }

    std::unique_ptr<UnitLine> make(quint64 lineSeed, const QByteArray& greeting)
    {
        std::unique_ptr<UnitLine> line;
        if (m_options.unit == Options::Unit::Terminal) {
            auto terminal = std::make_unique<TerminalUnit>(m_rt, m_unit, lineSeed);
            terminal->setEcho(m_options.echo);
            terminal->setPanelFrames(m_options.panelIntervalMs);
            terminal->setStream(m_options.streamBytesPerSecond);
            terminal->setStatusLines(m_options.statusIntervalMs);
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

public:
    AcuUnit& unit() { return *m_unit; }
};

// --image-out: writes a module's image whenever its programming completes, and at exit
// whatever was programmed since.
class ImageWriter {
public:
    explicit ImageWriter(QString path) : m_path(std::move(path)) {}

    void watch(BootModule* module)
    {
        if (m_path.isEmpty())
            return;
        m_modules.push_back(module);
        QObject::connect(module, &BootModule::programmed, module, [this, module] { write(module); });
    }

    // A module that took records, or lost some to overruns, is reported even when nothing
    // landed: that is the report a spoiled upload needs most.
    void writeUnwritten()
    {
        for (BootModule* module : m_modules) {
            const BootFlash& f = module->flash();
            const bool touched =
                !f.isEmpty() || f.goodRecords() + f.badRecords() > 0 || module->overruns() > 0;
            if (touched && m_written[module] != stateOf(module))
                write(module);
        }
    }

private:
    using State = std::tuple<int, int, int, qsizetype, int>;
    static State stateOf(const BootModule* m)
    {
        const BootFlash& f = m->flash();
        return {f.eraseCount(), f.goodRecords(), f.badRecords(), f.byteCount(), m->overruns()};
    }

    void write(BootModule* module)
    {
        const BootFlash& flash = module->flash();
        quint32 base = 0;
        const QByteArray image = flash.span(&base);
        QString error;
        if (!flash.writeBinary(m_path, &error)) {
            std::fprintf(stderr, "qvrsim: cannot write %s: %s\n", qPrintable(m_path), qPrintable(error));
            return;
        }
        m_written[module] = stateOf(module);
        say(QStringLiteral("programmed %1 base 0x%2 length %3 bytes, records good %4 bad %5, overruns %6")
                .arg(BootModule::key(module->target()))
                .arg(base, 4, 16, QLatin1Char('0'))
                .arg(image.size())
                .arg(flash.goodRecords())
                .arg(flash.badRecords())
                .arg(module->overruns()));
    }

    QString m_path;
    std::vector<BootModule*> m_modules;
    std::map<const BootModule*, State> m_written;
};

QString ptyLine(const PtyUnitHost& pty)
{
    return pty.linkPath().isEmpty() ? QStringLiteral("pty %1").arg(pty.slavePath())
                                    : QStringLiteral("pty %1 -> %2").arg(pty.slavePath(), pty.linkPath());
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

    LineMaker lines(runtime, options);
    ImageWriter images(options.imageOut);
    if (options.unit == Options::Unit::Acu) {
        lines.unit().bootModules().setFaults(options.bootFaults);
        for (BootModule* module : lines.unit().bootModules().all())
            images.watch(module);
    }

    std::unique_ptr<TcpUnitHost> tcp;
    if (options.tcp) {
        tcp = std::make_unique<TcpUnitHost>(
            [&](int connection) { return lines.make(options.seed + quint64(connection), options.greeting); },
            &transcript);
        if (options.babble)
            tcp->setBabble(kBabbleLines);
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
    if (options.pty && options.isModule()) {
        auto module = std::make_unique<ModuleUnit>(runtime, options.moduleTarget(), options.seed);
        ModuleUnit* board = module.get();
        board->setFaults(options.faults);
        board->setBootFaults(options.bootFaults);
        board->setReturnAfterMs(options.returnAfterMs);
        board->setStatusStream(options.statusStream);
        for (BootModule* m : board->modules())
            images.watch(m);
        pty = std::make_unique<PtyUnitHost>(std::move(module), &transcript);
        PtyUnitHost* host = pty.get();
        // Queued: the host closes the terminal the board is being served on.
        QObject::connect(
            board, &ModuleUnit::portGone, host,
            [&options, host] {
                host->vanish();
                if (!options.quiet)
                    say(QStringLiteral("pty gone"));
            },
            Qt::QueuedConnection);
        QObject::connect(
            board, &ModuleUnit::portBack, host,
            [host] {
                if (!host->comeBack())
                    die(QStringLiteral("cannot serve a pseudo-terminal again: %1").arg(host->errorString()));
                say(ptyLine(*host));
            },
            Qt::QueuedConnection);
    } else if (options.pty) {
        // A serial line has no connection, so no greeting.
        pty = std::make_unique<PtyUnitHost>(lines.make(options.seed, {}), &transcript);
    }
    if (pty) {
        pty->setLineSpeed(options.lineSpeed);
        if (!pty->open(options.ptyLink))
            die(QStringLiteral("cannot serve a pseudo-terminal: %1").arg(pty->errorString()));
        say(ptyLine(*pty));
    }

    std::unique_ptr<DiscoveryResponder> discovery;
    if (options.discoveryPort != 0) {
        discovery = std::make_unique<DiscoveryResponder>(options.discoveryPort, options.discoveryAnswers);
        if (!discovery->listening())
            die(QStringLiteral("cannot answer discovery on 127.0.0.1:%1: %2")
                    .arg(options.discoveryPort)
                    .arg(discovery->errorString()));
        say(QStringLiteral("UDP discovery 127.0.0.1:%1").arg(discovery->port()));
    }

    const int rc = app.exec();
    images.writeUnwritten();
    pty.reset();
    tcp.reset();
    if (!options.quiet)
        say(QStringLiteral("stopped"));
    return rc;
}
