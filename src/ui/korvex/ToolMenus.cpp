#include "ToolMenus.h"

#include "BurnInWindow.h"
#include "DatagramSocket.h"
#include "DiagWindow.h"
#include "Discovery.h"
#include "FindQvrWindow.h"
#include "GraphEngine.h"
#include "KorvexSession.h"
#include "KorvexTools.h"
#include "LosWindow.h"
#include "MainWindow.h"
#include "N7Window.h"
#include "ScanWindow.h"

#include <QMenuBar>

ToolMenus::ToolMenus(MainWindow& window, KorvexTools& tools, const QString& discoveryAddress)
    : QObject(&window), m_window(window), m_tools(tools), m_socket(std::make_unique<UdpDatagramSocket>())
{
    Prompter& prompter = tools.session().prompter();
    m_discovery =
        std::make_unique<Discovery>(*m_socket, prompter, discoveryAddress, Discovery::kKorvexReceiveError);

    // One Tools menu: the parameter dump's entries may have made it already.
    m_menu = window.menuBar()->findChild<QMenu*>(QStringLiteral("mnuTools"));
    if (m_menu) {
        m_menu->addSeparator();
    } else {
        m_menu = new QMenu(QStringLiteral("&Tools"), &window);
        m_menu->setObjectName(QStringLiteral("mnuTools"));
        // Before Help, which stays last.
        const QList<QAction*> top = window.menuBar()->actions();
        window.menuBar()->insertMenu(top.isEmpty() ? nullptr : top.last(), m_menu);
    }

    m_diag = new DiagWindow(tools.diagnostics(), tools.linkHealth(), tools.session().panelState(), prompter,
                            &window);
    m_scan = new ScanWindow(tools.scan(), prompter, &window);
    m_los = new LosWindow(tools, prompter, &window);
    m_n7 = new N7Window(tools.n7(), prompter, &window);
    m_burn = new BurnInWindow(tools.burnIn(), prompter, &window);
    for (QWidget* w : std::initializer_list<QWidget*>{m_diag, m_scan, m_los, m_n7, m_burn})
        w->setWindowFlag(Qt::Tool);

    addWindow(QStringLiteral("mnuDiag"), QStringLiteral("&Comm Diagnostics"), m_diag, false);
    addWindow(QStringLiteral("mnuLOS"), QStringLiteral("&LOS Pointing"), m_los, true);
    addWindow(QStringLiteral("mnuScan"), QStringLiteral("Pattern &Scan"), m_scan, true);
    QAction* n7 = addWindow(QStringLiteral("mnuN7Par"), QStringLiteral("N7 Parameter Tool"), m_n7, true);
    addWindow(QStringLiteral("mnuBurn"), QStringLiteral("Burn-In Room Excersise"), m_burn, false);
    m_menu->addSeparator();
    m_find = new FindQvrWindow(
        *m_discovery, prompter, QStringLiteral("html\\find_qvr.html"), [this] { m_window.openProperties(); },
        &window);
    QAction* find = m_menu->addAction(QStringLiteral("Find Local and Remote QVRs (UDP Broadcast)"));
    find->setObjectName(QStringLiteral("mnuFindQvr"));
    connect(find, &QAction::triggered, m_find, [this] {
        m_find->show();
        m_find->raise();
    });

    // The N7 entry opens and closes its window; Ctrl+N in the window does the same.
    connect(n7, &QAction::triggered, m_n7, [this](bool on) { m_n7->setVisible(on); });
    connect(m_n7, &N7Window::toggleRequested, n7, &QAction::trigger);

    CommDiagnostics::Hooks& hooks = tools.diagnostics().hooks();
    hooks.showScanWindow = [this] { m_scan->show(); };
    hooks.raiseWindow = [this] {
        m_diag->show();
        m_diag->raise();
    };
    // The torque tests clear the graph and show it in its torque mode.
    GraphEngine& graph = window.graphEngine();
    hooks.clearGraph = [&graph] { graph.clear(); };
    hooks.graphMode = [&graph] { return int(graph.mode()); };
    hooks.setGraphMode = [&graph](int mode) { graph.selectMode(GraphMode(qBound(0, mode, 6))); };
    // On the graph's first expansion the diagnostics window moves to the main window's
    // right edge, where it stays clear of the plot.
    graph.hooks().firstExpansion = [this] {
        const QRect frame = m_window.frameGeometry();
        m_diag->move(frame.left() + frame.width(), m_diag->frameGeometry().top());
    };
}

ToolMenus::~ToolMenus() = default;

QAction* ToolMenus::addWindow(const QString& name, const QString& caption, ToolWindow* window,
                              bool checkedWhileShown)
{
    QAction* a = m_menu->addAction(caption);
    a->setObjectName(name);
    if (checkedWhileShown) {
        a->setCheckable(true);
        connect(window, &ToolWindow::shownChanged, a, &QAction::setChecked);
        if (name != QLatin1String("mnuN7Par"))
            connect(a, &QAction::triggered, window, [window, a] {
                a->setChecked(true);
                window->show();
                window->raise();
            });
    } else {
        connect(a, &QAction::triggered, window, [window] {
            window->show();
            window->raise();
        });
    }
    return a;
}

QAction* ToolMenus::action(const QString& name) const
{
    return m_menu->findChild<QAction*>(name);
}
