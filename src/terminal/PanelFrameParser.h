#pragma once

#include <QString>

#include <functional>

// Reads the unit's panel frames out of the received text: a byte 1..6 introduces a frame
// (display lines 1 and 2 up to a CR, the two bargraph characters, the four brightness
// characters, the legend flag byte). Frames may span receive events, so the state and the
// collected characters carry over from one feed to the next.
//
// A display line that runs past kMaxLine characters without its CR is no frame (a stray
// byte 1 or 2 in other text, or a unit speaking another language): its introducer and the
// characters collected go to the screen as plain text, and reading goes on from there.
class PanelFrameParser {
public:
    static constexpr int kUnwrapBit = 4;
    static constexpr int kTrackingBit = 8;
    // The panel's display lines are 40 characters at most.
    static constexpr int kMaxLine = 256;

    // A display line (1..4) is complete.
    std::function<void(int line, const QString& text)> onLine;
    // A legend flag byte arrived.
    std::function<void(int flags)> onFlags;

    // Consumes text and returns the plain pieces that belong on the screen, joined.
    QString feed(const QString& text);
    void reset();
    int state() const { return m_state; }

private:
    int m_state = 0;
    QString m_acc;
};
