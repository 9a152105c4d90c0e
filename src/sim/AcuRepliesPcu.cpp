// The PCU behind the ACU: its pass-through queries ("?" + three blanks + a letter) and its
// mode commands ("^" + four digits).
#include "AcuRows.h"
#include "AcuUnit.h"
#include "ShapedLine.h"

#include <cmath>

using namespace vocab;
using Reply = AcuVocabulary::Reply;
using Axes = AcuUnit::Axes;
using shaped::decimal;

namespace {

// The four status bytes behind a "?", which also makes the line long enough (six
// characters) for the panel to read the fourth byte.
Reply pcuStatus(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    const auto flags = unit.pcuStatus();
    ShapedLine s(PcuStatusShape::key.key, 2, '?');
    for (int i = 0; i < 4; ++i)
        s.put(PcuStatusShape::byte1 + i, char(flags[i]));
    return s;
}

// Three four-character axis fields after a two-character key.
ShapedLine sensorLine(const KeyWindow& key, const QByteArray& cl, const QByteArray& lv, const QByteArray& az)
{
    ShapedLine s(key.key);
    s.put(PcuSensorShape::cl, cl).put(PcuSensorShape::lv, lv).put(PcuSensorShape::az, az);
    return s;
}

// Sensor counts sit on 2048 for zero.
QByteArray counts(double value, double perUnit)
{
    return decimal(qBound(0, int(std::lround(2048 + value * perUnit)), 4095));
}

Reply referenceSensors(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    const Axes a = unit.referenceSensors();
    if (unit.referenceForm() == AcuUnit::ReferenceForm::Scaled)
        return sensorLine(PcuSensorShape::reference, counts(a.cl, 4), counts(a.lv, 4), counts(a.az, 2.8));
    // Raw angles in tenths from 0 to 3600, the negative side in the upper half; the azimuth
    // reference in fifths of a tenth.
    auto angle = [](double tenths) {
        const int t = int(std::lround(tenths));
        return decimal(t < 0 ? t + 3600 : t);
    };
    return sensorLine(PcuSensorShape::referenceRaw, angle(a.cl), angle(a.lv),
                      decimal(int(std::lround(a.az * 5))));
}

Reply rateSensors(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    const Axes a = unit.rateSensors();
    return sensorLine(PcuSensorShape::rate, counts(a.cl, 4), counts(a.lv, 4), counts(a.az, 4));
}

Reply loopErrors(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    const Axes a = unit.loopErrors();
    ShapedLine s = sensorLine(PcuSensorShape::loop, shaped::hex4(int(a.cl)), shaped::hex4(int(a.lv)),
                              shaped::hex4(int(a.az)));
    s.put(PcuSensorShape::phase.offset, char(PcuSensorShape::phaseZero + unit.nutaraPhase()));
    return s;
}

Reply torqueCommands(const QByteArray&, AcuUnit& unit)
{
    unit.update();
    const Axes a = unit.torqueCommands();
    auto torque = [](double t) { return decimal(qBound(0, 128 + int(t), 255)); };
    return sensorLine(PcuSensorShape::torque, torque(a.cl), torque(a.lv), torque(a.az));
}

// Degrees as degrees and minutes, "ddmm" or "dddmm" and a hemisphere letter; decimals > 0
// gives the minutes' fraction too.
QByteArray degreesMinutes(double degrees, int degreeDigits, int decimals, char positive, char negative)
{
    const double scale = std::pow(10.0, decimals);
    const qint64 units = std::llround(std::abs(degrees) * 60.0 * scale); // minutes * scale
    const qint64 perDegree = qint64(60 * scale);
    QByteArray out = QByteArray::number(units / perDegree).rightJustified(degreeDigits, '0') +
                     QByteArray::number((units % perDegree) / qint64(scale)).rightJustified(2, '0');
    if (decimals > 0)
        out += '.' + QByteArray::number(units % qint64(scale)).rightJustified(decimals, '0');
    return out + (degrees < 0 ? negative : positive);
}

QByteArray gps(const AcuUnit& unit, int decimals)
{
    return degreesMinutes(unit.latitudeDegrees(), 2, decimals, 'N', 'S') + ' ' +
           degreesMinutes(unit.longitudeDegrees(), 3, decimals, 'E', 'W');
}

// "n" + a code from "0" to ";" + "999" reads one of the PCU's parameters, with three
// digits writes it. The answer is "n", the value's three digits, then the parameter's
// code, which the reader of a dump cuts off.
Reply pcuParameter(const QByteArray& command, AcuUnit& unit)
{
    if (command.size() < 2)
        return command;
    const int index = quint8(command[1]) - '0';
    if (index < 0 || index >= AcuUnit::kPcuParameters)
        return command;
    const QByteArrayView digits = QByteArrayView(command).sliced(2);
    if (digits != kReadValue) {
        if (const auto value = acurows::parseDigits(digits, 3))
            unit.setPcuParameter(index, *value);
    }
    return "n" + decimal(unit.pcuParameter(index), 3) + " P" + command[1];
}

using Action = void (*)(AcuUnit&);

// A mode command: do it, say what was done.
AcuVocabulary::Responder mode(Action action, const char* text)
{
    return [action, text](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.update();
        action(unit);
        return QByteArray("^ ") + text;
    };
}

} // namespace

