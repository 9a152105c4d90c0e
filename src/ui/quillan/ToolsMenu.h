#pragma once

#include <QObject>

#include <memory>

class ModuleSelection;
class ModuleTools;
class NavigationSim;
class ParameterDump;
class QAction;
class QuillanWindow;
class TerminalSession;

// Joins the window's dump, Tools-menu, toolbar and help commands to the service tools, and
// adds the navigation options ("NMEA Checksums", "Ship Course and Speed...") to the Tools menu.
class ToolsMenu : public QObject {
    Q_OBJECT
public:
    ToolsMenu(QuillanWindow& window, TerminalSession& session, ModuleSelection& selection);
    ~ToolsMenu() override;

    ParameterDump& dump() const { return *m_dump; }
    ModuleTools& tools() const { return *m_tools; }
    NavigationSim& navigation() const { return *m_nav; }
    QAction* checksumsItem() const { return m_checksums; }
    QAction* motionItem() const { return m_motion; }

    // "Ship Course and Speed...": asks for both; false when cancelled.
    bool askMotion();

private:
    void connectDumps();
    void connectTools();
    void connectNavigation();
    void applyBusy(bool busy);

    QuillanWindow& m_window;
    TerminalSession& m_session;
    std::unique_ptr<ParameterDump> m_dump;
    std::unique_ptr<ModuleTools> m_tools;
    std::unique_ptr<NavigationSim> m_nav;
    QAction* m_checksums = nullptr;
    QAction* m_motion = nullptr;
};
