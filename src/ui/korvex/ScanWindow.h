#pragma once

#include "ToolWindow.h"

class PatternScan;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Pattern Scan": rate, interval and auto-stop, the four direction buttons and Stop/Reset.
class ScanWindow : public ToolWindow {
    Q_OBJECT
public:
    ScanWindow(PatternScan& scan, Prompter& prompter, QWidget* parent = nullptr);

    QPushButton* directionButton(int direction) const { return m_dir[direction]; }
    QPushButton* stopResetButton() const { return m_stopReset; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    PatternScan& m_scan;
    bool m_loaded = false;
    QLineEdit* m_rateBox;
    QLineEdit* m_interval;
    QLineEdit* m_autoStop;
    QLineEdit* m_n8;
    QLineEdit* m_az;
    QLineEdit* m_el;
    QComboBox* m_mode;
    QPushButton* m_dir[4];
    QPushButton* m_stopReset;
};
