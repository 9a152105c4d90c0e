#include "AcuUnit.h"

#include "AcuBootModules.h"
#include "AcuMath.h"

#include <Runtime.h>

#include <cmath>

using namespace acumath;

namespace {


// Rates in degrees per second.
constexpr double kSearchSweepRate = 15.0;
constexpr double kTrackSlewRate = 30.0;
constexpr double kElevationRate = 4.0;
constexpr double kTargetAzRate = 12.0;
constexpr double kSlowScanAzRate = 3.0;
constexpr double kSlowScanElRate = 1.0;
constexpr double kUnwrapRate = 60.0;
constexpr double kLockWindow = 1.5;               // degrees off the satellite at which the search locks
constexpr double kLostWindow = 3.0;               // degrees off at which tracking gives up and searches
constexpr double kBlockagePerStep = 1.0 / 3000.0; // about one blockage in five minutes
constexpr int kBlockageMs = 4000;
constexpr double kSearchWrapDeg = 360.0;
constexpr double kMinElevation = -5.0, kMaxElevation = 90.0;

// Ship motion: roll and pitch periods (s) and amplitudes (degrees).
constexpr double kRollPeriod = 8.5, kRollAmplitude = 5.0;
constexpr double kPitchPeriod = 6.3, kPitchAmplitude = 2.0;
// Live motion: the slow course change (degrees per second at its fastest, period in s).
constexpr double kLiveCourseRate = 0.25, kLiveCoursePeriod = 300.0;

} // namespace

AcuUnit::AcuUnit(Runtime& runtime, quint64 seed)
    : m_rt(runtime), m_random(seed), m_seed(seed), m_liveRandom(seed ^ 0x6C697665ULL)
{
    m_clockMs = m_rt.now();
    m_initUntilMs = m_pcuInitUntilMs = m_clockMs + kInitializingMs;
    m_heading = m_random.uniform() * 360.0;
    updateSatellite();
}

void AcuUnit::update()
{
    const qint64 now = m_rt.now();
    while (m_clockMs + kStepMs <= now) {
        m_clockMs += kStepMs;
        step();
    }
}

void AcuUnit::step()
{
    const double dt = kStepMs / 1000.0;
    stepShip(dt);
    stepCrossLevel(dt);
    // Live motion draws from its own generator, so the rest of the unit moves as it does
    // without it.
    if (m_live)
        stepLive(dt);
    if (m_phase == Phase::Initializing && m_clockMs >= m_initUntilMs) {
        if (m_azTarget.active || m_elTarget.active)
            m_phase = Phase::Targeting;
        else if (m_trackingEnabled)
            m_phase = Phase::Searching;
        else
            enterIdle();
    }
    stepAntenna(dt);
    if (m_phase != Phase::Unwrapping && std::abs(m_cableWrap) > kUnwrapLimitDeg) {
        m_resumePhase = m_phase == Phase::Blocked ? Phase::Tracking : m_phase;
        m_unwrapFromAzimuth = wrap360(m_heading + m_relAzimuth);
        m_phase = Phase::Unwrapping;
        m_unwrapLeft = m_cableWrap > 0 ? -360.0 : 360.0;
    }

    const double target = m_phase == Phase::Blocked ? 90.0 : 40.0 + 580.0 * beamGain();
    m_agc += (target - m_agc) * 0.5 + m_random.symmetric(8.0);
    m_agc = qBound(0.0, m_agc, 999.0);
}

