#pragma once

// S-record files and pass-through traffic made by the tests themselves, byte by byte, the
// way a linker and the programming terminal make them. The tests do not lean on the readers
// they check, and what a simulated bootloader stores can be compared with what went in.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

namespace srec {

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

inline QByteArray header()
{
    return record(0, 0, "HDR");
}

// The S9 termination record with the start address.
inline QByteArray end(quint32 start)
{
    return record(9, start, {});
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

// The data records of an image at base (type 1, 2 or 3), perRecord bytes each.
inline QList<QByteArray> image(const QByteArray& bytes, quint32 base, int perRecord = 32, int type = 1)
{
    QList<QByteArray> lines;
    for (int at = 0; at < bytes.size(); at += perRecord)
        lines << record(type, base + quint32(at), bytes.mid(at, perRecord));
    return lines;
}

// A whole file: an S0 header, the data records and the matching termination record.
inline QList<QByteArray> file(const QByteArray& bytes, quint32 base = 0, int type = 1, int perRecord = 16)
{
    QList<QByteArray> lines{header()};
    lines << image(bytes, base, perRecord, type);
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

// The lines to a file, each ending CR LF.
template <typename Lines>
bool write(const QString& path, const Lines& lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray& line : lines)
        f.write(line + "\r\n");
    return true;
}

} // namespace srec
