#include "TextStream.h"

QByteArray TextStream::line(qint64 number)
{
    QByteArray out = QByteArray::number(number % 100000000).rightJustified(8, '0') + ' ';
    // The printable characters, starting one further along on each line.
    constexpr int kFirst = 0x21, kCount = 0x7E - 0x21 + 1;
    const int start = int(number % kCount);
    while (out.size() < kLineLength - 2)
        out += char(kFirst + (start + out.size()) % kCount);
    return out + "\r\n";
}

QByteArray TextStream::take(qint64 n)
{
    QByteArray out;
    out.reserve(n);
    while (out.size() < n) {
        if (m_offset >= m_current.size()) {
            m_current = line(++m_lineNumber);
            m_offset = 0;
        }
        const qsizetype part = qMin<qsizetype>(n - out.size(), m_current.size() - m_offset);
        out += QByteArrayView(m_current).sliced(m_offset, part);
        m_offset += part;
    }
    m_taken += n;
    return out;
}

void TextStream::reset()
{
    m_taken = 0;
    m_lineNumber = 0;
    m_current.clear();
    m_offset = 0;
}
