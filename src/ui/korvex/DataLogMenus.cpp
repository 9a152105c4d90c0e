#include "DataLogMenus.h"

#include "ParameterDump.h"
#include "ParameterTools.h"

#include "CaptureWindow.h"
#include "DataLogs.h"
#include "GraphArea.h"
#include "KorvexSession.h"
#include "MainWindow.h"
#include "Replay.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

#include <climits>

namespace {
QAction* menuAction(QMenu& menu, QAction* before, const QString& caption, const QString& name)
{
    auto* a = new QAction(caption, &menu);
    a->setObjectName(name);
    menu.insertAction(before, a);
    return a;
}
} // namespace

DataLogMenus::DataLogMenus(QMainWindow& window, QMenu& fileMenu, DataLogs& logs, Replay& replay,
                           Prompter& prompter, std::function<void()> print)
    : QObject(&window), m_window(window), m_logs(logs), m_replay(replay), m_print(std::move(print))
{
    m_capture = new CaptureWindow(prompter, &window);
    buildMenu(fileMenu);
    buildStrip();
    connectCaptureWindow();
    connect(&m_logs, &DataLogs::changed, this, &DataLogMenus::refresh);
    connect(&m_replay, &Replay::changed, this, &DataLogMenus::refresh);
    refresh();
}

void DataLogMenus::buildMenu(QMenu& fileMenu)
{
    // Above "Exit", which stays the last entry, and above the graph's printing entries when
    // the window has them: the graph's own "Print Screen" is then the one the Capture
    // window's button presses too; otherwise the menu gets its own entry.
    QAction* exit = fileMenu.actions().isEmpty() ? nullptr : fileMenu.actions().constLast();
    for (QAction* a : fileMenu.actions()) {
        if (a->objectName() == QLatin1String("mnuPrint"))
            m_printAction = a;
    }
    m_printShared = m_printAction != nullptr;
    QAction* anchor = m_printShared ? m_printAction : exit;
    m_logAction = menuAction(fileMenu, anchor, QStringLiteral("Start Data &Log"), QStringLiteral("mnuLog"));
    m_saveAction =
        menuAction(fileMenu, anchor, QStringLiteral("Save Screen &Data"), QStringLiteral("mnuSaveScreen"));
    m_loadAction =
        menuAction(fileMenu, anchor, QStringLiteral("L&oad Data Log"), QStringLiteral("mnuLoadDataLog"));
    m_unloadAction =
        menuAction(fileMenu, anchor, QStringLiteral("&Unload Data Log"), QStringLiteral("mnuUnloadDataLog"));
    fileMenu.insertSeparator(anchor);
    if (!m_printShared) {
        m_printAction = menuAction(fileMenu, exit, QStringLiteral("Print &Screen"), QStringLiteral("mnuPrint"));
        fileMenu.insertSeparator(exit);
    }
    connect(m_logAction, &QAction::triggered, &m_logs, &DataLogs::toggleLog);
    connect(m_saveAction, &QAction::triggered, &m_logs, &DataLogs::saveScreen);
    connect(m_loadAction, &QAction::triggered, &m_replay, &Replay::load);
    connect(m_unloadAction, &QAction::triggered, &m_replay, &Replay::unload);
    if (!m_printShared) {
        connect(m_printAction, &QAction::triggered, this, [this] {
            if (m_print)
                m_print();
        });
    }
}

