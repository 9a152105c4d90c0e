#pragma once

#include "DataFile.h"

#include <QObject>
#include <QString>

#include <functional>

class GraphTarget;
class Prompter;
class Runtime;

// The data log and the screen capture: the files the operator writes from the graph.
// Both share the program's one data file, and both end with a parameter dump, whose end
// is what closes the file.
class DataLogs : public QObject {
    Q_OBJECT
public:
    static const QString kLogFilter;    // save dialog of "Start Data Log"
    static const QString kScreenFilter; // save dialog of "Save Screen Data"
    static const QString kPortClosed;   // the three-line port-closed message
    static const QString kSaveWhileLogging;
    static const QString kDumpStillWriting;
    static const QString kLoadWhileLogging;

    struct Hooks {
        std::function<bool()> portOpen;
        // Starts the parameter dump on the open file. The dump closes the file when it
        // ends and then reports through dumpEnded(). Unset: the file is closed at once.
        std::function<void(DataFile&)> startDump;
        // A loaded file is being replayed: its lines must not reach a new file.
        std::function<bool()> replaying;
    };

    enum class State { Idle, Logging, Dumping };

    DataLogs(DataFile& file, Prompter& prompter, GraphTarget& graph, Hooks hooks, QObject* parent = nullptr);

    // The dump is usually joined after construction, by the window that owns it.
    void setDumpStarter(std::function<void(DataFile&)> startDump) { m_hooks.startDump = std::move(startDump); }

    State state() const { return m_state; }
    bool isLogging() const { return m_state == State::Logging; }
    // The path of the open data log; empty when none is open.
    const QString& logPath() const { return m_logPath; }

    // `mnuLog` / `cmdLog`: starts a data log with its dialogs, or closes the open one.
    void toggleLog();
    void startLog();
    // Starts a data log on the given path without asking anything (unattended runs).
    // False with the reason in `error` when the file cannot be written.
    bool startLogAt(const QString& path, QString* error);
    // Starts the dump that ends the log; the log is closed when the dump ends.
    void closeLog();
    // `mnuSaveScreen` / `cmdSaveData`.
    void saveScreen();

    // Each capture line the graph composes; written to an open data log with CR LF.
    void appendCaptureLine(const QString& line);

    // The parameter dump on our file has ended and closed it.
    void dumpEnded(bool cancelled);

    // On the way out: an open log gets its dump, waited for up to timeoutMs; a dump
    // that does not end in time leaves the file closed without its end.
    void finishForExit(Runtime& runtime, int timeoutMs);

    // The text of the Notes box, written into every title line.
    const QString& notes() const { return m_notes; }
    void setNotes(const QString& notes) { m_notes = notes; }

    // "Start Data &Log" / "Close Data Log" (menu), "Start Data Log" / "Close Data Log"
    // (capture window).
    QString menuCaption() const;
    QString buttonCaption() const;
    // A refusal text when something else holds the data file; empty when it is free.
    QString busyText() const;
    // Why a file cannot be loaded for replay now; empty when it can.
    QString loadRefusal() const;

Q_SIGNALS:
    void changed();

private:
    QString chooseFile(const QString& filter);
    void beginDump();

    DataFile& m_file;
    Prompter& m_prompter;
    GraphTarget& m_graph;
    Hooks m_hooks;
    State m_state = State::Idle;
    QString m_logPath;
    QString m_notes = QStringLiteral("Notes");
    bool m_writeFailureShown = false;
};
