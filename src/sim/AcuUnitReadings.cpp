// What the unit reports: angles, receiver readings, flag bytes, PCU sensors and modes.
#include "AcuMath.h"
#include "AcuUnit.h"

#include <Runtime.h>

#include <cmath>

using namespace acumath;

namespace {

constexpr quint8 kFlagBase = '@';
// Loop-error counts of the Nutara circle while tracking.
constexpr double kNutaraRadius = 26.0;

int clamp999(double v)
{
    return int(std::lround(qBound(0.0, v, 999.0)));
}

quint8 bit(bool on, int n)
{
    return on ? quint8(1 << n) : 0;
}

} // namespace

int AcuUnit::elevation() const
{
    return tenths(m_elevation + m_jitterEl);
}
int AcuUnit::azimuth() const
{
    return tenths(wrap360(m_heading + m_relAzimuth + m_jitterAz)) % 3600;
}
int AcuUnit::crossLevel() const
{
    return tenths(m_tiltMode ? m_roll : m_crossLevel + m_clDrive);
}
int AcuUnit::relativeAzimuth() const
{
    return tenths(wrap360(m_relAzimuth + m_jitterAz)) % 3600;
}
int AcuUnit::heading() const
{
    return tenths(m_heading) % 3600;
}
int AcuUnit::latitude() const
{
    return tenths(m_latitude);
}
int AcuUnit::longitude() const
{
    return tenths(m_longitude);
}

int AcuUnit::agc() const
{
    return clamp999(m_agc + m_jitterAgc);
}

int AcuUnit::levelAt(int mhz)
{
    update();
    return m_receiver.levelAt(mhz, beamGain(), m_random);
}

// A modem behind the receiver: the stronger the signal, the lower its lock voltage.
int AcuUnit::externalAgc() const
{
    return clamp999(1000.0 - m_agc * 0.8);
}

int AcuUnit::polarisation() const
{
    return clamp999(450.0 + m_parameters.skew() + (m_crossLevel + m_clDrive) * 10.0);
}

std::array<quint8, 4> AcuUnit::acuStatus() const
{
    const Phase underlying = m_phase == Phase::Unwrapping ? m_resumePhase : m_phase;
    const bool tracking = m_trackingEnabled && m_phase != Phase::Initializing;
    const quint8 byte1 = kFlagBase | bit(m_slowScan, 5) | bit(m_satReference, 4) | bit(tracking, 3) |
                         bit(m_phase == Phase::Unwrapping, 2);
    const quint8 byte2 = kFlagBase | bit(m_azTarget.active, 5) |
                         bit(m_elTarget.active || m_clTarget.active, 4) | bit(m_headingValid, 3) |
                         bit(m_phase == Phase::Blocked, 2) | bit(m_phase == Phase::Initializing, 1) |
                         bit(underlying == Phase::Searching, 0);
    const bool pcuError = (m_pcuErrors3 | m_pcuErrors4) != 0;
    const quint8 byte3 =
        kFlagBase | (m_acuErrors & 0x37) | bit(m_satellite.elevation < 0, 5) | bit(pcuError, 3);
    // The ACU passes on the PCU's servo and limit group.
    const quint8 byte4 = kFlagBase | (m_pcuErrors3 & 0x3F);
    return {byte1, byte2, byte3, byte4};
}

quint8 AcuUnit::extendedByte1() const
{
    return kFlagBase | bit(m_receiver.bandB(), 5);
}

quint8 AcuUnit::extendedByte2() const
{
    return quint8(kFlagBase | m_parameters.fecCode() | bit(m_receiver.toneOn(), 4) |
                  bit(m_receiver.lnb18V(), 5));
}

std::array<quint8, 4> AcuUnit::pcuStatus() const
{
    const bool pcuError = (m_pcuErrors3 | m_pcuErrors4) != 0;
    const quint8 byte1 = kFlagBase | bit(m_slowScan, 5) | bit(m_satReference, 4) | bit(m_nutara, 3) |
                         bit(m_phase == Phase::Unwrapping, 2);
    const quint8 byte2 = kFlagBase | bit(m_azTarget.active, 5) |
                         bit(m_satReference && m_phase == Phase::Tracking, 4) | bit(m_headingValid, 3) |
                         bit(pcuError, 2) | bit(m_clockMs < m_pcuInitUntilMs, 1) | bit(m_elevation > 70.0, 0);
    return {byte1, byte2, quint8(kFlagBase | (m_pcuErrors3 & 0x3F)),
            quint8(kFlagBase | (m_pcuErrors4 & 0x3F))};
}

