#pragma once

#include <QByteArray>

// A screen's command list, walked one command per poll tick. Each character is a
// single-character command, except "!", which makes the next five characters one command
// sent with CR LF.
class PollSequence {
public:
    struct Step {
        QByteArray command;   // as written on the wire (with CR LF for "!" commands)
        bool atStart = false; // the command came from position 1
        bool wrapped = false; // the position passed the end and is back at 1
    };

    PollSequence() = default;
    explicit PollSequence(const QByteArray& text) : m_text(text) {}

    // New text; the walk starts again at position 1.
    void setText(const QByteArray& text)
    {
        m_text = text;
        m_position = 1;
    }
    const QByteArray& text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    // 1-based index of the next character.
    int position() const { return m_position; }
    void rewind() { m_position = 1; }

    // The command at the position, and the position moved past it. Empty text gives an
    // empty command. A "!" too near the end takes what is left.
    Step next();

private:
    QByteArray m_text;
    int m_position = 1;
};
