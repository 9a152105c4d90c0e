#pragma once

#include <QString>

// What the session needs from the module selection, which lives in the upload layer
// above it. The selection registers itself with the session.
class ModuleSelectorHook {
public:
    virtual ~ModuleSelectorHook() = default;
    // The start-up restore of the stored "Direct" identifier: the window is not shown yet,
    // so the serial settings are neither changed nor saved. Unknown identifiers mean "DATA".
    virtual void restoreModule(const QString& identifier) = 0;
    // Whether the link may be TCP/IP with the current selection.
    virtual bool tcpAllowed() const = 0;
};
