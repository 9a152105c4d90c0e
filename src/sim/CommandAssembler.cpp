#include "CommandAssembler.h"

QList<QByteArray> CommandAssembler::feed(const QByteArray& bytes)
{
    QList<Command> commands;
    m_lastEndNs = -1;
    for (const char c : bytes)
        take(c, -1, -1, 0, &commands);
    QList<QByteArray> texts;
    texts.reserve(commands.size());
    for (Command& command : commands)
        texts.append(std::move(command.text));
    return texts;
}

QList<CommandAssembler::Command> CommandAssembler::feedOnWire(const QByteArray& bytes,
                                                              const WireTiming& timing)
{
    QList<Command> commands;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i)
        take(bytes[i], timing.byteStartNs(i, n), timing.byteEndNs(i, n), timing.earlyNs, &commands);
    return commands;
}

void CommandAssembler::take(char c, qint64 startNs, qint64 endNs, qint64 earlyNs, QList<Command>* commands)
{
    // The quiet before this byte: line ends and blanks between commands count as traffic,
    // as they are on the wire.
    const qint64 quietNs = (startNs >= 0 && m_lastEndNs >= 0) ? qMax<qint64>(0, startNs - m_lastEndNs) : -1;
    m_lastEndNs = endNs;
    const auto byte = quint8(c);
    if (byte == '\r' || byte == '\n') {
        if (!m_line.isEmpty() && !m_overflow)
            commands->append({m_line, m_lineQuietNs, m_lineEarlyNs});
        m_line.clear();
        m_overflow = false;
        m_lineStarted = false;
        return;
    }
    // A command's pause is the one before its first byte, be that a byte it skips (ESC).
    if (!m_lineStarted) {
        m_lineStarted = true;
        m_lineQuietNs = quietNs;
        m_lineEarlyNs = earlyNs;
    }
    if (m_line.isEmpty() && !m_overflow) {
        if (m_isSingle && m_isSingle(byte)) {
            commands->append({QByteArray(1, c), m_lineQuietNs, m_lineEarlyNs});
            m_lineStarted = false;
            return;
        }
        // Stray control bytes between commands (a NUL after a reset, an XON) start nothing,
        // and neither do blanks: they are what is left of "&    " once its "&" was taken.
        if (byte <= 0x20)
            return;
    }
    if (m_overflow)
        return;
    if (m_line.size() >= kMaxLine) {
        m_overflow = true;
        m_line.clear();
        return;
    }
    m_line.append(c);
}

void CommandAssembler::reset()
{
    m_line.clear();
    m_overflow = false;
    m_lastEndNs = -1;
    m_lineQuietNs = -1;
    m_lineStarted = false;
}
