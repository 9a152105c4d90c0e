#include "SimByteLink.h"
#include "SimRuntime.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <vector>

namespace {

constexpr qint64 kNsPerMs = 1000000;
// One byte at 9600 baud, 10 bits a byte: 1.0416 ms.
constexpr qint64 byteNs(qint64 n)
{
    return n * 10 * 1000000000LL / 9600;
}

// A unit that notes what reached it and when, and answers each piece with a reply.
class EchoUnit : public SimPeer {
public:
    explicit EchoUnit(Runtime& rt) : m_rt(rt) {}
    void peerReceived(const QByteArray& bytes) override
    {
        heard.push_back({m_rt.nowNs(), bytes});
        if (!reply.isEmpty())
            sendToHost(reply);
    }
    void peerConnected() override { ++connects; }
    void peerDisconnected() override { ++disconnects; }
    void say(const QByteArray& bytes) { sendToHost(bytes); }

    struct Heard {
        qint64 timeNs;
        QByteArray bytes;
    };
    std::vector<Heard> heard;
    QByteArray reply;
    int connects = 0, disconnects = 0;

private:
    Runtime& m_rt;
};

struct Rig {
    SimRuntime rt;
    EchoUnit unit{rt};
    SimByteLink link{rt, ByteLink::Kind::Serial};
    std::vector<std::pair<qint64, QByteArray>> received;

    explicit Rig(int baud = 9600)
    {
        link.setBaud(baud);
        link.attachPeer(&unit);
        QObject::connect(&link, &ByteLink::received, [this](const QByteArray& b) {
            received.push_back({rt.nowNs(), b});
        });
    }
};

} // namespace

TEST(SimByteLink, BytesTakeTheirWireTimeAt9600Baud)
{
    Rig r;
    ASSERT_TRUE(r.link.open());
    EXPECT_EQ(r.link.write(QByteArray(100, 'x')), 100);
    r.rt.wait(104);
    EXPECT_TRUE(r.unit.heard.empty());
    r.rt.wait(1);
    ASSERT_EQ(r.unit.heard.size(), 1u);
    EXPECT_EQ(r.unit.heard[0].timeNs, byteNs(100));
    EXPECT_NEAR(double(byteNs(100)) / kNsPerMs, 104.17, 0.005);
    // A second write queues behind the first one on the wire.
    r.link.write("ab");
    r.link.write("c");
    r.rt.wait(10);
    ASSERT_EQ(r.unit.heard.size(), 3u);
    EXPECT_EQ(r.unit.heard[1].timeNs, 105 * kNsPerMs + byteNs(2));
    EXPECT_EQ(r.unit.heard[2].timeNs, 105 * kNsPerMs + byteNs(3));
    // Many small writes take exactly as long as one big one.
    const qint64 t0 = r.rt.nowNs();
    for (int i = 0; i < 1000; ++i)
        r.link.write("z");
    EXPECT_TRUE(r.link.drain(10000));
    EXPECT_EQ(r.rt.nowNs() - t0, byteNs(1000));
}

TEST(SimByteLink, OutputCountFallsAsBytesLeave)
{
    Rig r;
    r.link.open();
    r.link.write(QByteArray(100, 'x'));
    EXPECT_EQ(r.link.bytesToWrite(), 100);
    r.rt.wait(10); // 9.6 bytes out
    EXPECT_EQ(r.link.bytesToWrite(), 91);
    r.rt.wait(40); // 48 bytes out
    EXPECT_EQ(r.link.bytesToWrite(), 52);
    r.link.write(QByteArray(10, 'y'));
    EXPECT_EQ(r.link.bytesToWrite(), 62);
    r.rt.wait(64); // 114 ms: the second block began at 104.17 ms, 9.4 bytes of it are out
    EXPECT_EQ(r.link.bytesToWrite(), 1);
    r.rt.waitNs(byteNs(110) - r.rt.nowNs() - 1);
    EXPECT_EQ(r.link.bytesToWrite(), 1);
    r.rt.waitNs(1);
    EXPECT_EQ(r.link.bytesToWrite(), 0);
}

