#pragma once

#include "DataFile.h"
#include "DeviceLink.h"
#include "ReceiverMode.h"
#include "StatusBits.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>

class DataLogMenus;
class DataLogs;
class FrontPanel;
class FrontPanelController;
class FrontPanelLogic;
class GraphArea;
class GraphController;
class GraphEngine;
class GraphSession;
class KorvexSession;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class ParameterBitMenu;
class Replay;
class ParameterTools;
class WaitWindow;

// Korvex's main window: the unit's front panel above, the graph below, the menus and
// the three status panels. It shows what the session and the panel logic say and hands
// every command to them; it decides nothing itself.
class SessionTrace;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static const QString kTitle; // "QVR Remote Panel"

    MainWindow(KorvexSession& session, FrontPanelLogic& front, QWidget* parent = nullptr);
    ~MainWindow() override;

    FrontPanel* frontPanel() const { return m_panel; }
    FrontPanelController* frontPanelController() const { return m_controller; }
    GraphArea* graphArea() const { return m_graph; }
    // The graph engine of this window's session (the window owns it) and its controls.
    GraphEngine& graphEngine() const;
    GraphController* graphController() const { return m_graphController; }
    // The graph joined to the session, as the data logs and the replay use it.
    GraphSession& graphSession() const { return *m_graphSession; }
    // The status bar's settings, link status and query panels.
    QLabel* settingsPanel() const { return m_settingsPanel; }
    QLabel* statusPanel() const { return m_statusPanel; }
    QLabel* queryPanel() const { return m_queryPanel; }
    // One of the panel's eight lamps (7 is the link lamp).
    void setLamp(int index, LedState state);

    QAction* portOpenAction() const { return m_portOpen; }
    QAction* propertiesAction() const { return m_properties; }
    QAction* showQueryAction() const { return m_showQuery; }
    QAction* receiverModeAction(ReceiverMode mode) const;
    QAction* timeoutAction(int ms) const;
    QAction* pacingAction(int ms) const;
    // "ACU Status Bits", "PCU Status Bits", "Error Status Bits".
    QAction* bitWindowAction(statusbits::Window kind) const;
    // The System Type and Polang Type bit menus of the menu bar.
    ParameterBitMenu* systemTypeMenu() const { return m_systemType; }
    ParameterBitMenu* polangTypeMenu() const { return m_polangType; }

    // Opens "CommPort Properties" (modal) on the selected antenna's tab.
    void openProperties();
    // "Session &Trace..." in the "Comm &Port" menu, for the program's trace.
    QAction* addSessionTrace(SessionTrace& trace);

    // The data log, screen capture and replay commands: File menu entries, the capture
    // window, the Notes box and the paging strip under the graph. `print` draws the graph
    // for the printer (unset: printing is not offered).
    DataLogMenus* attachDataLogs(DataLogs& logs, Replay& replay, std::function<void()> print = {});
    DataLogMenus* dataLogMenus() const { return m_dataLogs; }
    // The one data file the program writes at a time (data log, screen capture or dump).
    DataFile& dataFile() { return m_dataFile; }
    // The parameter dump and upload with their menu entries and progress window.
    ParameterTools* parameterTools() const { return m_parameterTools; }

    // Sized to fit the screen it is on, however small.
    void fitToScreen();

private:
    void buildMenus();
    void buildStatusMenus();
    void buildStatusBar();
    void connectSession();

    void showAntennaProfile(int antenna);
    void showOptions();
    void showBitMenus();
    void onAntennaClicked(int index);
    void onPortOpenTriggered();

    KorvexSession& m_session;
    FrontPanelLogic& m_front;
    FrontPanel* m_panel = nullptr;
    FrontPanelController* m_controller = nullptr;
    GraphArea* m_graph = nullptr;
    std::unique_ptr<GraphSession> m_graphSession;
    GraphController* m_graphController = nullptr;
    WaitWindow* m_wait = nullptr;
    QLabel* m_settingsPanel = nullptr;
    QLabel* m_statusPanel = nullptr;
    QLabel* m_queryPanel = nullptr;

    QMenu* m_fileMenu = nullptr;
    DataLogMenus* m_dataLogs = nullptr;
    QMenu* m_portMenu = nullptr;
    QAction* m_portOpen = nullptr;
    QAction* m_properties = nullptr;
    QAction* m_showQuery = nullptr;
    QAction* m_dvb = nullptr;
    QAction* m_mhz70 = nullptr;
    std::map<statusbits::Window, QAction*> m_bitWindows;
    ParameterBitMenu* m_systemType = nullptr;
    ParameterBitMenu* m_polangType = nullptr;
    std::map<int, QAction*> m_timeouts;
    std::map<int, QAction*> m_pacings;
    DataFile m_dataFile;
    ParameterTools* m_parameterTools = nullptr;
};
