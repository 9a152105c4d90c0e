#include "ParameterTools.h"

#include "DataFile.h"
#include "KorvexSession.h"
#include "ParameterDump.h"
#include "ParameterUpload.h"
#include "ProgressWindow.h"
#include "ToolProgress.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

ParameterTools::ParameterTools(KorvexSession& session, DataFile& file, QWidget* window)
    : QObject(window), m_file(file), m_progress(new ToolProgress(this)),
      m_dump(new ParameterDump(session, *m_progress, this)),
      m_upload(new ParameterUpload(session, *m_progress, this)),
      m_window(new ProgressWindow(*m_progress, window))
{
    m_dump->setBlockedBy([this] { return m_upload->running(); });
    m_upload->setBlockedBy([this] { return m_dump->running(); });
    connect(m_dump, &ParameterDump::runningChanged, this, &ParameterTools::showBusy);
    connect(m_upload, &ParameterUpload::runningChanged, this, &ParameterTools::showBusy);
}

ParameterTools::~ParameterTools() = default;

void ParameterTools::addToMenus(QMenuBar* bar)
{
    QMenu* tools = bar->findChild<QMenu*>(QStringLiteral("mnuTools"));
    if (!tools) {
        tools = new QMenu(QStringLiteral("&Tools"), bar);
        tools->setObjectName(QStringLiteral("mnuTools"));
        QAction* before = nullptr;
        for (QAction* a : bar->actions())
            if (a->text() == QLatin1String("&Help"))
                before = a;
        bar->insertMenu(before, tools);
    }
    m_dumpAction = tools->addAction(QStringLiteral("Parameter Dump (mA999, nA999, [?)"));
    m_dumpAction->setObjectName(QStringLiteral("mnuParamDump"));
    connect(m_dumpAction, &QAction::triggered, this, [this] { m_dump->userCommand(m_file); });
    m_uploadAction = tools->addAction(QStringLiteral("Parameter Upload (Send Param.txt)"));
    m_uploadAction->setObjectName(QStringLiteral("mnuParamUP"));
    connect(m_uploadAction, &QAction::triggered, m_upload, &ParameterUpload::userCommand);
    showBusy();
}

void ParameterTools::showBusy()
{
    const bool busy = m_dump->running() || m_upload->running();
    for (QAction* a : {m_dumpAction, m_uploadAction})
        if (a)
            a->setEnabled(!busy);
}
