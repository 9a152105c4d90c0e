#pragma once

#include <CommandVocabulary.h>

#include <QByteArray>
#include <QByteArrayView>

// Builds a reply line around its key, field by field, from the same shape tables the panel
// reads it back with, so the two cannot drift apart. Positions the fields leave free hold
// the filler character.
class ShapedLine {
public:
    // The key's first character stands at 1-based position keyPosition.
    explicit ShapedLine(QByteArrayView key, int keyPosition = 1, char filler = ' ');

    // Text into a field, cut or padded with the filler to the field's width.
    ShapedLine& put(const vocab::Field& field, QByteArrayView text);
    // One character at k + offset.
    ShapedLine& put(int offset, char c);

    int key() const { return m_key; }
    const QByteArray& line() const { return m_line; }
    operator QByteArray() const { return m_line; }

private:
    void reach(qsizetype size);

    QByteArray m_line;
    int m_key;
    char m_filler;
};

// Field texts as the unit writes them.
namespace shaped {
// Decimal digits with leading zeros, clipped to what the width holds; a negative value
// gives a minus sign and one digit fewer ("-012").
QByteArray decimal(int value, int width = 4);
// Four upper-case hexadecimal digits of a 16-bit two's complement value.
QByteArray hex4(int value);
} // namespace shaped
