#pragma once

#include "ReplyOutput.h"
#include "SimFaults.h"

#include <SimPeer.h>

#include <QObject>

#include <functional>

class Runtime;

// One line into a simulated unit, as its host sees it: bytes in, reply lines and other bytes
// out through the unit's transmitter with its fault knobs, a greeting on connection, and a
// way for the unit to hang up. What the unit makes of the bytes is the subclass's business.
class UnitLine : public QObject, public SimPeer {
    Q_OBJECT
public:
    // How long a unit that hangs up after a reply lets that reply travel before the
    // connection goes: a real socket also delivers what was written before it closes.
    static constexpr int kHangUpLingerMs = 50;

    // seed drives this line's faults (its own sequence, apart from whatever the unit draws).
    UnitLine(Runtime& runtime, quint64 seed, QObject* parent = nullptr);
    ~UnitLine() override;

    // A line sent when the program connects (empty: none).
    void setGreeting(const QByteArray& line) { m_greeting = line; }
    // How the host drops the connection (a TCP host closes the socket; a simulated link
    // drops from the far end). Without one, a unit that hangs up just falls silent until
    // the next connection, as a serial line would show it.
    void setHangUp(std::function<void()> hangUp) { m_hangUp = std::move(hangUp); }
    bool hasHungUp() const { return m_output.isHalted(); }

    void setFaults(const SimFaults& faults);
    const SimFaults& faults() const { return m_output.faults(); }
    void setDropEvery(int n);
    void setReplyDelayMs(int ms);
    void setSplit(int pieceBytes, int gapMs = 10);
    void setJoinPairs(bool on);
    void setGarbleProbability(double p);
    void setOmitCr(bool on);
    void setPromptProbability(double p);
    // Hang up after the Nth reply of each connection (0 = never).
    void setHangUpAfterReplies(int n);
    // Hang up ms after each connection is made (0 = never); counts from now when connected.
    void setHangUpAfterMs(int ms);

    int repliesMade() const { return m_output.repliesMade(); }
    int repliesDropped() const { return m_output.repliesDropped(); }

    void peerReceived(const QByteArray& bytes) final;
    void peerReceivedOnWire(const QByteArray& bytes, const WireTiming& timing) final;
    void peerConnected() final;
    void peerDisconnected() final;

Q_SIGNALS:
    // The unit hung up (or fell silent) because of the hang-up fault.
    void hungUp();

protected:
    Runtime& runtime() const { return m_rt; }
    ReplyOutput& output() { return m_output; }
    bool isConnected() const { return m_connected; }

    virtual void received(const QByteArray& bytes) = 0;
    // Bytes with the times they crossed a serial wire; units that need pauses on their
    // line override this, the others hear the bytes alone.
    virtual void receivedOnWire(const QByteArray& bytes, const WireTiming& timing)
    {
        Q_UNUSED(timing);
        received(bytes);
    }
    virtual void connected() {}
    virtual void disconnected() {}

private:
    void changeFaults(const std::function<void(SimFaults&)>& change);
    void armTimedHangUp();
    void hangUpNow(int afterMs);

    Runtime& m_rt;
    ReplyOutput m_output;
    QByteArray m_greeting;
    std::function<void()> m_hangUp;
    bool m_connected = false;
    quint64 m_connection = 0; // voids timers of an earlier connection
    quint64 m_timedSerial = 0;
};
