#pragma once

class Prompter;
class QAction;
class QMenu;
class SessionTrace;

// The menu item that starts and stops the session trace: "Session &Trace...", checked
// while a trace is written. It asks for the file with the save dialog. Inserted before
// `before` (appended when null).
QAction* addSessionTraceAction(QMenu* menu, QAction* before, SessionTrace& trace, Prompter& prompter);
