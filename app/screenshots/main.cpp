// Renders Korvex's windows to PNG files without a display, so anyone can look at them:
// the main window on each screen of the front panel over a live simulated unit, with a
// shortcut menu, a status-bit window and a bit menu open, with the link closed, the
// "CommPort Properties" dialog on a serial and a TCP/IP tab, and every tool window at work.
//
//   korvex_screenshots <output folder> [settle seconds]
//
// Nothing here touches a network or a serial device: the unit is simulated in-process
// and runs in virtual time (the pictures are the same on every run), the settings live
// in memory and the prompts are answered by a script. The discovery window's request goes
// to a responder on 127.0.0.1, and the datagram seam refuses any other address.
#include "BurnIn.h"
#include "BurnInWindow.h"
#include "CaptureWindow.h"
#include "DataFile.h"
#include "DataLogMenus.h"
#include "DataLogs.h"
#include "DiagWindow.h"
#include "Discovery.h"
#include "FindQvrWindow.h"
#include "FrontPanel.h"
#include "FrontPanelController.h"
#include "FrontPanelLogic.h"
#include "GraphArea.h"
#include "GraphEngine.h"
#include "GraphSession.h"
#include "GraphShots.h"
#include "InstrumentTheme.h"
#include "KorvexSession.h"
#include "KorvexSettings.h"
#include "KorvexTools.h"
#include "LosWindow.h"
#include "MainWindow.h"
#include "N7Window.h"
#include "PanelKey.h"
#include "PanelMenus.h"
#include "ParameterDump.h"
#include "ParameterTools.h"
#include "ProgressWindow.h"
#include "Prompter.h"
#include "PropertiesDialog.h"
#include "Replay.h"
#include "ScanWindow.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "SimRuntime.h"
#include "ToolMenus.h"
#include "ToolProgress.h"

#ifdef QVR_HAVE_SIM
#include "AcuModel.h"
#include "DiscoveryResponder.h"
#endif

#include <QApplication>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

class Shots {
public:
    Shots(QString folder, SimRuntime& runtime) : m_folder(std::move(folder)), m_rt(runtime) {}

    // The window as it is now; an open pop-up is drawn where it shows over it.
    bool save(QWidget& w, const QString& name, QWidget* popup = nullptr)
    {
        QApplication::processEvents();
        QPixmap shot = w.grab();
        if (popup && popup->isVisible()) {
            QPainter p(&shot);
            p.drawPixmap(w.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
        }
        const QString path = QDir(m_folder).filePath(name);
        const bool ok = shot.save(path);
        QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
        m_ok &= ok;
        return ok;
    }

    // Lets the unit and the poll cycle run, in virtual time.
    void run(int ms)
    {
        m_rt.advance(ms);
        QApplication::processEvents();
    }

    bool ok() const { return m_ok; }

private:
    QString m_folder;
    SimRuntime& m_rt;
    bool m_ok = true;
};

void rightClick(QWidget* key)
{
    const QPoint pos = key->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, key->mapToGlobal(pos));
    QApplication::sendEvent(key, &event);
}

// The offscreen platform's screen is small; the pop-ups must open where they would on a
// laptop screen, not be pushed back into 800 x 600.
void useLaptopScreen(const QTemporaryDir& dir)
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != QLatin1String("offscreen"))
        return;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366, "height": 768,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.toLocal8Bit());
}

// The offscreen platform says so whenever a pop-up asks for what it cannot do (raise,
// keyboard grab); those notices are not faults of the windows.
void quietPlatformNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

