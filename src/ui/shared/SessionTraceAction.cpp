#include "SessionTraceAction.h"

#include "SessionTrace.h"

#include <QAction>
#include <QMenu>

QAction* addSessionTraceAction(QMenu* menu, QAction* before, SessionTrace& trace, Prompter& prompter)
{
    auto* action = new QAction(QStringLiteral("Session &Trace..."), menu);
    action->setObjectName(QStringLiteral("mnuSessionTrace"));
    action->setCheckable(true);
    action->setChecked(trace.isActive());
    menu->insertAction(before, action);
    // The check mark is the trace's state, not the click's: a cancelled file dialog or a
    // file that cannot be written leaves it off.
    QObject::connect(action, &QAction::triggered, action, [action, &trace, &prompter] {
        trace.toggle(prompter);
        action->setChecked(trace.isActive());
    });
    QObject::connect(&trace, &SessionTrace::activeChanged, action, &QAction::setChecked);
    return action;
}
