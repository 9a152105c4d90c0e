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

// How much shorter a pause may come out before it counts as an overrun: a sender's clock
// and the unit's need not agree to the microsecond. A sender that forgets the wire leaves
// no pause at all, one that counts eight bits a byte instead of ten is short by 1.5 ms
// after a five-character piece at 9600 baud: both stay caught.
constexpr qint64 kToleranceNs = 1 * kMsNs;

// Whether a pause of quietNs after a piece that needed requiredNs is too short. A pause
// whose length is unknown (no wire times) is never too short.
constexpr bool tooShort(qint64 quietNs, qint64 requiredNs)
{
    return quietNs >= 0 && requiredNs > 0 && quietNs < requiredNs - kToleranceNs;
}

} // namespace LinePace
