#include "MainWindow.h"

#include "AboutBox.h"
#include "FrontPanel.h"
#include "FrontPanelController.h"
#include "FrontPanelLogic.h"
#include "GraphArea.h"
#include "GraphController.h"
#include "GraphSession.h"
#include "KorvexSession.h"
#include "LampLabel.h"
#include "LedColors.h"
#include "PanelKey.h"
#include "PanelMenus.h"
#include "ParameterTools.h"
#include "Prompter.h"
#include "PropertiesDialog.h"
#include "SessionTraceAction.h"
#include "WaitWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

const QString MainWindow::kTitle = QStringLiteral("QVR Remote Panel");

namespace {
const QString kHelpDocument = QStringLiteral("index.html");

QLabel* statusPanelLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
}
} // namespace

MainWindow::MainWindow(KorvexSession& session, FrontPanelLogic& front, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_front(front)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitle);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->setSpacing(8);
    m_panel = new FrontPanel(central);
    m_graph = new GraphArea(central);
    layout->addWidget(m_panel);
    layout->addWidget(m_graph, 1);
    setCentralWidget(central);

    m_controller = new FrontPanelController(*m_panel, m_front, m_session.link(), this);

    m_wait = new WaitWindow(this);
    buildMenus();
    m_parameterTools = new ParameterTools(m_session, m_dataFile, this);
    m_parameterTools->addToMenus(menuBar());
    buildStatusBar();
    connectSession();
    m_graphSession = std::make_unique<GraphSession>(m_session, &m_front);
    m_graphController = new GraphController(*this, m_graphSession->engine(), m_session.settings().store(),
                                            m_session.prompter());

    for (int a = 1; a <= kAntennaCount; ++a)
        showAntennaProfile(a);
    m_panel->showSelectedAntenna(m_session.link().selectedAntenna());
    m_settingsPanel->setText(m_session.link().settingsText());
    m_statusPanel->setText(m_session.link().statusText());
    m_queryPanel->setText(m_session.queryText());
    setLamp(FrontPanel::kLinkLamp, m_session.link().linkLed());
    m_portOpen->setChecked(m_session.link().portOpen());
    showOptions();
    showBitMenus();
}

// The tools write into the data file, a member, and the graph's controls hold the engine:
// both go first.
MainWindow::~MainWindow()
{
    delete m_parameterTools;
    delete m_graphController;
}

GraphEngine& MainWindow::graphEngine() const
{
    return m_graphSession->engine();
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu = file;
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* port = menuBar()->addMenu(QStringLiteral("Comm &Port"));
    m_portMenu = port;
    m_portOpen = port->addAction(QStringLiteral("Port &Open"));
    m_portOpen->setObjectName(QStringLiteral("mnuPortOpen"));
    m_portOpen->setCheckable(true);
    connect(m_portOpen, &QAction::triggered, this, &MainWindow::onPortOpenTriggered);
    m_properties = port->addAction(QStringLiteral("&Properties"));
    m_properties->setObjectName(QStringLiteral("mnuProperties"));
    connect(m_properties, &QAction::triggered, this, &MainWindow::openProperties);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    auto* modes = new QActionGroup(this);
    m_dvb = options->addAction(QStringLiteral("LBand DVB / SCPC receiver mode"));
    m_dvb->setObjectName(QStringLiteral("mnuDVB"));
    m_mhz70 = options->addAction(QStringLiteral("70 / 140 MHz SCPC receiver mode"));
    m_mhz70->setObjectName(QStringLiteral("mnu70MHz"));
    for (QAction* a : {m_dvb, m_mhz70}) {
        a->setCheckable(true);
        modes->addAction(a);
    }
    connect(m_dvb, &QAction::triggered, this, [this] { m_session.setReceiverMode(ReceiverMode::Dvb); });
    connect(m_mhz70, &QAction::triggered, this, [this] { m_session.setReceiverMode(ReceiverMode::Mhz70); });
    options->addSeparator();

    QMenu* timeout = options->addMenu(QStringLiteral("Reply &Timeout"));
    auto* timeouts = new QActionGroup(this);
    for (int ms : {1000, 2000, 3000}) {
        QAction* a = timeout->addAction(QStringLiteral("%1 ms").arg(ms));
        a->setObjectName(QStringLiteral("mnuTimeout%1").arg(ms));
        a->setCheckable(true);
        timeouts->addAction(a);
        connect(a, &QAction::triggered, this, [this, ms] { m_session.setTimeoutMs(ms); });
        m_timeouts[ms] = a;
    }
    QMenu* pacing = options->addMenu(QStringLiteral("Poll &Rate"));
    auto* pacings = new QActionGroup(this);
    const std::pair<int, const char*> paces[] = {{50, "50 ms    (2 Sec/Div)"},
                                                 {100, "100 ms  (4 Sec/Div)"},
                                                 {200, "200 ms  (8 Sec/Div)"},
                                                 {500, "500 ms  (20 Sec/Div)"}};
    for (const auto& [ms, caption] : paces) {
        QAction* a = pacing->addAction(QString::fromLatin1(caption));
        a->setObjectName(QStringLiteral("mnuPace%1").arg(ms));
        a->setCheckable(true);
        pacings->addAction(a);
        connect(a, &QAction::triggered, this, [this, ms = ms] { m_session.setPacingMs(ms); });
        m_pacings[ms] = a;
    }
    options->addSeparator();
    m_showQuery = options->addAction(QStringLiteral("Show &Query"));
    m_showQuery->setObjectName(QStringLiteral("mnuQuery"));
    m_showQuery->setCheckable(true);
    connect(m_showQuery, &QAction::triggered, this, [this](bool on) { m_session.setShowQuery(on); });

    buildStatusMenus();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* contents = help->addAction(QStringLiteral("&Help"));
    contents->setObjectName(QStringLiteral("mnuHelp"));
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    contents->setShortcutContext(Qt::WindowShortcut);
    connect(contents, &QAction::triggered, this, [this] { m_session.prompter().openUrl(kHelpDocument); });
    QAction* about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this,
            [this] { showKorvexAbout(m_session.prompter(), QCoreApplication::applicationVersion()); });
}

