#pragma once

#include "DeviceLink.h"
#include "ReceiverMode.h"

#include <QMainWindow>

#include <map>

class FrontPanel;
class GraphArea;
class KorvexSession;
class QAction;
class QActionGroup;
class QLabel;
class WaitWindow;

// Korvex's main window: the unit's front panel above, the graph below, the menus and
// the three status panels. It shows what the session says and hands every command to
// it; it decides nothing about the link itself.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static const QString kTitle; // "QVR Remote Panel"

    explicit MainWindow(KorvexSession& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    FrontPanel* frontPanel() const { return m_panel; }
    GraphArea* graphArea() const { return m_graph; }
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

    // Opens "CommPort Properties" (modal) on the selected antenna's tab.
    void openProperties();

    // Sized to fit the screen it is on, however small.
    void fitToScreen();

private:
    void buildMenus();
    void buildStatusBar();
    void connectSession();

    void showAntennaProfile(int antenna);
    void showOptions();
    void showDisplay();
    void onLampClicked(int index);
    void onAntennaClicked(int index);
    void onPortOpenTriggered();

    KorvexSession& m_session;
    FrontPanel* m_panel = nullptr;
    GraphArea* m_graph = nullptr;
    WaitWindow* m_wait = nullptr;
    QLabel* m_settingsPanel = nullptr;
    QLabel* m_statusPanel = nullptr;
    QLabel* m_queryPanel = nullptr;

    QAction* m_portOpen = nullptr;
    QAction* m_properties = nullptr;
    QAction* m_showQuery = nullptr;
    QAction* m_dvb = nullptr;
    QAction* m_mhz70 = nullptr;
    std::map<int, QAction*> m_timeouts;
    std::map<int, QAction*> m_pacings;
};
