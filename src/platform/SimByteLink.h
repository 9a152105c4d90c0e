#pragma once

#include "ByteLink.h"
#include "Runtime.h"
#include "SimPeer.h"

#include <deque>
#include <functional>
#include <vector>

// A link joined to a simulated unit under virtual time. It models the wire: each byte
// takes bitsPerByte / baud seconds to cross, in both directions, so pacing, fill levels
// and upload durations come out as they would on a real line. Every byte that crosses is
// recorded with its time, for tests that assert the exact traffic.
class SimByteLink : public ByteLink {
    Q_OBJECT
public:
    enum class Direction { ToUnit, FromUnit };
    struct Record {
        qint64 timeNs; // when the first byte went onto the wire
        Direction direction;
        QByteArray bytes;
    };

    SimByteLink(Runtime& runtime, Kind kind, QObject* parent = nullptr);
    ~SimByteLink() override;

    Kind kind() const override { return m_kind; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString errorString() const override { return m_error; }
    qint64 write(const QByteArray& data) override;
    qint64 bytesToWrite() const override;
    bool drain(int timeoutMs) override;
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    LineStates lineStates() const override { return m_lines; }

    // --- the simulated side ---
    void attachPeer(SimPeer* peer);
    // 0 = no wire delay (a TCP link); otherwise bits per second.
    void setBaud(int baud) { m_baud = baud; }
    int baud() const { return m_baud; }
    void setBitsPerByte(int bits) { m_bitsPerByte = bits; }
    // Extra delay on every delivery (network latency).
    void setLatencyUs(qint64 us) { m_latencyNs = us * 1000; }
    // Serial: open() fails with this text. TCP: the connection is refused.
    void setOpenFailure(const QString& text) { m_openFailure = text; }
    void clearOpenFailure() { m_openFailure.clear(); }
    // TCP: how long a successful connect takes.
    void setConnectDelayMs(int ms) { m_connectDelayMs = ms; }
    // The far end goes away: the link closes by itself, with closedByPeer and the text the
    // platform gives for it in errorString().
    void dropFromPeer();
    // The line stops taking bytes (a handshake line held low, a stalled adapter): writes are
    // accepted but stay queued, so a drain cannot finish. Lifting the stall sends them.
    void setOutputStalled(bool stalled);
    void discardOutput() override;
    // Line noise toward the unit: what the unit receives of each write (bytes lost or
    // changed on the way). The transcript keeps what was sent.
    void setToUnitNoise(std::function<QByteArray(const QByteArray&)> noise) { m_noise = std::move(noise); }
    // A serial line event arrives now.
    void injectLineEvent(LineEvent event);
    void setLineStates(const LineStates& states) { m_lines = states; }
    bool dtr() const override { return m_dtr; }
    bool rts() const override { return m_rts; }
    // The output lines as a freshly opened port has them (drivers differ: most raise both).
    void setInitialOutputs(bool dtr, bool rts)
    {
        m_initialDtr = dtr;
        m_initialRts = rts;
    }

    const std::vector<Record>& transcript() const { return m_transcript; }
    void clearTranscript() { m_transcript.clear(); }
    // All bytes sent to the unit so far, concatenated.
    QByteArray sentBytes() const;
    // How often the link has opened (connected).
    int openCount() const { return m_openCount; }

private:
    struct Segment {
        qint64 startNs, endNs;
        qint64 bytes;
    };
    qint64 byteTimeNs(qint64 bytes) const;
    // Bytes sent back to back form one run, timed from the run's start, so that a hundred
    // one-byte writes take exactly as long as one hundred-byte write.
    struct Wire {
        qint64 busyUntilNs = 0;
        qint64 runStartNs = 0;
        qint64 runBytes = 0;
    };
    // Puts n bytes on the wire now or behind what is on it; returns the start, sets *end.
    qint64 occupy(Wire& wire, qint64 n, qint64* endNs) const;
    void deliverFromPeer(const QByteArray& bytes);
    void pruneSegments() const;

    Runtime& m_rt;
    Kind m_kind;
    SimPeer* m_peer = nullptr;
    bool m_open = false;
    bool m_connecting = false;
    quint64 m_epoch = 0;   // voids deliveries scheduled before a close
    int m_undelivered = 0; // writes whose bytes the peer has not received yet
    int m_baud = 0;
    int m_bitsPerByte = 10;
    qint64 m_latencyNs = 0;
    int m_connectDelayMs = 1;
    QString m_openFailure;
    QString m_error;
    Wire m_tx;
    Wire m_rx;
    mutable std::deque<Segment> m_txSegments;
    LineStates m_lines;
    bool m_dtr = false;
    bool m_rts = false;
    bool m_initialDtr = false;
    bool m_initialRts = false;
    int m_openCount = 0;
    bool m_stalled = false;
    std::vector<QByteArray> m_held;
    std::vector<Record> m_transcript;
    std::function<QByteArray(const QByteArray&)> m_noise;
};
