// FlushAndPause over a real serial link (a pseudo-terminal whose far end this test holds),
// in real time: the pause is a gap on the wire after the bytes have left it.
#include "Prompter.h"
#include "PtyMaster.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SerialPorts.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "TerminalSession.h"

#include <gtest/gtest.h>

#include <QThread>

#include <memory>

namespace {

struct LiveSession {
    QtRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    PtyMaster far;
    SerialByteLink serial{rt};
    TcpByteLink tcp{rt};
    std::unique_ptr<TerminalSession> session;

    LiveSession()
    {
        setComDevice(store, QStringLiteral("QuillanUniv1"), 1, far.path());
        session = std::make_unique<TerminalSession>(rt, prompter, store, serial, tcp, 1);
        session->start();
    }
    // Milliseconds from sending the piece to the end of FlushAndPause(ms); -1 if not sent.
    double sendAndPause(const QByteArray& piece, int ms)
    {
        const qint64 t0 = rt.nowNs();
        if (!session->commOut(piece))
            return -1;
        session->flushAndPause(ms);
        return double(rt.nowNs() - t0) / 1e6;
    }
};

TEST(FlushAndPauseOnTheWire, PauseFollowsTheLastByteOnTheLine)
{
    LiveSession s;
    ASSERT_TRUE(s.session->isPortOpen()) << s.prompter.lastText().toStdString();

    // A five-character piece at 9600 baud is 5.208 ms on the wire, then 6 ms of silence.
    double took = s.sendAndPause("#S113", 6);
    EXPECT_GE(took, 11.2);
    EXPECT_LT(took, 14.0);

    // Something holds the event loop for 9 ms while the piece goes out (a slow repaint), so
    // the drain wakes up late. The pause still ends 6 ms after the line fell silent; it is
    // not added to the lateness.
    s.rt.singleShot(1, nullptr, [] { QThread::usleep(9000); });
    took = s.sendAndPause("#S113", 6);
    EXPECT_GE(took, 11.2);
    EXPECT_LT(took, 14.0);

    // A line that has long been quiet gets the whole pause from now.
    ASSERT_TRUE(s.session->commOut(QByteArray("#S113")));
    s.rt.wait(20);
    const qint64 t0 = s.rt.nowNs();
    s.session->flushAndPause(6);
    took = double(s.rt.nowNs() - t0) / 1e6;
    EXPECT_GE(took, 6.0);
    EXPECT_LT(took, 8.5);
    EXPECT_TRUE(s.rt.waitUntil([&] { return s.far.heard == "#S113#S113#S113"; }, 1000));
}

} // namespace
