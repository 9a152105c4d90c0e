#include "KorvexTools.h"

#include "FrontPanelLogic.h"
#include "KorvexSession.h"

KorvexTools::KorvexTools(KorvexSession& session, FrontPanelLogic& front, QObject* parent)
    : QObject(parent), m_session(session), m_scan(session), m_diagnostics(session, m_scan), m_health(session),
      m_burnIn(session)
{
    m_scan.attachFrontPanel(front);
    m_diagnostics.hooks().targetLit = [&front] { return front.leds()[StatusLeds::Target].lit; };
}

bool KorvexTools::losRefreshAntenna()
{
    if (losManualEntry)
        return false;
    return los::fillAntennaPosition(losInputs, m_session.panelState());
}

void KorvexTools::losCalculate()
{
    losResult = los::calculate(losInputs);
}

bool KorvexTools::losTargetAntenna()
{
    losCalculate();
    const QByteArray command = los::targetCommand(losResult);
    if (command.isEmpty() || !m_session.link().portOpen())
        return false;
    m_session.pollCycle().setLongCommand(command);
    return true;
}
