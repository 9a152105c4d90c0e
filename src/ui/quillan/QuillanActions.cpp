#include "QuillanActions.h"

#include "ToggleMenuBar.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

QAction* item(QMenu* menu, const QString& name, const QString& text)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    return a;
}

// A module tool command: a caption and what the menu calls it. The commands themselves
// belong to the module tools.
struct ToolItem {
    const char* name;
    const char* caption;
};

struct ToolMenu {
    const char* title;
    QList<ToolItem> items;
};

const QList<ToolMenu>& toolMenus()
{
    static const QList<ToolMenu> menus = {
        {"ACU Tools",
         {{"mnuAcuVersion", "ACU Version                 (V  )"},
          {"mnuAcuRestartBoot", "ACU ReStart Boot Ld   (S9 )"},
          {"mnuAcuReset", "ACU Reset                   (\\0090)"},
          {"mnuAcuParamDump", "ACU Param Dump        ([?A    )"},
          {"mnuAcuParamSave", "ACU Param Save         (\\0087)"}}},
        {"PCU Tools",
         {{"mnuPcuVersion", "PCU Version                 (?V      )"},
          {"mnuPcuRestartBoot", "PCU ReStart Boot Ld   (?S?9)"},
          {"mnuPcuReset", "PCU Reset                   (^0090)"},
          {"mnuPcuParamSave", "PCU Param Save         (^0087)"},
          {"mnuPcuParamDump", "PCU Param Dump        ([?P      )"},
          {"mnuPcuChecksumOff", "PCU Checksum Off"}}},
        {"Comm IF Tools",
         {{"mnuCommIfVersion", "Comm IF Version            ([V   )"},
          {"mnuCommIfReset", "Comm IF Reset              ([Z   )"},
          {"mnuCommIfLock", "Comm IF Lock Ports       ([L   )"},
          {"mnuCommIfParamDump", "Comm IF Param Dump   ([?   )"},
          {"mnuCommIfParamSave", "Comm IF Param Save    ([W   )"}}},
        {"DVB Tools",
         {{"mnuDvbVersion", "DVB Version                 (wV   , w!)"},
          {"mnuDvbRestartBoot", "DVB ReStart Boot Ld   (wS9   )"},
          {"mnuDvbReset", "DVB Reset                   (w0090)"}}},
        {"BDE Modem",
         {{"mnuBdeVersion", "Version                  (<0411)"},
          {"mnuBdeStatus", "Status                   (<0000)"},
          {"mnuBdeTemperature", "Temperature         (<0273)"},
          {"mnuBdeSerial", "Serial Number        (<1234)"}}},
        {"ADE Modem",
         {{"mnuAdeVersion", "Version                  (>0411)"},
          {"mnuAdeStatus", "Status                   (>0000)"},
          {"mnuAdeTemperature", "Temperature         (>0273)"},
          {"mnuAdeSerial", "Serial Number        (>1234)"}}},
        {"MDE Tools",
         {{"mnuMdeVersion", "MDE Version             (]0411)"},
          {"mnuMdeStatus", "MDE Status              (]6000)"},
          {"mnuMdeTemperature", "MDE Temperature    (]0273)"},
          {"mnuMdeRelativeUsb", "MDE Relative-USB    (]6008)"}}},
        {"KVMP Tools",
         {{"mnuKvmpStart", "Start KVMP Communications"}, {"mnuKvmpStop", "Stop KVMP Communications"}}},
    };
    return menus;
}

} // namespace

const QList<int>& QuillanActions::pacingChoices()
{
    static const QList<int> choices = {0, 60, 100, 200, 400, 1000};
    return choices;
}

void QuillanActions::build(QMainWindow* window)
{
    auto* bar = new ToggleMenuBar(window);
    window->setMenuBar(bar);

    buildFileMenu(bar->addMenu(QStringLiteral("&File")));

    QMenu* comm = bar->addMenu(QStringLiteral("&CommPort"));
    portOpen = item(comm, QStringLiteral("mnuPortOpen"), QStringLiteral("Port Open"));
    portOpen->setCheckable(true);
    properties = item(comm, QStringLiteral("mnuProperties"), QStringLiteral("Properties..."));
    properties->setIconText(QStringLiteral("Properties"));

    buildModuleMenu(bar->addMenu(QStringLiteral("&Module")));
    buildUploadMenu(bar->addMenu(QStringLiteral("&Upload")));
    buildToolsMenu(bar->addMenu(QStringLiteral("&Tools")));
    buildPacingMenu(bar->addMenu(QStringLiteral("&Pacing   (Send Text Only)")));

    hexDisplay = bar->addAction(QStringLiteral("Hex Data Display"));
    hexDisplay->setObjectName(QStringLiteral("mnuHex"));
    hexDisplay->setCheckable(true);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    instructions = item(help, QStringLiteral("mnuInstructions"), QStringLiteral("&Instructions"));
    instructions->setShortcut(QKeySequence(Qt::Key_F1));
    uploadHistory = item(help, QStringLiteral("mnuUploadHistory"), QStringLiteral("Upload &History"));
    about = item(help, QStringLiteral("mnuAbout"), QStringLiteral("&About"));

    buildToolBar(window);
}

