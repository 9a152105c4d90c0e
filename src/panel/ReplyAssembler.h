#pragma once

#include <QByteArray>

#include <optional>

// Cuts received text into reply lines. Text without its CR waits in the accumulator until
// a later chunk ends it. A unit that streams without ever sending CR would grow the
// accumulator without end, so it is capped: what does not fit is dropped and counted,
// and the parser reports it as a sync error. Complete lines wait here too until the
// receive path takes them; a unit that sends them faster than they can be decoded would
// pile them up without end, so past kBacklogCap bytes the oldest are dropped, counted
// the same way.
class ReplyAssembler {
public:
    static constexpr int kDefaultCap = 4096;
    static constexpr int kBacklogCap = 64 * 1024;

    explicit ReplyAssembler(int cap = kDefaultCap) : m_cap(cap) {}

    void append(const QByteArray& chunk);
    // The next complete line without its CR and with a ">" prompt at position 1 or 2
    // (and what stands before it) removed; nothing when no CR is waiting.
    std::optional<QByteArray> nextLine();
    bool hasLine() const { return m_scan < m_acc.size() && m_acc.indexOf('\r', m_scan) >= 0; }

    // Bytes not yet ended by CR.
    QByteArray pending() const { return m_acc.mid(m_scan); }
    void clear();

    // Overflows since the last call (each is one run of dropped text).
    int takeOverflows();
    qint64 droppedBytes() const { return m_dropped; }
    int cap() const { return m_cap; }

    // ">" at position 1 or 2 of a line: drop it and everything before it.
    static QByteArray stripPrompt(const QByteArray& line);

private:
    void compact();
    void dropOldestLines();

    int m_cap;
    QByteArray m_acc;
    qsizetype m_scan = 0; // start of the text not yet taken as lines
    int m_overflows = 0;
    qint64 m_dropped = 0;
    bool m_discarding = false; // dropping the rest of an overlong line up to its CR
};
