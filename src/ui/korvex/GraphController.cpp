#include "GraphController.h"

#include "Twips.h"

#include "GraphArea.h"
#include "GraphEngine.h"
#include "GraphPainter.h"
#include "KorvexSettings.h"
#include "MainWindow.h"
#include "PlotFrame.h"
#include "PromptConversions.h"
#include "Prompter.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>

namespace {

const QString kPngFilter = QStringLiteral("PNG picture (*.png)|*.png|All files (*.*)|*.*");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)|*.pdf|All files (*.*)|*.*");

QAction* addItem(QMenu* menu, const QString& caption, const QString& name, bool checkable = false)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    return a;
}
} // namespace

GraphController::GraphController(MainWindow& window, GraphEngine& engine, SettingsStore& store,
                                 Prompter& prompter)
    : QObject(&window), m_window(window), m_engine(engine), m_store(store), m_prompter(prompter),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_dialogs.print = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, &m_window);
        return dialog.exec() == QDialog::Accepted;
    };
    m_dialogs.setup = m_dialogs.print;

    buildCaptionStrip();
    buildMenus();
    connectControls();

    PlotFrame* plot = m_window.graphArea()->plot();
    m_engine.setCanvas(plot->canvas());
    GraphEngine::Hooks& h = m_engine.hooks();
    h.drawn = [plot] { plot->update(); };
    h.layoutChanged = [this] { showLayout(); };
    // The colours saved last time, or the defaults when none were.
    m_engine.setColors(GraphColors::load(m_store, KorvexSettings::kApp));
    showLayout();
    m_engine.redraw();
}

GraphController::~GraphController()
{
    GraphEngine::Hooks& h = m_engine.hooks();
    h.drawn = nullptr;
    h.layoutChanged = nullptr;
    m_engine.setCanvas(nullptr);
}

void GraphController::buildCaptionStrip()
{
    QHBoxLayout* strip = m_window.graphArea()->captionLayout();
    for (int i = 0; i < 4; ++i) {
        auto* legend = new QFrame;
        legend->setObjectName(QStringLiteral("Line1_%1").arg(i));
        legend->setFixedSize(26, 4);
        auto* list = new QComboBox;
        list->setObjectName(QStringLiteral("Combo1_%1").arg(i));
        list->addItems(graphtext::traceListItems(i));
        list->setToolTip(graphtext::kTraceListToolTip);
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto* scale = new QLabel;
        scale->setObjectName(QStringLiteral("Label2_%1").arg(i + 1));
        scale->setTextFormat(Qt::PlainText);
        strip->addWidget(legend);
        strip->addWidget(list);
        strip->addWidget(scale);
        strip->addSpacing(10);
        m_legends[size_t(i)] = legend;
        m_lists[size_t(i)] = list;
        m_scales[size_t(i)] = scale;
        // Activated also when the same item is picked again: that re-centres the trace.
        connect(list, &QComboBox::activated, this, [this, i](int index) { m_engine.selectTrace(i, index); });
    }
    strip->addStretch(1);
}

