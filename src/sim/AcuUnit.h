#pragma once

#include "AcuParameters.h"
#include "ReceiverModel.h"
#include "SatelliteGeometry.h"
#include "SimRandom.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <memory>

class AcuBootModules;
class Runtime;

// One simulated antenna control unit with the pedestal behind it: where the antenna points,
// how the ship moves, what the receiver hears, the flag bytes and the parameter set.
//
// The unit starts initialising, then searches for the satellite by sweeping in azimuth,
// then tracks it; now and then something blocks the beam for a few seconds, and when the
// cable has wound too far the antenna unwraps. Target commands slew it to a position and
// hold it there. Time moves in fixed steps up to the runtime's clock whenever someone looks
// at the unit, so a seed gives the same unit whatever the timing of the questions, and an
// idle unit costs nothing.
class AcuUnit {
public:
    enum class Phase { Initializing, Searching, Tracking, Blocked, Targeting, Unwrapping, Idle };
    // The two forms of the PCU's reference sensor reply: "v " scaled, "V " raw angles.
    enum class ReferenceForm { Scaled, Raw };
    // Three axis values of a PCU sensor group.
    struct Axes {
        double cl = 0, lv = 0, az = 0;
    };

    static constexpr int kStepMs = 100;
    static constexpr int kInitializingMs = 3000;
    // Cable wound this far either way from the middle makes the antenna unwrap one turn.
    static constexpr double kUnwrapLimitDeg = 540;

    explicit AcuUnit(Runtime& runtime, quint64 seed = 1);

    // Brings the motion up to the runtime's clock. Readers below see the state as of the
    // last update; the replies call it first.
    void update();

    Phase phase() const { return m_phase; }
    bool trackingEnabled() const { return m_trackingEnabled; }
    // "C" / "D": tracking on resumes the search (or keeps the lock when the beam is on the satellite).
    void setTracking(bool on);
    // Now and then something blocks the beam for a few seconds (on by default); tests that
    // need a steady signal switch it off.
    void setBlockagesEnabled(bool on) { m_blockages = on; }
    // "F1234": search for the selected satellite from where the antenna is.
    void findSatellite();

    // Targets in tenths of a degree: true azimuth, elevation, azimuth relative to the bow.
    // A target ends tracking; the antenna slews there and holds.
    void setAzimuthTarget(int tenths);
    void setElevationTarget(int tenths);
    void setRelativeAzimuthTarget(int tenths);
    bool azimuthTargetActive() const { return m_azTarget.active; }
    bool elevationTargetActive() const { return m_elTarget.active; }
    // "I" + value: the cross-level torque drive. The pedestal tilts the cross-level axis to
    // this angle (tenths of a degree, up positive, as far as the axis goes) at the slow pace
    // of a torque drive and holds it there against the stabilisation; a target of 0 brings
    // the axis back level. Driving shows as a level-axis target in the flag bytes.
    void setCrossLevelTarget(int tenths);
    bool crossLevelTargetActive() const { return m_clTarget.active; }
    static constexpr double kCrossLevelDriveRate = 2.0; // degrees per second
    static constexpr double kCrossLevelLimit = 30.0;    // degrees either way

    // Ship heading in tenths (a heading entry or sentence); an invalid heading clears the
    // valid-heading flags until a good one comes.
    void setHeading(int tenths);
    void setHeadingInvalid() { m_headingValid = false; }
    // Ship position in degrees, north and east positive.
    void setShipPosition(double latitude, double longitude);
    // Loads a satellite (tenths of a degree, east positive) and searches for it when tracking.
    void setSatelliteLongitude(int tenthsEastPositive);
    LookAngles satellite() const { return m_satellite; }

    // Angles in tenths of a degree. Azimuths 0..3599; elevation and cross-level signed.
    int elevation() const;
    int azimuth() const;
    int crossLevel() const;
    int relativeAzimuth() const;
    int heading() const;
    // Ship position: tenths of a degree and degrees, north and east positive.
    int latitude() const;
    int longitude() const;
    double latitudeDegrees() const { return m_latitude; }
    double longitudeDegrees() const { return m_longitude; }
    // Turns of cable wound, in degrees (0 in the middle).
    double cableWrap() const { return m_cableWrap; }