TEST(SimByteLink, DrainWaitsForTheWireAndFailsOnTimeoutOrClose)
{
    Rig r;
    r.link.open();
    r.link.write(QByteArray(100, 'x'));
    EXPECT_FALSE(r.link.drain(50));
    EXPECT_EQ(r.rt.nowNs(), 50 * kNsPerMs);
    EXPECT_TRUE(r.link.drain(1000));
    EXPECT_EQ(r.rt.nowNs(), byteNs(100));
    EXPECT_TRUE(r.link.drain(0)); // nothing queued

    // A close right after a drain loses nothing: the unit already has the bytes, also when
    // they reach it a little after their wire time.
    r.link.setLatencyUs(500);
    r.link.write("^BL\r\n");
    // Something else due between the wire end and the arrival.
    r.rt.singleShotNs(byteNs(5) + 200000, nullptr, [] {});
    EXPECT_TRUE(r.link.drain(1000));
    r.link.close();
    EXPECT_EQ(r.unit.heard.size(), 2u);
    r.link.open();

    r.link.write(QByteArray(100, 'x'));
    r.rt.singleShot(20, nullptr, [&] { r.link.close(); });
    EXPECT_FALSE(r.link.drain(1000));
    EXPECT_EQ(r.unit.heard.size(), 2u); // the last block died with the link
}

TEST(SimByteLink, RepliesArriveAfterTheirOwnWireTime)
{
    Rig r;
    r.unit.reply = "OK\r";
    r.link.open();
    r.link.write("P");
    r.rt.wait(10);
    ASSERT_EQ(r.received.size(), 1u);
    EXPECT_EQ(r.received[0].first, byteNs(1) + byteNs(3));
    EXPECT_EQ(r.received[0].second, "OK\r");

    // Unsolicited text queues on the return wire like the replies do.
    r.received.clear();
    const qint64 t0 = r.rt.nowNs();
    r.unit.say("12345");
    r.unit.say("6");
    r.rt.wait(10);
    ASSERT_EQ(r.received.size(), 2u);
    EXPECT_EQ(r.received[0].first, t0 + byteNs(5));
    EXPECT_EQ(r.received[1].first, t0 + byteNs(6));
}

TEST(SimByteLink, TranscriptRecordsBothDirectionsWithWireStartTimes)
{
    Rig r;
    r.unit.reply = "A\r";
    r.link.open();
    r.link.write("XY");
    r.link.write("Z");
    r.rt.wait(20);
    const auto& t = r.link.transcript();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].direction, SimByteLink::Direction::ToUnit);
    EXPECT_EQ(t[0].bytes, "XY");
    EXPECT_EQ(t[0].timeNs, 0);
    EXPECT_EQ(t[1].bytes, "Z");
    EXPECT_EQ(t[1].timeNs, byteNs(2));
    EXPECT_EQ(t[2].direction, SimByteLink::Direction::FromUnit);
    EXPECT_EQ(t[2].bytes, "A\r");
    EXPECT_EQ(t[2].timeNs, byteNs(2));
    // The second reply is made when "Z" lands, but waits for the first one to clear the wire.
    EXPECT_EQ(t[3].direction, SimByteLink::Direction::FromUnit);
    EXPECT_EQ(t[3].timeNs, 2 * byteNs(2));
    EXPECT_EQ(r.link.sentBytes(), "XYZ");
}

TEST(SimByteLink, WritesWhileClosedAreRejected)
{
    Rig r;
    EXPECT_EQ(r.link.write("P"), -1);
    r.link.open();
    r.link.close();
    EXPECT_EQ(r.link.write("P"), -1);
    r.rt.wait(100);
    EXPECT_TRUE(r.unit.heard.empty());
    EXPECT_TRUE(r.link.transcript().empty());
    EXPECT_EQ(r.unit.connects, 1);
    EXPECT_EQ(r.unit.disconnects, 1);
}

