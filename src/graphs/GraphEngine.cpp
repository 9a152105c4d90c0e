#include "GraphEngine.h"

#include "GraphCanvas.h"
#include "NumberFormat.h"

namespace {
constexpr int kGridRight = 639;
constexpr int kGridBottom = 480;
constexpr int kGridStep = 10;
constexpr int kSpectrumBaseline = 240;

const char* const kPollSequence[] = {
    "SPHuSPHqSPH@SPH!?   S",
    "!?   x!?   xS!?   x!?   xP!?   x!?   xH!?   x!?   x@!?   x!?   xu!?   x!?   x!?   S",
    "S!?   v!?   vH!?   vu!?   vP!?   S!?   v",
    "S!?   wP!?   wH!?   wu!?   w!?   S!?   w",
    "S!?   yP!?   yH!?   yu!?   y!?   S!?   y",
    nullptr, // the spectrum sweep owns the poll tick
    "!?   x!?   xS!?   x!?   xP!?   x!?   xH!?   x!?   x@!?   x!?   x!?   x!?   xu!?   S",
};

// A plot row from a 16-bit centre, a baseline and a 16-bit value: whatever the values,
// the result wraps like the 16-bit quantities it comes from instead of stopping the
// program; a row far off the plot is simply not seen.
int row(qint16 centre, int baseline, qint16 value)
{
    return numfmt::wrap16(qint64(centre) + baseline - value);
}
} // namespace

GraphEngine::GraphEngine() = default;

AdmcTraceSources GraphEngine::traceSources() const
{
    return {AxisSource(m_layout.lists[0].index), AxisSource(m_layout.lists[1].index),
            ThirdTraceSource(m_layout.lists[2].index)};
}

void GraphEngine::plot(const PanelSample& sample)
{
    // The sweep's points own the sample count while it runs: a sensor reply still on its
    // way when the spectrum was chosen would shift every later point off the sweep's
    // steps, and the trace would never be drawn.
    if (sweepRunning())
        return;
    m_last = sample;
    m_haveLast = true;
    const int x = m_buffer.xPos();
    const int slot = m_buffer.record(m_mode, sample, traceSources(), sample.timeOfDay);
    if (m_mode == GraphMode::Admc) {
        // A trace without a centre takes its first value as one.
        for (int t = 0; t < 4; ++t)
            if (m_centre[size_t(t)] == 0)
                m_centre[size_t(t)] = m_buffer.value(t + 1, slot);
    }
    // A change of centres or sources waits for the next sample so that it is drawn with
    // the values it depends on.
    if (m_redrawPending) {
        m_redrawPending = false;
        redraw();
    }
    if (onCaptureLine)
        onCaptureLine(m_buffer.line(slot));
    if (m_canvas) {
        if (m_mode == GraphMode::NutaraXy)
            plotXy(*m_canvas, m_colors, slot, theta());
        else
            plotColumn(*m_canvas, m_colors, x, slot);
    }
    if (m_buffer.advance(m_mode))
        redraw();
    drawn();
}

void GraphEngine::plotColumn(GraphCanvas& c, const GraphColors& colors, int x, int slot)
{
    for (int t = 0; t < 3; ++t)
        c.point(x, row(m_centre[size_t(t)], kBaseline[t], m_buffer.value(t + 1, slot)), colors.trace[t]);
    // The signal trace has no baseline of its own on screen unless its list is shown.
    if (m_layout.lists[3].visible)
        c.point(x, row(m_centre[3], kBaseline[3], m_buffer.value(4, slot)), colors.trace[3]);
}

void GraphEngine::redraw()
{
    if (m_canvas) {
        drawAll(*m_canvas, m_colors);
        drawn();
    }
}

void GraphEngine::drawOn(GraphCanvas& canvas, const GraphColors& colors)
{
    drawAll(canvas, colors);
}

void GraphEngine::drawAll(GraphCanvas& c, const GraphColors& colors)
{
    c.clear(colors.back);
    for (int x = 0; x <= kGridRight + 1; x += kGridStep)
        c.line(x, 1, x, kGridBottom, colors.grid);
    for (int y = 0; y <= kGridBottom; y += kGridStep)
        c.line(0, y, kGridRight, y, colors.grid);
    if (m_mode == GraphMode::NutaraXy)
        drawXyFrame(c, colors);
    else if (pollSequenceSet() && !sweepRunning())
        drawStrip(c, colors);
    else
        drawSpectrum(c, colors);
}

void GraphEngine::drawStrip(GraphCanvas& c, const GraphColors& colors)
{
    const int homes = m_layout.lists[3].visible ? 4 : 3;
    for (int t = 0; t < homes; ++t)
        c.line(0, kBaseline[t], kGridRight, kBaseline[t], colors.home);
    const std::vector<int> order = m_buffer.stripReplaySlots();
    for (size_t i = 0; i < order.size(); ++i)
        plotColumn(c, colors, int(i), order[i]);
}