    // Receiver readings, 0..999.
    int agc() const;
    int level() { return levelAt(m_receiver.frequencyMhz()); }
    int levelAt(int mhz);
    int externalAgc() const;
    int polarisation() const;
    int threshold() const { return m_parameters.threshold(); }
    ReceiverModel& receiver() { return m_receiver; }
    const ReceiverModel& receiver() const { return m_receiver; }

    // Flag bytes as the unit sends them: "@" plus the flag bits.
    std::array<quint8, 4> acuStatus() const;
    quint8 extendedByte1() const;
    quint8 extendedByte2() const;
    std::array<quint8, 4> pcuStatus() const;
    // "&    ": clears the latched ACU error bits.
    void resetAcuErrors() { m_acuErrors = 0; }
    // Error bits as the hardware would raise them (byte 3 of the ACU; bytes 3 and 4 of the PCU).
    void raiseAcuError(int bit) { m_acuErrors |= quint8(1 << (bit & 7)); }
    void raisePcuError(int byte, int bit);

    // The PCU's modes ("^" commands) and its own status.
    bool nutara() const { return m_nutara; }
    void toggleNutara() { m_nutara = !m_nutara; }
    void setSatReferenceMode() { m_satReference = true; }
    void setSlowScanMode() { m_slowScan = true; }
    void setTiltMode() { m_tiltMode = true; }
    bool slowScan() const { return m_slowScan; }
    bool satReference() const { return m_satReference; }
    bool tiltMode() const { return m_tiltMode; }
    // Clears the special modes (satellite reference, slow scan, tilt); Nutara is not one.
    void setNormalMode();
    void rebootPcu();
    void clearAzHfError();
    void resetPcuErrors();

    // PCU sensors: reference sensors (tenths of a degree), rate sensors (tenths of a degree
    // per second), loop (IVC) errors and torque commands (counts, torque about 0).
    Axes referenceSensors() const;
    Axes rateSensors() const;
    Axes loopErrors() const;
    Axes torqueCommands() const;
    // The Nutara pattern phase, 0..7 (0 while Nutara is off); 0..63 with live motion.
    int nutaraPhase() const;
    ReferenceForm referenceForm() const { return m_referenceForm; }
    void setReferenceForm(ReferenceForm form) { m_referenceForm = form; }

    // "\0087" and "\0090".
    void saveParameters() { m_parameters.save(); }
    void reboot();
    // "[L" / "[M".
    void setPortLocked(bool on) { m_portLocked = on; }
    bool portLocked() const { return m_portLocked; }
    // "wV" asks the DVB receiver for its version; "w!123" collects its answer (empty when
    // nothing was asked).
    void askDvbVersion() { m_dvbAnswer = m_dvbVersion; }
    QByteArray takeDvbAnswer();

    QByteArray acuVersion() const { return m_acuVersion; }
    void setAcuVersion(const QByteArray& text) { m_acuVersion = text; }
    void setPcuVersion(const QByteArray& text) { m_pcuVersion = text; }
    QByteArray pcuVersion() const { return m_pcuVersion; }
    QByteArray commIfVersion() const { return m_commIfVersion; }

    // The ACU's bootloader and the modules behind it, whichever line talks to them.
    AcuBootModules& bootModules();
    QByteArray dvbVersion() const { return m_dvbVersion; }

    int parameter(quint8 letter) const { return m_parameters.value(letter); }
    // The PCU's own parameters, "n" + "0" to ";" (gains, trims, Nutara, identity).
    static constexpr int kPcuParameters = 12;
    int pcuParameter(int index) const;
    void setPcuParameter(int index, int value);

