#include "ReplyOutput.h"

#include <Runtime.h>

#include <QLoggingCategory>

#include <utility>

Q_LOGGING_CATEGORY(lcSimOutput, "qvrsim.output", QtWarningMsg)

namespace {
constexpr qint64 kNsPerMs = 1000000;
}

ReplyOutput::ReplyOutput(Runtime& runtime, const QObject* context, quint64 seed, Sender sender)
    : m_rt(runtime), m_context(context), m_random(seed), m_sender(std::move(sender))
{
}

void ReplyOutput::reply(const QByteArray& line)
{
    if (m_halted)
        return;
    ++m_replies;
    const bool lastBeforeHangUp = m_faults.hangUpAfterReplies > 0 && m_replies == m_faults.hangUpAfterReplies;
    const bool dropped = m_faults.dropEvery > 0 && m_replies % m_faults.dropEvery == 0;
    if (dropped) {
        ++m_dropped;
        qCDebug(lcSimOutput) << "dropped reply" << line;
    } else {
        QByteArray bytes;
        if (m_random.chance(m_faults.promptProbability))
            bytes += '>';
        bytes += line;
        if (!m_faults.omitCr)
            bytes += m_lineEnd;
        if (m_faults.garbleProbability > 0) {
            for (char& c : bytes)
                if (m_random.chance(m_faults.garbleProbability))
                    c = char(quint8(c) ^ quint8(1 << m_random.below(7)));
        }

        const qint64 delayNs = qint64(m_faults.delayMs) * kNsPerMs;
        if (!m_faults.joinPairs) {
            release(bytes, delayNs);
        } else if (!m_held.isEmpty()) {
            ++m_holdSerial;
            release(std::exchange(m_held, {}) + bytes, delayNs);
        } else if (lastBeforeHangUp) {
            // No partner will come after the unit hangs up.
            release(bytes, delayNs);
        } else {
            // Wait for a partner, but not for ever: a program that waits for this reply before
            // asking again would otherwise never get it.
            m_held = bytes;
            const quint64 serial = ++m_holdSerial;
            const quint64 epoch = m_epoch;
            m_rt.singleShot(m_faults.joinWindowMs, m_context, [this, serial, epoch, delayNs] {
                if (epoch != m_epoch || serial != m_holdSerial || m_held.isEmpty())
                    return;
                release(std::exchange(m_held, {}), delayNs);
            });
        }
    }
    if (lastBeforeHangUp && !m_halted) {
        if (!m_held.isEmpty()) {
            ++m_holdSerial;
            release(std::exchange(m_held, {}), 0);
        }
        enqueue({qMax(m_rt.nowNs(), m_lastDueNs), {}, true});
    }
}

void ReplyOutput::sendChunk(const QByteArray& bytes)
{
    if (!bytes.isEmpty())
        release(bytes, qint64(m_faults.delayMs) * kNsPerMs);
}

void ReplyOutput::sendRaw(const QByteArray& bytes)
{
    enqueue({qMax(m_rt.nowNs(), m_lastDueNs), bytes});
}

void ReplyOutput::release(const QByteArray& bytes, qint64 extraDelayNs)
{
    qint64 due = qMax(m_rt.nowNs() + extraDelayNs, m_lastDueNs);
    if (m_faults.splitBytes <= 0 || bytes.size() <= m_faults.splitBytes) {
        enqueue({due, bytes});
        return;
    }
    for (qsizetype at = 0; at < bytes.size(); at += m_faults.splitBytes) {
        enqueue({due, bytes.mid(at, m_faults.splitBytes)});
        due += qint64(m_faults.splitGapMs) * kNsPerMs;
    }
}

void ReplyOutput::enqueue(Pending pending)
{
    if (m_halted)
        return;
    m_lastDueNs = pending.dueNs;
    if (m_queue.empty() && pending.dueNs <= m_rt.nowNs()) {
        deliver(pending);
        return;
    }
    m_queue.push_back(std::move(pending));
    if (m_queue.size() == 1)
        schedulePump();
}

void ReplyOutput::deliver(Pending& pending)
{
    if (m_halted)
        return;
    if (!pending.hangUpMark) {
        if (m_sender)
            m_sender(pending.bytes);
        return;
    }
    halt();
    qCDebug(lcSimOutput) << "hanging up after reply" << m_replies;
    if (m_onHangUp)
        m_onHangUp();
}

void ReplyOutput::schedulePump()
{
    const quint64 epoch = m_epoch;
    m_rt.singleShotNs(qMax<qint64>(0, m_queue.front().dueNs - m_rt.nowNs()), m_context,
                      [this, epoch] { pump(epoch); });
}

void ReplyOutput::pump(quint64 epoch)
{
    if (epoch != m_epoch)
        return;
    // Everything due goes now, so the order holds even if timers fire out of turn. Each
    // item leaves the queue before it is delivered: a hang-up may clear the queue.
    while (!m_halted && !m_queue.empty() && m_queue.front().dueNs <= m_rt.nowNs()) {
        Pending next = std::move(m_queue.front());
        m_queue.pop_front();
        deliver(next);
        if (epoch != m_epoch)
            return;
    }
    if (!m_halted && !m_queue.empty())
        schedulePump();
}

void ReplyOutput::halt()
{
    m_halted = true;
    ++m_epoch;
    m_queue.clear();
    m_held.clear();
}

void ReplyOutput::clear()
{
    ++m_epoch;
    m_queue.clear();
    m_held.clear();
    m_lastDueNs = 0;
    m_halted = false;
    m_replies = 0;
}
