#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

class Prompter;
class QPushButton;

// `frmCapture` "Capture": the data-log, screen-capture, replay and print commands as
// buttons, for a technician who keeps them at hand next to the graph.
class CaptureWindow : public QWidget {
    Q_OBJECT
public:
    CaptureWindow(Prompter& prompter, QWidget* parent = nullptr);

    QPushButton* logButton() const { return m_log; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* loadButton() const { return m_load; }
    QPushButton* unloadButton() const { return m_unload; }
    QPushButton* printButton() const { return m_print; }

    // At the main window's lower right corner: 150 twips above its bottom edge and 50
    // twips in from its right edge (15 twips to a pixel).
    static QPoint placement(const QRect& mainFrame, const QSize& captureFrame);

private:
    QPushButton* m_log = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_load = nullptr;
    QPushButton* m_unload = nullptr;
    QPushButton* m_print = nullptr;
};
