// Korvex, the remote front panel of the antenna control unit.
//
//   korvex [--trace FILE] [--quit-after SECONDS] [--screenshot FILE]
//          [--data-log FILE [--graph-mode N] [--replace]]
//
// --trace writes the session trace to FILE from the start (the "Comm Port" menu starts
// and stops it too). --quit-after and --screenshot are for unattended runs (the demo on a
// virtual display): the program ends by itself after the given time, leaving a picture of
// its main window behind. --data-log starts a data log in graph mode N (default 0) as
// soon as the link is open, without a dialog; an existing FILE is only replaced with
// --replace (otherwise the program stops at once with status 2). The log is ended with
// its parameter dump when the program ends normally, which with --data-log includes
// SIGTERM and SIGINT.
#include "DataLogs.h"
#include "FrontPanelLogic.h"
#include "IdleGraph.h"
#include "InstrumentTheme.h"
#include "KorvexSession.h"
#include "KorvexTrace.h"
#include "MainWindow.h"
#include "QtPrompter.h"
#include "QtRuntime.h"
#include "Replay.h"
#include "SerialByteLink.h"
#include "SessionTrace.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "TracingPrompter.h"
#include "UnattendedLog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

#include <optional>

namespace {

struct Options {
    std::optional<double> quitAfterSeconds;
    QString screenshot;
    QString trace;
    std::optional<UnattendedLog> dataLog;
};

// The longest the parameter dump that ends a data log may take on the way out.
constexpr int kExitDumpMs = 30000;

std::optional<Options> parseOptions(const QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Remote front panel of the antenna control unit"));
    parser.addHelpOption();
    parser.addVersionOption();
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
    parser.addOption(trace);
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.addOptions({dataLog, graphMode, replace});
    parser.process(app);

    Options options;
    options.screenshot = parser.value(screenshot);
    options.trace = parser.value(trace);
    if (parser.isSet(quitAfter)) {
        bool ok = false;
        const double seconds = parser.value(quitAfter).toDouble(&ok);
        if (!ok || seconds < 0) {
            QTextStream(stderr) << "korvex: --quit-after wants a number of seconds, not \""
                                << parser.value(quitAfter) << "\"\n";
            return std::nullopt;
        }
        options.quitAfterSeconds = seconds;
    }
    if (parser.isSet(dataLog)) {
        UnattendedLog log;
        log.path = parser.value(dataLog);
        log.replace = parser.isSet(replace);
        if (parser.isSet(graphMode) && !log.setMode(parser.value(graphMode))) {
            QTextStream(stderr) << "korvex: --graph-mode wants 0 to 6, not \"" << parser.value(graphMode)
                                << "\"\n";
            return std::nullopt;
        }
        const QString problem = log.check();
        if (!problem.isEmpty()) {
            QTextStream(stderr) << problem << '\n';
            return std::nullopt;
        }
        options.dataLog = log;
    } else if (parser.isSet(graphMode) || parser.isSet(replace)) {
        QTextStream(stderr) << "korvex: --graph-mode and --replace go with --data-log\n";
        return std::nullopt;
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(IniSettingsStore::kOrganization));
    QApplication::setApplicationName(KorvexSettings::kApp);
    QApplication::setApplicationDisplayName(MainWindow::kTitle);
    QApplication::setApplicationVersion(QStringLiteral(KORVEX_VERSION));
    const std::optional<Options> options = parseOptions(app);
    if (!options)
        return 2;
    instrumenttheme::apply(app);

    QtRuntime runtime;
    // The trace's clock starts here, and it hears the links before the session does, so a
    // received chunk is in the trace before what it causes.
    SessionTrace trace(runtime);
    IniSettingsStore store;
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
    MainWindow window(session, front);
    qtPrompter.setParentWidget(&window);
    window.addSessionTrace(trace);

    IdleGraph graph(session.panelState());
    DataFile dataFile;
    Replay replay(prompter, graph, runtime);
    DataLogs dataLogs(dataFile, prompter, graph,
                      DataLogs::Hooks{[&session] { return session.link().portOpen(); },
                                      {},
                                      [&replay] { return replay.isLoaded() || replay.isIndexing(); }});
    replay.setRefusal([&dataLogs] { return dataLogs.loadRefusal(); });
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
    QTimer::singleShot(0, &session, [&session, &trace, &prompter, path = options->trace] {
        if (!path.isEmpty())
            trace.start(path, prompter);
        session.start();
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
