#pragma once

#include "PollSequence.h"
#include "QueryRing.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class DeviceLink;
class Runtime;
class RuntimeTimer;

// The activities that take over the poll tick while they run, and the parameter dump's
// use of the reply watchdog. Each is empty until the tool that provides it exists.
struct PollHooks {
    // A tick source returns nothing while its activity is idle; while it runs it owns the
    // tick and returns the command to send (already terminated; empty = send nothing).
    using TickSource = std::function<std::optional<QByteArray>()>;
    TickSource sweepTick;
    TickSource dumpTick;
    TickSource uploadTick;
    // How far a parameter dump has got in its command list (0 when none runs). Past 30,
    // the watchdog's ticks belong to the dump (dumpWatchdogTick) instead of "TimeOut".
    std::function<int()> dumpPosition;
    std::function<void()> dumpWatchdogTick;
};

// The three timers that drive polling, and what each poll tick sends.
//
// Start timer: 1500 ms after start, then 600 ms after every screen or graph-mode change
// (rearmStart); its tick starts the poll timer (or re-checks every second while there
// is nothing to poll or the diagnostics "Stop" option is on).
// Poll timer: one command per tick at the pacing interval, by priority: with "Stop" only
// one-shot commands; else a running sweep, dump or upload; else the one-shot command;
// else a piece of the long command; else the next command of the poll sequence.
// Reply watchdog: "Status: TimeOut" and a cyan link LED whenever no data arrived for one
// timeout interval after a command that expects a reply; the replies still awaited then
// count as lost.
class PollCycle : public QObject {
    Q_OBJECT
public:
    static constexpr int kStartFirstMs = 1500;
    static constexpr int kStartRecheckMs = 1000;
    static constexpr int kStartAfterChangeMs = 600;
    // Long commands shorter than this go one character per tick; up to kLongWholeMin - 1
    // characters they go in pieces of this many; from kLongWholeMin on whole, twice.
    static constexpr int kLongPiece = 7;
    static constexpr int kLongWholeMin = 19;
    // Dump positions up to this still report time-outs; beyond, the dump takes them.
    static constexpr int kDumpWatchdogFrom = 30;

    PollCycle(Runtime& runtime, DeviceLink& link, QueryRing& ring, QObject* parent = nullptr);
    ~PollCycle() override;

    // Program start: the start timer's first tick comes 1500 ms from now.
    void begin();

    // Intervals (menus). A running timer takes the new interval at once.
    void setPacingMs(int ms);
    int pacingMs() const { return m_pacingMs; }
    void setTimeoutMs(int ms);
    int timeoutMs() const { return m_timeoutMs; }
    // The temporary intervals of a parameter dump or upload (80 ms ticks, a 100 ms
    // watchdog), and back to the chosen ones.
    // A screen change or a new pacing while one runs keeps it.
    void setPollIntervalMs(int ms);
    void setWatchdogIntervalMs(int ms);
    // The interval the poll timer runs at: the temporary one while set, else the pacing.
    int pollIntervalMs() const { return m_pollOverrideMs > 0 ? m_pollOverrideMs : m_pacingMs; }
    void restoreIntervals();

    // The current screen's or graph mode's sequence; the walk starts at position 1.
    void setPollSequence(const QByteArray& text);
    const PollSequence& pollSequence() const { return m_sequence; }
    // A screen or graph-mode change: polling stops and starts again after ms.
    void rearmStart(int ms = kStartAfterChangeMs);

    // The communication diagnostics window's "Stop" option: only one-shot commands go.
    void setStopOption(bool on);
    bool stopOption() const { return m_stop; }

    // The one-shot command (a multi-character one already ends in CR LF); its reply goes
    // to the diagnostics window. At most one is pending; a new one replaces it.
    void setOneShot(const QByteArray& command) { m_oneShot = command; }
    const QByteArray& oneShot() const { return m_oneShot; }
    // The long command of panel actions (tracking, Nutara, error reset, targets).
    void setLongCommand(const QByteArray& command);
    const QByteArray& longCommand() const { return m_long; }

    PollHooks& hooks() { return m_hooks; }

    // The link closed: start timer and watchdog stop, and so does polling; pending
    // one-shot and long commands are dropped.
    void linkClosed();
    // Every received chunk restarts the watchdog (before it is assembled).
    void restartWatchdog();

    // The handlers of the three timers, public so that a test or a tool can step them.
    void pollTick();
    void startTick();
    void watchdogTick();

    bool polling() const;
    bool startArmed() const;
    bool watchdogArmed() const;
    int startIntervalMs() const;
    int watchdogIntervalMs() const;
    // "1" once the start timer has ticked for the first time.
    const QString& startTag() const;

Q_SIGNALS:
    // Status panel 3: "Query: " + the sequence, each time the walk is at its start.
    void queryTextChanged(const QString& text);
    // The start timer's first tick: the seven status LEDs take their idle look.
    void statusLedsIdle();
    // A command went out through CommOut (after the ring was updated); a refused send
    // is not reported.
    void commandSent(const QByteArray& command);
    // The "Stop" option changed (the diagnostics window shows it; closing the link sets it).
    void stopOptionChanged(bool on);
    // A watchdog tick reported "Status: TimeOut" (every one, also when the text stays).
    void replyTimedOut();

private:
    std::optional<QByteArray> takeToolTick();
    QByteArray takeOneShot();
    QByteArray takeLongPiece();
    QByteArray takeSequenceCommand();
    QList<QByteArray> takeCompletedLines();
    void dispatch(const QByteArray& command, const QList<QByteArray>& lines, bool oneShot);
    void record(const QByteArray& line, bool oneShot);
    void enableWatchdog();

    Runtime& m_rt;
    DeviceLink& m_link;
    QueryRing& m_ring;
    PollHooks m_hooks;
    std::unique_ptr<RuntimeTimer> m_start;
    std::unique_ptr<RuntimeTimer> m_poll;
    std::unique_ptr<RuntimeTimer> m_watchdog;
    PollSequence m_sequence;
    int m_pacingMs = 200;
    int m_pollOverrideMs = 0; // 0: none
    int m_timeoutMs = 3000;
    bool m_stop = false;
    QByteArray m_oneShot;
    QByteArray m_long;
    // What of the long command has gone out and is not yet a whole command line.
    QByteArray m_longSent;
    bool m_longRepeat = false; // a 19+ command has gone once and goes once more
};
