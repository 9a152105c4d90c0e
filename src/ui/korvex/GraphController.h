#pragma once

#include "GraphMode.h"

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class GraphEngine;
class MainWindow;
class Prompter;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class SettingsStore;

// The graph's controls and menus on the main window, joined to the engine: the mode list
// and the View menu's mode entries, the trace lists, scale captions and legend lines
// under the plot, the buttons, the "&Colors" menu, the X-Y pop-up, expand/collapse, and
// printing and saving the graph. Each handler reads its control and calls the engine;
// what the controls show is copied from the engine's layout whenever it changes.
class GraphController : public QObject {
    Q_OBJECT
public:
    // The printer dialogs, replaced in tests and screenshots so that nothing waits for a
    // click. Each returns false when cancelled.
    struct PrintDialogs {
        std::function<bool(QPrinter&)> print;
        std::function<bool(QPrinter&)> setup;
    };

    GraphController(MainWindow& window, GraphEngine& engine, SettingsStore& store, Prompter& prompter);
    ~GraphController() override;

    void setPrintDialogs(PrintDialogs dialogs) { m_dialogs = std::move(dialogs); }

    QComboBox* traceList(int i) const { return m_lists[size_t(i)]; }
    QLabel* scaleCaption(int i) const { return m_scales[size_t(i)]; }
    QFrame* legendLine(int i) const { return m_legends[size_t(i)]; }
    QAction* modeAction(GraphMode mode) const { return m_modeActions[size_t(mode)]; }
    QAction* panelOnlyAction() const { return m_panelOnly; }
    QAction* printAction() const { return m_print; }
    QAction* printerSetupAction() const { return m_printerSetup; }
    QAction* savePngAction() const { return m_savePng; }
    QAction* savePdfAction() const { return m_savePdf; }
    QMenu* colorMenu() const { return m_colorMenu; }
    QMenu* xyMenu() const { return m_xyMenu; }
    // The pop-up the plot's right button opened last (null: none open).
    QMenu* openPopup() const { return m_popup; }

    // "Print &Screen": the printer dialog, then the graph in print colours on one page.
    void printScreen();
    void printerSetup();
    // File menu: the graph as a picture or as a one-page PDF report.
    bool saveGraphPng(const QString& path);
    bool saveGraphPdf(const QString& path);
    // The heading of a printed page: program, mode and antenna.
    QString pageHeading() const;

private:
    void buildCaptionStrip();
    void buildMenus();
    void connectControls();
    void showLayout();
    void applyWindowHeight(bool expanded);
    void plotRightClicked(const QPoint& globalPos);
    void chooseColor(int index);
    void askAndSave(bool pdf);
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindow& m_window;
    GraphEngine& m_engine;
    SettingsStore& m_store;
    Prompter& m_prompter;
    PrintDialogs m_dialogs;
    std::unique_ptr<QPrinter> m_printer;
    std::array<QComboBox*, 4> m_lists{};
    std::array<QLabel*, 4> m_scales{};
    std::array<QFrame*, 4> m_legends{};
    std::array<QAction*, 7> m_modeActions{};
    QAction* m_panelOnly = nullptr;
    QAction* m_print = nullptr;
    QAction* m_printerSetup = nullptr;
    QAction* m_savePng = nullptr;
    QAction* m_savePdf = nullptr;
    QMenu* m_colorMenu = nullptr;
    QMenu* m_xyMenu = nullptr;
    QAction* m_autoCenter = nullptr;
    QAction* m_threeAxis = nullptr;
    QAction* m_showPhase = nullptr;
    QPointer<QMenu> m_popup;
    bool m_shownExpanded = true;
    int m_expandedHeight = 0;
    bool m_frameMeasured = false;
};
