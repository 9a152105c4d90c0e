// What the panel polls, and the parameter set. Each reply is built from the shape the panel
// reads it with.
#include "AcuRows.h"
#include "AcuUnit.h"
#include "ShapedLine.h"

#include <cmath>

using namespace vocab;
using Reply = AcuVocabulary::Reply;
using shaped::decimal;

namespace {

Reply acuStatus(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    const auto flags = unit.acuStatus();
    ShapedLine s(StatusShape::key.key);
    for (int i = 0; i < 4; ++i)
        s.put(StatusShape::byte1 + i, char(flags[i]));
    s.put(StatusShape::agcMarkerOffset, StatusShape::agcMarker);
    s.put(StatusShape::agc, decimal(unit.agc()));
    s.put(StatusShape::extended1, char(unit.extendedByte1()));
    s.put(StatusShape::extended2, char(unit.extendedByte2()));
    return s;
}

Reply position(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    return ShapedLine(PositionShape::key.key)
        .put(PositionShape::elevation, decimal(unit.elevation()))
        .put(PositionShape::azimuth.offset - 1, 'A')
        .put(PositionShape::azimuth, decimal(unit.azimuth()))
        .put(PositionShape::crossLevel.offset - 1, 'C')
        .put(PositionShape::crossLevel, decimal(unit.crossLevel()));
}

} // namespace

namespace acurows {

Reply headingLine(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    return ShapedLine(HeadingShape::key.key)
        .put(HeadingShape::relativeAzimuth, decimal(unit.relativeAzimuth()))
        .put(HeadingShape::heading.offset - 1, 'H')
        .put(HeadingShape::heading, decimal(unit.heading()));
}

// The latitude stands before the longitude's hemisphere letter, which is the key.
Reply gpsLine(const QByteArray&, AcuUnit& unit)
{
    const int lat = unit.latitude();
    const int lon = unit.longitude();
    const KeyWindow& key = lon < 0 ? GpsShape::west : GpsShape::east;
    return ShapedLine(key.key, key.first)
        .put(GpsShape::latHemisphere, lat < 0 ? "S" : "N")
        .put(GpsShape::latitude, decimal(qAbs(lat)))
        .put(GpsShape::longitude, decimal(qAbs(lon)));
}

} // namespace acurows

namespace {

Reply auxiliary(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    return ShapedLine(AuxiliaryShape::key.key)
        .put(AuxiliaryShape::polarisation, decimal(unit.polarisation()))
        .put(AuxiliaryShape::externalAgc.offset - 1, AuxiliaryShape::extendedMarker)
        .put(AuxiliaryShape::externalAgc, decimal(unit.externalAgc()))
        .put(AuxiliaryShape::threshold.offset - 1, 'T')
        .put(AuxiliaryShape::threshold, decimal(unit.threshold()));
}

Reply receiverGroup(const QByteArray&, AcuUnit& unit)
{
    return ShapedLine(ReceiverShape::key.key)
        .put(ReceiverShape::first, decimal(unit.receiver().frequencyMhz()))
        .put(ReceiverShape::second, decimal(unit.receiver().fraction()));
}

Reply signalLevel(const QByteArray&, AcuUnit& unit)
{
    return ShapedLine(LevelShape::key.key).put(LevelShape::level, decimal(unit.level()));
}

// "m" + letter + "999" reads; "m" + letter + digits writes and answers with the value kept.
Reply parameter(const QByteArray& command, AcuUnit& unit)
{
    if (command.size() < 2)
        return command;
    const auto letter = quint8(command[1]);
    const QByteArrayView digits = QByteArrayView(command).sliced(2);
    if (digits != kReadValue) {
        if (const auto value = acurows::parseDigits(digits, 3))
            unit.setParameter(letter, *value);
    }
    return ShapedLine(ParameterShape::key.key)
        .put(1, char(letter))
        .put(ParameterShape::value, decimal(unit.parameter(letter), ParameterShape::value.width));
}

} // namespace

namespace acurows {

void addPanelRows(AcuVocabulary& v)
{
    using Match = AcuVocabulary::Match;
    v.addSingle(kStatus, acuStatus);
    v.addSingle(kPosition, position);
    v.addSingle(kHeading, headingLine);
    v.addSingle(kGps, gpsLine);
    v.addSingle(kAuxiliary, auxiliary);
    v.addSingle(kReceiver, receiverGroup);
    v.addSingle(kLevel, signalLevel);
    v.addSingle(kVersion, [](const QByteArray&, AcuUnit& unit) -> Reply { return unit.acuVersion(); });
    v.addSingle(kTrackingOn, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.setTracking(true);
        return std::nullopt;
    });
    v.addSingle(kTrackingOff, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.setTracking(false);
        return std::nullopt;
    });
    v.addLine(QByteArray(1, kParameter), Match::Prefix, parameter);
}

std::optional<int> parseDigits(QByteArrayView text, int maxDigits)
{
    qsizetype n = 0;
    while (n < text.size() && n < maxDigits && text[n] >= '0' && text[n] <= '9')
        ++n;
    if (n == 0)
        return std::nullopt;
    return text.first(n).toInt();
}

std::optional<int> parseTenths(QByteArrayView text)
{
    const QByteArray t = text.trimmed().toByteArray();
    if (t.isEmpty() || t.size() > 12)
        return std::nullopt;
    bool ok = false;
    if (t.contains('.')) {
        const double degrees = t.toDouble(&ok);
        return ok ? std::optional<int>(int(std::lround(degrees * 10.0))) : std::nullopt;
    }
    const int tenths = t.toInt(&ok);
    return ok ? std::optional<int>(tenths) : std::nullopt;
}

} // namespace acurows
