#pragma once

#include "SimFaults.h"
#include "SimRandom.h"

#include <QByteArray>

#include <deque>
#include <functional>

class QObject;
class Runtime;

// The unit's transmitter: turns reply lines into bytes on the wire and applies the fault
// knobs on the way (drop, prompt, garble, join, delay, split, hang-up). Whatever the knobs
// do, bytes leave in the order they were made.
class ReplyOutput {
public:
    using Sender = std::function<void(const QByteArray&)>;

    // context: pending sends die with it.
    ReplyOutput(Runtime& runtime, const QObject* context, quint64 seed, Sender sender);

    void setFaults(const SimFaults& faults) { m_faults = faults; }
    const SimFaults& faults() const { return m_faults; }
    // What ends a reply line ("\r" for the ACU; a console module ends its lines with CR LF).
    void setLineEnd(const QByteArray& end) { m_lineEnd = end; }
    // Called once the reply that the hang-up fault counts to has gone out (or was dropped).
    // The output is halted by then.
    void setHangUpHandler(std::function<void()> handler) { m_onHangUp = std::move(handler); }

    // One reply line, without its end: every fault applies.
    void reply(const QByteArray& line);
    // Bytes that are not a reply line (echo, panel frames, streamed text): they are delayed
    // and split like replies, but never dropped, garbled or joined.
    void sendChunk(const QByteArray& bytes);
    // Bytes that go out untouched (a greeting), still in order.
    void sendRaw(const QByteArray& bytes);

    // Sends nothing more, now, until clear().
    void halt();
    bool isHalted() const { return m_halted; }
    // Forgets everything not yet sent and starts counting replies afresh (a new connection).
    void clear();

    // Replies made on this connection, and replies dropped since the start.
    int repliesMade() const { return m_replies; }
    int repliesDropped() const { return m_dropped; }

private:
    struct Pending {
        qint64 dueNs;
        QByteArray bytes;
        bool hangUpMark = false; // the hang-up comes here, after the bytes before it
    };
    void release(const QByteArray& bytes, qint64 extraDelayNs);
    void enqueue(Pending pending);
    void deliver(Pending& pending);
    void pump(quint64 epoch);
    void schedulePump();

    Runtime& m_rt;
    const QObject* m_context;
    SimRandom m_random;
    Sender m_sender;
    SimFaults m_faults;
    QByteArray m_lineEnd = "\r";
    std::function<void()> m_onHangUp;
    std::deque<Pending> m_queue;
    qint64 m_lastDueNs = 0;
    QByteArray m_held;
    quint64 m_holdSerial = 0;
    quint64 m_epoch = 0; // voids pumps and hold timers scheduled before a clear()
    bool m_halted = false;
    int m_replies = 0;
    int m_dropped = 0;
};
