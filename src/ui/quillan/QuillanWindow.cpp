#include "QuillanWindow.h"

#include "AutoUpload.h"
#include "CancelWindow.h"
#include "CommLog.h"
#include "CommPortDialog.h"
#include "LineStateStrip.h"
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "PanelDisplay.h"
#include "Prompter.h"
#include "ScreenFiles.h"
#include "SendFile.h"
#include "SessionTraceAction.h"
#include "TerminalPrinter.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"
#include "TerminalView.h"
#include "ToolsMenu.h"
#include "Twips.h"
#include "UploadHistory.h"
#include "UploadHistoryWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// The window never gets narrower than this (twips).
constexpr int kMinimumWidthTwips = 7200;
// The cancel window sits this far right of and below the terminal's corner (twips).
constexpr int kCancelWindowOffsetTwips = 30;
constexpr const char* kBuildText = "Build 29.March.2018";
} // namespace

QuillanWindow::QuillanWindow(TerminalSession& session, ModuleSelection& selection, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_selection(selection),
      m_sendFile(std::make_unique<SendFile>(session)),
      m_screenFiles(std::make_unique<ScreenFiles>(session.prompter())),
      m_upload(std::make_unique<ManualUpload>(session, selection)),
      m_auto(std::make_unique<AutoUpload>(session, selection, *m_upload)),
      m_history(std::make_unique<UploadHistory>())
{
    setObjectName(QStringLiteral("QuillanWindow"));
    m_actions.build(this);
    buildLayout();
    buildStatusBar();
    m_cancelWindow = new CancelWindow(this);

    connectSession();
    connectScreen();
    connectCommands();
    connectModuleMenu();
    connectUpload();
    m_tools = new ToolsMenu(*this, m_session, m_selection);

    setWindowTitle(m_session.caption());
    setMinimumWidth(twipsToPixels(kMinimumWidthTwips, this));
    fitToScreen();
    m_terminal->setFocus();
}

QuillanWindow::~QuillanWindow() = default;

void QuillanWindow::fitToScreen()
{
    QSize size(1040, 660);
    if (const QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        size = size.boundedTo(QSize(avail.width() * 9 / 10, avail.height() * 9 / 10));
    }
    resize(size.expandedTo(minimumSize()));
}

QString QuillanWindow::versionText()
{
    return QStringLiteral(QUILLAN_VERSION);
}

void QuillanWindow::buildLayout()
{
    auto* central = new QWidget(this);
    auto* box = new QVBoxLayout(central);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);

    m_top = new QWidget(central);
    m_top->setObjectName(QStringLiteral("TopMargin"));
    auto* topBox = new QVBoxLayout(m_top);
    topBox->setContentsMargins(0, 0, 0, 4);
    topBox->setSpacing(2);
    topBox->addStretch(1);
    m_strip = new LineStateStrip(m_top);
    topBox->addWidget(m_strip);
    m_panel = new PanelDisplay(m_top);
    m_panel->hide();
    topBox->addWidget(m_panel);
    topBox->addStretch(1);
    box->addWidget(m_top);

    m_terminal = new TerminalView(central);
    box->addWidget(m_terminal, 1);
    setCentralWidget(central);
}

void QuillanWindow::buildStatusBar()
{
    auto panel = [this](const QString& key) {
        auto* l = new QLabel(this);
        l->setObjectName(key);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setTextFormat(Qt::PlainText);
        l->setMinimumWidth(60);
        return l;
    };
    m_status = panel(QStringLiteral("Status"));
    m_settings = panel(QStringLiteral("Settings"));
    m_connectTime = panel(QStringLiteral("ConnectTime"));
    m_connectTime->setMinimumWidth(
        QFontMetrics(m_connectTime->font()).horizontalAdvance(QStringLiteral("00:00:00  ")) + 8);
    statusBar()->addWidget(m_status, 2);
    statusBar()->addWidget(m_settings, 5);
    statusBar()->addPermanentWidget(m_connectTime);
}

QLabel* QuillanWindow::statusPanel(const QString& key) const
{
    return findChild<QLabel*>(key);
}

