#pragma once

#include "GraphMode.h"

#include <QString>

class DataLogs;
class DeviceLink;
class GraphTarget;
class QObject;

// `korvex --data-log FILE [--graph-mode N] [--replace]`: a data log that starts without
// a dialog as soon as the link is open, for a unit watched overnight.
struct UnattendedLog {
    QString path;
    GraphMode mode = GraphMode::Admc;
    bool replace = false;

    // The mode from its command-line text (0 to 6). False for anything else.
    bool setMode(const QString& text);
    // What stops the run before it starts (an existing file without --replace); empty
    // when it may go ahead.
    QString check() const;
    // Waits for the link's first opening, then selects the mode and starts the log. A
    // file that cannot be written ends the program with status 2 and one line on stderr.
    void arm(DeviceLink& link, GraphTarget& graph, DataLogs& logs) const;

    // SIGTERM and SIGINT end the program normally, so that a log stopped by `kill PID` or
    // Ctrl+C still gets its dump and is closed whole.
    static void quitOnTerminate(QObject* context);
};
