#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <deque>
#include <map>

class KorvexSession;

// How the link to the unit is doing, for the diagnostics window: replies per second,
// the time from a command to its reply (median and worst over the last minute), sync
// errors by code and time-outs since the link opened. It only listens.
class LinkHealth : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kLatencyWindowMs = 60000;
    static constexpr qint64 kRateWindowMs = 5000;

    explicit LinkHealth(KorvexSession& session, QObject* parent = nullptr);

    double repliesPerSecond() const;
    // Milliseconds; -1 when no reply came in the last minute.
    double medianLatencyMs() const;
    double worstLatencyMs() const;
    const std::map<int, int>& syncErrors() const { return m_syncErrors; }
    int timeOuts() const { return m_timeOuts; }
    void reset();

    // One line per figure, as the window shows them.
    QString summary() const;

Q_SIGNALS:
    void changed();

private:
    void commandSent();
    void replied(const QString& statusText);
    void prune() const;

    KorvexSession& m_session;
    std::array<qint64, 32> m_sentAtNs{}; // by ring slot; 0 = none outstanding
    int m_knownSendIndex = 0;
    mutable std::deque<qint64> m_replyTimesMs;
    mutable std::deque<std::pair<qint64, double>> m_latencies; // (time ms, latency ms)
    std::map<int, int> m_syncErrors;
    int m_timeOuts = 0;
};