    // Live motion: what a running antenna adds to the readings on top of the ship's motion:
    // jitter of the tracking loop on the positions and AGC, a slow change of course that
    // the relative azimuth follows, the Nutara circle in the loop errors with its phase,
    // and sensor noise. Off by default, so that tests read steady values; qvrsim turns it
    // on. The same seed gives the same motion.
    void setLiveMotion(bool on) { m_live = on; }
    bool liveMotion() const { return m_live; }
    // The Nutara scan takes this long for one turn, and reports its phase in 64 steps.
    static constexpr int kScanPeriodMs = 1300;
    static constexpr int kPhaseSteps = 64;
    // A write of the satellite letters loads that satellite's position.
    void setParameter(quint8 letter, int value);

private:
    struct Target {
        bool active = false;
        double value = 0;
    };
    void step();
    void stepShip(double dt);
    void stepAntenna(double dt);
    void stepTargets(double dt);
    void stepCrossLevel(double dt);
    void stepUnwrap(double dt);
    void turnAntenna(double deltaDeg);
    void startPhase(Phase phase);
    void startTargeting();
    void holdTargetPosition();
    void enterIdle();
    double pointingError() const;
    double beamGain() const;
    void updateSatellite();
    void stepLive(double dt);
    // Deterministic noise in [-amplitude, amplitude) for a reading at the current time.
    double noise(int channel, double amplitude) const;
    double scanAngle() const;

    Runtime& m_rt;
    SimRandom m_random;
    quint64 m_seed;
    qint64 m_clockMs; // the unit's own time, advanced in steps
    qint64 m_initUntilMs;
    qint64 m_pcuInitUntilMs;

    Phase m_phase = Phase::Initializing;
    Phase m_resumePhase = Phase::Searching; // after an unwrap
    bool m_trackingEnabled = true;
    bool m_blockages = true;
    qint64 m_phaseUntilMs = 0;

    // Degrees, as doubles; the wire sees tenths.
    double m_heading;
    double m_turnRate = 0;
    double m_relAzimuth = 0;
    double m_elevation = 5.0;
    double m_crossLevel = 0;
    double m_roll = 0, m_pitch = 0, m_rollRate = 0, m_pitchRate = 0;
    double m_wanderAz = 0, m_wanderEl = 0;
    double m_cableWrap = 0;
    double m_unwrapLeft = 0;
    double m_unwrapFromAzimuth = 0;
    double m_agc = 60;
    bool m_headingValid = true;
    bool m_holdRelative = false;
    double m_holdAzimuth = 0; // true azimuth held when idle
    double m_searchDirection = 1;
    Target m_azTarget, m_elTarget;
    Target m_clTarget;
    double m_clDrive = 0; // degrees the torque drive holds the cross-level axis off level
    bool m_azTargetRelative = false;

    double m_latitude = 37.7;
    double m_longitude = -122.2;
    LookAngles m_satellite;
    AcuParameters m_parameters;
    ReceiverModel m_receiver;

    bool m_live = false;
    SimRandom m_liveRandom;
    double m_course = 0;                   // degrees per second of the slow course change
    double m_jitterEl = 0, m_jitterAz = 0; // degrees, what the tracking loop hunts about
    double m_jitterAgc = 0;
    std::array<int, kPcuParameters> m_pcuParameters{3, 45, 40, 60, 128, 128, 100, 12, 20, 0, 7, 64};

    bool m_nutara = true;
    bool m_satReference = false;
    bool m_slowScan = false;
    bool m_tiltMode = false;
    quint8 m_acuErrors = 0;
    quint8 m_pcuErrors3 = 0, m_pcuErrors4 = 0;
    ReferenceForm m_referenceForm = ReferenceForm::Scaled;
    bool m_portLocked = false;
    QByteArray m_dvbAnswer;

    QByteArray m_acuVersion = "QVR-100 ACU VER 3.14 SIM";
    QByteArray m_pcuVersion = "QVR PCU VER 2.07 SIM";
    QByteArray m_commIfVersion = "QVR COMMIF VER 1.05 SIM";
    std::shared_ptr<AcuBootModules> m_bootModules; // made on first use
    QByteArray m_dvbVersion = "QVR DVB VER 4.20 SIM";
};
