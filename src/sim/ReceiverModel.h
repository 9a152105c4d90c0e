#pragma once

#include <QtGlobal>

class SimRandom;

// The satellite receiver in the ACU: what it is tuned to, the LNB and reflector settings
// that the "c" codes switch, and what it hears across the band. The satellite's
// transponders stand at fixed frequencies; how loud they come in depends on how well the
// antenna sees the satellite.
class ReceiverModel {
public:
    // "c" + four digits: a frequency in MHz, or one of the small switch codes (reflector band
    // A/B, LNB tone off/on, LNB voltage 13/18 V). True when it was a switch code.
    bool applyCommand(int value);
    void setFrequencyMhz(int mhz) { m_frequencyMhz = qBound(0, mhz, 9999); }
    // "d" + four digits: the fraction in thousandths of a MHz, or the symbol rate.
    void setFraction(int value) { m_fraction = qBound(0, value, 9999); }

    int frequencyMhz() const { return m_frequencyMhz; }
    int fraction() const { return m_fraction; }
    bool bandB() const { return m_bandB; }
    bool toneOn() const { return m_toneOn; }
    bool lnb18V() const { return m_lnb18V; }

    // The level the receiver reads at a frequency (0..999): noise, plus the transponders
    // there, scaled by gain (0 = nothing of the satellite heard, 1 = on the beam).
    int levelAt(int mhz, double gain, SimRandom& random) const;
    // The frequency of the strongest transponder.
    static int strongestTransponderMhz();

private:
    int m_frequencyMhz = 1150;
    int m_fraction = 250;
    bool m_bandB = false;
    bool m_toneOn = true;
    bool m_lnb18V = true;
};
