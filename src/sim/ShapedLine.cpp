#include "ShapedLine.h"

ShapedLine::ShapedLine(QByteArrayView key, int keyPosition, char filler)
    : m_key(qMax(1, keyPosition)), m_filler(filler)
{
    m_line = QByteArray(m_key - 1, filler) + key.toByteArray();
}

void ShapedLine::reach(qsizetype size)
{
    if (m_line.size() < size)
        m_line.append(QByteArray(size - m_line.size(), m_filler));
}

ShapedLine& ShapedLine::put(const vocab::Field& field, QByteArrayView text)
{
    const qsizetype start = m_key + field.offset - 1;
    if (start < 0)
        return *this;
    reach(start + field.width);
    for (int i = 0; i < field.width; ++i)
        m_line[start + i] = i < text.size() ? text[i] : m_filler;
    return *this;
}

ShapedLine& ShapedLine::put(int offset, char c)
{
    return put(vocab::Field{offset, 1}, QByteArrayView(&c, 1));
}

namespace shaped {

QByteArray decimal(int value, int width)
{
    if (value < 0) {
        int limit = 1;
        for (int i = 1; i < width; ++i)
            limit *= 10;
        return '-' + QByteArray::number(qMin(-value, limit - 1)).rightJustified(width - 1, '0');
    }
    int limit = 1;
    for (int i = 0; i < width; ++i)
        limit *= 10;
    return QByteArray::number(qMin(value, limit - 1)).rightJustified(width, '0');
}

QByteArray hex4(int value)
{
    return QByteArray::number(value & 0xFFFF, 16).toUpper().rightJustified(4, '0');
}

} // namespace shaped
