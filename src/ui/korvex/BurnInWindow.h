#pragma once

#include "ToolWindow.h"

class BurnIn;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Burn-In Excersise": the interval, the command sequence log and Start/Stop/Continue.
class BurnInWindow : public ToolWindow {
    Q_OBJECT
public:
    BurnInWindow(BurnIn& burnIn, Prompter& prompter, QWidget* parent = nullptr);

    QPushButton* startButton() const { return m_start; }

private:
    void refresh();

    BurnIn& m_burnIn;
    QLineEdit* m_interval;
    QPlainTextEdit* m_log;
    QPushButton* m_start;
    QPushButton* m_stop;
    QPushButton* m_continue;
};
