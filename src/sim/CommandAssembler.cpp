#include "CommandAssembler.h"

QList<QByteArray> CommandAssembler::feed(const QByteArray& bytes)
{
    QList<QByteArray> commands;
    for (const char c : bytes) {
        const auto byte = quint8(c);
        if (byte == '\r' || byte == '\n') {
            if (!m_line.isEmpty() && !m_overflow)
                commands.append(m_line);
            m_line.clear();
            m_overflow = false;
            continue;
        }
        if (m_line.isEmpty() && !m_overflow) {
            if (m_isSingle && m_isSingle(byte)) {
                commands.append(QByteArray(1, c));
                continue;
            }
            // Stray control bytes between commands (a NUL after a reset, an XON) start nothing,
            // and neither do blanks: they are what is left of "&    " once its "&" was taken.
            if (byte <= 0x20)
                continue;
        }
        if (m_overflow)
            continue;
        if (m_line.size() >= kMaxLine) {
            m_overflow = true;
            m_line.clear();
            continue;
        }
        m_line.append(c);
    }
    return commands;
}

void CommandAssembler::reset()
{
    m_line.clear();
    m_overflow = false;
}
