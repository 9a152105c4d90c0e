#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct PanelState;

// The set commands the front panel's entry box sends, built from what was typed. Every
// builder returns the whole long command with its CR LF, or nothing when the entry
// cannot be said in the command's fixed-width fields: the unit reads those fields by
// position, so a value that does not fit would be taken as a different value (or as the
// start of another command) rather than refused.
namespace entry {

// A typed value as a whole number: the entry must hold a digit; the number read from
// its start is rounded half to even.
std::optional<int> wholeNumber(const QString& entry);
std::optional<double> decimalNumber(const QString& entry);

// "m" + letter + three digits (0..999), CR LF.
std::optional<QByteArray> parameterWrite(quint8 letter, int value);
// A 16-bit value (negative ones as their two's complement) in two parameters: "m" + high
// letter + value / 256, CR LF, "m" + low letter + value mod 256, CR LF.
std::optional<QByteArray> twoByteWrite(quint8 highLetter, quint8 lowLetter, int value);
// A letter and the entry as typed ("A", "E", "J" targets, "B" heading, "T" satellite).
std::optional<QByteArray> asTyped(char letter, const QString& entry);
// A letter and four digits ("X"/"Y" step sizes, "d" symbol rate, "c" receiver codes).
std::optional<QByteArray> fourDigits(char letter, int value);

// Ship position: "$GPGLL," + latitude + "," + hemisphere + "," + longitude + "," +
// hemisphere, each coordinate as degrees (two digits at least) and minutes + ".00".
QByteArray positionSentence(int latTenths, char latHemisphere, int lonTenths, char lonHemisphere);

// A coordinate typed on the SHIP pages: decimal degrees with an optional hemisphere
// letter (one of the two given, either case). Degrees beyond maxDegrees and negative
// numbers are refused: the hemisphere letter carries the sign.
struct Coordinate {
    int tenths = 0;
    std::optional<char> hemisphere;
};
std::optional<Coordinate> coordinate(const QString& entry, char positive, char negative, int maxDegrees);

// FEC: "mu" + three digits of code x 16. An empty entry steps on from the receiver's
// current setting (its low four bits + 1, wrapping after the last); otherwise the code is
// typed ("S" SCPC, "L" LSCP, or 0..15) and a "*" adds 8.
std::optional<QByteArray> fec(const QString& entry, int receiverSettings);
// Skew: "m" + code 138 + three digits, a negative value with 256 added.
std::optional<QByteArray> skew(const QString& entry);
// Network identifier: up to four hexadecimal digits into parameters "}" and "~".
std::optional<QByteArray> networkId(const QString& entry);
// Frequency in MHz: "c" + whole MHz (four digits), CR LF, "d" + thousandths (four digits).
std::optional<QByteArray> frequency(const QString& entry);
// LNB tone: "ON" or "OFF" chooses; an empty entry flips the current state.
std::optional<QByteArray> tone(const QString& entry, bool toneOn);
// LNB voltage: "13" or "18" chooses; anything else flips the current state.
std::optional<QByteArray> voltage(const QString& entry, bool is18V);
// Reflector band: "a" or "b".
std::optional<QByteArray> band(const QString& entry);

// The long command for Enter (or Space, with an empty entry, on the toggle pages) on a
// screen page. A SHIP coordinate page also gives the position to store.
struct Outcome {
    QByteArray command;
    std::optional<Coordinate> latitude;
    std::optional<Coordinate> longitude;
};
std::optional<Outcome> forPage(int screenCode, const QString& entry, const PanelState& state);

} // namespace entry
