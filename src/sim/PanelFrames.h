#pragma once

#include <QByteArray>

class AcuUnit;

// What a PCU's front panel shows, and how the unit sends it to a terminal: a byte 1 to 6
// introduces each part (display line 1 and line 2 up to CR and one more character, the two
// bargraph characters, the four brightness characters, a lone 5, the legend flags).
struct PanelFrame {
    static constexpr int kUnwrap = 4;
    static constexpr int kTracking = 8;
    static constexpr int kLineWidth = 20;

    QByteArray line1;
    QByteArray line2;
    QByteArray bargraph = "00";     // two characters
    QByteArray brightness = "0075"; // four characters
    int flags = 0;                  // kUnwrap, kTracking

    // The bytes on the wire. Lines are padded or cut to the display's width and end in CR LF
    // (the character after the CR is the line feed). The flag byte is sent from "@" upward,
    // as the units send their flag bytes, so that no flag combination reads as a CR, a
    // backspace or a frame start.
    QByteArray encode() const;

    // The panel as the antenna shows it now.
    static PanelFrame of(const AcuUnit& unit);
    // The console's own status line about the same antenna, as a PCU prints it to its
    // service port: "PCU AZ 274.9 EL 23.8 AGC 039 SEARCHING" (no line end).
    static QByteArray statusLine(const AcuUnit& unit);
};
