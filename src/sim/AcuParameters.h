#pragma once

#include <QtGlobal>

#include <array>

// The ACU's parameter set, addressed by letter byte, with the copy kept in its memory by
// "save" and loaded again at a reboot. Values are 0..999 as they travel (three digits);
// pairs of letters hold one 16-bit value as high byte and low byte.
class AcuParameters {
public:
    AcuParameters();

    int value(quint8 letter) const { return m_values[letter]; }
    void set(quint8 letter, int value);

    void save() { m_saved = m_values; }
    void restore() { m_values = m_saved; }

    // Satellite longitude in tenths of a degree from "h" (high byte), "i" (low byte) and
    // the west flag of "j" (bit 4); east positive.
    int satelliteLongitude() const;
    void setSatelliteLongitude(int tenthsEastPositive);
    // Tracking threshold: "o" high byte, "p" low byte.
    int threshold() const;
    // Polarisation skew in degrees: a signed byte.
    int skew() const;
    // Receiver FEC code (bits 0..3 of "u" / 16).
    int fecCode() const;
    // Step sizes ("X" and "Y" commands): parameters H and G.
    static constexpr quint8 kAzStep = 'H';
    static constexpr quint8 kElStep = 'G';

private:
    std::array<int, 256> m_values{};
    std::array<int, 256> m_saved{};
};
