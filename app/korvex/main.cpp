// Korvex, the remote front panel of the antenna control unit.
//
//   korvex [--quit-after SECONDS] [--screenshot FILE]
//
// The two options are for unattended runs (the demo on a virtual display): the program
// ends by itself after the given time, leaving a picture of its main window behind.
#include "FrontPanelLogic.h"
#include "InstrumentTheme.h"
#include "KorvexSession.h"
#include "MainWindow.h"
#include "QtPrompter.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

#include <optional>

namespace {

struct Options {
    std::optional<double> quitAfterSeconds;
    QString screenshot;
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
    parser.addOption(quitAfter);
    parser.addOption(screenshot);
    parser.process(app);

    Options options;
    options.screenshot = parser.value(screenshot);
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
    IniSettingsStore store;
    SerialByteLink serial(runtime);
    TcpByteLink tcp(runtime);
    QtPrompter prompter;
    // Message boxes without a title of their own carry the program's title.
    prompter.setDefaultTitle(KorvexSettings::kApp);

    KorvexSession session(store, prompter, runtime, serial, tcp);
    // Joins the session before it starts, so the link's opening shows the ANTENNA screen.
    FrontPanelLogic front(session);
    MainWindow window(session, front);
    prompter.setParentWidget(&window);
    window.fitToScreen();
    window.show();

    QObject::connect(&app, &QCoreApplication::aboutToQuit, &session, [&session] { session.shutdown(); });
    // Opening the link may wait for a TCP connection; the window is up and painted first.
    QTimer::singleShot(0, &session, [&session] { session.start(); });

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
