#pragma once

#include "ModuleTable.h"

#include <QList>
#include <QMap>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QToolBar;

// Every menu item and toolbar button of the terminal window. Built once; the window
// connects them to the logic. Items of commands that are not built yet are present so
// the layout stays as it will be.
struct QuillanActions {
    // File
    QMenu* fileMenu = nullptr;
    QAction* startLog = nullptr;
    QAction* stopLog = nullptr;
    QAction* sendTextFile = nullptr;
    QAction* saveScreen = nullptr;
    QAction* printScreen = nullptr;
    QAction* clearScreen = nullptr;
    QAction* fileUploadS19 = nullptr;
    QAction* exit = nullptr;
    // CommPort
    QAction* portOpen = nullptr;
    QAction* properties = nullptr;
    // Module menu, in table order
    QMap<Module, QAction*> modules;
    QAction* usb470Modem = nullptr;
    // Manual upload menu
    QAction* startProgramming = nullptr;
    QAction* erase = nullptr;
    QAction* bulkErase = nullptr;
    QAction* uploadS19 = nullptr;
    QAction* remoteUpload = nullptr;
    QAction* acuReset = nullptr;
    QAction* dumpAll = nullptr;
    QAction* dumpLegacy = nullptr;
    QAction* parameterUpload = nullptr;
    // Tools (the module tool commands are kept by caption)
    QMap<QString, QAction*> tools;
    QAction* factoryDefaults = nullptr;
    QAction* pcuParamDump = nullptr;
    QAction* sendGps = nullptr;
    QAction* sendHdg = nullptr;
    QAction* resetHdgRange = nullptr;
    QAction* modemTune = nullptr;
    QAction* expertMode = nullptr;
    QAction* findQvrs = nullptr;
    // Pacing
    QActionGroup* pacingGroup = nullptr;
    QMap<int, QAction*> pacing;
    QAction* loopSend = nullptr;
    // Hex Data Display (on the menu bar itself)
    QAction* hexDisplay = nullptr;
    // Help
    QAction* instructions = nullptr;
    QAction* about = nullptr;
    // Toolbar-only buttons
    QAction* moduleStatus = nullptr;
    QAction* moduleVersion = nullptr;
    QAction* kvmpCommsOn = nullptr;
    QAction* kvmpCommsOff = nullptr;
    QAction* startButton = nullptr;
    QAction* eraseButton = nullptr;
    QAction* uploadButton = nullptr;
    QAction* autoUploadButton = nullptr;
    QAction* autoUploadItem = nullptr;
    QAction* uploadHistory = nullptr;

    QToolBar* toolBar = nullptr;

    static const QList<int>& pacingChoices(); // 0, 60, 100, 200, 400, 1000

    // Builds the menu bar and the toolbar of the window.
    void build(QMainWindow* window);

private:
    void buildFileMenu(QMenu* menu);
    void buildModuleMenu(QMenu* menu);
    void buildUploadMenu(QMenu* menu);
    void buildToolsMenu(QMenu* menu);
    void buildPacingMenu(QMenu* menu);
    void buildToolBar(QMainWindow* window);
};