void QuillanWindow::connectSession()
{
    TerminalSession& s = m_session;
    connect(&s, &TerminalSession::captionChanged, this, &QWidget::setWindowTitle);
    connect(&s, &TerminalSession::statusTextChanged, m_status, &QLabel::setText);
    connect(&s, &TerminalSession::settingsTextChanged, m_settings, &QLabel::setText);
    connect(&s, &TerminalSession::connectTimeChanged, m_connectTime, &QLabel::setText);
    connect(&s, &TerminalSession::linkStateChanged, this, &QuillanWindow::applyLinkState);
    connect(&s, &TerminalSession::lineStatesChanged, this, [this](const TerminalLineStates& l) {
        m_strip->setInputs(l.cts, l.dsr, l.dcd);
        m_strip->setOutputs(l.dtr, l.rts);
    });
    connect(&s, &TerminalSession::topMarginChanged, this, &QuillanWindow::applyTopMargin);
    connect(&s, &TerminalSession::sendPacingChanged, this, &QuillanWindow::applyPacing);
    connect(&s, &TerminalSession::loopSendChanged, m_actions.loopSend, &QAction::setChecked);
    connect(&s, &TerminalSession::busyChanged, this, &QuillanWindow::applyBusy);
    connect(&s, &TerminalSession::cancelPressed, m_cancelWindow, &QWidget::hide);
    connect(&s.log(), &CommLog::loggingChanged, this, [this](bool open) {
        m_actions.startLog->setEnabled(!open);
        m_actions.stopLog->setEnabled(open);
    });

    connect(m_strip, &LineStateStrip::ledClicked, this, &QuillanWindow::toggleLink);
    connect(m_strip, &LineStateStrip::rtsClicked, &s, &TerminalSession::setRts);

    m_status->setText(s.statusText());
    m_settings->setText(s.settingsText());
    m_connectTime->setText(s.connectTimeText());
    const TerminalLineStates l = s.lineStates();
    m_strip->setInputs(l.cts, l.dsr, l.dcd);
    m_strip->setOutputs(l.dtr, l.rts);
    m_actions.loopSend->setChecked(s.loopSend());
    applyPacing(s.sendPacing());
    applyTopMargin(s.topMarginTwips());
    applyLinkState(s.isPortOpen());
    applyBusy(s.isBusy());
    m_actions.startLog->setEnabled(!s.log().isOpen());
    m_actions.stopLog->setEnabled(s.log().isOpen());
}

void QuillanWindow::connectScreen()
{
    TerminalScreen& screen = m_session.screen();
    connect(&screen, &TerminalScreen::textAppended, m_terminal, &TerminalView::appendText);
    connect(&screen, &TerminalScreen::textReset, this,
            [this] { m_terminal->resetText(m_session.screen().text()); });
    connect(&screen, &TerminalScreen::frontRemoved, m_terminal, &TerminalView::removeFront);
    connect(&screen, &TerminalScreen::textChopped, this, [this](int count) {
        if (!m_terminal->chopText(count))
            m_terminal->resetText(m_session.screen().text());
    });
    connect(&screen, &TerminalScreen::hexViewChanged, m_actions.hexDisplay, &QAction::setChecked);
    connect(&screen, &TerminalScreen::panelLineChanged, m_panel, &PanelDisplay::setLine);
    connect(&screen, &TerminalScreen::legendsChanged, this,
            [this](const QString& unwrap, const QString& tracking) {
                m_panel->setLegends(!unwrap.isEmpty(), !tracking.isEmpty());
            });

    m_terminal->resetText(screen.text());
    m_actions.hexDisplay->setChecked(screen.hexView());
    for (int line = 1; line <= 4; ++line)
        m_panel->setLine(line, screen.panelLine(line));
    m_panel->setLegends(!screen.unwrapLegend().isEmpty(), !screen.trackingLegend().isEmpty());

    m_terminal->setKeyHandler(
        [this](QKeyEvent* e) { return m_session.handleKey(e->key(), e->modifiers(), e->text()); });
}

void QuillanWindow::connectCommands()
{
    const QuillanActions& a = m_actions;
    TerminalSession& s = m_session;

    connect(a.startLog, &QAction::triggered, &s.log(), [this] { m_session.log().start(); });
    connect(a.stopLog, &QAction::triggered, &s.log(), &CommLog::stop);
    connect(a.sendTextFile, &QAction::triggered, this, &QuillanWindow::sendTextFile);
    connect(a.saveScreen, &QAction::triggered, this,
            [this] { m_screenFiles->saveScreen(m_session.screen().text(), versionText()); });
    connect(a.printScreen, &QAction::triggered, this, &QuillanWindow::printScreen);
    connect(a.clearScreen, &QAction::triggered, &s.screen(), &TerminalScreen::clear);
    connect(a.exit, &QAction::triggered, this, &QWidget::close);

    connect(a.portOpen, &QAction::triggered, this, [this] {
        toggleLink();
        m_actions.portOpen->setChecked(m_session.isPortOpen());
    });
    connect(a.properties, &QAction::triggered, this, &QuillanWindow::openProperties);

    connect(a.hexDisplay, &QAction::triggered, this, [this](bool on) {
        m_session.screen().setHexView(on);
        m_actions.hexDisplay->setChecked(m_session.screen().hexView());
    });
    connect(a.pacingGroup, &QActionGroup::triggered, this,
            [this](QAction* chosen) { m_session.setSendPacing(chosen->data().toInt()); });
    connect(a.loopSend, &QAction::triggered, &s, &TerminalSession::setLoopSend);

    connect(a.expertMode, &QAction::toggled, a.modemTune, &QAction::setEnabled);
    connect(a.about, &QAction::triggered, this, &QuillanWindow::showAbout);

    connect(m_cancelWindow, &CancelWindow::cancelClicked, this, &QuillanWindow::cancelPressed);
    connect(m_sendFile.get(), &SendFile::cancelWindowShown, this, &QuillanWindow::presentCancelWindow);
    connect(m_sendFile.get(), &SendFile::cancelWindowHidden, m_cancelWindow, &QWidget::hide);
}