void AcuUnit::raisePcuError(int byte, int bitNumber)
{
    if (byte == 3)
        m_pcuErrors3 |= quint8(1 << (bitNumber & 7));
    else if (byte == 4)
        m_pcuErrors4 |= quint8(1 << (bitNumber & 7));
}

void AcuUnit::setNormalMode()
{
    m_satReference = m_slowScan = m_tiltMode = false;
}

void AcuUnit::clearAzHfError()
{
    m_pcuErrors3 &= quint8(~0x08);
}

void AcuUnit::resetPcuErrors()
{
    m_pcuErrors3 = m_pcuErrors4 = 0;
}

AcuUnit::Axes AcuUnit::referenceSensors() const
{
    // Tilt left over by the stabilisation (all of it in tilt mode), and the azimuth
    // reference's disagreement with the tracked bearing.
    const double cl = m_tiltMode ? m_roll : m_crossLevel + m_clDrive;
    const double lv = m_tiltMode ? m_pitch : 0.05 * m_pitch;
    return {cl * 10.0 + noise(1, 0.3), lv * 10.0 + noise(2, 0.3), m_wanderAz * 10.0 + noise(3, 0.3)};
}

AcuUnit::Axes AcuUnit::rateSensors() const
{
    return {m_rollRate * 10.0 + noise(4, 0.5), m_pitchRate * 10.0 + noise(5, 0.5),
            (m_turnRate + m_course) * 10.0 + noise(6, 0.5)};
}

AcuUnit::Axes AcuUnit::loopErrors() const
{
    // Nutara moves the beam round a small circle, which the loop errors of the level and
    // azimuth axes trace about the pointing error.
    const bool circling = m_live && m_nutara && m_phase != Phase::Initializing;
    const double radius = circling ? (m_phase == Phase::Tracking ? kNutaraRadius : kNutaraRadius / 3) : 0.0;
    const double a = scanAngle();
    // The scan's own error signal keeps the loops tighter than the motion alone would, so
    // the circle stands out of what the swell leaves.
    const double residual = circling ? 0.15 : 1.0;
    return {std::round(residual * m_crossLevel * 400.0 + noise(7, 2.0)),
            std::round(residual * 0.05 * m_pitch * 400.0 + radius * std::cos(a) + noise(8, 2.0)),
            std::round(residual * m_wanderAz * 600.0 + radius * std::sin(a) + noise(9, 2.0))};
}

AcuUnit::Axes AcuUnit::torqueCommands() const
{
    // The cross-level torque drive pushes hard while it moves the axis and keeps a holding
    // torque against the tilt once it is there.
    const double drive = m_clTarget.active ? (m_clTarget.value > m_clDrive ? 20.0 : -20.0) : 0.0;
    const double hold = m_clDrive * 0.4;
    return {std::round(m_rollRate * 8.0 + drive + hold + noise(10, 1.5)),
            std::round(m_pitchRate * 8.0 + noise(11, 1.5)),
            std::round((m_turnRate + m_course) * 20.0 + noise(12, 1.5))};
}

int AcuUnit::nutaraPhase() const
{
    if (!m_nutara)
        return 0;
    if (m_live)
        return int(scanAngle() / (2.0 * kPi) * kPhaseSteps) % kPhaseSteps;
    // The pattern goes round in one second, in eight steps.
    return int((m_clockMs / 125) % 8);
}

double AcuUnit::scanAngle() const
{
    return 2.0 * kPi * double(m_rt.now() % kScanPeriodMs) / kScanPeriodMs;
}

// Without live motion the readings stay as the motion model gives them.
double AcuUnit::noise(int channel, double amplitude) const
{
    if (!m_live)
        return 0.0;
    SimRandom r(m_seed * 0x9E3779B97F4A7C15ULL ^ (quint64(m_rt.now()) << 8) ^ quint64(channel));
    return r.symmetric(amplitude);
}

QByteArray AcuUnit::takeDvbAnswer()
{
    QByteArray answer;
    answer.swap(m_dvbAnswer);
    return answer;
}
