#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <vector>

// Builds S-records byte by byte, so the tests do not lean on the reader they check.
namespace s19 {

inline QByteArray record(char type, quint32 address, const QByteArray& data, int addressBytes = 2)
{
    QByteArray bytes;
    bytes.append(char(addressBytes + data.size() + 1));
    for (int i = addressBytes - 1; i >= 0; --i)
        bytes.append(char((address >> (8 * i)) & 0xFF));
    bytes += data;
    int sum = 0;
    for (char b : bytes)
        sum += uchar(b);
    bytes.append(char(~sum & 0xFF));
    return "S" + QByteArray(1, type) + bytes.toHex().toUpper();
}

inline QByteArray header()
{
    return record('0', 0, "HDR");
}
inline QByteArray end(quint32 start)
{
    return record('9', start, {});
}

// The lines of an image at base, in records of perRecord data bytes.
inline std::vector<QByteArray> image(const QByteArray& bytes, quint32 base, int perRecord = 32)
{
    std::vector<QByteArray> lines;
    for (int at = 0; at < bytes.size(); at += perRecord)
        lines.push_back(record('1', base + at, bytes.mid(at, perRecord)));
    return lines;
}

inline bool write(const QString& path, const std::vector<QByteArray>& lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray& line : lines)
        f.write(line + "\r\n");
    return true;
}

} // namespace s19
