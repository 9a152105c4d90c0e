// The set commands of the entry box and the tools: targets, the cross-level drive, heading,
// satellite, receiver, step sizes and the ship's position and heading sentences. Each
// answers one line; a value the unit cannot read is answered by repeating the command, as
// any unknown line is.
#include "AcuRows.h"
#include "AcuUnit.h"
#include "ShapedLine.h"

#include <QList>

#include <cmath>

using namespace vocab;
using Reply = AcuVocabulary::Reply;
using Match = AcuVocabulary::Match;
using shaped::decimal;

namespace {

QByteArrayView argument(const QByteArray& command, qsizetype keyLength = 1)
{
    return QByteArrayView(command).sliced(qMin(keyLength, command.size()));
}

using TenthsAction = void (AcuUnit::*)(int);

// "A", "E", "J": a target in tenths; the answer repeats it in the unit's own form.
AcuVocabulary::Responder target(char key, TenthsAction action)
{
    return [key, action](const QByteArray& command, AcuUnit& unit) -> Reply {
        auto tenths = acurows::parseTenths(argument(command));
        if (!tenths)
            return command;
        if (key != 'E')
            tenths = ((*tenths % 3600) + 3600) % 3600;
        (unit.*action)(*tenths);
        return key + decimal(*tenths);
    };
}

Reply shipHeading(const QByteArray& command, AcuUnit& unit)
{
    const auto tenths = acurows::parseTenths(argument(command));
    if (!tenths)
        return command;
    unit.setHeading(((*tenths % 3600) + 3600) % 3600);
    return acurows::headingLine(command, unit);
}

// "T" + longitude; an "E" in the entry makes it east, otherwise it is west.
Reply satelliteLongitude(const QByteArray& command, AcuUnit& unit)
{
    QByteArray text = argument(command).toByteArray().toUpper();
    const bool east = text.contains('E');
    text.replace('E', "").replace('W', "");
    const auto tenths = acurows::parseTenths(text);
    if (!tenths || *tenths < 0 || *tenths > 1800)
        return command;
    unit.setSatelliteLongitude(east ? *tenths : -*tenths);
    return 'T' + decimal(*tenths) + (east ? 'E' : 'W');
}

// "c" + four digits: tune (or switch band, tone, voltage) and read the level there, which
// is how the panel's spectrum sweep walks the band.
Reply tune(const QByteArray& command, AcuUnit& unit)
{
    const auto value = acurows::parseDigits(argument(command), 4);
    if (!value)
        return command;
    unit.update();
    unit.receiver().applyCommand(*value);
    return ShapedLine(LevelShape::key.key).put(LevelShape::level, decimal(unit.level()));
}

Reply fraction(const QByteArray& command, AcuUnit& unit)
{
    const auto value = acurows::parseDigits(argument(command), 4);
    if (!value)
        return command;
    unit.receiver().setFraction(*value);
    return 'd' + decimal(unit.receiver().fraction());
}

// "I" + four digits: the cross-level torque drive's target, 900 being level ("I1150" tilts
// the axis 25 degrees up, "I0900" brings it back).
Reply crossLevelDrive(const QByteArray& command, AcuUnit& unit)
{
    const auto value = acurows::parseDigits(argument(command), 4);
    if (!value)
        return command;
    unit.setCrossLevelTarget(*value - 900);
    return 'I' + decimal(*value);
}

// "X" / "Y" + four digits: the azimuth and elevation step sizes.
AcuVocabulary::Responder stepSize(char key, quint8 letter)
{
    return [key, letter](const QByteArray& command, AcuUnit& unit) -> Reply {
        const auto value = acurows::parseDigits(argument(command), 4);
        if (!value)
            return command;
        unit.setParameter(letter, *value);
        return key + decimal(unit.parameter(letter));
    };
}

// The pattern scan's other form: a 16-bit binary angle in hexadecimal, 65536 to a turn.
AcuVocabulary::Responder binaryAngle(char key, TenthsAction action)
{
    return [key, action](const QByteArray& command, AcuUnit& unit) -> Reply {
        bool ok = false;
        const QByteArray hex = argument(command).trimmed().toByteArray();
        const int value = hex.toInt(&ok, 16);
        if (!ok || hex.size() > 4)
            return command;
        int tenths = int(std::lround(value * 3600.0 / 65536.0));
        if (key == 'j' && tenths > 1800)
            tenths -= 3600; // elevations below the horizon come as the top of the range
        (unit.*action)(tenths);
        return key + shaped::hex4(value);
    };
}

// "ddmm.mm" (or "dddmm.mm") and its hemisphere letter to degrees, north and east positive.
std::optional<double> nmeaAngle(const QByteArray& value, const QByteArray& hemisphere, char positive,
                                char negative)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || v < 0 || hemisphere.size() != 1 || (hemisphere[0] != positive && hemisphere[0] != negative))
        return std::nullopt;
    const double degrees = std::floor(v / 100.0);
    const double minutes = v - degrees * 100.0;
    if (minutes >= 60.0)
        return std::nullopt;
    const double angle = degrees + minutes / 60.0;
    return hemisphere[0] == negative ? -angle : angle;
}

