#include "TranscriptWriter.h"

#include <Runtime.h>

bool TranscriptWriter::open(const QString& path)
{
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void TranscriptWriter::record(const QString& endpoint, Direction direction, const QByteArray& bytes)
{
    writeLine(endpoint, direction == Direction::In ? "in " : "out", printable(bytes));
}

void TranscriptWriter::note(const QString& endpoint, const QString& text)
{
    writeLine(endpoint, "-- ", text.toLatin1());
}

void TranscriptWriter::writeLine(const QString& endpoint, const char* direction, const QByteArray& text)
{
    if (!m_file.isOpen())
        return;
    QByteArray line = QByteArray::number(m_rt.nowMsF(), 'f', 3).rightJustified(12, ' ');
    line += ' ' + endpoint.toLatin1() + ' ' + direction + ' ' + text + '\n';
    m_file.write(line);
    m_file.flush();
}

QByteArray TranscriptWriter::printable(const QByteArray& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = quint8(c);
        if (b >= 0x20 && b < 0x7F && b != '<') {
            out += c;
        } else {
            out += '<';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
            out += '>';
        }
    }
    return out;
}