// The flag windows and the two parameters edited bit by bit.
void MainWindow::buildStatusMenus()
{
    QMenu* status = menuBar()->addMenu(QStringLiteral("&Status"));
    status->setObjectName(QStringLiteral("mnuStatus"));
    const std::pair<statusbits::Window, const char*> windows[] = {
        {statusbits::Window::Acu, statusbits::kAcuBitsItem},
        {statusbits::Window::Pcu, statusbits::kPcuBitsItem},
        {statusbits::Window::Error, statusbits::kErrorBitsItem}};
    for (const auto& [kind, caption] : windows) {
        QAction* a = status->addAction(QString::fromLatin1(caption));
        connect(a, &QAction::triggered, this, [this, kind = kind] { m_controller->openBitWindow(kind); });
        m_bitWindows[kind] = a;
    }

    m_systemType = new ParameterBitMenu(statusbits::systemTypeItems(), this);
    m_systemType->setObjectName(QStringLiteral("mnuSystemType"));
    m_polangType = new ParameterBitMenu(statusbits::polangTypeItems(), this);
    m_polangType->setObjectName(QStringLiteral("mnuPolangType"));
    menuBar()->addMenu(m_systemType);
    menuBar()->addMenu(m_polangType);
    connect(m_systemType, &ParameterBitMenu::bitChosen, &m_front, &FrontPanelLogic::flipSystemTypeBit);
    connect(m_polangType, &ParameterBitMenu::bitChosen, &m_front, &FrontPanelLogic::flipPolangTypeBit);
    connect(&m_front, &FrontPanelLogic::bitMenusChanged, this, &MainWindow::showBitMenus);
}

void MainWindow::showBitMenus()
{
    m_systemType->showValue(m_front.systemTypeMenu());
    m_polangType->showValue(m_front.polangTypeMenu());
}

QAction* MainWindow::bitWindowAction(statusbits::Window kind) const
{
    const auto it = m_bitWindows.find(kind);
    return it == m_bitWindows.end() ? nullptr : it->second;
}

void MainWindow::buildStatusBar()
{
    m_settingsPanel = statusPanelLabel(QStringLiteral("sbSettings"), this);
    m_statusPanel = statusPanelLabel(QStringLiteral("sbStatus"), this);
    m_queryPanel = statusPanelLabel(QStringLiteral("sbQuery"), this);
    m_settingsPanel->setMinimumWidth(260);
    m_statusPanel->setMinimumWidth(170);
    statusBar()->addWidget(m_settingsPanel, 3);
    statusBar()->addWidget(m_statusPanel, 2);
    statusBar()->addWidget(m_queryPanel, 3);
    statusBar()->setSizeGripEnabled(true);
}

