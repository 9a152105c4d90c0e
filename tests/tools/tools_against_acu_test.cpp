// A pattern scan and the torque drive tests end to end against the simulated ACU of qvrsim,
// whose antenna follows the target commands, over a 9600 baud line in virtual time.
#include "ToolRig.h"

#include <AcuModel.h>

namespace {

class ToolsAgainstAcu : public ToolRig {
protected:
    ToolsAgainstAcu()
    {
        serial.attachPeer(&acu);
        acu.unit().setBlockagesEnabled(false);
    }
    ~ToolsAgainstAcu() override { serial.attachPeer(&unit); }

    AcuModel acu{rt, 7};
};

TEST_F(ToolsAgainstAcu, TheAntennaFollowsAnElevationScan)
{
    session.start();
    rt.advance(20000);
    scan().open();
    const int startTenths = state().elevation;
    scan().scanRateText = "1";
    scan().rateText = "300";
    scan().autoStopText = "5";
    scan().start(PatternScan::ElevationUp);
    rt.advance(5000);
    EXPECT_TRUE(scan().running());
    rt.advance(3000);
    EXPECT_FALSE(scan().running());
    EXPECT_EQ(scan().elevationTarget(), startTenths * 18 + 16 * 54); // 5 deg: 17 ticks, the last ends it
    rt.advance(3000);
    // The panel reads back where the unit's antenna went.
    EXPECT_NEAR(state().elevation, startTenths + 48, 2);
    EXPECT_EQ(syncErrors, 0);
}

TEST_F(ToolsAgainstAcu, AzimuthTorqueTestRunsUntilTheTargetIsReached)
{
    session.start();
    rt.advance(20000);
    poll().setLongCommand("J1350\r\n");
    rt.advance(20000);
    ASSERT_NEAR(state().relativeAzimuth, 1350, 5);
    const qint64 t = rt.now();
    diag().pressButton(CommDiagnostics::AzTest);
    const QString started = diag().response();
    EXPECT_EQ(started, "AZ Test Moving Up");
    EXPECT_EQ(diag().runningTest(), "AZ Test");
    for (int s = 0; s < 240 && !diag().runningTest().isEmpty(); ++s)
        rt.advance(1000);
    EXPECT_EQ(diag().runningTest(), "");
    EXPECT_EQ(diag().response(), started + " Paused");
    EXPECT_TRUE(diag().stopChecked());
    EXPECT_TRUE(acu.unit().slowScan());
    EXPECT_EQ(sentStartingWith("n^J", t), (QList<QByteArray>{"n8008\r\n", "^0070\r\n", "J5850\r\n"}));
    // 585.0 degrees is 225.0 from the bow, where the unit's antenna now points.
    EXPECT_NEAR(state().relativeAzimuth, 2250, 5);
}

// The unit drives the cross-level axis 25 degrees up at 2 degrees a second: the Target LED
// stays lit for about 12.5 s, so the test outlives its first timer tick and pauses at the top.
TEST_F(ToolsAgainstAcu, CrossLevelTorqueTestTiltsTheAxisAndPausesThere)
{
    session.start();
    rt.advance(20000);
    const qint64 t = rt.now();
    diag().pressButton(CommDiagnostics::ClTest);
    EXPECT_EQ(diag().response(), "CL Test Moving Up");
    rt.advance(8000);
    EXPECT_EQ(diag().runningTest(), "CL Test");
    EXPECT_GT(state().crossLevel, 100);
    EXPECT_LT(state().crossLevel, 200);
    while (rt.now() - t < 30000 && !diag().runningTest().isEmpty())
        rt.advance(1000);
    EXPECT_EQ(diag().response(), "CL Test Moving Up Paused");
    EXPECT_TRUE(diag().stopChecked());
    EXPECT_GE(rt.now() - t, 13000);
    EXPECT_LE(rt.now() - t, 16000);
    EXPECT_EQ(sentStartingWith("^I", t), (QList<QByteArray>{"^0070\r\n", "I1150\r\n"}));
    EXPECT_NEAR(state().crossLevel, 250, 5);
    // Held there while polling is paused.
    rt.advance(10000);
    EXPECT_NEAR(acu.unit().crossLevel(), 250, 5);
    EXPECT_EQ(syncErrors, 0);
}

TEST_F(ToolsAgainstAcu, AbortingTheCrossLevelTestBringsTheAxisBackLevel)
{
    session.start();
    rt.advance(20000);
    const qint64 t = rt.now();
    diag().pressButton(CommDiagnostics::ClTest);
    rt.advance(7000);
    const int tilted = acu.unit().crossLevel();
    EXPECT_GT(tilted, 100);
    diag().pressButton(CommDiagnostics::ClTest);
    EXPECT_EQ(diag().response(), "CL Test Aborting");
    while (rt.now() - t < 40000 && !diag().runningTest().isEmpty())
        rt.advance(1000);
    EXPECT_EQ(diag().response(), "CL Test Aborting Canceled");
    EXPECT_FALSE(diag().stopChecked());
    EXPECT_EQ(sentStartingWith("^I", t), (QList<QByteArray>{"^0070\r\n", "I1150\r\n", "I0900\r\n"}));
    EXPECT_NEAR(acu.unit().crossLevel(), 0, 5);
    EXPECT_FALSE(acu.unit().crossLevelTargetActive());
}

} // namespace
