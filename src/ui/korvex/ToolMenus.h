#pragma once

#include <QObject>
#include <QString>

#include <memory>

class BurnInWindow;
class DatagramSocket;
class DiagWindow;
class Discovery;
class FindQvrWindow;
class KorvexTools;
class LosWindow;
class MainWindow;
class N7Window;
class QAction;
class QMenu;
class ScanWindow;
class ToolWindow;

// The Tools menu of Korvex's main window and the tool windows it opens. The windows are
// made once and shown or hidden, so they keep what was entered.
class ToolMenus : public QObject {
    Q_OBJECT
public:
    // discoveryAddress: where "Find All local QVRs" sends; the program gives the broadcast
    // address, a demo 127.0.0.1.
    ToolMenus(MainWindow& window, KorvexTools& tools, const QString& discoveryAddress);
    ~ToolMenus() override;

    QMenu* menu() const { return m_menu; }
    DiagWindow* diagWindow() const { return m_diag; }
    ScanWindow* scanWindow() const { return m_scan; }
    LosWindow* losWindow() const { return m_los; }
    N7Window* n7Window() const { return m_n7; }
    BurnInWindow* burnInWindow() const { return m_burn; }
    FindQvrWindow* findQvrWindow() const { return m_find; }
    Discovery& discovery() { return *m_discovery; }
    QAction* action(const QString& name) const;

private:
    QAction* addWindow(const QString& name, const QString& caption, ToolWindow* window,
                       bool checkedWhileShown);

    MainWindow& m_window;
    KorvexTools& m_tools;
    QMenu* m_menu = nullptr;
    std::unique_ptr<DatagramSocket> m_socket;
    std::unique_ptr<Discovery> m_discovery;
    DiagWindow* m_diag = nullptr;
    ScanWindow* m_scan = nullptr;
    LosWindow* m_los = nullptr;
    N7Window* m_n7 = nullptr;
    BurnInWindow* m_burn = nullptr;
    FindQvrWindow* m_find = nullptr;
};