TEST(SimByteLink, SerialOpenFailureIsToldByTheResultOnly)
{
    Rig r;
    QSignalSpy errors(&r.link, &ByteLink::errorOccurred);
    r.link.setOpenFailure("Access denied");
    EXPECT_FALSE(r.link.open());
    EXPECT_EQ(r.link.errorString(), "Access denied");
    EXPECT_FALSE(r.link.isOpen());
    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(r.unit.connects, 0);
    r.link.clearOpenFailure();
    EXPECT_TRUE(r.link.open());
    EXPECT_TRUE(r.link.errorString().isEmpty());
}

TEST(SimByteLink, TcpConnectsAfterItsDelayOrIsRefused)
{
    SimRuntime rt;
    EchoUnit unit{rt};
    SimByteLink link{rt, ByteLink::Kind::Tcp};
    link.attachPeer(&unit);
    QSignalSpy opened(&link, &ByteLink::opened);
    QSignalSpy errors(&link, &ByteLink::errorOccurred);
    link.setConnectDelayMs(40);
    EXPECT_TRUE(link.open());
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(link.open()); // already on its way
    EXPECT_EQ(link.write("x"), -1);
    EXPECT_TRUE(rt.waitUntil([&] { return link.isOpen(); }, 1000));
    EXPECT_EQ(rt.nowNs(), 40 * kNsPerMs);
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(unit.connects, 1);

    // No wire time without a baud rate: bytes cross at once.
    unit.reply = "pong";
    QByteArray got;
    QObject::connect(&link, &ByteLink::received, [&](const QByteArray& b) { got += b; });
    link.write("ping");
    rt.processEvents();
    rt.processEvents();
    EXPECT_EQ(got, "pong");
    EXPECT_EQ(rt.nowNs(), 40 * kNsPerMs);

    link.close();
    link.setOpenFailure("Connection refused");
    EXPECT_TRUE(link.open());
    rt.wait(100);
    EXPECT_FALSE(link.isOpen());
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(errors[0][0].toString(), "Connection refused");
    EXPECT_EQ(link.errorString(), "Connection refused");
    EXPECT_EQ(opened.count(), 1);
}

TEST(SimByteLink, CloseBeforeTheConnectCompletesCancelsIt)
{
    SimRuntime rt;
    SimByteLink link{rt, ByteLink::Kind::Tcp};
    QSignalSpy opened(&link, &ByteLink::opened);
    link.setConnectDelayMs(40);
    link.open();
    rt.wait(10);
    link.close();
    rt.wait(100);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(opened.count(), 0);
}

TEST(SimByteLink, DropFromPeerClosesOnceAndVoidsTextInFlight)
{
    Rig r;
    QSignalSpy closed(&r.link, &ByteLink::closedByPeer);
    QSignalSpy errors(&r.link, &ByteLink::errorOccurred);
    r.link.open();
    r.unit.say("late reply\r");
    r.rt.wait(2);
    r.link.dropFromPeer();
    r.link.dropFromPeer();
    r.rt.wait(100);
    EXPECT_FALSE(r.link.isOpen());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(errors.count(), 0);
    EXPECT_FALSE(r.link.errorString().isEmpty());
    EXPECT_TRUE(r.received.empty());
    EXPECT_EQ(r.unit.disconnects, 1);
    // An explicit close is not the peer's doing.
    r.link.open();
    r.link.close();
    EXPECT_EQ(closed.count(), 1);
}

TEST(SimByteLink, LinesAndLineEvents)
{
    Rig r;
    QSignalSpy events(&r.link, &ByteLink::lineEvent);
    r.link.injectLineEvent(LineEvent::Break); // closed: nothing
    r.link.open();
    r.link.injectLineEvent(LineEvent::Framing);
    ASSERT_EQ(events.count(), 1);
    EXPECT_EQ(events[0][0].value<LineEvent>(), LineEvent::Framing);
    EXPECT_TRUE(r.link.setDtr(true));
    EXPECT_TRUE(r.link.dtr());
    LineStates s;
    s.available = true;
    s.cts = true;
    r.link.setLineStates(s);
    EXPECT_TRUE(r.link.lineStates().cts);

    SimRuntime rt;
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    EXPECT_FALSE(tcp.setRts(true));
}