void AcuUnit::stepShip(double dt)
{
    m_turnRate = qBound(-1.5, (m_turnRate + m_random.symmetric(0.04)) * 0.99, 1.5);
    m_heading = wrap360(m_heading + m_turnRate * dt);
    const double t = m_clockMs / 1000.0;
    const double wr = 2.0 * kPi / kRollPeriod, wp = 2.0 * kPi / kPitchPeriod;
    m_roll = kRollAmplitude * std::sin(wr * t);
    m_rollRate = kRollAmplitude * wr * std::cos(wr * t);
    m_pitch = kPitchAmplitude * std::sin(wp * t);
    m_pitchRate = kPitchAmplitude * wp * std::cos(wp * t);
    // What the stabilisation leaves of the roll.
    m_crossLevel = 0.06 * m_roll + m_random.symmetric(0.03);
    // Without the Nutara pattern the tracking loop sees less of its error and wanders more.
    const double damping = m_nutara ? 0.98 : 0.995;
    const double push = m_nutara ? 0.02 : 0.04;
    m_wanderAz = (m_wanderAz + m_random.symmetric(push)) * damping;
    m_wanderEl = (m_wanderEl + m_random.symmetric(push)) * damping;
}

void AcuUnit::stepLive(double dt)
{
    // A helmsman's slow zig-zag: the heading swings about 12 degrees either way over five
    // minutes, and the tracking loop turns the antenna against it.
    const double t = m_clockMs / 1000.0;
    m_course = kLiveCourseRate * std::sin(2.0 * kPi * t / kLiveCoursePeriod);
    m_heading = wrap360(m_heading + m_course * dt);
    // The loop hunts about the beam centre while it tracks; held or slewing, only the
    // encoders' own noise is left.
    const double hunt = m_phase == Phase::Tracking ? 1.0 : 0.3;
    m_jitterEl = 0.8 * m_jitterEl + m_liveRandom.symmetric(0.04 * hunt);
    m_jitterAz = 0.8 * m_jitterAz + m_liveRandom.symmetric(0.05 * hunt);
    m_jitterAgc = 0.7 * m_jitterAgc + m_liveRandom.symmetric(6.0);
}

void AcuUnit::turnAntenna(double deltaDeg)
{
    m_relAzimuth = wrap360(m_relAzimuth + deltaDeg);
    m_cableWrap += deltaDeg;
}

void AcuUnit::stepAntenna(double dt)
{
    switch (m_phase) {
    case Phase::Initializing:
        break;
    case Phase::Searching:
        m_elevation = moveTowards(m_elevation, m_satellite.elevation, kElevationRate * dt);
        // The sweep turns back before the cable needs unwrapping.
        if (m_cableWrap * m_searchDirection > kSearchWrapDeg)
            m_searchDirection = -m_searchDirection;
        turnAntenna(m_searchDirection * kSearchSweepRate * dt);
        if (pointingError() < kLockWindow)
            m_phase = Phase::Tracking;
        break;
    case Phase::Tracking:
    case Phase::Blocked: {
        if (m_phase == Phase::Tracking && pointingError() > kLostWindow) {
            m_phase = Phase::Searching;
            break;
        }
        // The pedestal holds the beam on the satellite while the ship turns under it.
        const double wanted = wrap360(m_satellite.azimuth + m_wanderAz - m_heading);
        turnAntenna(qBound(-kTrackSlewRate * dt, angleDiff(wanted, m_relAzimuth), kTrackSlewRate * dt));
        m_elevation = moveTowards(m_elevation, m_satellite.elevation + m_wanderEl, kElevationRate * dt);
        // The chance is drawn whether blockages are on or not, so that switching them off
        // leaves the rest of the motion as it was.
        if (m_phase == Phase::Blocked && m_clockMs >= m_phaseUntilMs) {
            m_phase = Phase::Tracking;
        } else if (m_phase == Phase::Tracking && m_random.chance(kBlockagePerStep) && m_blockages) {
            m_phase = Phase::Blocked;
            m_phaseUntilMs = m_clockMs + kBlockageMs;
            m_acuErrors |= 0x10; // the conical scan lost its signal
        }
        break;
    }
    case Phase::Targeting:
        stepTargets(dt);
        break;
    case Phase::Unwrapping:
        stepUnwrap(dt);
        break;
    case Phase::Idle:
        holdTargetPosition();
        break;
    }
}

