#include "AcuParameters.h"

#include <CommandVocabulary.h>

AcuParameters::AcuParameters()
{
    // The set a unit leaves the factory with, as far as the panel reads it.
    // clang-format off
    const std::pair<quint8, int> defaults[] = {
        {'A', 0},   {'B', 25},  {'C', 255}, {'D', 240}, // El Trim 2.5, Az Trim -1.6
        {'F', 100}, {'G', 40},  {'H', 40},  {'I', 5},   {'J', 20},  {'K', 100}, {'L', 30}, {'M', 5},
        {'N', 67},  {'O', 2},   {'P', 66},  {'Q', 40},  {'R', 90},  {'W', 1},
        {'S', 3},   {'T', 132}, {'U', 7},   {'V', 8},   {'Y', 10},  {'Z', 140}, // Az limits 90, 180, 270
        {'[', 14},  {'\\', 16}, {']', 0},   {'^', 0},   {'_', 0},   {'`', 0},   // 360, 0, 0
        {vocab::kTrackDisplay, 1}, {vocab::kElLimit12, 15}, {vocab::kElLimit34, 20},
        {vocab::kElLimit56, 10},   {vocab::kSkew, 12},
        {'h', 3},   {'i', 242}, {'j', 16},  // satellite 101.0 W
        {'o', 1},   {'p', 144},             // threshold 400
        {'u', 48},                          // FEC 3/4
        {'}', 18},  {'~', 52},              // network identifier 0x1234
    };
    // clang-format on
    for (const auto& [letter, value] : defaults)
        m_values[letter] = value;
    m_saved = m_values;
}

void AcuParameters::set(quint8 letter, int value)
{
    m_values[letter] = qBound(0, value, 999);
}

int AcuParameters::satelliteLongitude() const
{
    const int tenths = (m_values['h'] & 0xFF) * 256 + (m_values['i'] & 0xFF);
    return (m_values['j'] & 0x10) ? -tenths : tenths;
}

void AcuParameters::setSatelliteLongitude(int tenthsEastPositive)
{
    const int tenths = qMin(qAbs(tenthsEastPositive), 1800);
    m_values['h'] = tenths / 256;
    m_values['i'] = tenths % 256;
    m_values['j'] = (m_values['j'] & ~0x10) | (tenthsEastPositive < 0 ? 0x10 : 0);
}

int AcuParameters::threshold() const
{
    return (m_values['o'] & 0xFF) * 256 + (m_values['p'] & 0xFF);
}

int AcuParameters::skew() const
{
    const int s = m_values[vocab::kSkew] & 0xFF;
    return s > 127 ? s - 256 : s;
}

int AcuParameters::fecCode() const
{
    return (m_values['u'] / 16) & 0x0F;
}
