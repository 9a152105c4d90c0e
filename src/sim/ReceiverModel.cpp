#include "ReceiverModel.h"

#include "SimRandom.h"

#include <CommandVocabulary.h>

#include <algorithm>
#include <cmath>

namespace {

struct Transponder {
    double centreMhz;
    double strength; // 0..1
};

// What the satellite carries within the range a spectrum sweep covers (937 to 1537 MHz).
constexpr Transponder kTransponders[] = {
    {1010, 0.55}, {1150, 1.0}, {1235, 0.7}, {1390, 0.8}, {1470, 0.45},
};
constexpr double kHalfWidthMhz = 16; // a 36 MHz transponder, flat on top, steep at its edges
// The satellite's beacon: one unmodulated carrier, as narrow as the receiver's filter
// shows it, between two transponders; on a sweep's 3 MHz grid.
constexpr double kBeaconMhz = 1303, kBeaconStrength = 0.9, kBeaconHalfWidthMhz = 2.5;
constexpr double kNoiseFloor = 90;
constexpr double kNoise = 8;
constexpr double kFullScale = 800;

} // namespace

bool ReceiverModel::applyCommand(int value)
{
    switch (value) {
    case vocab::kBandA:
        m_bandB = false;
        return true;
    case vocab::kBandB:
        m_bandB = true;
        return true;
    case vocab::kToneOff:
        m_toneOn = false;
        return true;
    case vocab::kToneOn:
        m_toneOn = true;
        return true;
    case vocab::kLnb13V:
        m_lnb18V = false;
        return true;
    case vocab::kLnb18V:
        m_lnb18V = true;
        return true;
    default:
        setFrequencyMhz(value);
        return false;
    }
}

int ReceiverModel::levelAt(int mhz, double gain, SimRandom& random) const
{
    double shape = 0;
    for (const Transponder& t : kTransponders)
        shape = std::max(shape, t.strength * std::exp(-std::pow((mhz - t.centreMhz) / kHalfWidthMhz, 4)));
    shape =
        std::max(shape, kBeaconStrength * std::exp(-std::pow((mhz - kBeaconMhz) / kBeaconHalfWidthMhz, 2)));
    const double level = kNoiseFloor + random.symmetric(kNoise) + kFullScale * qBound(0.0, gain, 1.0) * shape;
    return int(std::lround(qBound(0.0, level, 999.0)));
}

int ReceiverModel::strongestTransponderMhz()
{
    return 1150;
}
