#include "ReplyAssembler.h"

void ReplyAssembler::append(const QByteArray& chunk)
{
    if (chunk.isEmpty())
        return;
    compact();
    qsizetype from = 0;
    if (m_discarding) {
        // The rest of an overlong line goes up to and including its CR.
        const qsizetype cr = chunk.indexOf('\r');
        if (cr < 0) {
            m_dropped += chunk.size();
            return;
        }
        m_dropped += cr + 1;
        m_discarding = false;
        from = cr + 1;
    }
    m_acc.append(chunk.constData() + from, chunk.size() - from);
    dropOldestLines();
    // The text after the last CR has a cap of its own.
    const qsizetype lastCr = m_acc.lastIndexOf('\r');
    const qsizetype tailStart = lastCr < 0 ? m_scan : qMax(m_scan, lastCr + 1);
    if (m_acc.size() - tailStart > m_cap) {
        m_dropped += m_acc.size() - tailStart;
        m_acc.truncate(tailStart);
        m_discarding = true;
        ++m_overflows;
    }
}

std::optional<QByteArray> ReplyAssembler::nextLine()
{
    const qsizetype cr = m_acc.indexOf('\r', m_scan);
    if (cr < 0)
        return std::nullopt;
    QByteArray line = m_acc.mid(m_scan, cr - m_scan);
    m_scan = cr + 1;
    if (m_scan >= m_acc.size()) {
        m_acc.clear();
        m_scan = 0;
    }
    return stripPrompt(line);
}

void ReplyAssembler::clear()
{
    m_acc.clear();
    m_scan = 0;
    m_discarding = false;
}

int ReplyAssembler::takeOverflows()
{
    const int n = m_overflows;
    m_overflows = 0;
    return n;
}

QByteArray ReplyAssembler::stripPrompt(const QByteArray& line)
{
    const qsizetype p = line.indexOf('>');
    if (p == 0 || p == 1)
        return line.mid(p + 1);
    return line;
}

void ReplyAssembler::compact()
{
    if (m_scan == 0)
        return;
    m_acc.remove(0, m_scan);
    m_scan = 0;
}

void ReplyAssembler::dropOldestLines()
{
    const qsizetype lastCr = m_acc.lastIndexOf('\r');
    if (lastCr < 0 || lastCr + 1 - m_scan <= kBacklogCap)
        return;
    // Keep the newest whole lines that fit: the first line start within the cap.
    const qsizetype keepFrom = m_acc.indexOf('\r', lastCr - kBacklogCap) + 1;
    m_dropped += keepFrom - m_scan;
    m_scan = keepFrom;
    ++m_overflows;
    compact();
}
