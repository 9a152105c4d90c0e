#pragma once

#include "BurnIn.h"
#include "CommDiagnostics.h"
#include "LineOfSight.h"
#include "LinkHealth.h"
#include "N7Tool.h"
#include "PatternScan.h"

#include <QObject>

class FrontPanelLogic;
class KorvexSession;

// The tool windows' logic of one Korvex session, made together because they lean on each
// other (the azimuth torque test drives the pattern scan, the arrow keys jog through it).
class KorvexTools : public QObject {
    Q_OBJECT
public:
    KorvexTools(KorvexSession& session, FrontPanelLogic& front, QObject* parent = nullptr);

    KorvexSession& session() { return m_session; }
    PatternScan& scan() { return m_scan; }
    CommDiagnostics& diagnostics() { return m_diagnostics; }
    LinkHealth& linkHealth() { return m_health; }
    BurnIn& burnIn() { return m_burnIn; }
    N7Tool& n7() { return m_n7; }

    // Line of sight: the boxes, the manual-entry check box and the last result.
    los::Inputs losInputs;
    bool losManualEntry = false;
    los::Result losResult;
    // Window load and activation: the antenna position from the panel unless entered by
    // hand. True when the boxes changed.
    bool losRefreshAntenna();
    void losCalculate();
    // Calculate, then the two target commands as the long command; false when nothing
    // went (coincident positions or a closed link).
    bool losTargetAntenna();

private:
    KorvexSession& m_session;
    PatternScan m_scan;
    CommDiagnostics m_diagnostics;
    LinkHealth m_health;
    BurnIn m_burnIn;
    N7Tool m_n7;
};
