#pragma once

#include "ToolWindow.h"

class N7Tool;
class QLineEdit;
class QRadioButton;

// "N7 Parameter Tool": click options to show n7, or enter n7 to show the options.
class N7Window : public ToolWindow {
    Q_OBJECT
public:
    N7Window(N7Tool& n7, Prompter& prompter, QWidget* parent = nullptr);

    QLineEdit* valueBox() const { return m_value; }
    QRadioButton* option(int group, int index) const { return m_options[group][index]; }

Q_SIGNALS:
    // Ctrl+N in the value box: the window toggles through its menu entry.
    void toggleRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();

    N7Tool& m_n7;
    QLineEdit* m_value;
    QLineEdit* m_groupValues[4];
    QRadioButton* m_options[4][4];
};