// Stabilised but not tracking: the beam keeps its true azimuth as the ship turns, or its
// bearing from the bow after a relative target. It turns the short way, so a ship going
// round in circles winds the cable until the antenna unwraps.
void AcuUnit::holdTargetPosition()
{
    if (m_holdRelative)
        return;
    const double step = kTargetAzRate * (kStepMs / 1000.0);
    turnAntenna(qBound(-step, angleDiff(wrap360(m_holdAzimuth - m_heading), m_relAzimuth), step));
}

void AcuUnit::enterIdle()
{
    m_phase = Phase::Idle;
    if (!m_holdRelative)
        m_holdAzimuth = wrap360(m_heading + m_relAzimuth);
}

void AcuUnit::stepTargets(double dt)
{
    const double azRate = (m_slowScan ? kSlowScanAzRate : kTargetAzRate) * dt;
    const double elRate = (m_slowScan ? kSlowScanElRate : kElevationRate) * dt;
    if (m_azTarget.active) {
        const double wanted = m_azTargetRelative ? m_azTarget.value : wrap360(m_azTarget.value - m_heading);
        double d = angleDiff(wanted, m_relAzimuth);
        // A slew that would wind the cable past its limit goes the long way round instead.
        if (std::abs(m_cableWrap + d) > kUnwrapLimitDeg)
            d -= d > 0 ? 360.0 : -360.0;
        if (std::abs(d) <= azRate) {
            turnAntenna(d);
            m_azTarget.active = false;
            m_holdAzimuth = m_azTarget.value;
        } else {
            turnAntenna(d > 0 ? azRate : -azRate);
        }
    } else {
        holdTargetPosition();
    }
    if (m_elTarget.active) {
        m_elevation = moveTowards(m_elevation, m_elTarget.value, elRate);
        m_elTarget.active = m_elevation != m_elTarget.value;
    }
    if (!m_azTarget.active && !m_elTarget.active)
        enterIdle();
}

void AcuUnit::stepCrossLevel(double dt)
{
    if (!m_clTarget.active)
        return;
    m_clDrive = moveTowards(m_clDrive, m_clTarget.value, kCrossLevelDriveRate * dt);
    m_clTarget.active = m_clDrive != m_clTarget.value;
}

void AcuUnit::stepUnwrap(double dt)
{
    const double move = qBound(-kUnwrapRate * dt, m_unwrapLeft, kUnwrapRate * dt);
    turnAntenna(move);
    m_unwrapLeft -= move;
    if (std::abs(m_unwrapLeft) < 1e-9)
        m_phase = m_resumePhase;
}

double AcuUnit::pointingError() const
{
    const double trueAz = m_heading + m_relAzimuth;
    const double dAz = angleDiff(trueAz, m_satellite.azimuth) * std::cos(m_satellite.elevation * kPi / 180.0);
    const double dEl = m_elevation - m_satellite.elevation;
    return std::sqrt(dAz * dAz + dEl * dEl);
}

double AcuUnit::beamGain() const
{
    if (m_phase == Phase::Blocked)
        return 0.05;
    return std::exp(-std::pow(pointingError() / 1.2, 2));
}

void AcuUnit::updateSatellite()
{
    m_satellite = lookAngles(m_latitude, m_longitude, m_parameters.satelliteLongitude() / 10.0);
}

void AcuUnit::startPhase(Phase phase)
{
    if (m_phase == Phase::Initializing)
        return; // the phase is chosen when initialising ends
    if (m_phase == Phase::Unwrapping) {
        // Once unwrapped the antenna points where it did before: that is what it holds.
        m_resumePhase = phase;
        if (phase == Phase::Idle && !m_holdRelative)
            m_holdAzimuth = m_unwrapFromAzimuth;
    } else if (phase == Phase::Idle) {
        enterIdle();
    } else {
        m_phase = phase;
    }
}