void GraphEngine::drawSpectrum(GraphCanvas& c, const GraphColors& colors)
{
    // Only between points whose level has arrived: a segment to a point not yet swept
    // would be a spike to the baseline that the unit never reported.
    for (int i = 0; i + kSweepStep <= m_spectrumLast; i += kSweepStep)
        c.line(i, row(m_centre[3], kSpectrumBaseline, m_spectrum[size_t(i)]), i + kSweepStep,
               row(m_centre[3], kSpectrumBaseline, m_spectrum[size_t(i + kSweepStep)]), colors.trace[3]);
}

void GraphEngine::clear()
{
    // A running sweep starts over from the frequency of its first point.
    if (sweepRunning())
        m_sweepFrequency -= m_buffer.sampleCount();
    m_buffer.clear();
    m_spectrumLast = -1;
    redraw();
}

void GraphEngine::resetLayout()
{
    m_layout = GraphLayout::standard(m_layout.frameAllowanceTwips);
    m_sweepFrequency = 0;
    m_centre[0] = m_centre[1] = m_centre[2] = 0;
    m_redrawPending = true;
}

void GraphEngine::selectMode(GraphMode mode)
{
    m_layout.panelOnly = false;
    resetLayout();
    m_mode = mode;
    applyMode(mode);
    if (const char* sequence = kPollSequence[int(mode)]) {
        m_ownSequence = true;
        if (m_hooks.setPollSequence)
            m_hooks.setPollSequence(QByteArray(sequence));
    }
    if (m_hooks.modeChanged)
        m_hooks.modeChanged(mode);
    if (mode == GraphMode::Spectrum)
        startSweep();
    clear();
    if (m_hooks.resumePolling)
        m_hooks.resumePolling();
    m_redrawPending = true;
    layoutChanged();
}

void GraphEngine::applyMode(GraphMode mode)
{
    GraphLayout& l = m_layout;
    l.modeChecked[size_t(mode)] = true;
    auto scales = [&l](int first, int last, const QString& caption) {
        for (int i = first; i <= last; ++i)
            l.scales[size_t(i)].caption = caption;
    };
    switch (mode) {
    case GraphMode::Admc:
        l.lists[0] = {1, true, true}; // LV
        l.lists[1] = {2, true, true}; // AZ
        l.lists[2] = {1, true, true}; // REL
        l.lists[3] = {0, true, true}; // SIGNAL
        l.legendVisible[3] = true;
        l.scales[3].visible = true;
        l.plotToolTip = graphtext::kDoubleClickToolTip;
        break;
    case GraphMode::DispIvc:
        scales(0, 2, QStringLiteral("0.05 Deg /Div"));
        break;
    case GraphMode::DispV:
        l.scales[2].caption = QStringLiteral("5 Deg /Div ");
        break;
    case GraphMode::DispW:
        scales(0, 1, QStringLiteral("2 Deg /Sec /Div"));
        l.scales[2].caption = QStringLiteral("2 Deg /Sec /Div ");
        break;
    case GraphMode::DispTc:
        scales(0, 2, QStringLiteral("0.195 Amp /Div"));
        break;
    case GraphMode::Spectrum:
        for (int i = 0; i < 3; ++i) {
            l.lists[size_t(i)].visible = false;
            l.legendVisible[size_t(i)] = false;
            l.scales[size_t(i)].visible = false;
        }
        l.lists[3] = {0, true, true};
        l.legendVisible[3] = true;
        l.scales[3].visible = true;
        break;
    case GraphMode::NutaraXy:
        m_showPhase = false;
        l.lists[0].visible = false;
        l.legendVisible[0] = l.legendVisible[1] = l.legendVisible[2] = false;
        l.scales[0].visible = false;
        scales(1, 2, QStringLiteral("0.011 Deg /Div\n0.05 Deg Tic Marks"));
        m_offCL = m_offLV = m_offAZ = 0;
        break;
    }
    l.lists[3].enabled = true;
}

void GraphEngine::selectTrace(int list, int index)
{
    if (list < 0 || list > 3)
        return;
    const int items = int(graphtext::traceListItems(list).size());
    m_layout.lists[size_t(list)].index = qBound(0, index, items - 1);
    if (list < 2) {
        m_centre[size_t(list)] = 0;
    } else if (list == 2) {
        m_centre[2] = 0;
        const int chosen = m_layout.lists[2].index;
        m_layout.scales[2].caption =
            chosen == int(ThirdTraceSource::RelDiv10) ? QStringLiteral("10 Deg / Div")
            : chosen == int(ThirdTraceSource::ExtAgc) ? QStringLiteral("2 Volts / Div")
                                                      : QStringLiteral("1 Deg / Div");
    } else {
        m_centre[3] = current().agc;
        redraw();
    }
    m_redrawPending = true;
    layoutChanged();
}

