#include "PanelFrames.h"

#include "AcuUnit.h"

namespace {

QByteArray fixed(const QByteArray& text, int width)
{
    return text.left(width).leftJustified(width, ' ');
}

QByteArray degrees(int tenths, int width)
{
    return QByteArray::number(tenths / 10.0, 'f', 1).rightJustified(width, ' ');
}

const char* phaseText(AcuUnit::Phase phase)
{
    switch (phase) {
    case AcuUnit::Phase::Initializing:
        return "INITIALIZING";
    case AcuUnit::Phase::Searching:
        return "SEARCHING";
    case AcuUnit::Phase::Tracking:
        return "TRACKING";
    case AcuUnit::Phase::Blocked:
        return "BLOCKED";
    case AcuUnit::Phase::Targeting:
        return "TARGET";
    case AcuUnit::Phase::Unwrapping:
        return "UNWRAP";
    case AcuUnit::Phase::Idle:
        break;
    }
    return "STANDBY";
}

} // namespace

QByteArray PanelFrame::encode() const
{
    QByteArray out;
    out += '\x01' + fixed(line1, kLineWidth) + "\r\n";
    out += '\x02' + fixed(line2, kLineWidth) + "\r\n";
    out += '\x03' + fixed(bargraph, 2);
    out += '\x04' + fixed(brightness, 4);
    out += '\x05';
    out += '\x06';
    out += char('@' | (flags & (kUnwrap | kTracking)));
    return out;
}

QByteArray PanelFrame::statusLine(const AcuUnit& unit)
{
    return "PCU AZ" + degrees(unit.azimuth(), 6) + " EL" + degrees(unit.elevation(), 5) + " AGC " +
           QByteArray::number(unit.agc()).rightJustified(3, '0') + ' ' + phaseText(unit.phase());
}

PanelFrame PanelFrame::of(const AcuUnit& unit)
{
    PanelFrame f;
    f.line1 = "AZ" + degrees(unit.azimuth(), 6) + "  EL" + degrees(unit.elevation(), 5);
    f.line2 = "AGC " + QByteArray::number(unit.agc()).rightJustified(3, '0') + ' ' + phaseText(unit.phase());
    // Sixteen segments over the AGC's range.
    f.bargraph = QByteArray::number(qBound(0, unit.agc() * 16 / 1000, 16)).rightJustified(2, '0');
    if (unit.phase() == AcuUnit::Phase::Unwrapping)
        f.flags |= kUnwrap;
    if (unit.trackingEnabled() &&
        (unit.phase() == AcuUnit::Phase::Tracking || unit.phase() == AcuUnit::Phase::Blocked))
        f.flags |= kTracking;
    return f;
}
