#pragma once

// Reads replies the way the panel does: a key letter looked for within a window of
// 1-based positions, fixed-width fields counted from it.
#include <QByteArray>

#include <optional>

namespace shape {

// 1-based position of the first `key` in the line if it lies within [from, to].
inline std::optional<int> keyAt(const QByteArray& line, const QByteArray& key, int from, int to)
{
    const qsizetype at = line.indexOf(key);
    if (at < 0 || at + 1 < from || at + 1 > to)
        return std::nullopt;
    return int(at + 1);
}

// Text of `width` characters at 1-based position pos (shorter if the line ends).
inline QByteArray field(const QByteArray& line, int pos, int width)
{
    return line.mid(pos - 1, width);
}

// A four-character number field: digits, or a minus followed by digits.
inline bool isNumber(const QByteArray& text, int width)
{
    if (text.size() != width)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (i == 0 && c == '-')))
            return false;
    }
    return true;
}

inline int number(const QByteArray& line, int pos, int width)
{
    return field(line, pos, width).trimmed().toInt();
}

// A flag byte: a character from "@" upward carrying six flag bits.
inline bool isFlagByte(char c)
{
    return quint8(c) >= 0x40 && quint8(c) <= 0x7F;
}

inline int code(const QByteArray& line, int pos)
{
    return pos - 1 < line.size() ? quint8(line[pos - 1]) : 0;
}

} // namespace shape