void GraphEngine::doubleClickPlot()
{
    if (m_mode != GraphMode::Admc)
        return;
    selectTrace(0, int(AxisSource::CL));
    selectTrace(1, int(AxisSource::LV));
    selectTrace(2, int(ThirdTraceSource::AZ));
    clear();
    m_layout.plotToolTip.clear();
    layoutChanged();
}

void GraphEngine::toggleExpanded()
{
    GraphLayout& l = m_layout;
    if (l.expanded) {
        l.expanded = false;
        l.heightTwips = l.collapsedHeight();
        l.statusBarVisible = false;
        l.panelOnly = true;
        l.modeChecked.fill(false);
    } else {
        l.expanded = true;
        l.heightTwips = l.expandedHeight();
        l.statusBarVisible = true;
        l.panelOnly = false;
        l.modeChecked[size_t(m_mode)] = true;
        if (!m_expandedOnce) {
            m_expandedOnce = true;
            if (m_hooks.firstExpansion)
                m_hooks.firstExpansion();
        }
    }
    layoutChanged();
}

void GraphEngine::setFrameAllowance(int measuredTwips)
{
    m_layout.frameAllowanceTwips = frameAllowance(measuredTwips);
    m_layout.heightTwips = m_layout.expanded ? m_layout.expandedHeight() : m_layout.collapsedHeight();
    layoutChanged();
}

void GraphEngine::setColor(int index, quint32 colour)
{
    switch (index) {
    case 0:
        m_colors.back = colour;
        break;
    case 1:
        m_colors.grid = colour;
        break;
    case 2:
        m_colors.home = colour;
        break;
    default:
        if (index < 3 || index > 6)
            return;
        m_colors.trace[index - 3] = colour;
    }
    redraw();
    layoutChanged();
}

void GraphEngine::setColors(const GraphColors& colors)
{
    m_colors = colors;
    redraw();
    layoutChanged();
}

// Spectrum sweep ----------------------------------------------------------------------

void GraphEngine::startSweep()
{
    m_sweepFrequency = kSweepStart;
    m_sweepStep = kSweepStep;
    m_buffer.clear();
    m_spectrumLast = -1;
    m_sweepIndex = 0;
    if (pollSequenceSet()) {
        redraw();
    } else {
        // A finished sweep left the poll cycle nothing to ask, and with nothing to ask it
        // would never start the poll timer whose ticks the sweep takes. Any sequence will
        // do: the sweep owns every tick until it empties it again.
        m_ownSequence = true;
        if (m_hooks.setPollSequence)
            m_hooks.setPollSequence(QByteArray(kPollSequence[int(GraphMode::Admc)]));
    }
}

std::optional<QByteArray> GraphEngine::sweepTick()
{
    if (!sweepRunning())
        return std::nullopt;
    m_sweepIndex = m_buffer.sampleCount();
    QByteArray command = 'c' + numfmt::afmtINT4(m_sweepFrequency).toLatin1() + "\r\n";
    m_sweepFrequency += m_sweepStep;
    m_buffer.countSweepPoints(m_sweepStep);
    if (m_buffer.sampleCount() >= kSweepPoints) {
        m_sweepFrequency = 0;
        m_ownSequence = false;
        if (m_hooks.clearPollSequence)
            m_hooks.clearPollSequence();
    }
    return command;
}

void GraphEngine::spectrumPoint(int index, qint16 level)
{
    if (index < 0 || index >= PanelState::kSpectrumPoints)
        return;
    m_spectrum[size_t(index)] = level;
    // A level read by another command (the satellite page's "c") is no point of the sweep.
    if (index % kSweepStep != 0)
        return;
    m_spectrumLast = qMax(m_spectrumLast, index);
    if (m_mode != GraphMode::Spectrum || !m_canvas || index < kSweepStep)
        return;
    const int from = index - kSweepStep;
    m_canvas->line(from, row(m_centre[3], kSpectrumBaseline, m_spectrum[size_t(from)]), index,
                   row(m_centre[3], kSpectrumBaseline, level), m_colors.trace[3]);
    drawn();
}

// Helpers -----------------------------------------------------------------------------

bool GraphEngine::pollSequenceSet() const
{
    return m_hooks.hasPollSequence ? m_hooks.hasPollSequence() : m_ownSequence;
}

PanelSample GraphEngine::current() const
{
    return m_hooks.currentSample ? m_hooks.currentSample() : m_last;
}

void GraphEngine::drawn()
{
    if (m_hooks.drawn)
        m_hooks.drawn();
}

void GraphEngine::layoutChanged()
{
    if (m_hooks.layoutChanged)
        m_hooks.layoutChanged();
}
