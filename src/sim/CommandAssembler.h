#pragma once

#include <SimPeer.h>

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

    // A command and how long the line was quiet before its first byte arrived (-1: the
    // bytes came without wire times, or nothing came before them on this connection).
    struct Command {
        QByteArray text;
        qint64 quietNs = -1;
        qint64 earlyNs = 0; // how much earlier than stamped it may have begun (WireTiming)
    };

    // A line that grows past this is noise, not a command: it is thrown away up to its end.
    static constexpr int kMaxLine = 256;

    explicit CommandAssembler(SingleTest isSingle) : m_isSingle(std::move(isSingle)) {}

    // The commands completed by these bytes, in order, without line ends.
    QList<QByteArray> feed(const QByteArray& bytes);
    // The same for bytes that crossed a serial wire at the given times.
    QList<Command> feedOnWire(const QByteArray& bytes, const WireTiming& timing);
    void reset();
    // Bytes of an unfinished line.
    const QByteArray& pending() const { return m_line; }

private:
    void take(char c, qint64 startNs, qint64 endNs, qint64 earlyNs, QList<Command>* commands);

    SingleTest m_isSingle;
    QByteArray m_line;
    bool m_overflow = false;
    qint64 m_lastEndNs = -1; // when the last byte had arrived (-1: no wire times)
    qint64 m_lineQuietNs = -1;
    qint64 m_lineEarlyNs = 0;
    bool m_lineStarted = false;
};