void GraphController::buildMenus()
{
    QMenuBar* bar = m_window.menuBar();
    // The File menu gains printing and saving above its last item (Exit).
    QMenu* file = bar->actions().isEmpty() ? nullptr : bar->actions().first()->menu();
    if (file) {
        QAction* before = file->actions().isEmpty() ? nullptr : file->actions().first();
        auto insert = [file, before](const QString& caption, const QString& name) {
            auto* a = new QAction(caption, file);
            a->setObjectName(name);
            file->insertAction(before, a);
            return a;
        };
        m_print = insert(QStringLiteral("Print &Screen"), QStringLiteral("mnuPrint"));
        m_printerSetup = insert(QStringLiteral("&Printer Setup"), QStringLiteral("mnuSetup"));
        file->insertSeparator(before);
        m_savePng = insert(QStringLiteral("Save Graph as PNG..."), QStringLiteral("mnuSavePng"));
        m_savePdf = insert(QStringLiteral("Save Graph as PDF..."), QStringLiteral("mnuSavePdf"));
        file->insertSeparator(before);
    }

    QMenu* view = new QMenu(QStringLiteral("&View"), &m_window);
    view->setObjectName(QStringLiteral("mnuView"));
    // After the File and Comm Port menus.
    const QList<QAction*> top = bar->actions();
    bar->insertMenu(top.size() > 2 ? top[2] : nullptr, view);
    const char* const names[] = {"mnuADMC", "mnuDIvc", "mnuDV", "mnuDW", "mnuDTC", "mnuSpec", "mnuDXY"};
    for (int m = 0; m < 7; ++m) {
        QAction* a =
            addItem(view, graphtext::modeMenuText(GraphMode(m)), QString::fromLatin1(names[m]), true);
        connect(a, &QAction::triggered, this, [this, m] {
            m_engine.selectMode(GraphMode(m));
            showLayout(); // the check is the engine's, not the click's
        });
        m_modeActions[size_t(m)] = a;
    }
    view->addSeparator();
    m_panelOnly = addItem(view, QStringLiteral("Panel Only"), QStringLiteral("mnuPanelOnly"), true);
    connect(m_panelOnly, &QAction::triggered, this, [this] {
        m_engine.toggleExpanded();
        showLayout();
    });
    view->addSeparator();

    m_colorMenu = view->addMenu(QStringLiteral("&Colors"));
    m_colorMenu->setObjectName(QStringLiteral("mnuColor"));
    const std::pair<const char*, const char*> colours[] = {
        {"Background", "mnuBack"}, {"Grid", "mnuGrid"},  {"Home Lines", "mnuHome"}, {"Trace 1", "mnuT1"},
        {"Trace 2", "mnuT2"},      {"Trace 3", "mnuT3"}, {"Trace 4", "mnuT4"}};
    for (int i = 0; i < 7; ++i) {
        QAction* a = addItem(m_colorMenu, QString::fromLatin1(colours[i].first),
                             QString::fromLatin1(colours[i].second));
        connect(a, &QAction::triggered, this, [this, i] { chooseColor(i); });
    }
    m_colorMenu->addSeparator();
    connect(addItem(m_colorMenu, QStringLiteral("Load Win Defaults"), QStringLiteral("mnuLoadW")),
            &QAction::triggered, this, [this] { m_engine.setColors(GraphColors::win()); });
    connect(addItem(m_colorMenu, QStringLiteral("Load DOS Defaults"), QStringLiteral("mnuLoadD")),
            &QAction::triggered, this, [this] { m_engine.setColors(GraphColors::dos()); });
    connect(addItem(m_colorMenu, QStringLiteral("Reload Saved Colors"), QStringLiteral("mnuReLoad")),
            &QAction::triggered, this,
            [this] { m_engine.setColors(GraphColors::load(m_store, KorvexSettings::kApp)); });
    connect(addItem(m_colorMenu, QStringLiteral("Save Settings"), QStringLiteral("mnuSave")),
            &QAction::triggered, this, [this] { m_engine.colors().save(m_store, KorvexSettings::kApp); });

    m_xyMenu = new QMenu(&m_window);
    m_xyMenu->setObjectName(QStringLiteral("mnuTool2"));
    m_autoCenter = addItem(m_xyMenu, QStringLiteral("Auto Center"), QStringLiteral("mnuDSCenter"), true);
    m_threeAxis = addItem(m_xyMenu, QStringLiteral("3 Axis Scaling"), QStringLiteral("mnuDS3D"), true);
    m_showPhase = addItem(m_xyMenu, QStringLiteral("Show Phase"), QStringLiteral("mnuDSPhase"), true);
    connect(m_autoCenter, &QAction::triggered, this, [this] { m_engine.toggleAutoCenter(); });
    connect(m_threeAxis, &QAction::triggered, this, [this] { m_engine.toggle3AxisScaling(); });
    connect(m_showPhase, &QAction::triggered, this, [this] { m_engine.toggleShowPhase(); });
    m_xyMenu->addSeparator();
    const std::pair<const char*, GraphEngine::XyMove> moves[] = {{"Move Right", GraphEngine::XyMove::Right},
                                                                 {"Move Left", GraphEngine::XyMove::Left},
                                                                 {"Move UP", GraphEngine::XyMove::Up},
                                                                 {"Move Down", GraphEngine::XyMove::Down}};
    const char* const moveNames[] = {"mnuDSRight", "mnuDSLeft", "mnuDSUp", "mnuDSDown"};
    for (int i = 0; i < 4; ++i) {
        QAction* a =
            addItem(m_xyMenu, QString::fromLatin1(moves[i].first), QString::fromLatin1(moveNames[i]));
        connect(a, &QAction::triggered, this, [this, move = moves[i].second] { m_engine.moveXy(move); });
    }

    if (m_print) {
        connect(m_print, &QAction::triggered, this, &GraphController::printScreen);
        connect(m_printerSetup, &QAction::triggered, this, &GraphController::printerSetup);
        connect(m_savePng, &QAction::triggered, this, [this] { askAndSave(false); });
        connect(m_savePdf, &QAction::triggered, this, [this] { askAndSave(true); });
    }
}