void QuillanActions::buildFileMenu(QMenu* menu)
{
    fileMenu = menu;
    startLog = item(menu, QStringLiteral("mnuStartLog"), QStringLiteral("&Start Log File..."));
    startLog->setIconText(QStringLiteral("Open Log"));
    stopLog = item(menu, QStringLiteral("mnuStopLog"), QStringLiteral("S&top Log File"));
    stopLog->setIconText(QStringLiteral("Close Log"));
    stopLog->setEnabled(false);
    menu->addSeparator();
    sendTextFile = item(menu, QStringLiteral("mnuSendText"), QStringLiteral("Send Text File"));
    saveScreen = item(menu, QStringLiteral("mnuSaveScreen"), QStringLiteral("Save Screen (text to file)"));
    printScreen = item(menu, QStringLiteral("mnuPrintScreen"), QStringLiteral("Print Screen"));
    clearScreen = item(menu, QStringLiteral("mnuClearScreen"), QStringLiteral("Clear Screen"));
    menu->addSeparator();
    fileUploadS19 = item(menu, QStringLiteral("mnuFileUploadS19"), QStringLiteral("&Upload S19 File..."));
    menu->addSeparator();
    exit = item(menu, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));
}

void QuillanActions::buildModuleMenu(QMenu* menu)
{
    // Groups as the technician thinks of them: direct, via the QVR-30 ACU, via the
    // QVR 5K ACU, then the service and USB ports.
    for (const ModuleRow& row : ModuleTable::rows()) {
        if (row.module == Module::QVRa || row.module == Module::QVR2a || row.module == Module::SPG2pcu)
            menu->addSeparator();
        QAction* a = item(menu, QString::fromLatin1(row.menuName), QString::fromLatin1(row.caption));
        a->setCheckable(true);
        modules.insert(row.module, a);
        if (row.module == Module::USBmdb) {
            usb470Modem = item(menu, QStringLiteral("mnuUSB470"),
                               QString::fromLatin1(ModuleTable::kUsb470ModemCaption));
        }
    }
}

void QuillanActions::buildUploadMenu(QMenu* menu)
{
    startProgramming =
        item(menu, QStringLiteral("mnuStartProg"), QStringLiteral("Start Progamming Sequence"));
    erase = item(menu, QStringLiteral("mnuErase"), QStringLiteral("Erase"));
    bulkErase = item(menu, QStringLiteral("mnuBulkErase"), QStringLiteral("Bulk Erase"));
    uploadS19 = item(menu, QStringLiteral("mnuUploadS19"), QStringLiteral("Upload S19 File"));
    autoUploadItem = item(menu, QStringLiteral("mnuAutoUpload"), QStringLiteral("Auto Upload"));
    menu->addSeparator();
    remoteUpload =
        item(menu, QStringLiteral("mnuRemoteUpload"), QStringLiteral("Remote Upload / Lock Ports"));
    acuReset = item(menu, QStringLiteral("mnuUploadAcuReset"), QStringLiteral("ACU Reset"));
    acuReset->setEnabled(false);
    menu->addSeparator();
    dumpAll = item(menu, QStringLiteral("mnuDumpAll"), QStringLiteral("Parameter Dump 50x0    ([?APCF)"));
    dumpLegacy =
        item(menu, QStringLiteral("mnuDumpLegacy"), QStringLiteral("Parameter Dump (mA999, nA999, [?)"));
    parameterUpload = item(menu, QStringLiteral("mnuParamUpload"),
                           QStringLiteral("Parameter Upload   (Send mod Text @ 80ms)"));
}