namespace acurows {

void addPcuRows(AcuVocabulary& v)
{
    using Match = AcuVocabulary::Match;
    auto pcu = [&v](char letter, AcuVocabulary::Responder r) {
        v.addLine(pcuQuery(letter), Match::Exact, std::move(r));
    };
    pcu(kPcuStatus, pcuStatus);
    // The short forms the upload sequences use to see whether the board behind the ACU
    // talks: five characters of status, and the version line.
    v.addLine("?S", Match::Exact, [](const QByteArray&, AcuUnit&) -> Reply { return "S@@@@"; });
    v.addLine("?V", Match::Exact, [](const QByteArray&, AcuUnit& unit) -> Reply { return unit.pcuVersion(); });
    pcu(kPcuVersion, [](const QByteArray&, AcuUnit& unit) -> Reply { return unit.pcuVersion(); });
    pcu(kPcuReference, referenceSensors);
    pcu(kPcuRate, rateSensors);
    pcu(kPcuLoop, loopErrors);
    pcu(kPcuTorque, torqueCommands);
    pcu(kPcuQualifiedGps, [](const QByteArray&, AcuUnit& unit) -> Reply { return "@ " + gps(unit, 0); });
    pcu(kPcuRawGps, [](const QByteArray&, AcuUnit& unit) -> Reply { return "? " + gps(unit, 2); });
    pcu(kPcuFineGps, [](const QByteArray&, AcuUnit& unit) -> Reply { return "= " + gps(unit, 4); });
    pcu(kPcuResetErrors, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.resetPcuErrors();
        return "& PCU ERRORS RESET";
    });

    v.addLine("n", Match::Prefix, pcuParameter);
    v.addLine(kNutaraToggle.toByteArray(), Match::Exact, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.toggleNutara();
        return unit.nutara() ? "^ NUTARA ON" : "^ NUTARA OFF";
    });
    v.addLine(kSatReferenceMode.toByteArray(), Match::Exact,
              mode([](AcuUnit& u) { u.setSatReferenceMode(); }, "SAT REFERENCE MODE"));
    v.addLine(kSlowScanMode.toByteArray(), Match::Exact,
              mode([](AcuUnit& u) { u.setSlowScanMode(); }, "SLOW SCAN MODE"));
    v.addLine(kTiltTestMode.toByteArray(), Match::Exact,
              mode([](AcuUnit& u) { u.setTiltMode(); }, "TILT MODE"));
    v.addLine(kNormalMode.toByteArray(), Match::Exact,
              mode([](AcuUnit& u) { u.setNormalMode(); }, "NORMAL MODE"));
    v.addLine(kSavePcu.toByteArray(), Match::Exact, mode([](AcuUnit&) {}, "PCU PARAMETERS SAVED"));
    v.addLine(kRebootPcu.toByteArray(), Match::Exact,
              mode([](AcuUnit& u) { u.rebootPcu(); }, "PCU REBOOTING"));
    v.addLine(kClearAzHfError.toByteArray(), Match::Exact,
              mode([](AcuUnit& u) { u.clearAzHfError(); }, "AZ HF ERROR CLEARED"));
}

} // namespace acurows
