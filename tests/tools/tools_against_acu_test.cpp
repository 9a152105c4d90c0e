// A pattern scan and a torque drive test end to end against the simulated ACU of qvrsim,
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

} // namespace
