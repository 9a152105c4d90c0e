#pragma once

#include "QuillanActions.h"

#include <QMainWindow>

#include <memory>

class AutoUpload;
class CancelWindow;
class UploadHistory;
class UploadHistoryWindow;
class LineStateStrip;
class ManualUpload;
class ModuleSelection;
class PanelDisplay;
class QLabel;
class ScreenFiles;
class SendFile;
class SessionTrace;
class TerminalSession;
class TerminalView;
class ToolsMenu;

// Quillan's window: the terminal screen under the toolbar, the LED and line-state row
// and (for the panel modules) the panel display above it, and the status bar. Every
// handler reads its control and calls the session or the module selection.
class QuillanWindow : public QMainWindow {
    Q_OBJECT
public:
    QuillanWindow(TerminalSession& session, ModuleSelection& selection, QWidget* parent = nullptr);
    ~QuillanWindow() override;

    TerminalView* terminal() const { return m_terminal; }
    PanelDisplay* panelDisplay() const { return m_panel; }
    LineStateStrip* lineStates() const { return m_strip; }
    CancelWindow* cancelWindow() const { return m_cancelWindow; }
    const QuillanActions& actions() const { return m_actions; }
    QLabel* statusPanel(const QString& key) const;
    SendFile& sendFile() const { return *m_sendFile; }
    ManualUpload& manualUpload() const { return *m_upload; }
    AutoUpload& autoUpload() const { return *m_auto; }
    // The Auto Upload button and menu item: the whole job, then the terminal takes the keys.
    void runAutoUpload();
    // Help / "Upload History".
    UploadHistoryWindow* showUploadHistory();

    // The text the program reports as its version (About box, saved screens).
    static QString versionText();
    // A size that suits the screen: roomy on a desktop, within a small laptop's screen.
    void fitToScreen();
    // Opens the "CommPort Properties" dialog.
    void openProperties();
    // "Session &Trace..." in the "File" menu, after the log items, for the program's trace.
    QAction* addSessionTrace(SessionTrace& trace);
    // Shows the Cancel window of a running sequence next to the terminal.
    void presentCancelWindow(const QString& caption, const QString& text);
    // The dumps, module tools and navigation data.
    ToolsMenu& toolsMenu() const { return *m_tools; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void buildStatusBar();
    void connectSession();
    void connectScreen();
    void connectCommands();
    void connectModuleMenu();
    void connectUpload();
    void applyTopMargin(int twips);
    void applyModuleState();
    void applyLinkState(bool open);
    void applyBusy(bool busy);
    void applyPacing(int ms);
    void toggleLink();
    void showAbout();
    void printScreen();
    void sendTextFile();
    void cancelPressed();

    TerminalSession& m_session;
    ModuleSelection& m_selection;
    std::unique_ptr<SendFile> m_sendFile;
    std::unique_ptr<ScreenFiles> m_screenFiles;
    std::unique_ptr<ManualUpload> m_upload;
    ToolsMenu* m_tools = nullptr;
    std::unique_ptr<AutoUpload> m_auto;
    std::unique_ptr<UploadHistory> m_history;
    UploadHistoryWindow* m_historyWindow = nullptr;
    QuillanActions m_actions;
    QWidget* m_top = nullptr;
    LineStateStrip* m_strip = nullptr;
    PanelDisplay* m_panel = nullptr;
    TerminalView* m_terminal = nullptr;
    CancelWindow* m_cancelWindow = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_settings = nullptr;
    QLabel* m_connectTime = nullptr;
};