void QuillanWindow::presentCancelWindow(const QString& caption, const QString& text)
{
    m_cancelWindow->move(m_terminal->mapToGlobal(QPoint(0, 0)) +
                         QPoint(twipsToPixels(kCancelWindowOffsetTwips, this),
                                twipsToPixels(kCancelWindowOffsetTwips, this)));
    m_cancelWindow->present(caption, text);
}

void QuillanWindow::connectUpload()
{
    const QuillanActions& a = m_actions;
    ManualUpload* up = m_upload.get();
    for (QAction* start : {a.startButton, a.startProgramming})
        connect(start, &QAction::triggered, up, &ManualUpload::start);
    for (QAction* erase : {a.eraseButton, a.erase})
        connect(erase, &QAction::triggered, up, &ManualUpload::erase);
    connect(a.bulkErase, &QAction::triggered, up, &ManualUpload::bulkErase);
    connect(a.remoteUpload, &QAction::triggered, up, &ManualUpload::remoteUploadMode);
    connect(a.uploadButton, &QAction::triggered, up, &ManualUpload::uploadButton);
    for (QAction* upload : {a.uploadS19, a.fileUploadS19})
        connect(upload, &QAction::triggered, up, &ManualUpload::uploadS19Item);

    for (QAction* autoUpload : {a.autoUploadButton, a.autoUploadItem})
        connect(autoUpload, &QAction::triggered, this, &QuillanWindow::runAutoUpload);
    connect(a.uploadHistory, &QAction::triggered, this, &QuillanWindow::showUploadHistory);
    // Every job goes into the service report; a report that cannot be written is said once
    // on the terminal, and the job's own verdict stands.
    m_auto->setRecorder([this](const UploadJob& job) {
        QString error;
        if (!m_history->append(job, &error))
            m_session.screen().showLine(QStringLiteral("PT:  Upload history not written: ") + error);
        if (m_historyWindow)
            m_historyWindow->reload();
    });
    connect(m_auto.get(), &AutoUpload::cancelWindowShown, this, &QuillanWindow::presentCancelWindow);
    connect(m_auto.get(), &AutoUpload::progress, m_cancelWindow, &CancelWindow::setProgress);
    connect(m_auto.get(), &AutoUpload::cancelWindowHidden, m_cancelWindow, &QWidget::hide);

    S19Transfer& transfer = up->transfer();
    connect(&transfer, &S19Transfer::cancelWindowShown, this, &QuillanWindow::presentCancelWindow);
    connect(&transfer, &S19Transfer::progress, m_cancelWindow, &CancelWindow::setProgress);
    connect(&transfer, &S19Transfer::cancelWindowHidden, m_cancelWindow, &QWidget::hide);
}

void QuillanWindow::runAutoUpload()
{
    if (m_session.isBusy())
        return;
    m_auto->run();
    m_terminal->setFocus();
}

UploadHistoryWindow* QuillanWindow::showUploadHistory()
{
    if (!m_historyWindow)
        m_historyWindow = new UploadHistoryWindow(*m_history, m_session.prompter(), this);
    m_historyWindow->reload();
    m_historyWindow->show();
    m_historyWindow->raise();
    return m_historyWindow;
}

void QuillanWindow::connectModuleMenu()
{
    for (auto it = m_actions.modules.cbegin(); it != m_actions.modules.cend(); ++it) {
        const Module module = it.key();
        connect(it.value(), &QAction::triggered, this, [this, module] {
            m_selection.select(module);
            applyModuleState();
        });
    }
    connect(&m_selection, &ModuleSelection::stateChanged, this, &QuillanWindow::applyModuleState);
    applyModuleState();
}

