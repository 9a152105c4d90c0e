#pragma once

#include <QtGlobal>

// The pauses the units need on their serial line while they take a firmware file, as the
// programming terminal keeps them. A piece that starts arriving sooner after the one before
// has fully arrived overruns the unit: its characters are lost.
namespace LinePace {

constexpr qint64 kMsNs = 1000000;
// The ACU hands each five-character pass-through piece on to its module.
constexpr qint64 kPieceNs = 6 * kMsNs;
// A module writes a finished record to its flash; on the line this follows the piece pause.
constexpr qint64 kRecordNs = 15 * kMsNs;
// The ACU closes a pass-through burst ("#!   ") that carried a record.
constexpr qint64 kBurstEndNs = 12 * kMsNs;
// The ACU drops its route ("?    ") between records.
constexpr qint64 kRouteClearNs = 6 * kMsNs;
// The Shorvel PCU writes a record it took as bare bytes.
constexpr qint64 kShorvelRecordNs = 60 * kMsNs;

// How much shorter a pause may come out before it counts as an overrun. qvrsim stamps a
// byte when it reads it from the pseudo-terminal; a read that wakes late makes the pause
// after that byte look shorter by the lateness, and wake-ups on a quiet machine stay well
// under a millisecond. A sender that forgets the wire leaves no pause at all, so this does
// not hide it. Virtual time has no lateness, and the models apply the same margin there.
constexpr qint64 kToleranceNs = 1 * kMsNs;

// Whether a pause of quietNs after a piece that needed requiredNs is too short. A pause
// whose length is unknown (no wire times) is never too short.
constexpr bool tooShort(qint64 quietNs, qint64 requiredNs)
{
    return quietNs >= 0 && requiredNs > 0 && quietNs < requiredNs - kToleranceNs;
}

} // namespace LinePace
