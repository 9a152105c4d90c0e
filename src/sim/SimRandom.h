#pragma once

#include <QtGlobal>

// A small seeded random source (splitmix64). The simulated units use their own generator
// rather than the standard library's distributions so that a seed gives the same unit on
// every compiler and library version.
class SimRandom {
public:
    explicit SimRandom(quint64 seed = 1) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [-amplitude, amplitude).
    double symmetric(double amplitude) { return (uniform() * 2.0 - 1.0) * amplitude; }
    // Uniform in [0, n); n must be positive.
    int below(int n) { return int(next() % quint64(n)); }
    bool chance(double probability) { return probability > 0 && uniform() < probability; }

private:
    quint64 m_state;
};
