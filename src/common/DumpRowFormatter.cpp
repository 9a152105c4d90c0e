#include "DumpRowFormatter.h"

#include "DumpTable.h"
#include "NumberFormat.h"

namespace {

QByteArray pattern(double value, const char* form)
{
    return numfmt::formatPattern(value, QLatin1String(form)).toLatin1();
}

} // namespace

QByteArray DumpRowFormatter::panelRow(int index, const QByteArray& reply, const QByteArray& query)
{
    const int code = dump::panelCode(index);
    if (code == dump::kEndOfDump)
        return QByteArray();
    const dump::Entry& entry = dump::panelTable()[size_t(index)];
    // Only the first four characters of a pedestal unit's answer are its value field;
    // whatever follows is not part of the parameter.
    const QByteArray r = query.startsWith('n') ? reply.left(4) : reply;
    // An identity reply is kept whole, as a comment.
    if (code == dump::kComment)
        return row(QByteArray(), r, code, entry.description);
    return row(query.left(2), r.right(3), code, entry.description);
}

std::optional<QByteArray> DumpRowFormatter::terminalAcuRow(int entry, const QByteArray& reply)
{
    const dump::Entry e = dump::terminalAcuEntry(entry);
    if (e.code == dump::kEndOfDump)
        return std::nullopt;
    // The terminal writes the elevation limits only when the unit answered something.
    if (e.code == dump::kHalves && reply.isEmpty())
        return std::nullopt;
    return row(e.query.left(2), reply.mid(2), e.code, e.description);
}

QByteArray DumpRowFormatter::row(const QByteArray& command, const QByteArray& value, int code,
                                 const QByteArray& description)
{
    if (code == dump::kComment)
        return "'" + value + "\r\n";

    // A placeholder ("???") or garbled value reads as 0 rather than stopping the dump.
    const qint64 v = qint64(numfmt::leadingNumber(QString::fromLatin1(value)));
    // The word is built in 64 bits and kept to 32, so that a run of garbled replies can
    // never overflow it.
    const qint64 word = qint64(m_accumulator) * 256 + v;
    const auto keepWord = [this, word] { m_accumulator = qint32(quint32(quint64(word))); };
    const QByteArray tail = "\t" + description;

    QByteArray out = command + "\t" + value + "\t'";
    switch (code) {
    case dump::kHighByte:
        out += description;
        m_accumulator = qint32(v);
        break;
    case dump::kAsReceived:
        out += value + tail;
        break;
    case dump::kWord:
        out += pattern(double(word), "0000") + tail;
        keepWord();
        break;
    case dump::kSignedTenths:
        // Read as the unit's signed 16-bit field, whatever the two bytes were.
        out += pattern(numfmt::wrap16(word) / 10.0, "000.0") + tail;
        break;
    case dump::kWordHex:
        out += QByteArray::number(quint32(quint64(word)), 16).toUpper() + tail;
        keepWord();
        break;
    case dump::kNorthSouth:
        out += QByteArray(v % 2 != 0 ? "S" : "N") + tail;
        break;
    case dump::kEastWest:
        out += QByteArray((v & 16) != 0 ? "W" : "E") + tail;
        break;
    case dump::kSixths:
        out += pattern(double(word) / 6.0, "000.0") + tail;
        keepWord();
        break;
    case dump::kWordAndSixteenths:
        out += pattern(double(word), "0000") + (m_style == Style::Terminal ? " / " : "/") +
               pattern(double(word) * 0.0625, "0000") + "  " + description;
        keepWord();
        break;
    case dump::kSixteenths:
        out += pattern(double(word) * 0.0625, "0000") + tail;
        keepWord();
        break;
    case dump::kHalves:
        out += pattern(double(v) * 0.5, "000") + tail;
        break;
    case dump::kSignedByte:
        out += pattern(double(qint8(quint8(v & 0xFF))), "000") + tail;
        break;
    default:
        // A code this formatter does not know: keep the value, so the row still uploads.
        out += value + tail;
        break;
    }
    return out + "\r\n";
}
