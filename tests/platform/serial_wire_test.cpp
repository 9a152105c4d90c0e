// The serial link's wire clock and its line-error reports, on a real pseudo-terminal
// whose far end this test holds. Real time, kept short.
#include "PtyMaster.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SerialPortProbe.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

// Counter values and queue levels as the test sets them.
class FakeProbe : public SerialPortProbe {
public:
    std::optional<SerialErrorCounts> counts;
    std::optional<int> queued = 0;
    std::optional<SerialErrorCounts> errorCounts(int) override { return counts; }
    std::optional<int> outputQueued(int) override { return queued; }
};

struct WireRig {
    QtRuntime rt;
    PtyMaster far;
    SerialByteLink link{rt};
    FakeProbe* probe = nullptr;

    bool open(const QString& settings, bool fakeProbe = false)
    {
        if (fakeProbe) {
            auto p = std::make_unique<FakeProbe>();
            probe = p.get();
            link.setProbe(std::move(p));
        }
        LinkEndpoint ep;
        ep.device = far.path();
        ep.settings = settings;
        link.setEndpoint(ep);
        return far.ok() && link.open();
    }
    // Milliseconds from writing the bytes to the end of drain(), and drain()'s result.
    double sendAndDrain(const QByteArray& bytes, int timeoutMs, bool* result)
    {
        const qint64 t0 = rt.nowNs();
        link.write(bytes);
        *result = link.drain(timeoutMs);
        return double(rt.nowNs() - t0) / 1e6;
    }
};

TEST(SerialWireClock, DrainReturnsWhenTheBytesHaveLeftTheLine)
{
    // Start bit, data bits, parity bit, stop bits at the baud rate.
    const struct {
        const char* settings;
        int bytes;
        double wireMs;
    } cases[] = {{"9600,N,8,1", 96, 100.0}, {"9600,E,8,2", 48, 60.0}, {"19200,O,7,1", 96, 50.0}};
    for (const auto& c : cases) {
        WireRig r;
        ASSERT_TRUE(r.open(c.settings)) << r.link.errorString().toStdString();
        bool ok = false;
        const double took = r.sendAndDrain(QByteArray(c.bytes, 'U'), 1000, &ok);
        EXPECT_TRUE(ok) << c.settings;
        EXPECT_GE(took, c.wireMs) << c.settings;
        EXPECT_LT(took, c.wireMs + 15.0) << c.settings;
        EXPECT_EQ(r.link.bytesToWrite(), 0);
        EXPECT_TRUE(r.rt.waitUntil([&] { return r.far.heard.size() == c.bytes; }, 1000));
    }

    // Bytes written while the line is busy queue behind it: 48 now and 48 twenty ms later
    // end 100 ms after the first. A write to an idle line starts at its own time.
    WireRig r;
    ASSERT_TRUE(r.open("9600,N,8,1"));
    bool ok = false;
    r.rt.singleShot(20, nullptr, [&] { r.link.write(QByteArray(48, 'b')); });
    double took = r.sendAndDrain(QByteArray(48, 'a'), 1000, &ok);
    EXPECT_GE(took, 100.0);
    EXPECT_LT(took, 115.0);
    r.rt.wait(30);
    took = r.sendAndDrain(QByteArray(12, 'c'), 1000, &ok);
    EXPECT_GE(took, 12.5);
    EXPECT_LT(took, 25.0);
}

TEST(SerialWireClock, FillLevelCountsBytesNotYetOnTheWire)
{
    WireRig r;
    ASSERT_TRUE(r.open("4800,N,8,1"));
    // 48 bytes at 4800 baud: 100 ms; half way through about half are still to go.
    r.link.write(QByteArray(48, 'U'));
    EXPECT_EQ(r.link.bytesToWrite(), 48);
    r.rt.wait(50);
    const qint64 left = r.link.bytesToWrite();
    EXPECT_GE(left, 14);
    EXPECT_LE(left, 25);
    r.rt.wait(60);
    EXPECT_EQ(r.link.bytesToWrite(), 0);
}