void QuillanActions::buildToolsMenu(QMenu* menu)
{
    for (const ToolMenu& tm : toolMenus()) {
        QMenu* sub = menu->addMenu(QString::fromLatin1(tm.title));
        for (const ToolItem& ti : tm.items)
            tools.insert(QString::fromLatin1(ti.caption),
                         item(sub, QString::fromLatin1(ti.name), QString::fromLatin1(ti.caption)));
        if (QLatin1String(tm.title) == QLatin1String("ACU Tools")) {
            sub->addSeparator();
            factoryDefaults = item(sub, QStringLiteral("mnuFactoryDefaults"),
                                   QStringLiteral("Load Factory Default Parameters"));
        } else if (QLatin1String(tm.title) == QLatin1String("PCU Tools")) {
            pcuParamDump = item(sub, QStringLiteral("mnuPcuParamDumpN"),
                                QStringLiteral("PCU Param Dump        (nA999 )"));
        }
    }
    menu->addSeparator();
    sendGps = item(menu, QStringLiteral("mnuSendGps"), QStringLiteral("Send GPS Data"));
    sendGps->setIconText(QStringLiteral("Send GPS Data, click twice"));
    sendHdg = item(menu, QStringLiteral("mnuSendHdg"), QStringLiteral("Send HDG Data"));
    sendHdg->setIconText(QStringLiteral("Send Heading Data"));
    resetHdgRange =
        item(menu, QStringLiteral("mnuResetHdg"), QStringLiteral("Reset HDG Range null, 1, 10, 100"));
    menu->addSeparator();
    expertMode = item(menu, QStringLiteral("mnuExpert"), QStringLiteral("Expert Mode"));
    expertMode->setCheckable(true);
    modemTune = item(menu, QStringLiteral("mnuModemTune"), QStringLiteral("Modem Tune"));
    modemTune->setEnabled(false);
    menu->addSeparator();
    findQvrs = item(menu, QStringLiteral("mnuFindQvr"),
                    QStringLiteral("Find Local and Remote QVRs (UDP Broadcast)"));
}

void QuillanActions::buildPacingMenu(QMenu* menu)
{
    pacingGroup = new QActionGroup(menu);
    pacingGroup->setExclusive(true);
    for (int ms : pacingChoices()) {
        QAction* a = item(menu, QStringLiteral("mnuPacing%1").arg(ms), QStringLiteral("%1 ms").arg(ms));
        a->setCheckable(true);
        a->setData(ms);
        pacingGroup->addAction(a);
        pacing.insert(ms, a);
    }
    menu->addSeparator();
    loopSend = item(menu, QStringLiteral("mnuLoopSend"), QStringLiteral("Loop Send Text File"));
    loopSend->setCheckable(true);
}

void QuillanActions::buildToolBar(QMainWindow* window)
{
    toolBar = window->addToolBar(QStringLiteral("Toolbar"));
    toolBar->setObjectName(QStringLiteral("Toolbar"));
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    auto button = [this, window](QAction* a, const QString& key, const QString& caption = QString()) {
        if (!a) {
            a = new QAction(caption, window);
            a->setObjectName(QStringLiteral("cmd") + QString(key).remove(QLatin1Char(' ')));
        }
        toolBar->addAction(a);
        toolBar->widgetForAction(a)->setObjectName(key);
        return a;
    };
    // The upload buttons come right after the screen and port commands: they are the
    // program's main job and must stay in view when the window is narrow.
    button(startLog, QStringLiteral("OpenLogFile"));
    button(stopLog, QStringLiteral("CloseLogFile"));
    button(clearScreen, QStringLiteral("ClearScreen"));
    button(properties, QStringLiteral("Properties"));
    toolBar->addSeparator();
    startButton = button(nullptr, QStringLiteral("Start"), QStringLiteral("Start"));
    eraseButton = button(nullptr, QStringLiteral("Erase"), QStringLiteral("Erase"));
    uploadButton = button(nullptr, QStringLiteral("Upload"), QStringLiteral("Upload"));
    autoUploadButton = button(nullptr, QStringLiteral("Auto Upload"), QStringLiteral("Auto Upload"));
    autoUploadButton->setToolTip(QStringLiteral("Check, start, erase and program the selected module"));
    toolBar->addSeparator();
    button(sendGps, QStringLiteral("SendGPS"));
    button(sendHdg, QStringLiteral("SendHDG"));
    moduleStatus = button(nullptr, QStringLiteral("Status"), QStringLiteral("Module Status"));
    moduleVersion = button(nullptr, QStringLiteral("ModVer"), QStringLiteral("Module Version"));
    kvmpCommsOn = button(nullptr, QStringLiteral("CheckSum"), QStringLiteral("KVMP Comms On"));
    kvmpCommsOff = button(nullptr, QStringLiteral("ChkOff"), QStringLiteral("KVMP Comms Off"));
}