void DataLogMenus::buildStrip()
{
    m_strip = new QWidget(&m_window);
    m_strip->setObjectName(QStringLiteral("dataLogStrip"));
    auto* row = new QHBoxLayout(m_strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_notes = new QLineEdit(m_logs.notes(), m_strip);
    m_notes->setObjectName(QStringLiteral("txtNotes"));
    m_notes->setMaximumWidth(320);
    m_back = new QPushButton(QStringLiteral("<"), m_strip);
    m_back->setObjectName(QStringLiteral("cmdLDLScrollBack"));
    m_forward = new QPushButton(QStringLiteral(">"), m_strip);
    m_forward->setObjectName(QStringLiteral("cmdLDLScrollForward"));
    for (QPushButton* b : {m_back, m_forward})
        b->setFixedWidth(36);
    m_progress = new QProgressBar(m_strip);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setTextVisible(false);
    row->addWidget(m_notes, 2);
    row->addWidget(m_back);
    row->addWidget(m_forward);
    row->addWidget(m_progress, 3);
    row->addStretch(1);

    connect(m_notes, &QLineEdit::textChanged, &m_logs, &DataLogs::setNotes);
    connect(m_back, &QPushButton::clicked, &m_replay, &Replay::pageBack);
    connect(m_forward, &QPushButton::clicked, &m_replay, &Replay::pageForward);
}

void DataLogMenus::connectCaptureWindow()
{
    connect(m_capture->logButton(), &QPushButton::clicked, &m_logs, &DataLogs::toggleLog);
    connect(m_capture->saveButton(), &QPushButton::clicked, &m_logs, &DataLogs::saveScreen);
    connect(m_capture->loadButton(), &QPushButton::clicked, &m_replay, &Replay::load);
    connect(m_capture->unloadButton(), &QPushButton::clicked, &m_replay, &Replay::unload);
    connect(m_capture->printButton(), &QPushButton::clicked, m_printAction, &QAction::trigger);
}

void DataLogMenus::showCaptureWindow()
{
    m_capture->adjustSize();
    m_capture->show();
    m_capture->move(CaptureWindow::placement(m_window.frameGeometry(), m_capture->frameGeometry().size()));
    m_capture->raise();
}

void DataLogMenus::refresh()
{
    const bool loaded = m_replay.isLoaded();
    const bool indexing = m_replay.isIndexing();
    const bool dumping = m_logs.state() == DataLogs::State::Dumping;
    const bool idle = !loaded && !indexing;

    m_logAction->setText(m_logs.menuCaption());
    m_capture->logButton()->setText(m_logs.buttonCaption());
    // While the dump that ends a file runs, the file is not ours to start or close.
    m_logAction->setEnabled(idle && !dumping);
    m_capture->logButton()->setEnabled(idle && !dumping);
    m_saveAction->setEnabled(idle);
    m_capture->saveButton()->setVisible(!loaded);
    m_loadAction->setEnabled(idle && m_logs.state() == DataLogs::State::Idle);
    m_capture->loadButton()->setEnabled(m_loadAction->isEnabled());
    m_unloadAction->setVisible(loaded);
    m_unloadAction->setEnabled(loaded);
    m_capture->unloadButton()->setVisible(loaded);
    if (!m_printShared)
        m_printAction->setEnabled(bool(m_print));
    m_capture->printButton()->setEnabled(m_printShared || bool(m_print));
    m_back->setVisible(loaded);
    m_forward->setVisible(loaded);

    // A bar's range is an int: a file past 2 GB is shown in coarser steps.
    int shift = 0;
    while ((m_replay.progressMaximum() >> shift) > INT_MAX)
        ++shift;
    m_progress->setRange(0, int(m_replay.progressMaximum() >> shift));
    m_progress->setValue(int(m_replay.progressValue() >> shift));
    m_progress->setVisible(m_replay.progressVisible());

    if (!m_logs.logPath().isEmpty())
        m_window.setWindowTitle(MainWindow::kTitle + QStringLiteral(" - Log ") + m_logs.logPath());
    else if (loaded)
        m_window.setWindowTitle(MainWindow::kTitle + QStringLiteral(" - Log ") + m_replay.path());
    else
        m_window.setWindowTitle(MainWindow::kTitle);
}

DataLogMenus* MainWindow::attachDataLogs(DataLogs& logs, Replay& replay, std::function<void()> print)
{
    // Closing a log or saving the screen runs the window's parameter dump on the data
    // file; the dump's end (completed, cancelled or timed out) is what finishes the log.
    if (m_parameterTools) {
        ParameterDump& dump = m_parameterTools->dump();
        logs.setDumpStarter([&dump, &logs](DataFile& file) {
            // An upload holds the poll tick: the file is closed without its dump.
            if (!dump.start(file)) {
                file.close();
                logs.dumpEnded(true);
            }
        });
        connect(&dump, &ParameterDump::ended, &logs, &DataLogs::dumpEnded);
    }
    m_dataLogs = new DataLogMenus(*this, *m_fileMenu, logs, replay, m_session.prompter(), std::move(print));
    // Under the graph, where the replay's paging and progress belong.
    if (auto* column = qobject_cast<QBoxLayout*>(centralWidget()->layout()))
        column->addWidget(m_dataLogs->strip());
    m_dataLogs->strip()->show(); // also when the window is already up
    QPushButton* capture = m_graph->captureButton();
    capture->setEnabled(true);
    connect(capture, &QPushButton::clicked, m_dataLogs, &DataLogMenus::showCaptureWindow);
    return m_dataLogs;
}