TEST(SerialWireClock, DrainThatCannotFinishFailsOnItsDeadlineWithAReason)
{
    WireRig r;
    ASSERT_TRUE(r.open("9600,N,8,1", true));

    // 200 ms of wire time do not fit in 100 ms.
    bool ok = true;
    double took = r.sendAndDrain(QByteArray(192, 'U'), 100, &ok);
    EXPECT_FALSE(ok);
    EXPECT_GE(took, 100.0);
    EXPECT_LT(took, 130.0);
    EXPECT_EQ(r.link.errorString(), "The port did not finish sending within 100 ms");
    EXPECT_TRUE(r.link.isOpen());

    // A device that never empties the kernel's queue (a line held by handshaking).
    EXPECT_TRUE(r.link.drain(2000));
    r.probe->queued = 100;
    took = r.sendAndDrain("P", 50, &ok);
    EXPECT_FALSE(ok);
    EXPECT_GE(took, 50.0);
    EXPECT_LT(took, 80.0);
    EXPECT_EQ(r.link.errorString(), "The port did not finish sending within 50 ms");
}

TEST(SerialWireClock, PortThatClosesDuringDrainFailsAtOnce)
{
    WireRig r;
    ASSERT_TRUE(r.open("9600,N,8,1"));
    r.rt.singleShot(30, nullptr, [&] { r.link.close(); });
    bool ok = true;
    const double took = r.sendAndDrain(QByteArray(960, 'U'), 5000, &ok);
    EXPECT_FALSE(ok);
    EXPECT_LT(took, 60.0);
    EXPECT_EQ(r.link.errorString(), "The port closed before its output was sent");
}

// --- line errors from the kernel's counters ---

std::vector<LineEvent> eventsOf(const QSignalSpy& spy)
{
    std::vector<LineEvent> out;
    for (const auto& args : spy)
        out.push_back(args[0].value<LineEvent>());
    return out;
}

TEST(SerialLineErrors, CounterIncrementsBecomeOneEventPerKind)
{
    WireRig r;
    // Counts from before the open are not ours to report.
    auto p = std::make_unique<FakeProbe>();
    p->counts = SerialErrorCounts{7, 1, 0, 2, 0};
    r.probe = p.get();
    r.link.setProbe(std::move(p));
    ASSERT_TRUE(r.open("9600,N,8,1"));
    QSignalSpy spy(&r.link, &ByteLink::lineEvent);

    // Five framing errors in one reading (a wrong baud rate spoils every byte): one event,
    // shown with the data that came with it.
    r.probe->counts->frame += 5;
    ASSERT_TRUE(r.far.say("x"));
    ASSERT_TRUE(r.rt.waitUntil([&] { return spy.count() > 0; }, 1000));
    r.rt.wait(10);
    EXPECT_EQ(eventsOf(spy), std::vector<LineEvent>{LineEvent::Framing});

    // Every kind at once: one of each, in a fixed order.
    spy.clear();
    r.probe->counts = SerialErrorCounts{13, 2, 3, 3, 1};
    ASSERT_TRUE(r.far.say("y"));
    ASSERT_TRUE(r.rt.waitUntil([&] { return spy.count() >= 5; }, 1000));
    EXPECT_EQ(eventsOf(spy),
              (std::vector<LineEvent>{LineEvent::Framing, LineEvent::Parity, LineEvent::Overrun,
                                      LineEvent::Break, LineEvent::ReceiveOverflow}));

    // A break with no data behind it is found by the timer.
    spy.clear();
    r.probe->counts->brk += 1;
    EXPECT_TRUE(r.rt.waitUntil([&] { return spy.count() > 0; }, 2 * SerialByteLink::kErrorPollMs + 100));
    r.rt.wait(SerialByteLink::kErrorPollMs + 50);
    EXPECT_EQ(eventsOf(spy), std::vector<LineEvent>{LineEvent::Break});

    // Closed, the port reports nothing.
    spy.clear();
    r.link.close();
    r.probe->counts->parity += 1;
    r.rt.wait(SerialByteLink::kErrorPollMs + 50);
    EXPECT_EQ(spy.count(), 0);
}

TEST(SerialLineErrors, DeviceWithoutCountersStaysQuiet)
{
    // A pseudo-terminal keeps no counters: "not available", never an error.
    PtyMaster far;
    ASSERT_TRUE(far.ok());
    const int fd = ::open(far.path().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(makeKernelSerialProbe()->errorCounts(fd).has_value());
    ::close(fd);

    WireRig r;
    ASSERT_TRUE(r.open("9600,N,8,1"));
    QSignalSpy events(&r.link, &ByteLink::lineEvent);
    QSignalSpy errors(&r.link, &ByteLink::errorOccurred);
    ASSERT_TRUE(r.far.say("hello"));
    r.rt.wait(SerialByteLink::kErrorPollMs + 50);
    EXPECT_EQ(events.count(), 0);
    EXPECT_EQ(errors.count(), 0);
}

} // namespace
