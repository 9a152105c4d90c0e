#pragma once

// The rows of the ACU's vocabulary, by command family, and what they share.
#include "AcuVocabulary.h"

#include <QByteArrayView>

#include <optional>

namespace acurows {

void addPanelRows(AcuVocabulary& v); // what the panel polls: S P H @ u q % V C D, parameters
void addPcuRows(AcuVocabulary& v);   // PCU pass-through "?   x" and the PCU modes "^nnnn"
void addSetRows(AcuVocabulary& v);   // targets, heading, satellite, receiver, steps, position
void addToolRows(AcuVocabulary& v);  // F, &, \, [, w: the tool and service commands
void addDumpRows(AcuVocabulary& v);  // what the terminal's parameter dump asks beyond the panel's

// Lines more than one family answers with: the ship's position ("@") and its heading ("H").
AcuVocabulary::Reply gpsLine(const QByteArray& command, AcuUnit& unit);
AcuVocabulary::Reply headingLine(const QByteArray& command, AcuUnit& unit);

// A value as the entry box sends it: with a decimal point it is degrees, without one it is
// tenths of a degree (the form the tools send: "A1483" is 148.3 degrees). Blanks around it
// and a sign are allowed; nothing else.
std::optional<int> parseTenths(QByteArrayView text);
// Up to maxDigits leading decimal digits; nothing when there are none.
std::optional<int> parseDigits(QByteArrayView text, int maxDigits);

} // namespace acurows