void QuillanWindow::applyModuleState()
{
    const ModuleSelection::MenuState& st = m_selection.state();
    for (auto it = m_actions.modules.cbegin(); it != m_actions.modules.cend(); ++it)
        it.value()->setChecked(m_selection.isChecked(it.key()));
    m_actions.acuReset->setEnabled(st.acuResetEnabled);
    m_actions.dumpAll->setEnabled(st.acuDumpEnabled && !m_session.isBusy());
    m_actions.dumpLegacy->setEnabled(st.acuDumpEnabled && !m_session.isBusy());
    m_actions.pcuParamDump->setEnabled(st.pcuDumpEnabled && !m_session.isBusy());
    m_actions.startProgramming->setEnabled(st.startItemEnabled && !m_session.isBusy());
    m_actions.erase->setEnabled(st.eraseItemEnabled && !m_session.isBusy());
    m_actions.uploadS19->setEnabled(st.uploadS19ItemEnabled && !m_session.isBusy());
    for (QAction* b : {m_actions.startButton, m_actions.eraseButton, m_actions.uploadButton}) {
        b->setVisible(st.manualButtonsVisible);
        b->setEnabled(st.manualButtonsEnabled && !m_session.isBusy());
    }
    for (QAction* a : {m_actions.autoUploadButton, m_actions.autoUploadItem})
        a->setEnabled(st.autoUploadEnabled && !m_session.isBusy());
    m_strip->setPhonePowerVisible(st.phonePowerVisible);
    m_actions.hexDisplay->setChecked(m_session.screen().hexView());
}

void QuillanWindow::applyTopMargin(int twips)
{
    m_panel->setVisible(twips > TerminalSession::kNormalTopMargin);
    const int wanted = twipsToPixels(twips, this);
    m_top->setFixedHeight(qMax(wanted, m_top->layout()->sizeHint().height()));
}

void QuillanWindow::applyLinkState(bool open)
{
    m_strip->setLinkOpen(open);
    m_actions.portOpen->setChecked(open);
    for (QAction* a : {m_actions.sendGps, m_actions.sendHdg, m_actions.moduleStatus, m_actions.moduleVersion,
                       m_actions.kvmpCommsOn, m_actions.kvmpCommsOff})
        a->setEnabled(open);
    applyModuleState();
}

// While a long sequence runs, the commands that would start another one wait; Cancel,
// the screen and the link controls stay live.
void QuillanWindow::applyBusy(bool busy)
{
    for (QAction* a :
         {m_actions.sendTextFile, m_actions.fileUploadS19, m_actions.properties, m_actions.bulkErase,
          m_actions.remoteUpload, m_actions.parameterUpload, m_actions.factoryDefaults, m_actions.portOpen})
        a->setEnabled(!busy);
    m_strip->setLedLocked(busy);
    for (QAction* a : std::as_const(m_actions.modules))
        a->setEnabled(!busy);
    applyModuleState();
}

void QuillanWindow::applyPacing(int ms)
{
    // A pacing the menu does not offer (the parameter upload's) keeps the old check mark.
    if (QAction* a = m_actions.pacing.value(ms))
        a->setChecked(true);
}

// A sequence owns the link while it runs: closing the port under it would only turn every
// later step into a refused send. Cancel is the way to stop it.
void QuillanWindow::toggleLink()
{
    if (!m_session.isBusy())
        m_session.openOrCloseLink();
}

QAction* QuillanWindow::addSessionTrace(SessionTrace& trace)
{
    // Next to the log items: both record the session to a file.
    const QList<QAction*> items = m_actions.fileMenu->actions();
    const qsizetype after = items.indexOf(m_actions.stopLog);
    QAction* before = after + 1 < items.size() ? items[after + 1] : nullptr;
    return addSessionTraceAction(m_actions.fileMenu, before, trace, m_session.prompter());
}

void QuillanWindow::openProperties()
{
    CommPortDialog dialog(m_session, this);
    dialog.exec();
}

void QuillanWindow::sendTextFile()
{
    m_sendFile->run(m_session.sendPacing());
}

void QuillanWindow::cancelPressed()
{
    m_session.requestCancel();
    m_cancelWindow->hide();
}

void QuillanWindow::printScreen()
{
    m_terminal->flush();
    terminalprint::printWithDialog(this, m_session.captionText(), m_session.screen().text());
}

void QuillanWindow::showAbout()
{
    Prompter::Message m;
    m.title = QStringLiteral("About");
    m.icon = Prompter::Icon::Information;
    m.text = QStringLiteral("Programming Terminal ") + versionText() + QLatin1Char('\r') +
             QLatin1String(kBuildText);
    m_session.prompter().message(m);
}

void QuillanWindow::closeEvent(QCloseEvent* event)
{
    // A sequence still waiting inside a handler stops at its next step instead of
    // running on against a closed link.
    if (m_session.isBusy())
        m_session.requestCancel();
    m_cancelWindow->hide();
    m_session.shutdown();
    event->accept();
}
