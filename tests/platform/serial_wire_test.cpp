// The serial link's wire clock and its line-error reports, on a real pseudo-terminal
// whose far end this test holds. Real time, kept short.
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SerialPortProbe.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QSocketNotifier>

#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

// The master side of a pseudo-terminal; the link opens the slave by its path. The far
// end reads whatever arrives, unless told not to.
class PtyMaster {
public:
    explicit PtyMaster(bool read = true)
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)
            return;
        m_path = QString::fromLocal8Bit(ptsname(m_fd));
        fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        if (!read)
            return;
        m_reader = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_reader.get(), &QSocketNotifier::activated, [this] {
            char buf[4096];
            qint64 n;
            while ((n = ::read(m_fd, buf, sizeof buf)) > 0)
                heard.append(buf, int(n));
        });
    }
    ~PtyMaster()
    {
        m_reader.reset();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    void say(const QByteArray& bytes)
    {
        ASSERT_EQ(::write(m_fd, bytes.constData(), bytes.size()), bytes.size());
    }

    QByteArray heard;

private:
    int m_fd = -1;
    QString m_path;
    std::unique_ptr<QSocketNotifier> m_reader;
};

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

    explicit WireRig(bool farReads = true) : far(farReads) {}
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
    // Milliseconds that drain() took, and its result.
    double timedDrain(int timeoutMs, bool* result)
    {
        const qint64 t0 = rt.nowNs();
        *result = link.drain(timeoutMs);
        return double(rt.nowNs() - t0) / 1e6;
    }
};

double msSince(const QtRuntime& rt, qint64 t0)
{
    return double(rt.nowNs() - t0) / 1e6;
}

TEST(SerialWireClock, DrainReturnsWhenTheBytesHaveLeftTheLine)
{
    WireRig r;
    ASSERT_TRUE(r.open("9600,N,8,1")) << r.link.errorString().toStdString();

    // 96 bytes of 10 bits at 9600 baud: 100 ms on the wire.
    const qint64 t0 = r.rt.nowNs();
    ASSERT_EQ(r.link.write(QByteArray(96, 'U')), 96);
    EXPECT_EQ(r.link.bytesToWrite(), 96);
    EXPECT_TRUE(r.link.drain(1000));
    const double took = msSince(r.rt, t0);
    EXPECT_GE(took, 100.0);
    EXPECT_LT(took, 115.0);
    EXPECT_EQ(r.link.bytesToWrite(), 0);
    EXPECT_TRUE(r.rt.waitUntil([&] { return r.far.heard.size() == 96; }, 1000));

    // Writes while the line is busy queue behind it: 48 bytes now and 48 twenty ms later
    // still end 100 ms after the first.
    const qint64 t1 = r.rt.nowNs();
    r.link.write(QByteArray(48, 'a'));
    r.rt.wait(20);
    r.link.write(QByteArray(48, 'b'));
    EXPECT_TRUE(r.link.drain(1000));
    EXPECT_GE(msSince(r.rt, t1), 100.0);
    EXPECT_LT(msSince(r.rt, t1), 115.0);

    // A write after the line went idle starts at its own time: 12 bytes, 12.5 ms.
    r.rt.wait(30);
    const qint64 t2 = r.rt.nowNs();
    r.link.write(QByteArray(12, 'c'));
    EXPECT_TRUE(r.link.drain(1000));
    EXPECT_GE(msSince(r.rt, t2), 12.5);
    EXPECT_LT(msSince(r.rt, t2), 25.0);
}

TEST(SerialWireClock, ParityAndTwoStopBitsMakeTwelveBitsAByte)
{
    WireRig r;
    ASSERT_TRUE(r.open("9600,E,8,2")) << r.link.errorString().toStdString();
    // 48 bytes of 12 bits: 60 ms (at 10 bits it would be 50).
    const qint64 t0 = r.rt.nowNs();
    r.link.write(QByteArray(48, 'U'));
    EXPECT_TRUE(r.link.drain(1000));
    EXPECT_GE(msSince(r.rt, t0), 60.0);
    EXPECT_LT(msSince(r.rt, t0), 75.0);
}

TEST(SerialWireClock, FillLevelCountsBytesNotYetOnTheWire)
{
    WireRig r;
    ASSERT_TRUE(r.open("4800,N,8,1"));
    // 48 bytes at 4800 baud: 100 ms; half way through about half are still to go.
    r.link.write(QByteArray(48, 'U'));
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

    // One second of wire time does not fit in 100 ms.
    r.link.write(QByteArray(960, 'U'));
    bool ok = true;
    double took = r.timedDrain(100, &ok);
    EXPECT_FALSE(ok);
    EXPECT_GE(took, 100.0);
    EXPECT_LT(took, 130.0);
    EXPECT_EQ(r.link.errorString(), "The port did not finish sending within 100 ms");
    EXPECT_TRUE(r.link.isOpen());

    // A device that never empties the kernel's queue (a line held by handshaking).
    EXPECT_TRUE(r.link.drain(2000));
    r.probe->queued = 100;
    r.link.write("P");
    took = r.timedDrain(50, &ok);
    EXPECT_FALSE(ok);
    EXPECT_GE(took, 50.0);
    EXPECT_LT(took, 80.0);
    EXPECT_EQ(r.link.errorString(), "The port did not finish sending within 50 ms");

    // The queue empties: drain succeeds.
    r.rt.singleShot(20, nullptr, [&] { r.probe->queued = 0; });
    took = r.timedDrain(1000, &ok);
    EXPECT_TRUE(ok);
    EXPECT_GE(took, 20.0);
    EXPECT_LT(took, 40.0);
}

TEST(SerialWireClock, PortThatClosesDuringDrainFailsAtOnce)
{
    WireRig r;
    ASSERT_TRUE(r.open("9600,N,8,1"));
    r.link.write(QByteArray(960, 'U'));
    r.rt.singleShot(30, nullptr, [&] { r.link.close(); });
    bool ok = true;
    const double took = r.timedDrain(5000, &ok);
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
    r.far.say("x");
    ASSERT_TRUE(r.rt.waitUntil([&] { return spy.count() > 0; }, 1000));
    r.rt.wait(10);
    EXPECT_EQ(eventsOf(spy), std::vector<LineEvent>{LineEvent::Framing});

    // Every kind at once: one of each, in a fixed order.
    spy.clear();
    r.probe->counts = SerialErrorCounts{13, 2, 3, 3, 1};
    r.far.say("y");
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
    r.far.say("hello");
    r.rt.wait(SerialByteLink::kErrorPollMs + 50);
    EXPECT_EQ(events.count(), 0);
    EXPECT_EQ(errors.count(), 0);
}

} // namespace