// "$GPGLL,ddmm.mm,N,dddmm.mm,W[,...]": the ship's position. The answer is the "@" line.
Reply positionSentence(const QByteArray& command, AcuUnit& unit)
{
    const QList<QByteArray> f = command.split(',');
    if (f.size() < 5)
        return command;
    const auto lat = nmeaAngle(f[1], f[2], 'N', 'S');
    const auto lon = nmeaAngle(f[3], f[4], 'E', 'W');
    if (!lat || !lon || *lat > 90.0 || *lon > 180.0 || *lon < -180.0)
        return command;
    unit.setShipPosition(*lat, *lon);
    return acurows::gpsLine(command, unit);
}

// "$HDHDT,hhh.h,T*cc": the ship's true heading; an empty field means no heading.
Reply headingSentence(const QByteArray& command, AcuUnit& unit)
{
    const QList<QByteArray> f = command.split(',');
    if (f.size() < 2)
        return command;
    if (f[1].isEmpty()) {
        unit.setHeadingInvalid();
    } else {
        bool ok = false;
        const double degrees = f[1].toDouble(&ok);
        if (!ok || degrees < 0 || degrees >= 360.0)
            return command;
        unit.setHeading(int(std::lround(degrees * 10.0)) % 3600);
    }
    return acurows::headingLine(command, unit);
}

} // namespace

namespace acurows {

void addSetRows(AcuVocabulary& v)
{
    v.addLine("A", Match::Prefix, target('A', &AcuUnit::setAzimuthTarget));
    v.addLine("E", Match::Prefix, target('E', &AcuUnit::setElevationTarget));
    v.addLine("J", Match::Prefix, target('J', &AcuUnit::setRelativeAzimuthTarget));
    v.addLine("I", Match::Prefix, crossLevelDrive);
    v.addLine("k", Match::Prefix, binaryAngle('k', &AcuUnit::setAzimuthTarget));
    v.addLine("j", Match::Prefix, binaryAngle('j', &AcuUnit::setElevationTarget));
    v.addLine("B", Match::Prefix, shipHeading);
    v.addLine("T", Match::Prefix, satelliteLongitude);
    v.addLine("c", Match::Prefix, tune);
    v.addLine("d", Match::Prefix, fraction);
    v.addLine("X", Match::Prefix, stepSize('X', AcuParameters::kAzStep));
    v.addLine("Y", Match::Prefix, stepSize('Y', AcuParameters::kElStep));
    v.addLine("$GPGLL,", Match::Prefix, positionSentence);
    v.addLine("$HDHDT,", Match::Prefix, headingSentence);
}

} // namespace acurows
