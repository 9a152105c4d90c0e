#pragma once

// Reads the flag bytes and numbers the panel decodes, for tests about behaviour.
#include "UnitOnWire.h"

#include <CommandVocabulary.h>

struct AcuStatus {
    int byte1 = 0, byte2 = 0, byte3 = 0, byte4 = 0, e1 = 0, e2 = 0, agc = 0;
};

struct PcuStatus {
    int byte1 = 0, byte2 = 0, byte3 = 0, byte4 = 0;
};

struct Position {
    int elevation = 0, azimuth = 0, crossLevel = 0;
};

inline int fieldNumber(QByteArrayView line, int k, vocab::Field field)
{
    return vocab::fieldAt(line, k, field).toByteArray().trimmed().toInt();
}

inline AcuStatus acuStatus(UnitOnWire& u)
{
    using S = vocab::StatusShape;
    const QByteArray s = u.command("S");
    const int k = vocab::locateKey(s, S::key);
    return {vocab::charAt(s, k + S::byte1),     vocab::charAt(s, k + S::byte2),
            vocab::charAt(s, k + S::byte3),     vocab::charAt(s, k + S::byte4),
            vocab::charAt(s, k + S::extended1), vocab::charAt(s, k + S::extended2),
            fieldNumber(s, k, S::agc)};
}

inline PcuStatus pcuStatus(UnitOnWire& u)
{
    const QByteArray s = u.command(vocab::pcuQuery(vocab::kPcuStatus));
    const int k = vocab::locateKey(s, vocab::PcuStatusShape::key);
    return {vocab::charAt(s, k + 1), vocab::charAt(s, k + 2), vocab::charAt(s, k + 3),
            vocab::charAt(s, k + 4)};
}

inline Position position(UnitOnWire& u)
{
    using P = vocab::PositionShape;
    const QByteArray p = u.command("P");
    const int k = vocab::locateKey(p, P::key);
    return {fieldNumber(p, k, P::elevation), fieldNumber(p, k, P::azimuth), fieldNumber(p, k, P::crossLevel)};
}

// Tenths of a degree apart on a circle.
inline int azimuthApart(int a, int b)
{
    const int d = ((a - b) % 3600 + 3600) % 3600;
    return d > 1800 ? 3600 - d : d;
}

// Flag bits by the names the panel gives them.
namespace flag {
constexpr int slowScan = 0x20, satReference = 0x10, tracking = 0x08, unwrap = 0x04; // ACU byte 1
constexpr int azTarget = 0x20, elTarget = 0x10, validHeading = 0x08, blocked = 0x04, initializing = 0x02,
              searching = 0x01;                                       // ACU byte 2
constexpr int satelliteRange = 0x20, conscan = 0x10, pcuError = 0x08; // ACU byte 3
constexpr int nutara = 0x08;                                          // PCU byte 1
constexpr int pcuInit = 0x02, pcuErrorSummary = 0x04;                 // PCU byte 2
constexpr int azReference = 0x08;                                     // PCU byte 3
constexpr int bandB = 0x20;                                           // E1
constexpr int toneOn = 0x10, lnb18V = 0x20;                           // E2
} // namespace flag
