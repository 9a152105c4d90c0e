#pragma once

#include "PanelState.h"
#include "QueryRing.h"
#include "ReplyAssembler.h"

#include <QByteArray>
#include <QString>

#include <functional>

enum class LedState;

// What the front panel does with freshly decoded state. The parser calls it; the panel
// logic implements it. Every member has an empty default so that a build without the
// front panel (or a test) overrides only what it watches.
class PanelView {
public:
    virtual ~PanelView() = default;
    // After each reply that was not a sync error: rewrite the display lines of the
    // current screen from the panel state.
    virtual void refreshPage() {}
    // A good "S" reply was decoded (status labels and LEDs).
    virtual void statusDecoded() {}
    // A "?   S" reply was decoded (Nutara and satellite-reference LEDs).
    virtual void pcuStatusDecoded() {}
    // A System Type ("N") or Polang Type ("P") parameter arrived: tick the bit menus.
    virtual void setCheckSys(int value) {}
    virtual void setCheckPol(int value) {}
};

// Where the parser's results go besides the panel state and the view.
struct ParserHooks {
    // The link LED and status panel 2 (the session points these at DeviceLink).
    std::function<void(LedState)> linkLed;
    std::function<void(const QString&)> statusText;
    // `Pgraph`: the graph engine stores, logs and plots the current sample.
    std::function<void()> plot;
    // `fmtParam`: a parameter dump's reply and its query.
    std::function<void(const QByteArray& reply, const QByteArray& query)> fmtParam;
    // The one-shot command's reply (the diagnostics window's response box).
    std::function<void(const QByteArray& reply)> oneShotReply;
    // A spectrum level was stored at this index of PanelState::spectrum.
    std::function<void(int index)> spectrumPoint;
};

// The receive path of the panel: text in, decoded panel state out. Each chunk is added to
// the assembler; every complete line is then paired with its query from the ring, shape-
// checked, decoded, reported on the link LED and status bar, and followed by a page
// refresh. A failed shape check is reported with the next reply, which also skips one
// ring slot so that one lost reply re-aligns the pairing.
class ReplyParser {
public:
    // Shown as soon as a run of text without CR overflows the assembler.
    static constexpr int kSyncOverflow = 10;

    ReplyParser(PanelState& state, QueryRing& ring);

    void setView(PanelView* view) { m_view = view; }
    ParserHooks& hooks() { return m_hooks; }
    // The graph mode (0 = the position graph): "H" replies plot only in mode 0.
    void setGraphMode(int mode) { m_graphMode = mode; }
    int graphMode() const { return m_graphMode; }

    // One received chunk (or the dump watchdog's stand-in "????" CR); every complete line
    // is processed, in order, before this returns.
    void receive(const QByteArray& chunk);
    // The same in two steps, for a receive path that takes the lines in slices: append
    // adds the chunk (an overflow is shown at once), processNextLine takes the oldest
    // complete line (false when none waits).
    void append(const QByteArray& chunk);
    bool processNextLine();
    bool hasPendingLine() const { return m_assembler.hasLine(); }
    // One reply line (without CR; a ">" prompt is removed here as well).
    void processLine(const QByteArray& line);

    // The code of the last reply's failed check, shown with the next reply (0 = good).
    int syncError() const { return m_syncError; }
    const QByteArray& currentReply() const { return m_current; }
    ReplyAssembler& assembler() { return m_assembler; }
    // The link closed or opened: drop partial text and any pending error report.
    void reset();

    // Decodes one reply into the state by its query. Returns 0 or the sync error code.
    // Plot requests and view calls go through the hooks given (either may be null).
    static int decode(const QByteArray& reply, const QByteArray& query, PanelState& state,
                      PanelView* view = nullptr, const ParserHooks* hooks = nullptr, int graphMode = 0);

private:
    PanelState& m_state;
    QueryRing& m_ring;
    ReplyAssembler m_assembler;
    PanelView* m_view = nullptr;
    ParserHooks m_hooks;
    int m_graphMode = 0;
    void showSyncError();

    int m_syncError = 0;
    bool m_syncShown = false; // the pending error is on show already (an overflow)
    QByteArray m_current;
};
