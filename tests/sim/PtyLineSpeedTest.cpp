// qvrsim's pseudo-terminal read at a line speed: bytes the program writes in one go arrive
// one after the other, ten bit times each, and the unit hears them once they have arrived,
// with their times.
#include <PtyUnitHost.h>
#include <QtRuntime.h>

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Listener : SimPeer {
    struct Heard {
        QByteArray bytes;
        WireTiming timing;
        qint64 heardNs; // on the listener's clock
    };
    QElapsedTimer clock;
    std::vector<Heard> heard;
    int untimed = 0;
    bool connected = false;

    Listener() { clock.start(); }
    void peerReceived(const QByteArray&) override { ++untimed; }
    void peerReceivedOnWire(const QByteArray& bytes, const WireTiming& timing) override
    {
        heard.push_back({bytes, timing, clock.nsecsElapsed()});
    }
    void peerConnected() override { connected = true; }

    QByteArray all() const
    {
        QByteArray out;
        for (const Heard& h : heard)
            out += h.bytes;
        return out;
    }
};

} // namespace

TEST(PtyLineSpeed, BytesArriveBackToBackAtTenBitsEachAndAreHeardOnlyOnceArrived)
{
    QtRuntime rt;
    auto owned = std::make_unique<Listener>();
    Listener& unit = *owned;
    PtyUnitHost host(std::move(owned));
    host.setLineSpeed(9600);
    ASSERT_TRUE(host.open()) << host.errorString().toStdString();
    const int fd = ::open(host.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(rt.waitUntil([&] { return unit.connected; }, 2000));

    const qint64 writtenNs = unit.clock.nsecsElapsed();
    ASSERT_EQ(::write(fd, "0123456789", 10), 10);
    ASSERT_TRUE(rt.waitUntil([&] { return unit.all().size() == 10; }, 2000));
    const size_t firstRun = unit.heard.size();
    rt.wait(30);
    ASSERT_EQ(::write(fd, "AB", 2), 2);
    ASSERT_TRUE(rt.waitUntil([&] { return unit.all().size() == 12; }, 2000));
    ::close(fd);

    EXPECT_EQ(unit.untimed, 0);
    EXPECT_EQ(unit.all(), "0123456789AB");
    const std::vector<Listener::Heard>& h = unit.heard;
    // Ten bytes at 9600 baud: 10 x 1.0417 ms, each starting where the one before ended.
    EXPECT_EQ(h[firstRun - 1].timing.endNs - h[0].timing.startNs, 10416666);
    for (size_t i = 1; i < firstRun; ++i)
        EXPECT_EQ(h[i].timing.startNs, h[i - 1].timing.endNs) << "slice " << i;
    EXPECT_GE(h[firstRun - 1].heardNs - writtenNs, 10416666) << "heard before the last byte had arrived";
    // The second write found the line free: it starts when it was read, after the pause.
    EXPECT_GE(h[firstRun].timing.startNs - h[firstRun - 1].timing.endNs, 25000000);
    EXPECT_EQ(h.back().timing.endNs - h[firstRun].timing.startNs, 2083333);
}
