// Quillan, the programming terminal and firmware uploader.
//
//   quillan [--trace FILE] [--hex-view] [--quit-after SECONDS] [--screenshot FILE] [--discovery-address ADDRESS]
//
// --trace writes the session trace to FILE from the start (the "File" menu starts and
// stops it too);
// --hex-view starts with "Hex Data Display" on (as if chosen from the menu after start-up);
// --quit-after ends the program after the given time (the demo runs it unattended);
// --screenshot then saves an image of the window to FILE just before it quits.
#include "InstanceLock.h"
#include "ModuleSelection.h"
#include "QtPrompter.h"
#include "QtRuntime.h"
#include "Discovery.h"
#include "QuillanFindQvrs.h"
#include "QuillanWindow.h"
#include "SerialByteLink.h"
#include "SessionTrace.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"
#include "TerminalTrace.h"
#include "TerminalView.h"
#include "TracingPrompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStyleFactory>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(IniSettingsStore::kOrganization));
    QApplication::setApplicationName(QStringLiteral("Quillan"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLAN_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QCommandLineParser args;
    args.addHelpOption();
    args.addVersionOption();
    const QCommandLineOption quitAfter(QStringLiteral("quit-after"), QStringLiteral("Quit after SECONDS."),
                                       QStringLiteral("SECONDS"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the window to FILE (PNG) just before quitting."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption hexView(QStringLiteral("hex-view"),
                                     QStringLiteral("Start with \"Hex Data Display\" on."));
    const QCommandLineOption traceFile(QStringLiteral("trace"),
                                       QStringLiteral("Write the session trace to FILE from the start."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption discoveryAddress(QStringLiteral("discovery-address"),
                                              QStringLiteral("Send the discovery request to ADDRESS instead of "
                                                             "the broadcast address (a demo gives 127.0.0.1)."),
                                              QStringLiteral("ADDRESS"));
    args.addOption(discoveryAddress);
    args.addOption(traceFile);
    args.addOption(hexView);
    args.addOption(quitAfter);
    args.addOption(screenshot);
    args.process(app);

    // A second copy runs on its own settings profile, so two terminals can serve two ports.
    InstanceLock lock;
    const int instance = lock.acquire();

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
    qtPrompter.setDefaultTitle(InstanceLock::captionText(instance));
    TracingPrompter prompter(qtPrompter, trace);

    TerminalSession session(runtime, prompter, store, serial, tcp, instance);
    TerminalTrace traceHooks(session, serial, tcp, trace);
    ModuleSelection selection(session);
    QuillanWindow window(session, selection);
    new QuillanFindQvrs(window, session,
                        args.isSet(discoveryAddress) ? args.value(discoveryAddress) : Discovery::kBroadcastAddress);
    qtPrompter.setParentWidget(&window);
    window.addSessionTrace(trace);
    window.show();

    QObject::connect(&app, &QCoreApplication::aboutToQuit, &session, [&session] { session.shutdown(); });
    // Opening the link may wait for a TCP connection; the window is up and painted first.
    const bool startInHex = args.isSet(hexView);
    QTimer::singleShot(0, &session, [&session, &trace, &prompter, startInHex, path = args.value(traceFile)] {
        if (!path.isEmpty())
            trace.start(path, prompter);
        session.start();
        // After start-up, whose module restore turns the hex view off.
        if (startInHex)
            session.screen().setHexView(true);
    });

    if (args.isSet(quitAfter)) {
        const double seconds = args.value(quitAfter).toDouble();
        const QString shotFile = args.value(screenshot);
        // A precise timer: the demo measures what arrives in exactly this time.
        QTimer::singleShot(qMax(0, qRound(seconds * 1000)), Qt::PreciseTimer, &window, [&window, shotFile] {
            if (!shotFile.isEmpty()) {
                window.terminal()->flush();
                if (!window.grab().save(shotFile))
                    QTextStream(stderr) << "quillan: could not write " << shotFile << '\n';
            }
            window.close();
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
