#pragma once

#include "CaptureBuffer.h"
#include "GraphColors.h"
#include "GraphLayout.h"
#include "GraphMode.h"
#include "PanelState.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class GraphCanvas;

// The strip chart and X-Y plotter of live telemetry. Each completed sample is stored in
// the capture buffer, its capture line handed on, and one column (or one X-Y point) drawn;
// a full redraw happens only when the plot is full, on a mode change or on request. The
// engine also keeps the per-trace centres, the X-Y offsets and checks, the colours, the
// spectrum sweep and what the graph's controls show. It draws on whatever canvas it is
// given and reaches the poll cycle only through its hooks.
class GraphEngine {
public:
    static constexpr int kBaseline[4] = {70, 150, 230, 300};
    static constexpr int kXyOriginX = 320;
    static constexpr int kXyOriginY = 180;
    static constexpr int kSweepStart = 937;
    static constexpr int kSweepStep = 3;
    static constexpr int kSweepPoints = 600;

    // What the engine asks of the rest of the program; each may stay empty.
    struct Hooks {
        // The mode's poll sequence, walked from position 1.
        std::function<void(const QByteArray&)> setPollSequence;
        // Whether a poll sequence is set (a finished sweep empties it).
        std::function<bool()> hasPollSequence;
        // The sweep ended: polling has nothing more to ask.
        std::function<void()> clearPollSequence;
        // The mode changed: the parser plots on "H" only in mode 0, and polling pauses
        // briefly before the new sequence starts.
        std::function<void(GraphMode)> modeChanged;
        // The diagnostics window's "Stop" option goes off: live polling resumes.
        std::function<void()> resumePolling;
        // The panel's values as they are now (Center All, re-selecting the signal trace).
        std::function<PanelSample()> currentSample;
        // The graph was drawn on (the widget repaints) or its controls changed.
        std::function<void()> drawn;
        std::function<void()> layoutChanged;
        // The first expansion after start-up: the diagnostics window moves beside us.
        std::function<void()> firstExpansion;
    };

    GraphEngine();

    Hooks& hooks() { return m_hooks; }
    // Each capture line as the sample's plot composes it (the data log appends it).
    std::function<void(const QString& line)> onCaptureLine;

    // Null: nothing is drawn, the samples are still kept.
    void setCanvas(GraphCanvas* canvas) { m_canvas = canvas; }
    GraphCanvas* canvas() const { return m_canvas; }

    const CaptureBuffer& buffer() const { return m_buffer; }
    GraphMode mode() const { return m_mode; }
    const GraphLayout& layout() const { return m_layout; }
    const GraphColors& colors() const { return m_colors; }
    AdmcTraceSources traceSources() const;

    // One sample, live or replayed: store, compose the line, plot, advance.
    void plot(const PanelSample& sample);
    // Everything again from the buffer (button "Redraw").
    void redraw();
    // Empties the buffer and redraws (button "Clear").
    void clear();
    // The mode list: layout, poll sequence, clear, polling resumed.
    void selectMode(GraphMode mode);
    // A click on trace list 0 to 3 (index: the item now chosen).
    void selectTrace(int list, int index);
    // Double-click on the plot in mode 0: CL, LV, AZ.
    void doubleClickPlot();

    // "Center All" and its right-click undo.
    void centerAll();
    void undoCenterAll();
    std::array<qint16, 4> centres() const { return m_centre; }

    // The X-Y pop-up.
    enum class XyMove { Up, Down, Left, Right };
    void toggleAutoCenter();
    void toggle3AxisScaling();
    void toggleShowPhase();
    void moveXy(XyMove move);
    bool autoCenter() const { return m_autoCenter; }
    bool threeAxisScaling() const { return m_threeAxis; }
    bool showPhase() const { return m_showPhase; }
    // OffCL, OffLV, OffAZ.
    std::array<int, 3> xyOffsets() const { return {m_offCL, m_offLV, m_offAZ}; }

    // Expand/collapse (button cmdGRAPH); "Panel Only" in the View menu does the same.
    void toggleExpanded();
    // Once at start-up, from the measured window frame (twips).
    void setFrameAllowance(int measuredTwips);

    // Colours: a dialog's choice (index 0 Back, 1 Grid, 2 Home, 3..6 T1..T4), the two
    // default sets, and the settings store.
    void setColor(int index, quint32 colour);
    void setColors(const GraphColors& colors);

    // Spectrum sweep. The poll tick asks sweepTick for its command while a sweep runs;
    // sweepIndex is the trace index that command's reply belongs to.
    bool sweepRunning() const { return m_sweepFrequency != 0; }
    int sweepFrequency() const { return m_sweepFrequency; }
    std::optional<QByteArray> sweepTick();
    int sweepIndex() const { return m_sweepIndex; }
    // A level arrived for trace index i: stored and drawn.
    void spectrumPoint(int index, qint16 level);

    // Draws the whole graph on another surface in another set of colours (printing).
    void drawOn(GraphCanvas& canvas, const GraphColors& colors);

private:
    void resetLayout();
    void applyMode(GraphMode mode);
    void startSweep();
    void drawAll(GraphCanvas& c, const GraphColors& colors);
    void drawStrip(GraphCanvas& c, const GraphColors& colors);
    void drawXyFrame(GraphCanvas& c, const GraphColors& colors);
    void drawSpectrum(GraphCanvas& c, const GraphColors& colors);
    void plotColumn(GraphCanvas& c, const GraphColors& colors, int x, int slot);
    void plotXy(GraphCanvas& c, const GraphColors& colors, int slot, double theta);
    bool pollSequenceSet() const;
    PanelSample current() const;
    double theta() const;
    void drawn();
    void layoutChanged();

    Hooks m_hooks;
    GraphCanvas* m_canvas = nullptr;
    CaptureBuffer m_buffer;
    GraphMode m_mode = GraphMode::Admc;
    GraphLayout m_layout = GraphLayout::standard(0);
    GraphColors m_colors = GraphColors::savedDefaults();
    std::array<qint16, 4> m_centre{};
    std::array<qint16, 4> m_undo{};
    bool m_redrawPending = false;
    bool m_ownSequence = true; // without a hasPollSequence hook: our own idea of it
    PanelSample m_last;
    bool m_haveLast = false;
    // X-Y
    int m_offCL = 0, m_offLV = 0, m_offAZ = 0;
    bool m_autoCenter = false, m_threeAxis = false, m_showPhase = false;
    // Spectrum
    int m_sweepFrequency = 0;
    int m_sweepStep = 0;
    int m_sweepIndex = 0;
    int m_spectrumLast = -1; // the highest trace index with a level of the current sweep
    std::array<qint16, PanelState::kSpectrumPoints> m_spectrum{};
    bool m_expandedOnce = false;
};
