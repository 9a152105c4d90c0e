// The waits of the command sequences. All of them run on the Runtime's monotonic clock,
// so a wait behaves the same at midnight as at noon and runs in virtual time in tests.
#include "TerminalSession.h"

#include "ByteLink.h"
#include "Runtime.h"
#include "TerminalScreen.h"

#include <algorithm>

bool TerminalSession::modalWait(int ms)
{
    bool endedByData = false;
    m_modalWaits.push_back(&endedByData);
    m_rt.waitUntil([&endedByData] { return endedByData; }, ms);
    m_modalWaits.erase(std::find(m_modalWaits.begin(), m_modalWaits.end(), &endedByData));
    return endedByData;
}

bool TerminalSession::flushAndPause(int ms)
{
    const qint64 calledNs = m_rt.nowNs();
    qint64 silentSinceNs = -1;
    if (m_portOpen) {
        // The drain's limit keeps a line held up by handshaking from hanging the sequence.
        if (activeLink().drain(kDrainLimitMs)) {
            silentSinceNs = activeLink().outputDoneAtNs();
        } else if (activeLink().isOpen()) {
            activeLink().discardOutput();
            return false;
        }
        // A link that closed while draining is told by the next send's refusal.
    }
    m_rt.processEvents();
    // The pause is a gap on the wire, so when the output was still going out it counts
    // from the moment the last byte left: a drain that woke up late (a busy machine) has
    // then already spent part of it, and the lateness does not add up over the thousands
    // of pieces of an upload. A line that was already quiet gets the whole pause from now.
    const qint64 now = m_rt.nowNs();
    const qint64 from = silentSinceNs > calledNs ? qMin(silentSinceNs, now) : now;
    m_rt.waitNs(from + qint64(ms) * 1000000 - now);
    return true;
}

QString TerminalSession::awaitReply()
{
    m_rt.waitUntil([this] { return !m_replyText.isEmpty(); }, kReplyWaitMs);
    return m_replyText;
}

QString TerminalSession::awaitParamReply()
{
    if (m_abortCode != 0)
        return m_replyText;
    const bool answered =
        m_rt.waitUntil([this] { return !m_replyText.isEmpty() || m_abortCode != 0; }, kReplyWaitMs);
    if (!answered) {
        m_replyText = QStringLiteral("??");
        m_screen->showText(QStringLiteral("\r\nCommand Timed Out No Response"));
    }
    return m_replyText;
}
