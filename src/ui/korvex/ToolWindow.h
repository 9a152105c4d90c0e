#pragma once

#include <QDialog>

class Prompter;

// A Korvex tool window: shown and hidden (never destroyed, so it keeps what was entered),
// its Tools menu entry checked while it shows, F1 for its help page (when it has one).
class ToolWindow : public QDialog {
    Q_OBJECT
public:
    ToolWindow(const QString& name, const QString& title, const QString& help, Prompter& prompter,
               QWidget* parent = nullptr);

Q_SIGNALS:
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

// A text box that only changes when its text differs, so an update from the logic does
// not move the cursor of the box being typed in.
class QLineEdit;
void setBoxText(QLineEdit* box, const QString& text);
