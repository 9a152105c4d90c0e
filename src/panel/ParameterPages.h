#pragma once

#include <QByteArray>
#include <QString>

#include <span>

struct PanelState;

// The MODE screen's SETUP pages: which ACU parameters each page reads, what its value line
// shows and how a typed value is written back.
struct ParameterPage {
    enum class Kind {
        Blank,    // no parameter: an empty value line, nothing to write
        Single,   // one parameter letter, shown and written as three digits
        TwoByte,  // one signed 16-bit value kept as a high and a low parameter
        StepSize, // parameter I chooses step size or sensitivity; written with its own command
    };

    int page;
    Kind kind;
    const char* name;      // padded to the value column
    quint8 first;          // Single: the letter; TwoByte: the high letter; StepSize: the shown letter
    quint8 second;         // TwoByte: the low letter; StepSize: the command letter ("Y", "X")
    const char* otherName; // StepSize: the name while parameter I is 0
};

namespace pages {

inline constexpr int kFirstParameterPage = 133;
inline constexpr int kLastParameterPage = 160;

std::span<const ParameterPage> parameterPages();
// Null outside 133..160.
const ParameterPage* parameterPage(int page);

// The letters the page reads, in the order its poll sequence reads them.
QByteArray readLetters(const ParameterPage& page);
// "!m" + letter + "999" for each letter read, then "SPHu".
QByteArray pollSequence(const ParameterPage& page);
// The page's value line: name + value, from the parameters read so far.
QString valueLine(const ParameterPage& page, const PanelState& state);
// The value the page shows (TwoByte: high x 256 + low as a signed 16-bit value).
int value(const ParameterPage& page, const PanelState& state);

} // namespace pages
