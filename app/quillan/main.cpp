// Quillan, the programming terminal and firmware uploader.
//
//   quillan [--serial DEVICE[:BAUD] | --tcp HOST:PORT] [--module IDENT] [--trace FILE] [--hex-view]
//           [--quit-after SECONDS] [--screenshot FILE] [--discovery-address ADDRESS]
//
// --trace writes the session trace to FILE from the start (the "File" menu starts and
// stops it too);
// --hex-view starts with "Hex Data Display" on (as if chosen from the menu after start-up);
// --quit-after ends the program after the given time (the demo runs it unattended);
// --screenshot then saves an image of the window to FILE just before it quits.
#include "AppIcons.h"
#include "FirstStartDialog.h"
#include "InstanceLock.h"
#include "ModuleSelection.h"
#include "ModuleTable.h"
#include "ProgramOptions.h"
#include "QtPrompter.h"
#include "QtRuntime.h"
#include "Discovery.h"
#include "QuillanFindQvrs.h"
#include "QuillanWindow.h"
#include "SerialByteLink.h"
#include "SerialPorts.h"
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

namespace {
const programoptions::Program kProgram{QStringLiteral("quillan"), QStringLiteral(QUILLAN_VERSION),
                                       QStringLiteral("Programming terminal and firmware uploader.")};
} // namespace

int main(int argc, char** argv)
{
    QCommandLineParser args;
    const QCommandLineOption serialOption(QStringLiteral("serial"),
                                    QStringLiteral("Use the serial DEVICE[:BAUD] for this run (the stored settings "
                                                   "are not changed)."),
                                    QStringLiteral("DEVICE"));
    const QCommandLineOption tcpOption(QStringLiteral("tcp"), QStringLiteral("Use TCP HOST:PORT for this run."),
                                 QStringLiteral("HOST:PORT"));
    const QCommandLineOption module(QStringLiteral("module"),
                                    QStringLiteral("Work with the module IDENT for this run (as the Module menu names "
                                                   "it, e.g. SPCU)."),
                                    QStringLiteral("IDENT"));
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
    args.addOption(serialOption);
    args.addOption(tcpOption);
    args.addOption(module);
    args.addOption(discoveryAddress);
    args.addOption(traceFile);
    args.addOption(hexView);
    args.addOption(quitAfter);
    args.addOption(screenshot);
    if (const std::optional<int> exit = programoptions::parse(args, argc, argv, kProgram))
        return *exit;
    std::optional<double> quitSeconds;
    if (const std::optional<int> exit = programoptions::readSeconds(args, quitAfter, kProgram, quitSeconds))
        return *exit;
    std::optional<programoptions::LinkChoice> link;
    if (const std::optional<int> exit = programoptions::readLink(args, serialOption, tcpOption, kProgram, link))
        return *exit;
    if (args.isSet(module) && !ModuleTable::byIdentifier(args.value(module)))
        return programoptions::usageError(kProgram, QStringLiteral("--module: no module is called \"%1\"; the Module "
                                                                   "menu's identifiers are: %2")
                                                        .arg(args.value(module), ModuleTable::identifiers().join(", ")));
    if (!programoptions::displayAvailable(kProgram))
        return 1;

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(IniSettingsStore::kOrganization));
    QApplication::setApplicationName(QStringLiteral("Quillan"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLAN_VERSION));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(appicons::icon(appicons::Program::Quillan));

    // A second copy runs on its own settings profile, so two terminals can serve two ports.
    InstanceLock lock;
    const int instance = lock.acquire();

    QtRuntime runtime;
    // The trace's clock starts here, and it hears the links before the session does, so a
    // received chunk is in the trace before what it causes.
    SessionTrace trace(runtime);
    IniSettingsStore storedSettings;
    // A link or module named on the command line is pinned over the stored profile for this run.
    OverlaySettingsStore store(storedSettings);
    if (link || args.isSet(module)) {
        const programoptions::LinkChoice l = link.value_or(programoptions::LinkChoice{});
        if (link)
            TerminalSession::pinRunLink(store, InstanceLock::profileName(instance), l.serial, l.device, l.baud, l.host,
                                        l.port, args.value(module));
        else
            store.pin(InstanceLock::profileName(instance), QString::fromLatin1(TerminalSession::kSection),
                      QStringLiteral("Direct"), args.value(module));
    }
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
    // A laptop that has never been set up is asked for its port (an unattended run never is).
    const QString profile = InstanceLock::profileName(instance);
    const bool firstStart = !link && !quitSeconds
                            && FirstStartDialog::isFirstStart(store, profile, QString::fromLatin1(TerminalSession::kSection),
                                                              {QStringLiteral("Type"), QStringLiteral("CommPort"),
                                                               QStringLiteral("Address"), QStringLiteral("Settings")});
    QTimer::singleShot(0, &session, [&session, &window, &store, &trace, &prompter, startInHex, firstStart, profile,
                                     path = args.value(traceFile)] {
        if (!path.isEmpty())
            trace.start(path, prompter);
        bool openSettings = false;
        if (firstStart) {
            FirstStartDialog dialog(QStringLiteral("Quillan"), systemSerialPortEntries(), &window);
            dialog.exec();
            if (!dialog.chosenDevice().isEmpty()) {
                setComDevice(store, profile, 1, dialog.chosenDevice());
                store.sync();
            }
            openSettings = dialog.wantsSettings();
        }
        session.start();
        if (openSettings)
            window.openProperties();
        // After start-up, whose module restore turns the hex view off.
        if (startInHex)
            session.screen().setHexView(true);
    });

    if (quitSeconds) {
        const double seconds = *quitSeconds;
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