void GraphController::connectControls()
{
    GraphArea* area = m_window.graphArea();
    for (QWidget* w :
         std::initializer_list<QWidget*>{area->modeList(), area->redrawButton(), area->clearButton(),
                                         area->centerAllButton(), area->expandButton()})
        w->setEnabled(true);
    connect(area->modeList(), &QComboBox::activated, this, [this](int index) {
        m_engine.selectMode(GraphMode(index));
        PlotFrame* plot = m_window.graphArea()->plot();
        if (m_window.isVisible() && plot->isEnabled())
            plot->setFocus();
    });
    connect(area->redrawButton(), &QPushButton::clicked, this, [this] { m_engine.redraw(); });
    connect(area->clearButton(), &QPushButton::clicked, this, [this] { m_engine.clear(); });
    connect(area->centerAllButton(), &QPushButton::clicked, this, [this] { m_engine.centerAll(); });
    area->centerAllButton()->installEventFilter(this);
    m_window.installEventFilter(this);
    connect(area->expandButton(), &QPushButton::clicked, this, [this] { m_engine.toggleExpanded(); });
    PlotFrame* plot = area->plot();
    connect(plot, &PlotFrame::pictureReset, this, [this] { m_engine.redraw(); });
    connect(plot, &PlotFrame::rightClicked, this, &GraphController::plotRightClicked);
    connect(plot, &PlotFrame::doubleClicked, this, [this] { m_engine.doubleClickPlot(); });
}

