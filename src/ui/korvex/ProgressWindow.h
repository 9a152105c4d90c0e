#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class ToolProgress;

// `frmMsg`: the small progress window of the parameter dump and upload. Not modal, kept
// above the main window, so the panel stays usable and Cancel is always in reach. It only
// shows what ToolProgress says and hands the button back.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    ProgressWindow(ToolProgress& progress, QWidget* owner);

    QLabel* label() const { return m_label; }
    QProgressBar* bar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void setShown(bool shown);

    QWidget* m_owner;
    QLabel* m_label;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};
