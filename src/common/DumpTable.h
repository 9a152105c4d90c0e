#pragma once

#include <QByteArray>

#include <vector>

// The parameter dump's list of queries: one reply per entry, numbered from 0 in the order
// the queries go out, and how each reply becomes a row of the dump file. Both programs read
// the same unit, so both take their rows from here.
namespace dump {

// How a reply is written; the numbers are the ones stored in the table below.
enum FormatCode {
    kHighByte = 0,   // "*" rows: the byte kept for the two-byte parameter that follows
    kAsReceived = 1, // the three digits as they came
    kWord = 2,       // two bytes, decimal
    kSignedTenths = 3,
    kWordHex = 4,
    kNorthSouth = 5,
    kEastWest = 6,
    kSixths = 7,
    kWordAndSixteenths = 8,
    kSixteenths = 9,
    kHalves = 10,
    kSignedByte = 11,
    kComment = 12,   // the whole reply as a comment row
    kEndOfDump = 999 // no query: the dump is complete
};

struct Entry {
    QByteArray query; // as sent, without "!" and without a line end
    int code;
    QByteArray description;
};

// Every reply of the remote panel's dump, index 0 to 90, then the end marker at 91.
const std::vector<Entry>& panelTable();

// The format code of a reply index; an index beyond the table (a reply the dump did not
// ask for) reads as the end, so that a stray reply finishes the dump instead of reading
// past the table.
int panelCode(int index);

// The string the poll timer walks: the one-character queries as they are, every longer
// query preceded by "!".
QByteArray panelCommandList();

// The terminal's ACU table, entries 0 to 73 (query "m" + the code byte 65 + i + "999").
// Its rows are the panel's indices 2 to 75 with the terminal's own differences: entry 65 is
// a plain "*", entry 66 is "Az Limit7", and entry 73 (the satellite skew) is written as
// received.
constexpr int kTerminalAcuEntries = 74;
Entry terminalAcuEntry(int entry);

// Written at the start of a dump file (each line ends in CR LF).
QByteArray panelHeader();
QByteArray terminalAcuHeader();

// Closes a cancelled panel dump: the note and an empty line. The note is a comment row so
// that the file, sent back as it is, does not send the note to the unit as a command.
QByteArray panelCancelLines();

} // namespace dump
