#pragma once

#include "GraphMode.h"

#include <QString>
#include <QStringList>

#include <array>

// What the graph's controls show, as the engine decides it: the widgets copy this and
// send every click back to the engine.
namespace graphtext {
// Texts of the mode list, the View menu entries and the mode list's tool tip, per mode.
QString modeListText(GraphMode mode);
QString modeMenuText(GraphMode mode);
QString modeToolTip(GraphMode mode);
// The items of trace list 0 to 3.
QStringList traceListItems(int list);

extern const QString kTraceListToolTip;   // "Re-Select to Center Trace"
extern const QString kCenterAllToolTip;   // "Right click to undo last Center All operation"
extern const QString kDoubleClickToolTip; // "Double Click to change format to CL, LV, AZ"
extern const QString kExpandToolTip;      // "Expand Graph"
extern const QString kCollapseToolTip;    // "Collapse Graph"
} // namespace graphtext

struct GraphLayout {
    // Window heights in twips before the frame allowance.
    static constexpr int kCollapsedTwips = 2580;
    static constexpr int kExpandedTwips = 8910;
    // A window at least this tall shows the graph; the expand button collapses it.
    static constexpr int kGraphShownTwips = 3000;

    struct TraceList {
        int index = 0; // the item shown
        bool visible = true;
        bool enabled = false;
    };
    struct Scale {
        QString caption;
        bool visible = true;
    };

    std::array<bool, 7> modeChecked{};
    bool panelOnly = false;
    std::array<TraceList, 4> lists{};    // Combo1(0) to Combo1(3)
    std::array<bool, 4> legendVisible{}; // Line1(0) to Line1(3)
    std::array<Scale, 4> scales{};       // Label2(1) to Label2(4)
    QString plotToolTip;
    bool expanded = true;
    bool statusBarVisible = true;
    int heightTwips = kExpandedTwips;
    // Added to both heights once at start-up for the window frame.
    int frameAllowanceTwips = 0;

    int collapsedHeight() const { return kCollapsedTwips + frameAllowanceTwips; }
    int expandedHeight() const { return kExpandedTwips + frameAllowanceTwips; }
    QString expandToolTip() const;

    // The layout every mode selection starts from.
    static GraphLayout standard(int frameAllowanceTwips);
};

// The start-up allowance for the window frame, from a measurement of it in twips: the
// frame the window was designed with is taken off in steps, and a measurement that is
// not positive gives none.
int frameAllowance(int measuredTwips);
