#include "LinkHealth.h"

#include "KorvexSession.h"
#include "Runtime.h"

#include <algorithm>
#include <vector>

namespace {
const QString kSyncPrefix = QStringLiteral("Status: Sync Error ");
}

LinkHealth::LinkHealth(KorvexSession& session, QObject* parent) : QObject(parent), m_session(session)
{
    connect(&session.pollCycle(), &PollCycle::commandSent, this, [this] { commandSent(); });
    connect(&session.pollCycle(), &PollCycle::replyTimedOut, this, [this] {
        ++m_timeOuts;
        Q_EMIT changed();
    });
    connect(&session.link(), &DeviceLink::linkOpened, this, &LinkHealth::reset);
    // Every processed reply line reports itself to the status bar, a good one as "Port
    // Open" and a bad one with its code; listening there sees each of them.
    ParserHooks& hooks = session.parser().hooks();
    hooks.statusText = [this, before = hooks.statusText](const QString& text) {
        replied(text);
        if (before)
            before(text);
    };
}

void LinkHealth::reset()
{
    m_sentAtNs.fill(0);
    m_knownSendIndex = m_session.queryRing().sendIndex;
    m_replyTimesMs.clear();
    m_latencies.clear();
    m_syncErrors.clear();
    m_timeOuts = 0;
    Q_EMIT changed();
}

void LinkHealth::commandSent()
{
    const QueryRing& ring = m_session.queryRing();
    const qint64 now = m_session.runtime().nowNs();
    while (m_knownSendIndex != ring.sendIndex) {
        m_sentAtNs[m_knownSendIndex] = now;
        m_knownSendIndex = QueryRing::wrap(m_knownSendIndex + 1);
    }
}

void LinkHealth::replied(const QString& statusText)
{
    const qint64 nowNs = m_session.runtime().nowNs();
    const qint64 nowMs = nowNs / 1000000;
    if (statusText.startsWith(kSyncPrefix)) {
        ++m_syncErrors[statusText.mid(kSyncPrefix.size()).toInt()];
    } else {
        m_replyTimesMs.push_back(nowMs);
        // The parser has not taken the slot yet: the reply answers receiveIndex.
        qint64& sentAt = m_sentAtNs[m_session.queryRing().receiveIndex];
        if (sentAt != 0) {
            m_latencies.emplace_back(nowMs, double(nowNs - sentAt) / 1e6);
            sentAt = 0;
        }
    }
    prune();
    Q_EMIT changed();
}

void LinkHealth::prune() const
{
    const qint64 nowMs = m_session.runtime().now();
    while (!m_replyTimesMs.empty() && m_replyTimesMs.front() <= nowMs - kRateWindowMs)
        m_replyTimesMs.pop_front();
    while (!m_latencies.empty() && m_latencies.front().first <= nowMs - kLatencyWindowMs)
        m_latencies.pop_front();
}

double LinkHealth::repliesPerSecond() const
{
    prune();
    return double(m_replyTimesMs.size()) * 1000.0 / kRateWindowMs;
}

double LinkHealth::medianLatencyMs() const
{
    prune();
    if (m_latencies.empty())
        return -1;
    std::vector<double> v;
    for (const auto& l : m_latencies)
        v.push_back(l.second);
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double LinkHealth::worstLatencyMs() const
{
    prune();
    double worst = -1;
    for (const auto& l : m_latencies)
        worst = std::max(worst, l.second);
    return worst;
}

QString LinkHealth::summary() const
{
    auto ms = [](double v) {
        return v < 0 ? QStringLiteral("-") : QString::number(v, 'f', 0) + QStringLiteral(" ms");
    };
    QString errors;
    for (const auto& [code, count] : m_syncErrors)
        errors += QStringLiteral("%1%2 x%3")
                      .arg(errors.isEmpty() ? QString() : QStringLiteral(", "))
                      .arg(code)
                      .arg(count);
    if (errors.isEmpty())
        errors = QStringLiteral("none");
    return QStringLiteral(
               "Replies/s: %1\nLatency (1 min): median %2, worst %3\nSync errors: %4\nTime-outs: %5")
        .arg(QString::number(repliesPerSecond(), 'f', 1), ms(medianLatencyMs()), ms(worstLatencyMs()), errors)
        .arg(m_timeOuts);
}