bool GraphController::eventFilter(QObject* watched, QEvent* event)
{
    // Once, when the window first shows with its frame: the allowance for that frame.
    if (watched == &m_window && event->type() == QEvent::Show && !m_frameMeasured) {
        m_frameMeasured = true;
        m_engine.setFrameAllowance((m_window.frameGeometry().height() - m_window.geometry().height()) *
                                   kTwipsPerPixel);
    }
    // A right-button release on "Center All" undoes the last one.
    if (watched == m_window.graphArea()->centerAllButton() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        m_engine.undoCenterAll();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void GraphController::plotRightClicked(const QPoint& globalPos)
{
    m_popup = m_engine.mode() == GraphMode::NutaraXy ? m_xyMenu : m_colorMenu;
    m_popup->popup(globalPos);
}

void GraphController::chooseColor(int index)
{
    const GraphColors& c = m_engine.colors();
    const quint32 current = index == 0   ? c.back
                            : index == 1 ? c.grid
                            : index == 2 ? c.home
                                         : c.trace[index - 3];
    if (const std::optional<quint32> chosen = m_prompter.chooseColor(current))
        m_engine.setColor(index, *chosen);
}

void GraphController::showLayout()
{
    const GraphLayout& l = m_engine.layout();
    GraphArea* area = m_window.graphArea();
    const GraphMode mode = m_engine.mode();
    {
        const QSignalBlocker block(area->modeList());
        area->modeList()->setCurrentIndex(int(mode));
    }
    area->modeList()->setToolTip(graphtext::modeToolTip(mode));
    for (int i = 0; i < 4; ++i) {
        QComboBox* list = m_lists[size_t(i)];
        const QSignalBlocker block(list);
        list->setCurrentIndex(l.lists[size_t(i)].index);
        list->setVisible(l.lists[size_t(i)].visible);
        list->setEnabled(l.lists[size_t(i)].enabled);
        m_scales[size_t(i)]->setText(l.scales[size_t(i)].caption);
        m_scales[size_t(i)]->setVisible(l.scales[size_t(i)].visible);
        m_legends[size_t(i)]->setVisible(l.legendVisible[size_t(i)]);
        m_legends[size_t(i)]->setStyleSheet(
            QStringLiteral("background-color: %1;")
                .arg(promptconv::colorFromBgr(m_engine.colors().trace[i]).name()));
    }
    for (int m = 0; m < 7; ++m)
        m_modeActions[size_t(m)]->setChecked(l.modeChecked[size_t(m)]);
    m_panelOnly->setChecked(l.panelOnly);
    m_autoCenter->setChecked(m_engine.autoCenter());
    m_threeAxis->setChecked(m_engine.threeAxisScaling());
    m_showPhase->setChecked(m_engine.showPhase());

    PlotFrame* plot = area->plot();
    plot->setToolTip(l.plotToolTip);
    plot->setKeepAspect(mode == GraphMode::NutaraXy);
    QPushButton* expand = area->expandButton();
    expand->setToolTip(l.expandToolTip());
    expand->setIcon(m_window.style()->standardIcon(l.expanded ? QStyle::SP_TitleBarShadeButton
                                                              : QStyle::SP_TitleBarUnshadeButton));
    m_window.statusBar()->setVisible(l.statusBarVisible);
    if (l.expanded != m_shownExpanded)
        applyWindowHeight(l.expanded);
}

// The panel alone, or the panel with the graph. The front panel of this window is drawn
// larger than the heights in twips allow, so those are the least the window takes.
void GraphController::applyWindowHeight(bool expanded)
{
    m_shownExpanded = expanded;
    GraphArea* area = m_window.graphArea();
    const GraphLayout& l = m_engine.layout();
    if (!expanded)
        m_expandedHeight = m_window.height();
    area->setGraphShown(expanded);
    // The layouts settle first, so that the window's least height is the new one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QStatusBar* status = m_window.statusBar();
    const int least = m_window.centralWidget()->minimumSizeHint().height() +
                      m_window.menuBar()->sizeHint().height() +
                      (status->isVisibleTo(&m_window) ? status->sizeHint().height() : 0);
    // Back to the height it had before it was collapsed, at least the expanded height.
    const int wanted = expanded ? qMax(m_expandedHeight, l.heightTwips / kTwipsPerPixel) : 0;
    // Twice: the window's own least height follows its layout one pass late.
    for (int pass = 0; pass < 2; ++pass) {
        m_window.resize(m_window.width(), qMax(wanted, least));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

// Printing and saving ---------------------------------------------------------------

QString GraphController::pageHeading() const
{
    return MainWindow::kTitle + QStringLiteral(" - ") + graphtext::modeListText(m_engine.mode()).simplified();
}

void GraphController::printScreen()
{
    if (!m_dialogs.print || !m_dialogs.print(*m_printer))
        return;
    QPainter p;
    // A printer that cannot start a job skips the rest; the screen is redrawn either way.
    if (p.begin(m_printer.get())) {
        graphprint::drawPage(p, QRectF(QPointF(0, 0), QSizeF(p.device()->width(), p.device()->height())),
                             m_engine, pageHeading());
        p.end();
    }
    m_engine.redraw();
}

void GraphController::printerSetup()
{
    if (m_dialogs.setup)
        m_dialogs.setup(*m_printer);
}

bool GraphController::saveGraphPng(const QString& path)
{
    return graphprint::renderImage(m_engine).save(path, "PNG");
}

bool GraphController::saveGraphPdf(const QString& path)
{
    return graphprint::savePdf(m_engine, path, pageHeading());
}

void GraphController::askAndSave(bool pdf)
{
    const QString path = m_prompter.saveFileName(
        {pdf ? QStringLiteral("Save Graph as PDF") : QStringLiteral("Save Graph as PNG"),
         pdf ? kPdfFilter : kPngFilter, QString(), QString()});
    if (path.isEmpty())
        return;
    if (!(pdf ? saveGraphPdf(path) : saveGraphPng(path)))
        m_prompter.error(
            QStringLiteral("Error,\rThe graph could not be saved to %1\rCheck the folder and try again.")
                .arg(path));
}
