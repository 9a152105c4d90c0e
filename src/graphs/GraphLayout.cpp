#include "GraphLayout.h"

namespace graphtext {

namespace {
struct ModeTexts {
    const char* list;
    const char* menu;
    const char* toolTip;
};
const ModeTexts kModes[] = {
    {"ADMC   (Position)", "ADMC      Graph", "Az, El, Rel, AGC Diagnostic Display"},
    {"DispIVC (LoopError)", "Disp IVC  Graph", "Servo Loop Error Display"},
    {"Disp V   (Ref)", "Disp v      Graph", "Reference Sensor Display"},
    {"Disp W  (Rate)", "Disp w     Graph", "Rate Sensor Display"},
    {"Disp TC (Drive)", "Disp TC   Graph", "Torque Command Display"},
    {"Spectrum", "Spectrum Analyzer", "Spectrum Analyzer Display"},
    {"Nutara XY", "X-Y Nutara Graph", "Nutara X-Y pattern display"},
};
} // namespace

const QString kTraceListToolTip = QStringLiteral("Re-Select to Center Trace");
const QString kCenterAllToolTip = QStringLiteral("Right click to undo last Center All operation");
const QString kDoubleClickToolTip = QStringLiteral("Double Click to change format to CL, LV, AZ");
const QString kExpandToolTip = QStringLiteral("Expand Graph");
const QString kCollapseToolTip = QStringLiteral("Collapse Graph");

QString modeListText(GraphMode mode)
{
    return QString::fromLatin1(kModes[int(mode)].list);
}

QString modeMenuText(GraphMode mode)
{
    return QString::fromLatin1(kModes[int(mode)].menu);
}

QString modeToolTip(GraphMode mode)
{
    return QString::fromLatin1(kModes[int(mode)].toolTip);
}

QStringList traceListItems(int list)
{
    switch (list) {
    case 0:
    case 1:
        return {QStringLiteral("CL"), QStringLiteral("LV"), QStringLiteral("AZ")};
    case 2:
        return {QStringLiteral("AZ"),     QStringLiteral("REL"),     QStringLiteral("REL/10"),
                QStringLiteral("HDG"),    QStringLiteral("HDG+REL"), QStringLiteral("POL"),
                QStringLiteral("Ext AGC")};
    default:
        return {QStringLiteral("SIGNAL")};
    }
}

} // namespace graphtext

QString GraphLayout::expandToolTip() const
{
    return expanded ? graphtext::kCollapseToolTip : graphtext::kExpandToolTip;
}

GraphLayout GraphLayout::standard(int frameAllowanceTwips)
{
    GraphLayout l;
    l.frameAllowanceTwips = frameAllowanceTwips;
    l.expanded = true;
    l.statusBarVisible = true;
    l.heightTwips = l.expandedHeight();
    l.modeChecked.fill(false);
    // CL, LV and AZ; the third list holds AZ first.
    l.lists = {TraceList{0, true, false}, TraceList{1, true, false}, TraceList{0, true, false},
               TraceList{0, false, false}};
    l.legendVisible = {true, true, true, false};
    const QString oneDegree = QStringLiteral("1 Deg /Div");
    l.scales = {Scale{oneDegree, true}, Scale{oneDegree, true}, Scale{oneDegree, true},
                Scale{QStringLiteral("~1 dB /Div"), false}};
    l.plotToolTip.clear();
    return l;
}

int frameAllowance(int m)
{
    if (m <= 0)
        return 0;
    if (m < 270)
        return m;
    if (m <= 330)
        return m - 270;
    if (m <= 500)
        return m - 290;
    return m - 315;
}
