#include "CaptureBuffer.h"

#include "CaptureLine.h"
#include "NumberFormat.h"
#include "PanelState.h"

namespace {
constexpr int kFoldAt = 1280;
constexpr int kLastColumn = CaptureBuffer::kSlots - 1;
constexpr int kScrolledColumn = 630;

qint16 axisValue(AxisSource source, const PanelSample& s)
{
    switch (source) {
    case AxisSource::CL:
        return s.crossLevel;
    case AxisSource::LV:
        return s.elevation;
    case AxisSource::AZ:
        return s.azimuth;
    }
    return 0;
}

// A number read from a text field becomes a 16-bit trace value. Whatever the text holds,
// an out-of-range value wraps like every other 16-bit quantity of the graph instead of
// stopping the program.
qint16 traceFromNumber(double value)
{
    return numfmt::wrap16(numfmt::roundHalfEven(value));
}

qint16 thirdValue(ThirdTraceSource source, const PanelSample& s)
{
    switch (source) {
    case ThirdTraceSource::AZ:
        return s.azimuth;
    case ThirdTraceSource::REL:
        return s.relativeAzimuth;
    case ThirdTraceSource::RelDiv10:
        return traceFromNumber(s.relativeAzimuth / 10.0);
    case ThirdTraceSource::HDG:
        return s.heading;
    case ThirdTraceSource::HdgPlusRel:
        return numfmt::wrap16(qint64(s.heading) + s.relativeAzimuth);
    case ThirdTraceSource::POL:
        return traceFromNumber(numfmt::leadingNumber(s.polarisationText));
    case ThirdTraceSource::ExtAgc:
        // Volts: the unit reports hundredths.
        return traceFromNumber(numfmt::leadingNumber(s.externalAgcText) / 100.0);
    }
    return 0;
}

int positiveModulo(int value, int modulus)
{
    const int r = value % modulus;
    return r < 0 ? r + modulus : r;
}
} // namespace

int CaptureBuffer::record(GraphMode mode, const PanelSample& sample, const AdmcTraceSources& sources,
                          const QTime& timeOfDay)
{
    const int slot = nextSlot();
    switch (mode) {
    case GraphMode::Admc:
        storeAdmc(slot, sample, sources);
        break;
    case GraphMode::DispIvc:
    case GraphMode::NutaraXy:
        m_traces[0][slot] = sample.DispCL;
        m_traces[1][slot] = sample.DispLV;
        m_traces[2][slot] = sample.DispAZ;
        m_traces[3][slot] = sample.DispPhase;
        break;
    case GraphMode::DispV:
    case GraphMode::DispW:
    case GraphMode::DispTc:
    case GraphMode::Spectrum:
        // The fourth trace is not shown in these modes and keeps what it held.
        m_traces[0][slot] = sample.DispCL;
        m_traces[1][slot] = sample.DispLV;
        m_traces[2][slot] = sample.DispAZ;
        break;
    }
    // Composed in every mode and window size: a slot holding an older sample's line would
    // put that line, with its old time, into a data log or a screen capture.
    m_lines[slot] = capture::composeLine(mode, sample, timeOfDay);
    return slot;
}

void CaptureBuffer::storeAdmc(int slot, const PanelSample& sample, const AdmcTraceSources& sources)
{
    m_traces[0][slot] = axisValue(sources.trace1, sample);
    m_traces[1][slot] = axisValue(sources.trace2, sample);
    m_traces[2][slot] = thirdValue(sources.trace3, sample);
    m_traces[3][slot] = sample.agc;
}

bool CaptureBuffer::advance(GraphMode mode)
{
    ++m_sampleCount;
    bool redraw = false;
    if (m_xPos == kLastColumn) {
        m_xPos = kScrolledColumn;
        redraw = mode == GraphMode::Admc || mode == GraphMode::DispIvc || mode == GraphMode::DispV ||
                 mode == GraphMode::DispW || mode == GraphMode::DispTc;
    } else {
        ++m_xPos;
    }
    if (m_sampleCount == kFoldAt)
        m_sampleCount = kSlots;
    return redraw;
}

void CaptureBuffer::clear()
{
    m_sampleCount = 0;
    m_xPos = 0;
}

std::vector<int> CaptureBuffer::stripReplaySlots() const
{
    std::vector<int> order;
    order.reserve(size_t(m_xPos));
    const int first = positiveModulo(m_sampleCount - m_xPos, kSlots);
    for (int i = 0; i < m_xPos; ++i)
        order.push_back((first + i) % kSlots);
    return order;
}

std::vector<int> CaptureBuffer::xyReplaySlots() const
{
    std::vector<int> order;
    const int n = storedSamples();
    order.reserve(size_t(n));
    for (int slot = 0; slot < n; ++slot)
        order.push_back(slot);
    return order;
}

int CaptureBuffer::storedSamples() const
{
    return m_sampleCount < kSlots ? m_sampleCount : kSlots;
}
