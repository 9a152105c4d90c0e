// Korvex, the remote front panel of the antenna control unit.
//
//   korvex [--serial DEVICE[:BAUD] | --tcp HOST:PORT] [--pacing MS] [--trace FILE] [--quit-after SECONDS]
//          [--screenshot FILE] [--data-log FILE [--graph-mode N] [--replace]] [--discovery-address ADDRESS]
//
// --trace writes the session trace to FILE from the start (the "Comm Port" menu starts
// and stops it too). --quit-after and --screenshot are for unattended runs (the demo on a
// virtual display): the program ends by itself after the given time, leaving a picture of
// its main window behind. --data-log starts a data log in graph mode N (default 0) as
// soon as the link is open, without a dialog; an existing FILE is only replaced with
// --replace (otherwise the program stops at once with status 2). The log is ended with
// its parameter dump when the program ends normally, which with --data-log includes
// SIGTERM and SIGINT. --discovery-address sends "Find All local QVRs" to ADDRESS instead of
// the broadcast address (the demo gives 127.0.0.1, where qvrsim answers).
#include "AppIcons.h"
#include "DataLogs.h"
#include "FirstStartDialog.h"
#include "FrontPanelLogic.h"
#include "GraphSession.h"
#include "InstrumentTheme.h"
#include "KorvexSession.h"
#include "Discovery.h"
#include "KorvexTools.h"
#include "KorvexTrace.h"
#include "MainWindow.h"
#include "ProgramOptions.h"
#include "QtPrompter.h"
#include "QtRuntime.h"
#include "Replay.h"
#include "SerialByteLink.h"
#include "SessionTrace.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "ToolMenus.h"
#include "TracingPrompter.h"
#include "UnattendedLog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

#include <optional>
#include <variant>

