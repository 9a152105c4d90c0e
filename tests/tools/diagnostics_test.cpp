// Communication diagnostics: the entry rules byte for byte, replies in "Response", the
// "Stop" option, and the two torque drive tests with their commands, timers and texts.
#include "ToolRig.h"

namespace {

class DiagnosticsTest : public ToolRig {
protected:
    // Sends an entry and returns what went out for it.
    QByteArray entered(const QString& text)
    {
        const qint64 t = rt.now();
        diag().enter(text);
        rt.advance(250);
        for (const Sent& s : sentAfter(t))
            if (!QByteArray("SPHuq@%").contains(s.bytes[0]) && !s.bytes.startsWith("?   S") &&
                !s.bytes.startsWith("mN999"))
                return s.bytes;
        return {};
    }
};

TEST_F(DiagnosticsTest, EntriesGoOutByTheEntryRules)
{
    startPolling();
    EXPECT_EQ(entered("?x"), "?   x\r\n");
    EXPECT_EQ(diag().lastSent(), "?   x");
    rt.advance(500);
    EXPECT_EQ(diag().response(), "OK ?   x");
    EXPECT_EQ(entered("F123456"), "F123456\r");
    EXPECT_EQ(diag().lastSent(), "F1234");
    EXPECT_EQ(entered("ABCDEFG"), "ABCDE\r\n");
    EXPECT_EQ(entered("s"), "s");
    // A button puts its command into "Last Sent"; Repeat sends it again.
    diag().pressButton(CommDiagnostics::TiltMode);
    EXPECT_EQ(diag().lastSent(), "^0084");
    rt.advance(300);
    const qint64 t = rt.now();
    diag().pressButton(CommDiagnostics::Repeat);
    rt.advance(300);
    EXPECT_EQ(sentStartingWith("^", t), QList<QByteArray>{"^0084\r\n"});
}

TEST_F(DiagnosticsTest, StopPausesAllPollingButOneShots)
{
    startPolling();
    diag().setStop(true);
    rt.advance(300);
    const qint64 t = rt.now();
    rt.advance(3000);
    EXPECT_TRUE(sentAfter(t).empty());
    diag().chooseCommand("V");
    rt.advance(300);
    ASSERT_EQ(sentAfter(t).size(), 1u);
    EXPECT_EQ(sentAfter(t)[0].bytes, "V");
    EXPECT_EQ(diag().response(), "ACU VER 2.11");
    diag().setStop(false);
    rt.advance(1000);
    EXPECT_GT(sentAfter(t).size(), 3u);
}

// The scripted unit's status never lights the Target LED: a test ends at its first timer
// tick, 6 s after the start.
TEST_F(DiagnosticsTest, CrossLevelTestPausesOrCancels)
{
    startPolling();
    qint64 t = rt.now();
    diag().pressButton(CommDiagnostics::ClTest);
    EXPECT_EQ(diag().response(), "CL Test Moving Up");
    EXPECT_EQ(diag().buttonCaption(CommDiagnostics::ClTest), "Stop");
    rt.advance(5900);
    EXPECT_EQ(sentStartingWith("^I", t), (QList<QByteArray>{"^0070\r\n", "I1150\r\n"}));
    EXPECT_FALSE(diag().stopChecked());
    rt.advance(200);
    EXPECT_EQ(diag().response(), "CL Test Moving Up Paused");
    EXPECT_TRUE(diag().stopChecked());
    EXPECT_EQ(diag().buttonCaption(CommDiagnostics::ClTest), "CL Test");

    t = rt.now();
    diag().pressButton(CommDiagnostics::ClTest);
    EXPECT_FALSE(diag().stopChecked());
    rt.advance(1000);
    diag().pressButton(CommDiagnostics::AzTest); // the other test's button repeats meanwhile
    diag().pressButton(CommDiagnostics::ClTest);
    EXPECT_EQ(diag().response(), "CL Test Aborting");
    EXPECT_EQ(diag().lastSent(), "I0900");
    rt.advance(5500);
    EXPECT_EQ(sentStartingWith("^I", t), (QList<QByteArray>{"^0070\r\n", "I1150\r\n", "I0900\r\n"}));
    EXPECT_EQ(diag().response(), "CL Test Aborting Canceled");
    EXPECT_FALSE(diag().stopChecked());
}

TEST_F(DiagnosticsTest, AzimuthTestChoosesItsMoveByRelativeAzimuth)
{
    struct Case {
        const char* rel;
        QString response;
        QList<QByteArray> commands;
    };
    const std::vector<Case> cases{
        {"5800", "AZ Test Moving Down", {"n8008\r\n", "^0070\r\n", "J1350\r\n"}},
        {"1300", "AZ Test Moving Up", {"n8008\r\n", "^0070\r\n", "J5850\r\n"}},
        {"6100", "AZ Test Moving Down", {"n8008\r\n", "^0070\r\n", "J0900\r\n"}},
        {"0500", "AZ Test Moving Up", {"n8008\r\n", "^0070\r\n", "J6300\r\n"}},
        {"3000", "AZ Test ????", {}},
        // 4 deg/s every 600 ms is 432 units a step, two of them ahead: 22212 -/+ 3 x 432.
        {"0050", "AZ Test Moving Down", {"n8008\r\n", "^0070\r\n", "A1162\r\n"}},
        {"1800", "AZ Test Moving Up", {"n8008\r\n", "^0070\r\n", "A1306\r\n"}},
    };
    startPolling();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rel);
        unit.replies["H"] = QByteArray("R") + c.rel + "H0200";
        rt.advance(2000);
        const qint64 t = rt.now();
        diag().pressButton(CommDiagnostics::AzTest);
        EXPECT_EQ(diag().response(), c.response);
        rt.advance(2500);
        QList<QByteArray> got = sentStartingWith("n^JA", t);
        EXPECT_EQ(got.mid(0, c.commands.size()), c.commands);
        diag().pressButton(CommDiagnostics::AzTest);
        EXPECT_EQ(diag().response(), "AZ Test Aborting");
        EXPECT_EQ(diag().lastSent(), "A1234");
        rt.advance(4000);
        EXPECT_EQ(diag().response(), "AZ Test Aborting Canceled");
        EXPECT_FALSE(scan().running());
    }
}

// At 500 ms pacing the two mode commands take a second to go out; the scan's first target
// comes due before that and must not cut the second one off.
TEST_F(DiagnosticsTest, AzimuthScanWaitsForTheModeCommandsAtSlowPacing)
{
    unit.replies["H"] = "R0050H0200";
    startPolling();
    session.setPacingMs(500);
    // Whatever the phase of the poll timer when the button is pressed.
    for (int offset : {0, 100, 200, 300, 400}) {
        SCOPED_TRACE(offset);
        rt.advance(offset);
        const qint64 t = rt.now();
        diag().pressButton(CommDiagnostics::AzTest);
        rt.advance(3000);
        const QList<QByteArray> got = sentStartingWith("n^A", t);
        ASSERT_GE(got.size(), 3);
        EXPECT_EQ(got.mid(0, 2), (QList<QByteArray>{"n8008\r\n", "^0070\r\n"}));
        EXPECT_TRUE(got[2].startsWith("A")) << got[2].toStdString();
        diag().pressButton(CommDiagnostics::AzTest);
        rt.advance(5000);
        ASSERT_EQ(diag().runningTest(), "");
    }
}

} // namespace
