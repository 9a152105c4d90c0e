// What the unit reports: angles, receiver readings, flag bytes, PCU sensors and modes.
#include "AcuMath.h"
#include "AcuUnit.h"

#include <Runtime.h>

#include <cmath>

using namespace acumath;

namespace {

constexpr quint8 kFlagBase = '@';

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
    return tenths(m_elevation);
}
int AcuUnit::azimuth() const
{
    return tenths(wrap360(m_heading + m_relAzimuth)) % 3600;
}
int AcuUnit::crossLevel() const
{
    return tenths(m_tiltMode ? m_roll : m_crossLevel);
}
int AcuUnit::relativeAzimuth() const
{
    return tenths(m_relAzimuth) % 3600;
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
    return clamp999(m_agc);
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
    return clamp999(450.0 + m_parameters.skew() + m_crossLevel * 10.0);
}

std::array<quint8, 4> AcuUnit::acuStatus() const
{
    const Phase underlying = m_phase == Phase::Unwrapping ? m_resumePhase : m_phase;
    const bool tracking = m_trackingEnabled && m_phase != Phase::Initializing;
    const quint8 byte1 = kFlagBase | bit(m_slowScan, 5) | bit(m_satReference, 4) | bit(tracking, 3) |
                         bit(m_phase == Phase::Unwrapping, 2);
    const quint8 byte2 = kFlagBase | bit(m_azTarget.active, 5) | bit(m_elTarget.active, 4) |
                         bit(m_headingValid, 3) | bit(m_phase == Phase::Blocked, 2) |
                         bit(m_phase == Phase::Initializing, 1) | bit(underlying == Phase::Searching, 0);
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
    const double cl = m_tiltMode ? m_roll : m_crossLevel;
    const double lv = m_tiltMode ? m_pitch : 0.05 * m_pitch;
    return {cl * 10.0, lv * 10.0, m_wanderAz * 10.0};
}

AcuUnit::Axes AcuUnit::rateSensors() const
{
    return {m_rollRate * 10.0, m_pitchRate * 10.0, m_turnRate * 10.0};
}

AcuUnit::Axes AcuUnit::loopErrors() const
{
    return {std::round(m_crossLevel * 400.0), std::round(0.05 * m_pitch * 400.0),
            std::round(m_wanderAz * 600.0)};
}

AcuUnit::Axes AcuUnit::torqueCommands() const
{
    return {std::round(m_rollRate * 8.0), std::round(m_pitchRate * 8.0), std::round(m_turnRate * 20.0)};
}

int AcuUnit::nutaraPhase() const
{
    // The pattern goes round in one second, in eight steps.
    return m_nutara ? int((m_clockMs / 125) % 8) : 0;
}

QByteArray AcuUnit::takeDvbAnswer()
{
    QByteArray answer;
    answer.swap(m_dvbAnswer);
    return answer;
}
