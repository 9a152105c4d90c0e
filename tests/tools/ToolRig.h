#pragma once

#include "FrontPanelRig.h"
#include "KorvexTools.h"

// The front panel's rig with the tool windows' logic joined to it.
class ToolRig : public FrontPanelRig {
protected:
    // Start-up, and long enough for the panel to know where the antenna points.
    void startPolling()
    {
        session.start();
        rt.advance(4000);
    }

    // The commands sent after ms whose first byte is one of keys (targets, tools).
    QList<QByteArray> sentStartingWith(const char* keys, qint64 afterMs = 0) const
    {
        QList<QByteArray> out;
        for (const Sent& s : sentAfter(afterMs))
            if (!s.bytes.isEmpty() && QByteArray(keys).contains(s.bytes[0]))
                out << s.bytes;
        return out;
    }

    KorvexTools tools{session, front};
    PatternScan& scan() { return tools.scan(); }
    CommDiagnostics& diag() { return tools.diagnostics(); }
};
