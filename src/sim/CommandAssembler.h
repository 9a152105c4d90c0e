#pragma once

#include <QByteArray>
#include <QList>

#include <functional>

// Cuts the byte stream from the program into commands the way the unit's command reader
// does: a single-character command is complete the moment it arrives (when no longer
// command is under way); anything else is collected up to its line end. CR, LF or both
// end a line, so a terminal that sends only one of them still works.
class CommandAssembler {
public:
    using SingleTest = std::function<bool(quint8 byte)>;

    // A line that grows past this is noise, not a command: it is thrown away up to its end.
    static constexpr int kMaxLine = 256;

    explicit CommandAssembler(SingleTest isSingle) : m_isSingle(std::move(isSingle)) {}

    // The commands completed by these bytes, in order, without line ends.
    QList<QByteArray> feed(const QByteArray& bytes);
    void reset();
    // Bytes of an unfinished line.
    const QByteArray& pending() const { return m_line; }

private:
    SingleTest m_isSingle;
    QByteArray m_line;
    bool m_overflow = false;
};