void AcuUnit::setTracking(bool on)
{
    update();
    m_trackingEnabled = on;
    const Phase now = m_phase == Phase::Unwrapping ? m_resumePhase : m_phase;
    if (!on) {
        if (now == Phase::Searching || now == Phase::Tracking || now == Phase::Blocked)
            startPhase(Phase::Idle);
        return;
    }
    m_azTarget.active = m_elTarget.active = false;
    m_holdRelative = false;
    if (now == Phase::Idle || now == Phase::Targeting)
        startPhase(pointingError() < kLockWindow ? Phase::Tracking : Phase::Searching);
}

void AcuUnit::findSatellite()
{
    update();
    m_trackingEnabled = true;
    m_azTarget.active = m_elTarget.active = false;
    m_holdRelative = false;
    startPhase(Phase::Searching);
}

void AcuUnit::startTargeting()
{
    m_trackingEnabled = false;
    startPhase(Phase::Targeting);
}

void AcuUnit::setAzimuthTarget(int tenths)
{
    update();
    m_azTarget = {true, wrap360(tenths / 10.0)};
    m_azTargetRelative = m_holdRelative = false;
    startTargeting();
}

void AcuUnit::setRelativeAzimuthTarget(int tenths)
{
    update();
    m_azTarget = {true, wrap360(tenths / 10.0)};
    m_azTargetRelative = m_holdRelative = true;
    startTargeting();
}

void AcuUnit::setElevationTarget(int tenths)
{
    update();
    m_elTarget = {true, qBound(kMinElevation, tenths / 10.0, kMaxElevation)};
    startTargeting();
}

void AcuUnit::setCrossLevelTarget(int tenths)
{
    update();
    m_clTarget = {true, qBound(-kCrossLevelLimit, tenths / 10.0, kCrossLevelLimit)};
    m_clTarget.active = m_clDrive != m_clTarget.value;
}

void AcuUnit::setHeading(int tenths)
{
    update();
    m_heading = wrap360(tenths / 10.0);
    m_headingValid = true;
}

void AcuUnit::setShipPosition(double latitude, double longitude)
{
    update();
    m_latitude = qBound(-90.0, latitude, 90.0);
    m_longitude = std::remainder(longitude, 360.0);
    updateSatellite();
}

void AcuUnit::setSatelliteLongitude(int tenthsEastPositive)
{
    update();
    m_parameters.setSatelliteLongitude(tenthsEastPositive);
    updateSatellite();
    if (m_trackingEnabled)
        findSatellite();
}

void AcuUnit::setParameter(quint8 letter, int value)
{
    update();
    m_parameters.set(letter, value);
    if (letter == 'h' || letter == 'i' || letter == 'j')
        updateSatellite();
}

void AcuUnit::reboot()
{
    update();
    m_parameters.restore();
    m_phase = Phase::Initializing;
    m_initUntilMs = m_clockMs + kInitializingMs;
    m_trackingEnabled = true;
    m_azTarget.active = m_elTarget.active = false;
    m_acuErrors = 0;
    m_dvbAnswer.clear();
    updateSatellite();
}

void AcuUnit::rebootPcu()
{
    update();
    m_pcuInitUntilMs = m_clockMs + kInitializingMs;
    m_nutara = true;
    m_satReference = m_slowScan = m_tiltMode = false;
    // The torque drive lets go: the stabilisation brings the axis back level.
    m_clTarget = {m_clDrive != 0, 0};
    // The azimuth reference has to be found again; until it is cleared the PCU reports it.
    m_pcuErrors3 |= 0x08;
}

AcuBootModules& AcuUnit::bootModules()
{
    if (!m_bootModules)
        m_bootModules = std::make_shared<AcuBootModules>();
    return *m_bootModules;
}

int AcuUnit::pcuParameter(int index) const
{
    return index >= 0 && index < kPcuParameters ? m_pcuParameters[size_t(index)] : 0;
}

void AcuUnit::setPcuParameter(int index, int value)
{
    if (index >= 0 && index < kPcuParameters)
        m_pcuParameters[size_t(index)] = qBound(0, value, 999);
}
