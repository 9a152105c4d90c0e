#pragma once

#include <QObject>

class DataFile;
class KorvexSession;
class ParameterDump;
class ParameterUpload;
class ProgressWindow;
class QAction;
class QMenuBar;
class QWidget;
class ToolProgress;

// The parameter dump and upload as the main window offers them: their two entries in the
// Tools menu, the progress window they share, and the data file slot the dump writes into.
// While one of them runs neither entry can start another.
class ParameterTools : public QObject {
    Q_OBJECT
public:
    ParameterTools(KorvexSession& session, DataFile& file, QWidget* window);
    ~ParameterTools() override;

    // Adds the entries to the Tools menu ("&Tools", made before "&Help" if not there yet).
    void addToMenus(QMenuBar* bar);

    ParameterDump& dump() { return *m_dump; }
    ParameterUpload& upload() { return *m_upload; }
    ToolProgress& progress() { return *m_progress; }
    ProgressWindow* window() const { return m_window; }
    QAction* dumpAction() const { return m_dumpAction; }
    QAction* uploadAction() const { return m_uploadAction; }

private:
    void showBusy();

    DataFile& m_file;
    ToolProgress* m_progress;
    ParameterDump* m_dump;
    ParameterUpload* m_upload;
    ProgressWindow* m_window;
    QAction* m_dumpAction = nullptr;
    QAction* m_uploadAction = nullptr;
};
