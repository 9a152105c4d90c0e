#pragma once

#include "ToolWindow.h"

class CommDiagnostics;
class LinkHealth;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
struct PanelState;

// "Comm Diagnostics": the command box, "Last Sent", "Response", " Stop", the common
// command buttons and menus (shown or hidden), and the link health figures.
class DiagWindow : public ToolWindow {
    Q_OBJECT
public:
    static constexpr int kShortHeight = 130; // 1950 twips
    static constexpr int kTallHeight = 271;  // 4065 twips

    DiagWindow(CommDiagnostics& diag, LinkHealth& health, const PanelState& panel, Prompter& prompter,
               QWidget* parent = nullptr);

    QLineEdit* commandBox() const { return m_command; }
    QPushButton* button(int index) const { return m_buttons[index]; }
    QCheckBox* stopBox() const { return m_stop; }
    QMenu* pcuMenu() const { return m_pcuMenu; }
    QMenu* acuMenu() const { return m_acuMenu; }
    void setCommonCommandsShown(bool shown);
    // The link figures as they are now (the window also refreshes them every second).
    void showHealth();

private:
    void refresh();
    void popUp(QMenu* menu, QPushButton* under);
    void showPcuStatusBits();
    bool eventFilter(QObject* watched, QEvent* event) override;

    CommDiagnostics& m_diag;
    LinkHealth& m_health;
    const PanelState& m_panel;
    QLineEdit* m_command;
    QLineEdit* m_lastSent;
    QLineEdit* m_response;
    QCheckBox* m_stop;
    QFrame* m_common;
    QPushButton* m_buttons[12] = {};
    QMenu* m_pcuMenu;
    QMenu* m_acuMenu;
    QLabel* m_healthText;
    QTimer* m_healthTimer;
};