void MainWindow::connectSession()
{
    DeviceLink& link = m_session.link();
    connect(&link, &DeviceLink::settingsTextChanged, m_settingsPanel, &QLabel::setText);
    connect(&link, &DeviceLink::statusTextChanged, m_statusPanel, &QLabel::setText);
    connect(&link, &DeviceLink::linkLedChanged, this,
            [this](LedState state) { setLamp(FrontPanel::kLinkLamp, state); });
    connect(&link, &DeviceLink::portOpenChanged, m_portOpen, &QAction::setChecked);
    connect(&link, &DeviceLink::selectedAntennaChanged, m_panel, &FrontPanel::showSelectedAntenna);
    connect(&link, &DeviceLink::profileChanged, this, &MainWindow::showAntennaProfile);
    connect(&link, &DeviceLink::waitStarted, m_wait, &WaitWindow::begin);
    connect(&link, &DeviceLink::waitFinished, m_wait, &WaitWindow::end);
    connect(&m_session, &KorvexSession::optionsChanged, this, &MainWindow::showOptions);
    connect(&m_session, &KorvexSession::queryTextChanged, m_queryPanel, &QLabel::setText);
    connect(m_panel, &FrontPanel::antennaClicked, this, &MainWindow::onAntennaClicked);
}

void MainWindow::showAntennaProfile(int antenna)
{
    if (antenna < 1 || antenna > kAntennaCount)
        return;
    const ConnectionProfile& p = m_session.link().profile(antenna);
    PanelKey* key = m_panel->antennaKey(antenna - 1);
    key->setText(p.caption);
    key->setEnabled(p.enabled);
    key->updateGeometry();
}

void MainWindow::showOptions()
{
    m_dvb->setChecked(m_session.receiverMode() == ReceiverMode::Dvb);
    m_mhz70->setChecked(m_session.receiverMode() == ReceiverMode::Mhz70);
    for (auto& [ms, action] : m_timeouts)
        action->setChecked(ms == m_session.timeoutMs());
    for (auto& [ms, action] : m_pacings)
        action->setChecked(ms == m_session.pacingMs());
    m_showQuery->setChecked(m_session.showQuery());
    m_queryPanel->setVisible(m_session.showQuery());
}

void MainWindow::setLamp(int index, LedState state)
{
    if (index < 0 || index >= FrontPanel::kLampCount)
        return;
    m_panel->lamp(index)->led()->setColor(ledColor(state));
}

QAction* MainWindow::receiverModeAction(ReceiverMode mode) const
{
    return mode == ReceiverMode::Dvb ? m_dvb : m_mhz70;
}

QAction* MainWindow::timeoutAction(int ms) const
{
    const auto it = m_timeouts.find(ms);
    return it == m_timeouts.end() ? nullptr : it->second;
}

QAction* MainWindow::pacingAction(int ms) const
{
    const auto it = m_pacings.find(ms);
    return it == m_pacings.end() ? nullptr : it->second;
}

void MainWindow::onPortOpenTriggered()
{
    m_session.link().togglePort();
    // The check mark is the link's state, not the click's.
    m_portOpen->setChecked(m_session.link().portOpen());
}

void MainWindow::onAntennaClicked(int index)
{
    m_session.link().selectAntenna(index);
    // A refused or cancelled switch leaves the previous antenna's key down.
    m_panel->showSelectedAntenna(m_session.link().selectedAntenna());
}

QAction* MainWindow::addSessionTrace(SessionTrace& trace)
{
    m_portMenu->addSeparator();
    return addSessionTraceAction(m_portMenu, nullptr, trace, m_session.prompter());
}

void MainWindow::openProperties()
{
    PropertiesDialog dialog(m_session, this);
    dialog.exec();
}

void MainWindow::fitToScreen()
{
    const QScreen* s = screen();
    const QSize wanted(1040, 690);
    if (!s) {
        resize(wanted);
        return;
    }
    const QRect avail = s->availableGeometry();
    // Leave room for the window frame the platform adds.
    const QSize room(avail.width() - 16, avail.height() - 40);
    resize(wanted.boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room)));
}