namespace {

const programoptions::Program kProgram{QStringLiteral("korvex"), QStringLiteral(KORVEX_VERSION),
                                       QStringLiteral("Remote front panel of the antenna control unit.")};

struct Options {
    std::optional<double> quitAfterSeconds;
    std::optional<int> pacingMs;
    QString screenshot;
    QString trace;
    std::optional<programoptions::LinkChoice> link;
    std::optional<UnattendedLog> dataLog;
    QString discoveryAddress;
};

// The longest the parameter dump that ends a data log may take on the way out.
constexpr int kExitDumpMs = 30000;

// The options, or the exit code when the run ends here (help, version, a mistake).
std::variant<Options, int> parseOptions(int argc, char** argv)
{
    QCommandLineParser parser;
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Use the serial <device>[:baud] as antenna 1's link for this run "
                                                   "(the stored settings are not changed)."),
                                    QStringLiteral("device"));
    const QCommandLineOption tcp(QStringLiteral("tcp"),
                                 QStringLiteral("Use TCP <host:port> as antenna 1's link for this run."),
                                 QStringLiteral("host:port"));
    const QCommandLineOption pacing(QStringLiteral("pacing"),
                                    QStringLiteral("Poll the unit every MS milliseconds from the start, as the Poll "
                                                   "Rate menu sets it: 50, 100, 200 or 500."),
                                    QStringLiteral("MS"));
    const QCommandLineOption quitAfter(QStringLiteral("quit-after"),
                                       QStringLiteral("End the program after <seconds>."),
                                       QStringLiteral("seconds"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the main window to <file> (PNG) before ending."),
                                        QStringLiteral("file"));
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Write the session trace to <file> from the start."),
                                   QStringLiteral("file"));
    const QCommandLineOption dataLog(
        QStringLiteral("data-log"), QStringLiteral("Start a data log in <file> as soon as the link is open."),
        QStringLiteral("file"));
    const QCommandLineOption graphMode(QStringLiteral("graph-mode"),
                                       QStringLiteral("Graph mode 0 to 6 of the data log (default 0)."),
                                       QStringLiteral("N"));
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     QStringLiteral("Replace an existing data-log file."));
    const QCommandLineOption discovery(QStringLiteral("discovery-address"),
                                       QStringLiteral("Send the discovery request to <address> instead of "
                                                      "the broadcast address."),
                                       QStringLiteral("address"));
    parser.addOption(serial);
    parser.addOption(tcp);
    parser.addOption(trace);
    parser.addOption(discovery);
    parser.addOption(pacing);
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.addOptions({dataLog, graphMode, replace});
    if (const std::optional<int> exit = programoptions::parse(parser, argc, argv, kProgram))
        return *exit;

    Options options;
    options.screenshot = parser.value(screenshot);
    options.trace = parser.value(trace);
    options.discoveryAddress = parser.value(discovery);
    if (const std::optional<int> exit =
            programoptions::readSeconds(parser, quitAfter, kProgram, options.quitAfterSeconds))
        return *exit;
    if (parser.isSet(pacing)) {
        const QString text = parser.value(pacing);
        if (!QStringList{"50", "100", "200", "500"}.contains(text))
            return programoptions::usageError(kProgram,
                                              QStringLiteral("--pacing wants 50, 100, 200 or 500, not \"%1\"").arg(text));
        options.pacingMs = text.toInt();
    }
    if (const std::optional<int> exit = programoptions::readLink(parser, serial, tcp, kProgram, options.link))
        return *exit;
    if (parser.isSet(dataLog)) {
        UnattendedLog log;
        log.path = parser.value(dataLog);
        log.replace = parser.isSet(replace);
        if (parser.isSet(graphMode) && !log.setMode(parser.value(graphMode)))
            return programoptions::usageError(
                kProgram, QStringLiteral("--graph-mode wants 0 to 6, not \"%1\"").arg(parser.value(graphMode)));
        const QString problem = log.check();
        if (!problem.isEmpty()) {
            QTextStream(stderr) << problem << '\n';
            return 2;
        }
        options.dataLog = log;
    } else if (parser.isSet(graphMode) || parser.isSet(replace)) {
        return programoptions::usageError(kProgram, QStringLiteral("--graph-mode and --replace go with --data-log"));
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    std::variant<Options, int> parsed = parseOptions(argc, argv);
    if (const int* exit = std::get_if<int>(&parsed))
        return *exit;
    Options* options = &std::get<Options>(parsed);
    if (!programoptions::displayAvailable(kProgram))
        return 1;

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(IniSettingsStore::kOrganization));
    QApplication::setApplicationName(KorvexSettings::kApp);
    QApplication::setApplicationDisplayName(MainWindow::kTitle);
    QApplication::setApplicationVersion(QStringLiteral(KORVEX_VERSION));
    QApplication::setWindowIcon(appicons::icon(appicons::Program::Korvex));
    instrumenttheme::apply(app);

    QtRuntime runtime;
    // The trace's clock starts here, and it hears the links before the session does, so a
    // received chunk is in the trace before what it causes.
    SessionTrace trace(runtime);
    IniSettingsStore storedSettings;
    // A link named on the command line is pinned over the stored settings for this run.
    OverlaySettingsStore store(storedSettings);
    if (options->link) {
        const programoptions::LinkChoice& l = *options->link;
        KorvexSettings::pinRunLink(store, l.serial, l.device, l.baud, l.host, l.port);
    }
    SerialByteLink serial(runtime);
    TcpByteLink tcp(runtime);
    trace.watchLink(serial);
    trace.watchLink(tcp);
    QtPrompter qtPrompter;
    // Message boxes without a title of their own carry the program's title.
    qtPrompter.setDefaultTitle(KorvexSettings::kApp);
    TracingPrompter prompter(qtPrompter, trace);

    KorvexSession session(store, prompter, runtime, serial, tcp);
    KorvexTrace traceHooks(session, serial, tcp, trace);
    // Joins the session before it starts, so the link's opening shows the ANTENNA screen.
    FrontPanelLogic front(session);
    // Made before the window: the tool windows lean on it to the end.
    KorvexTools tools(session, front);
    MainWindow window(session, front);
    new ToolMenus(window, tools,
                  options->discoveryAddress.isEmpty() ? Discovery::kBroadcastAddress : options->discoveryAddress);
    qtPrompter.setParentWidget(&window);
    window.addSessionTrace(trace);

    GraphSession& graph = window.graphSession();
    Replay replay(prompter, graph, runtime);
    DataLogs dataLogs(window.dataFile(), prompter, graph,
                      DataLogs::Hooks{[&session] { return session.link().portOpen(); },
                                      {},
                                      [&replay] { return replay.isLoaded() || replay.isIndexing(); }});
    replay.setRefusal([&dataLogs] { return dataLogs.loadRefusal(); });
    graph.engine().onCaptureLine = [&dataLogs](const QString& line) { dataLogs.appendCaptureLine(line); };
    window.attachDataLogs(dataLogs, replay);
    if (options->dataLog) {
        options->dataLog->arm(session.link(), graph, dataLogs);
        UnattendedLog::quitOnTerminate(&app);
    }
    window.fitToScreen();
    window.show();

    // The log's dump needs the link, so it runs before the session lets go of it.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &dataLogs,
                     [&dataLogs, &runtime] { dataLogs.finishForExit(runtime, kExitDumpMs); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &session, [&session] { session.shutdown(); });
    // Opening the link may wait for a TCP connection; the window is up and painted first.
    // A laptop that has never been set up is asked for its port (an unattended run never is).
    const bool firstStart = !options->link && !options->quitAfterSeconds && !options->dataLog
                            && FirstStartDialog::isFirstStart(store, KorvexSettings::kApp, KorvexSettings::kSection,
                                                              {QStringLiteral("Serial1"), QStringLiteral("CommPort1"),
                                                               QStringLiteral("Address1"), QStringLiteral("Settings1")});
    QTimer::singleShot(0, &session, [&session, &window, &trace, &prompter, firstStart, path = options->trace,
                                     pacing = options->pacingMs] {
        if (!path.isEmpty())
            trace.start(path, prompter);
        bool openSettings = false;
        if (firstStart) {
            FirstStartDialog dialog(QStringLiteral("Korvex"), systemSerialPortEntries(), &window);
            dialog.exec();
            if (!dialog.chosenDevice().isEmpty())
                session.settings().setComDevice(1, dialog.chosenDevice());
            openSettings = dialog.wantsSettings();
        }
        session.start();
        // The start sets the program's own pacing; the one asked for replaces it.
        if (pacing)
            session.setPacingMs(*pacing);
        if (openSettings)
            window.openProperties();
    });

    int status = 0;
    if (!options->screenshot.isEmpty()) {
        // Taken on the way out, however the program ends, while the window still shows.
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&] {
            if (window.grab().save(options->screenshot)) {
                QTextStream(stdout) << "korvex: wrote " << options->screenshot << '\n';
            } else {
                QTextStream(stderr) << "korvex: could not write " << options->screenshot << '\n';
                status = 1;
            }
        });
    }
    if (options->quitAfterSeconds)
        QTimer::singleShot(qRound(*options->quitAfterSeconds * 1000), &app, &QApplication::quit);
    const int result = app.exec();
    return result != 0 ? result : status;
}
