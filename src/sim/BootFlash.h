#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <map>

// A module's program memory as its bootloader fills it: the bytes programmed since the
// last erase, by address, and what the bootloader made of the records that brought them.
// Flash can only clear bits, so a byte programmed twice without an erase in between keeps
// the AND of both values, which is what a forgotten erase does to a real board.
class BootFlash {
public:
    // The widest span() gives (an image wider than this is refused, not allocated).
    static constexpr quint32 kMaxSpan = 64u << 20;

    void erase();
    // At least one erase has happened.
    bool erased() const { return m_eraseCount > 0; }
    int eraseCount() const { return m_eraseCount; }

    void program(quint32 address, const QByteArray& data);
    void countRecord(bool good) { ++(good ? m_good : m_bad); }
    void markComplete() { m_complete = true; }

    int goodRecords() const { return m_good; }
    int badRecords() const { return m_bad; }
    // A termination record (S7, S8, S9) has arrived since the last erase.
    bool complete() const { return m_complete; }
    bool isEmpty() const { return m_bytes.empty(); }
    qsizetype byteCount() const { return qsizetype(m_bytes.size()); }
    // Bytes that were programmed again without an erase in between.
    int reprogrammedBytes() const { return m_reprogrammed; }
    const std::map<quint32, quint8>& bytes() const { return m_bytes; }

    // Lowest to highest programmed address, holes as erased flash (0xFF); base gets the
    // lowest address. Empty when nothing was programmed or the span is wider than kMaxSpan.
    QByteArray span(quint32* base = nullptr) const;
    // The span as a raw binary file.
    bool writeBinary(const QString& path, QString* error = nullptr) const;

private:
    std::map<quint32, quint8> m_bytes;
    int m_eraseCount = 0;
    int m_good = 0;
    int m_bad = 0;
    int m_reprogrammed = 0;
    bool m_complete = false;
};