// An elevation pattern across the tracked satellite on the position graph: the antenna
// steps 0.5 degree every 4 s from 4 degrees below the satellite to 4 above and back, and
// the signal trace draws the beam's pattern twice.
void saveScanOnGraph(Shots& shots, MainWindow& window, PatternScan& scan)
{
    GraphEngine& engine = window.graphEngine();
    engine.selectMode(GraphMode::Admc);
    shots.run(1000);
    engine.clear();
    shots.run(12000);
    auto leg = [&](int direction, const char* rate, const char* interval, const char* degrees) {
        scan.scanRateText = QString::fromLatin1(rate);
        scan.rateText = QString::fromLatin1(interval);
        scan.autoStopText = QString::fromLatin1(degrees);
        scan.start(direction);
        while (scan.running())
            shots.run(500);
        shots.run(3000);
    };
    scan.stopReset();
    leg(PatternScan::ElevationDown, "2", "500", "4");
    leg(PatternScan::ElevationUp, "0.125", "4000", "8");
    leg(PatternScan::ElevationDown, "0.125", "4000", "8");
    shots.save(window, QStringLiteral("korvex-graph-pattern-scan.png"));
}

// Each tool window at work against the simulated unit, and the Tools menu.
void saveToolWindows(Shots& shots, MainWindow& window, KorvexSession& session, ToolMenus& menus,
                     KorvexTools& tools)
{
    QMenu* menu = menus.menu();
    menu->popup(
        window.menuBar()->mapToGlobal(window.menuBar()->actionGeometry(menu->menuAction()).bottomLeft()));
    shots.save(window, QStringLiteral("korvex-tools-menu.png"), menu);
    menu->close();

    DiagWindow* diag = menus.diagWindow();
    diag->show();
    shots.run(5000);
    tools.diagnostics().enter(QStringLiteral("?x"));
    shots.run(1000);
    diag->showHealth();
    shots.save(*diag, QStringLiteral("korvex-comm-diagnostics.png"));

    // The cross-level torque test on the torque graph: the drive's push while the axis
    // tilts, its holding torque once there, and its push back when the axis is brought
    // back level.
    CommDiagnostics& diagnostics = tools.diagnostics();
    diagnostics.pressButton(CommDiagnostics::ClTest);
    shots.run(7000);
    shots.save(*diag, QStringLiteral("korvex-cl-torque-test.png"));
    for (int s = 0; s < 30 && !diagnostics.runningTest().isEmpty(); ++s)
        shots.run(1000);
    diagnostics.setStop(false);
    session.pollCycle().setLongCommand("I0900\r\n");
    shots.run(18000);
    shots.save(window, QStringLiteral("korvex-graph-cl-torque-test.png"));
    diag->hide();

    ScanWindow* scan = menus.scanWindow();
    scan->show();
    tools.scan().scanRateText = QStringLiteral("0.5");
    tools.scan().rateText = QStringLiteral("250");
    tools.scan().start(PatternScan::AzimuthUp);
    shots.run(4000);
    shots.save(*scan, QStringLiteral("korvex-pattern-scan.png"));
    tools.scan().exit();
    scan->hide();
    saveScanOnGraph(shots, window, tools.scan());

    LosWindow* los = menus.losWindow();
    los->show();
    tools.losInputs.targetLatitude = QStringLiteral("37:48.5");
    tools.losInputs.targetLongitude = QStringLiteral("122:24");
    tools.losInputs.targetAltitude = QStringLiteral("900");
    tools.losInputs.antennaAltitude = QStringLiteral("60");
    los->hide();
    los->show(); // shows the boxes again
    los->calculateButton()->click();
    shots.save(*los, QStringLiteral("korvex-los-pointing.png"));
    los->hide();

    N7Window* n7 = menus.n7Window();
    n7->show();
    n7->valueBox()->setText(QStringLiteral("300"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(n7->valueBox(), &enter);
    shots.save(*n7, QStringLiteral("korvex-n7-tool.png"));
    n7->hide();

    BurnInWindow* burn = menus.burnInWindow();
    burn->show();
    tools.burnIn().editInterval(QStringLiteral("10"));
    tools.burnIn().start();
    shots.run(36000);
    shots.save(*burn, QStringLiteral("korvex-burn-in.png"));
    tools.burnIn().stop();
    burn->hide();

#ifdef QVR_HAVE_SIM
    // A unit on this machine that answers twice; the datagrams take real time.
    DiscoveryResponder responder(0, 2);
    FindQvrWindow* find = menus.findQvrWindow();
    menus.discovery().portText = QString::number(responder.port());
    menus.discovery().addressText = QStringLiteral("127.0.0.1");
    find->showFields();
    find->show();
    menus.discovery().findAll();
    QDeadlineTimer deadline(2000);
    while (find->list()->count() < 2 && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    shots.save(*find, QStringLiteral("korvex-find-qvrs.png"));
    find->hide();
#endif
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietPlatformNotices);
    // A private settings folder, in case any dialog reaches for one.
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    qputenv("QVR_LOOPBACK_ONLY", "1");
    useLaptopScreen(configDir);

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(KORVEX_VERSION));
    instrumenttheme::apply(app);
    const QStringList args = QApplication::arguments();
    const QString folder = args.value(1, QStringLiteral("screenshots"));
    const int settleMs = qRound(args.value(2, QStringLiteral("40")).toDouble() * 1000);
    QDir().mkpath(folder);

    SimRuntime runtime;
    MemorySettingsStore store;
    // The query panel shows what is being polled.
    store.set(KorvexSettings::kApp, KorvexSettings::kSection, QStringLiteral("Query"),
              QStringLiteral("True"));
    ScriptedPrompter prompter;
    SimByteLink serial(runtime, ByteLink::Kind::Serial);
    SimByteLink tcp(runtime, ByteLink::Kind::Tcp);
    serial.setBaud(9600);
#ifdef QVR_HAVE_SIM
    // A moving antenna on a ship under way, the same on every run.
    AcuModel acu(runtime, 1);
    acu.unit().setLiveMotion(true);
    serial.attachPeer(&acu);
#endif

    KorvexSession session(store, prompter, runtime, serial, tcp);
    FrontPanelLogic front(session);
    KorvexTools tools(session, front);
    MainWindow window(session, front);
    GraphSession& graph = window.graphSession();
    Replay replay(prompter, graph, runtime);
    DataLogs dataLogs(window.dataFile(), prompter, graph,
                      DataLogs::Hooks{[&session] { return session.link().portOpen(); },
                                      {},
                                      [&replay] { return replay.isLoaded(); }});
    replay.setRefusal([&dataLogs] { return dataLogs.loadRefusal(); });
    graph.engine().onCaptureLine = [&dataLogs](const QString& line) { dataLogs.appendCaptureLine(line); };
    DataLogMenus* dataLogMenus = window.attachDataLogs(dataLogs, replay);
    auto* toolMenus = new ToolMenus(window, tools, QStringLiteral("127.0.0.1"));
    window.resize(1040, 690);
    window.move(40, 30);
    window.show();
    session.start();
    FrontPanel& panel = *window.frontPanel();
    Shots shots(folder, runtime);

    // Long enough for the unit to initialise, find the satellite and track it.
    shots.run(settleMs);
    // Centred on the lock, as a technician would, and a few minutes of tracking on the chart.
    window.graphEngine().centerAll();
    shots.run(150000);
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
    shots.save(window, QStringLiteral("korvex-main.png"));

    panel.screenKey(FrontPanel::Ship)->click();
    shots.run(6000);
    shots.save(window, QStringLiteral("korvex-ship.png"));

    panel.screenKey(FrontPanel::Sat)->click();
    shots.run(12000);
    shots.save(window, QStringLiteral("korvex-satellite.png"));

    // The Error label's window, as a click on the label opens it.
    window.frontPanelController()->openBitWindow(statusbits::Window::Error);
    QMenu* bits = window.frontPanelController()->openPopup();
    shots.save(window, QStringLiteral("korvex-error-bits.png"), bits);
    bits->close();

    panel.screenKey(FrontPanel::Mode)->click();
    shots.run(4000);
    shots.save(window, QStringLiteral("korvex-mode.png"));

    // The MODE key's shortcut menu, then its System Type page with the bit menu open.
    rightClick(panel.screenKey(FrontPanel::Mode));
    QMenu* shortcuts = window.frontPanelController()->openPopup();
    shots.save(window, QStringLiteral("korvex-mode-shortcuts.png"), shortcuts);
    if (shortcuts) {
        for (QAction* a : shortcuts->actions())
            if (a->text() == QLatin1String("System Type"))
                a->trigger();
        shortcuts->close();
    }
    shots.run(5000);
    shots.save(window, QStringLiteral("korvex-mode-system-type.png"));
    QMenu* systemType = window.systemTypeMenu();
    const QRect title = window.menuBar()->actionGeometry(systemType->menuAction());
    systemType->popup(window.menuBar()->mapToGlobal(title.bottomLeft()));
    shots.save(window, QStringLiteral("korvex-system-type-menu.png"), systemType);
    systemType->close();

    // A parameter dump under way, into the pedestal unit's part, its progress window over
    // the panel; then its Cancel.
    if (window.dataFile().open(configDir.filePath(QStringLiteral("param_Leg.txt")),
                               DataFile::Slot::Capture)) {
        ParameterTools& tools = *window.parameterTools();
        tools.dump().start(window.dataFile());
        shots.run(ParameterDump::kTickMs * 80);
        shots.save(window, QStringLiteral("korvex-parameter-dump.png"), tools.window());
        shots.save(*tools.window(), QStringLiteral("korvex-parameter-dump-window.png"));
        tools.window()->cancelButton()->click();
        shots.run(1000);
    }

    {
        PropertiesDialog dialog(session, &window);
        dialog.show();
        dialog.editor().selectTab(0);
        shots.save(dialog, QStringLiteral("korvex-properties.png"));
        dialog.editor().selectTab(1);
        shots.save(dialog, QStringLiteral("korvex-properties-tcp.png"));
        dialog.hide();
    }

    panel.screenKey(FrontPanel::Antenna)->click();
    renderGraphShots(window,
                     {[&](const QString& name, QWidget* popup) { return shots.save(window, name, popup); },
                      [&](int ms) { shots.run(ms); }, folder});
    // The sensor graphs were drawn with polling paused; a data log logs what the unit says.
    session.pollCycle().setStopOption(false);
    shots.run(3000);
    // A data log running, its File menu, the Capture window, then a file replayed.
    QTemporaryDir files;
    prompter.fileNames = {files.filePath(QStringLiteral("antenna-log.csv"))};
    dataLogs.startLog();
    shots.save(window, QStringLiteral("korvex-data-log.png"));
    QMenu* fileMenu = window.menuBar()->actions().constFirst()->menu();
    fileMenu->popup(
        window.menuBar()->mapToGlobal(window.menuBar()->actionGeometry(fileMenu->menuAction()).bottomLeft()));
    shots.save(window, QStringLiteral("korvex-file-menu.png"), fileMenu);
    fileMenu->close();
    window.graphArea()->captureButton()->click();
    shots.save(*dataLogMenus->captureWindow(), QStringLiteral("korvex-capture.png"));
    dataLogs.closeLog();
    // The closing dump reads the unit's parameters before the log is free again.
    for (int s = 0; s < 60 && dataLogs.state() != DataLogs::State::Idle; ++s)
        shots.run(1000);
    {
        QFile replayed(files.filePath(QStringLiteral("rate-capture.csv")));
        replayed.open(QIODevice::WriteOnly);
        replayed.write("Time,Cl,Lv,Az,Rel,Notes,Korvex Disp w (Rate Sensor) Screen Capture\r\n");
        for (int i = 0; i < 1500; ++i)
            replayed.write("12:00:00, 3,-2, 1, 0\r\n");
        replayed.close();
        prompter.fileNames = {replayed.fileName()};
        dataLogMenus->captureWindow()->loadButton()->click();
        replay.pageForward();
        shots.save(window, QStringLiteral("korvex-replay.png"));
        shots.save(*dataLogMenus->captureWindow(), QStringLiteral("korvex-capture-replay.png"));
        replay.unload();
        dataLogMenus->captureWindow()->hide();
    }
    saveToolWindows(shots, window, session, *toolMenus, tools);

    session.link().togglePort();
    shots.run(100);
    shots.save(window, QStringLiteral("korvex-main-closed.png"));

    for (const QString& text : prompter.texts())
        QTextStream(stdout) << "message: " << QString(text).replace(QLatin1Char('\r'), QLatin1Char('|'))
                            << '\n';
    return shots.ok() ? 0 : 1;
}
