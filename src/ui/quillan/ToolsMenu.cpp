#include "ToolsMenu.h"

#include "CancelWindow.h"
#include "LineStateStrip.h"
#include "ModuleTools.h"
#include "NavigationSim.h"
#include "ParameterDump.h"
#include "QuillanWindow.h"
#include "SendFile.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QMenu>

ToolsMenu::ToolsMenu(QuillanWindow& window, TerminalSession& session, ModuleSelection& selection)
    : QObject(&window), m_window(window), m_session(session),
      m_dump(std::make_unique<ParameterDump>(session, selection)),
      m_tools(std::make_unique<ModuleTools>(session, selection)), m_nav(std::make_unique<NavigationSim>(session))
{
    connectDumps();
    connectTools();
    connectNavigation();
    connect(&session, &TerminalSession::busyChanged, this, &ToolsMenu::applyBusy);
    applyBusy(session.isBusy());
}

ToolsMenu::~ToolsMenu() = default;

void ToolsMenu::connectDumps()
{
    const QuillanActions& a = m_window.actions();
    ParameterDump* d = m_dump.get();
    connect(a.dumpAll, &QAction::triggered, d, [d] { d->run(ParameterDump::Kind::All); });
    connect(a.dumpLegacy, &QAction::triggered, d, [d] { d->run(ParameterDump::Kind::Legacy); });
    connect(a.pcuParamDump, &QAction::triggered, d, [d] { d->pcuDumpToScreen(); });
    connect(a.parameterUpload, &QAction::triggered, this, [this] {
        m_session.screen().clear();
        m_window.sendFile().run(SendFile::kParameterPacing);
    });

    CancelWindow* w = m_window.cancelWindow();
    connect(d, &ParameterDump::cancelWindowShown, &m_window, &QuillanWindow::presentCancelWindow);
    connect(d, &ParameterDump::progressChanged, w,
            [w](const QString& line, int done, int total) { w->setProgressLine(line, done, total); });
    connect(d, &ParameterDump::cancelWindowHidden, w, &QWidget::hide);
}

void ToolsMenu::connectTools()
{
    const QuillanActions& a = m_window.actions();
    ModuleTools* t = m_tools.get();
    for (auto it = a.tools.cbegin(); it != a.tools.cend(); ++it) {
        const QString caption = it.key();
        it.value()->setEnabled(ModuleTools::tool(caption) != nullptr);
        connect(it.value(), &QAction::triggered, t, [t, caption] { t->runTool(caption); });
    }
    // The upload menu's "ACU Reset" is the same reset as the ACU tool's.
    connect(a.acuReset, &QAction::triggered, t,
            [t] { t->runTool(QStringLiteral("ACU Reset                   (\\0090)")); });
    connect(a.factoryDefaults, &QAction::triggered, t, &ModuleTools::loadFactoryDefaults);
    connect(a.moduleVersion, &QAction::triggered, t, &ModuleTools::moduleVersion);
    connect(a.moduleStatus, &QAction::triggered, t, &ModuleTools::moduleStatus);
    connect(a.kvmpCommsOn, &QAction::triggered, t, &ModuleTools::kvmpCommsOn);
    connect(a.kvmpCommsOff, &QAction::triggered, t, &ModuleTools::kvmpCommsOff);
    connect(a.instructions, &QAction::triggered, t,
            [t] { t->openInstructions(); });
    connect(m_window.lineStates(), &LineStateStrip::dtrClicked, t, &ModuleTools::dtrClicked);
}

void ToolsMenu::connectNavigation()
{
    const QuillanActions& a = m_window.actions();
    NavigationSim* n = m_nav.get();
    connect(a.sendGps, &QAction::triggered, n, &NavigationSim::sendGps);
    connect(a.sendHdg, &QAction::triggered, n, &NavigationSim::sendHdg);
    connect(a.resetHdgRange, &QAction::triggered, n, &NavigationSim::resetHeadingRange);
    connect(a.modemTune, &QAction::triggered, n, &NavigationSim::startModemTune);
    connect(n, &NavigationSim::cancelWindowShown, &m_window, &QuillanWindow::presentCancelWindow);
    connect(n, &NavigationSim::cancelWindowHidden, m_window.cancelWindow(), &QWidget::hide);

    // The options sit with the sentences they change.
    QMenu* menu = qobject_cast<QMenu*>(a.resetHdgRange->parent());
    const QList<QAction*> items = menu ? menu->actions() : QList<QAction*>();
    const qsizetype at = items.indexOf(a.resetHdgRange);
    QAction* before = at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr;
    m_checksums = new QAction(QStringLiteral("NMEA Checksums"), menu);
    m_checksums->setObjectName(QStringLiteral("mnuNmeaChecksums"));
    m_checksums->setCheckable(true);
    m_checksums->setToolTip(QStringLiteral("Send GPS and heading sentences with a real checksum"));
    m_motion = new QAction(QStringLiteral("Ship Course and Speed..."), menu);
    m_motion->setObjectName(QStringLiteral("mnuShipMotion"));
    if (menu) {
        menu->insertAction(before, m_checksums);
        menu->insertAction(before, m_motion);
    }
    connect(m_checksums, &QAction::toggled, n, &NavigationSim::setChecksums);
    connect(m_motion, &QAction::triggered, this, &ToolsMenu::askMotion);
}

bool ToolsMenu::askMotion()
{
    QDialog dialog(&m_window);
    dialog.setObjectName(QStringLiteral("ShipMotionDialog"));
    dialog.setWindowTitle(QStringLiteral("Ship Course and Speed"));
    auto* form = new QFormLayout(&dialog);
    auto* course = new QDoubleSpinBox(&dialog);
    course->setObjectName(QStringLiteral("Course"));
    course->setRange(0, 359.9);
    course->setDecimals(1);
    course->setWrapping(true);
    course->setSuffix(QStringLiteral(" \u00b0"));
    course->setValue(m_nav->course());
    auto* speed = new QDoubleSpinBox(&dialog);
    speed->setObjectName(QStringLiteral("Speed"));
    speed->setRange(0, 60);
    speed->setDecimals(1);
    speed->setSuffix(QStringLiteral(" kn"));
    speed->setValue(m_nav->speed());
    form->addRow(QStringLiteral("Course (true):"), course);
    form->addRow(QStringLiteral("Speed:"), speed);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_nav->setMotion(course->value(), speed->value());
    return true;
}

// A service command sent in the middle of a dump or upload would be answered into that
// sequence's replies; the commands wait until it is done.
void ToolsMenu::applyBusy(bool busy)
{
    const QuillanActions& a = m_window.actions();
    for (auto it = a.tools.cbegin(); it != a.tools.cend(); ++it)
        it.value()->setEnabled(!busy && ModuleTools::tool(it.key()) != nullptr);
    for (QAction* item : {a.sendGps, a.sendHdg, a.moduleVersion, a.moduleStatus, a.kvmpCommsOn, a.kvmpCommsOff})
        item->setEnabled(!busy && m_session.isPortOpen());
}
