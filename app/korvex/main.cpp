// Korvex, the remote front panel of the antenna control unit.
//
//   korvex [--trace FILE] [--quit-after SECONDS] [--screenshot FILE] [--discovery-address ADDRESS]
//
// --trace writes the session trace to FILE from the start (the "Comm Port" menu starts
// and stops it too). The other two options are for unattended runs (the demo on a virtual
// display): the program ends by itself after the given time, leaving a picture of its
// main window behind. --discovery-address sends "Find All local QVRs" to ADDRESS instead of
// the broadcast address (the demo gives 127.0.0.1, where qvrsim answers).
#include "FrontPanelLogic.h"
#include "InstrumentTheme.h"
#include "KorvexSession.h"
#include "Discovery.h"
#include "KorvexTools.h"
#include "KorvexTrace.h"
#include "MainWindow.h"
#include "QtPrompter.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SessionTrace.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "ToolMenus.h"
#include "TracingPrompter.h"

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
    QString discoveryAddress;
};

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
    const QCommandLineOption discovery(QStringLiteral("discovery-address"),
                                       QStringLiteral("Send the discovery request to <address> instead of "
                                                      "the broadcast address."),
                                       QStringLiteral("address"));
    parser.addOption(trace);
    parser.addOption(discovery);
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.process(app);

    Options options;
    options.screenshot = parser.value(screenshot);
    options.trace = parser.value(trace);
    options.discoveryAddress = parser.value(discovery);
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
    // Made before the window: the tool windows lean on it to the end.
    KorvexTools tools(session, front);
    MainWindow window(session, front);
    new ToolMenus(window, tools,
                  options->discoveryAddress.isEmpty() ? Discovery::kBroadcastAddress : options->discoveryAddress);
    qtPrompter.setParentWidget(&window);
    window.addSessionTrace(trace);
    window.fitToScreen();
    window.show();

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
