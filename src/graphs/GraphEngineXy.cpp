// The X-Y pattern and the centring of the traces.
#include "GraphEngine.h"

#include "GraphCanvas.h"
#include "NumberFormat.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr int kXyScale = 5;
constexpr int kXyLimit = 1000;
constexpr int kXyMoveStep = 10;
constexpr double kTenthsToRadians = 0.0017453;
constexpr double kPi = 3.14159;
constexpr int kPhaseSteps = 32;
constexpr int kPhaseRadius = 40;
} // namespace

void GraphEngine::centerAll()
{
    m_undo = m_centre;
    switch (m_mode) {
    case GraphMode::Admc:
        // Each trace takes its next value as its centre.
        m_centre.fill(0);
        m_redrawPending = true;
        return;
    case GraphMode::DispV:
        m_centre[2] = current().DispAZ;
        break;
    case GraphMode::NutaraXy: {
        // The mean of the stored samples becomes the pattern's origin. With none stored
        // there is no mean and the offsets stay as they are.
        const int n = m_buffer.storedSamples();
        if (n > 0) {
            qint64 sum[3] = {0, 0, 0};
            for (int slot = 0; slot < n; ++slot)
                for (int t = 0; t < 3; ++t)
                    sum[t] += m_buffer.value(t + 1, slot);
            auto mean = [n](qint64 total) {
                return int(numfmt::roundHalfEven(double(total) * kXyScale / n));
            };
            m_offCL = mean(sum[0]);
            m_offLV = mean(sum[1]);
            m_offAZ = mean(sum[2]);
        }
        m_showPhase = true;
        layoutChanged();
        break;
    }
    default:
        m_centre[3] = current().agc;
        break;
    }
    redraw();
}

void GraphEngine::undoCenterAll()
{
    m_centre = m_undo;
    redraw();
}

void GraphEngine::toggleAutoCenter()
{
    m_autoCenter = !m_autoCenter;
    layoutChanged();
    centerAll();
}

void GraphEngine::toggle3AxisScaling()
{
    m_threeAxis = !m_threeAxis;
    layoutChanged();
    redraw();
}

void GraphEngine::toggleShowPhase()
{
    m_showPhase = !m_showPhase;
    layoutChanged();
    redraw();
}

void GraphEngine::moveXy(XyMove move)
{
    switch (move) {
    case XyMove::Up:
        m_offLV -= kXyMoveStep;
        break;
    case XyMove::Down:
        m_offLV += kXyMoveStep;
        break;
    case XyMove::Left:
    case XyMove::Right: {
        const int sign = move == XyMove::Left ? 1 : -1;
        if (m_threeAxis) {
            const double t = theta();
            m_offAZ += sign * int(numfmt::roundHalfEven(kXyMoveStep * std::cos(t)));
            m_offCL += sign * int(numfmt::roundHalfEven(kXyMoveStep * std::sin(t)));
        } else {
            m_offAZ += sign * kXyMoveStep;
        }
        break;
    }
    }
    redraw();
}

double GraphEngine::theta() const
{
    return m_threeAxis ? current().elevation * kTenthsToRadians : 0.0;
}

void GraphEngine::plotXy(GraphCanvas& c, const GraphColors& colors, int slot, double theta)
{
    qint64 a = qint64(m_buffer.value(3, slot)) * kXyScale;
    qint64 b = qint64(m_buffer.value(1, slot)) * kXyScale;
    qint64 v = qint64(m_buffer.value(2, slot)) * kXyScale;
    if (!m_autoCenter) {
        a -= m_offAZ;
        b -= m_offCL;
        v -= m_offLV;
    }
    if (std::llabs(a) >= kXyLimit || std::llabs(b) >= kXyLimit || std::llabs(v) >= kXyLimit)
        return;
    const double x = m_threeAxis ? b * std::sin(theta) + a * std::cos(theta) : double(a);
    c.point(int(numfmt::roundHalfEven(kXyOriginX + x)), int(kXyOriginY - v), colors.trace[3]);
    if (!m_showPhase)
        return;
    const double phi = numfmt::dTan2(x, double(v)) + m_buffer.value(4, slot) * kPi / kPhaseSteps;
    c.point(int(numfmt::roundHalfEven(std::cos(phi) * kPhaseRadius + kXyOriginX)),
            int(numfmt::roundHalfEven(kXyOriginY - std::sin(phi) * kPhaseRadius)), colors.trace[0]);
}

void GraphEngine::drawXyFrame(GraphCanvas& c, const GraphColors& colors)
{
    c.line(0, kXyOriginY, 639, kXyOriginY, colors.home);
    c.line(kXyOriginX, 1, kXyOriginX, 430, colors.home);
    for (int x = 140; x <= 500; x += 45)
        c.line(x, 175, x, 185, colors.home);
    for (int y = 45; y <= 315; y += 45)
        c.line(315, y, 325, y, colors.home);
    if (m_showPhase) {
        c.arc(kXyOriginX, kXyOriginY, 35, 5.78, 0.5, colors.home);
        c.arc(kXyOriginX, kXyOriginY, 45, 5.78, 0.5, colors.home);
    }
    const double t = theta();
    for (int slot : m_buffer.xyReplaySlots())
        plotXy(c, colors, slot, t);
}
