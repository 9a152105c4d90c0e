#pragma once

// S-record files and pass-through traffic made by the tests themselves, the way a linker
// and the programming terminal make them, so that what a simulated bootloader stores can
// be compared with the bytes that went in.
#include <QByteArray>
#include <QList>

namespace bootrec {

// One record: type 0-9, the address in as many bytes as the type takes, data, checksum.
inline QByteArray record(int type, quint32 address, const QByteArray& data)
{
    const int width = (type == 2 || type == 6 || type == 8) ? 3 : (type == 3 || type == 7) ? 4 : 2;
    QByteArray bytes;
    bytes += char(width + data.size() + 1);
    for (int i = width - 1; i >= 0; --i)
        bytes += char((address >> (8 * i)) & 0xFF);
    bytes += data;
    int sum = 0;
    for (const char b : bytes)
        sum += quint8(b);
    bytes += char(~sum & 0xFF);
    return "S" + QByteArray::number(type) + bytes.toHex().toUpper();
}

// Bytes that do not repeat with a short period, so a record landing at the wrong address shows.
inline QByteArray pattern(int size, int seed = 1)
{
    QByteArray out(size, '\0');
    quint32 x = quint32(seed) * 2654435761u + 12345;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = char(x >> 16);
    }
    return out;
}

// The lines of a file: an S0 header, data records of `perRecord` bytes from `base`
// (type 1, 2 or 3) and the matching termination record.
inline QList<QByteArray> file(const QByteArray& image, quint32 base = 0, int type = 1, int perRecord = 16)
{
    QList<QByteArray> lines{record(0, 0, "HDR")};
    for (int at = 0; at < image.size(); at += perRecord)
        lines << record(type, base + quint32(at), image.mid(at, perRecord));
    lines << record(10 - type, 0, {});
    return lines;
}

// One line as the terminal cuts it for the ACU: prefix + four characters per piece, a last
// shorter piece padded with "00" to at most five characters, every piece ending CR LF.
inline QList<QByteArray> pieces(const QByteArray& line, char prefix)
{
    QList<QByteArray> out;
    qsizetype i = 0;
    for (; i + 4 <= line.size(); i += 4)
        out << prefix + line.mid(i, 4) + "\r\n";
    if (i < line.size())
        out << (prefix + line.mid(i) + "00").left(5) + "\r\n";
    return out;
}

} // namespace bootrec
