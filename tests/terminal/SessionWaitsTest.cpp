#include "TerminalRig.h"

#include <gtest/gtest.h>

namespace {

struct Waits : ::testing::Test {
    void open(bool serial = true)
    {
        if (!serial)
            rig.putTcp();
        rig.session->start();
        ASSERT_TRUE(rig.session->isPortOpen());
        t0 = rig.rt.now();
    }
    // The unit answers text after ms.
    void answerAfter(int ms, const QByteArray& text, bool serial = true)
    {
        TestPeer* peer = serial ? &rig.serialPeer : &rig.tcpPeer;
        rig.rt.singleShot(ms, nullptr, [peer, text] { peer->say(text); });
    }
    qint64 elapsed() const { return rig.rt.now() - t0; }
    TerminalRig rig;
    qint64 t0 = 0;
};

TEST_F(Waits, ModalWaitEndsOnSerialDataOnlyWhenAsked)
{
    open();
    answerAfter(300, "*");
    EXPECT_FALSE(rig.session->modalWait(1000));
    EXPECT_EQ(elapsed(), 1000);

    t0 = rig.rt.now();
    rig.session->setEndWaitOnReceive(true);
    answerAfter(300, "*");
    EXPECT_TRUE(rig.session->modalWait(1000));
    EXPECT_EQ(elapsed(), 300);
    EXPECT_EQ(rig.session->lastReceived(), "*");
}

TEST_F(Waits, TcpDataDoesNotEndAModalWait)
{
    open(false);
    rig.session->setEndWaitOnReceive(true);
    answerAfter(300, "*", false);
    EXPECT_FALSE(rig.session->modalWait(1000));
    EXPECT_EQ(elapsed(), 1000);
    EXPECT_EQ(rig.screen().text(), "*");
}

TEST_F(Waits, AwaitReplyReturnsWithTheFirstTextOrEmptyAfterTwoSeconds)
{
    open();
    rig.session->setReplyCapture(true);
    answerAfter(450, "OK\r");
    EXPECT_EQ(rig.session->awaitReply(), "OK\r\n");
    EXPECT_EQ(elapsed(), 450);

    rig.session->clearReplyText();
    t0 = rig.rt.now();
    EXPECT_EQ(rig.session->awaitReply(), "");
    EXPECT_EQ(elapsed(), 2000);
    EXPECT_EQ(rig.screen().text(), "OK\r\n");
}

TEST_F(Waits, AwaitParamReplyTimesOutWithQuestionMarks)
{
    open();
    rig.session->setReplyCapture(true);
    EXPECT_EQ(rig.session->awaitParamReply(), "??");
    EXPECT_EQ(elapsed(), 2000);
    EXPECT_EQ(rig.screen().text(), "\r\nCommand Timed Out No Response");
    EXPECT_EQ(rig.session->replyText(), "??") << "the time-out line is not a reply";
}

TEST_F(Waits, AwaitParamReplyStopsForTheAbortCode)
{
    open();
    rig.session->setAbortCode(1);
    EXPECT_EQ(rig.session->awaitParamReply(), "");
    EXPECT_EQ(elapsed(), 0);

    rig.session->setAbortCode(0);
    rig.rt.singleShot(700, nullptr, [this] { rig.session->setAbortCode(1); });
    EXPECT_EQ(rig.session->awaitParamReply(), "");
    EXPECT_EQ(elapsed(), 700);
    EXPECT_EQ(rig.screen().text(), "");
}

TEST_F(Waits, FlushAndPauseDrainsTheWireThenPausesExactly)
{
    rig.serial.setBaud(9600);
    open();
    rig.session->commOut(QByteArray(96, 'S')); // 100 ms on the wire at 9600 baud
    rig.session->flushAndPause(6);
    EXPECT_EQ(rig.rt.nowNs() - t0 * 1000000, 106000000LL);
    EXPECT_EQ(rig.serial.bytesToWrite(), 0);
}

} // namespace
