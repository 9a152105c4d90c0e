#pragma once

#include <QObject>

#include <functional>

class CaptureWindow;
class DataLogs;
class Prompter;
class QAction;
class QLineEdit;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QWidget;
class Replay;

// The main window's side of the data files: the File menu entries, the Notes box, the
// "<" and ">" buttons and the progress bar under the graph, and the capture window. It
// shows what the data logs and the replay say and hands every command to them.
class DataLogMenus : public QObject {
    Q_OBJECT
public:
    DataLogMenus(QMainWindow& window, QMenu& fileMenu, DataLogs& logs, Replay& replay, Prompter& prompter,
                 std::function<void()> print);

    // The strip under the graph: Notes box, "<", ">", progress bar.
    QWidget* strip() const { return m_strip; }
    CaptureWindow* captureWindow() const { return m_capture; }
    QAction* logAction() const { return m_logAction; }
    QAction* saveAction() const { return m_saveAction; }
    QAction* loadAction() const { return m_loadAction; }
    QAction* unloadAction() const { return m_unloadAction; }
    QAction* printAction() const { return m_printAction; }
    QLineEdit* notesBox() const { return m_notes; }
    QPushButton* backButton() const { return m_back; }
    QPushButton* forwardButton() const { return m_forward; }
    QProgressBar* progressBar() const { return m_progress; }

    // `cmdCapture`: shows the capture window at the main window's lower right corner.
    void showCaptureWindow();

private:
    void buildMenu(QMenu& fileMenu);
    void buildStrip();
    void connectCaptureWindow();
    void refresh();

    QMainWindow& m_window;
    DataLogs& m_logs;
    Replay& m_replay;
    std::function<void()> m_print;
    CaptureWindow* m_capture = nullptr;
    QWidget* m_strip = nullptr;
    QAction* m_logAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_loadAction = nullptr;
    QAction* m_unloadAction = nullptr;
    QAction* m_printAction = nullptr;
    bool m_printShared = false; // the graph's own entry, pressed by the Capture window too
    QLineEdit* m_notes = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QProgressBar* m_progress = nullptr;
};
