// The pattern scan: steps and counts, the target commands it hands to the poll cycle, the
// axis limits, the stored options and the jog of the panel's arrow keys.
#include "ToolRig.h"

namespace {

class PatternScanTest : public ToolRig {};

TEST(PatternScanCommands, EachCommandSetWritesItsOwnForm)
{
    EXPECT_EQ(PatternScan::targetCommand(0, true, 22212), "A1234\r\n");
    EXPECT_EQ(PatternScan::targetCommand(0, false, 1611), "E0090\r\n"); // 89.5 tenths, to even
    EXPECT_EQ(PatternScan::targetCommand(1, true, 22212), "k57BB\r\n");
    EXPECT_EQ(PatternScan::targetCommand(1, false, 0), "j0000\r\n");
    EXPECT_EQ(PatternScan::targetCommand(2, true, 22212), "");
}

// The scripted unit has the antenna at azimuth 123.4 and elevation 12.3 degrees.
TEST_F(PatternScanTest, HalfADegreePerSecondTakes82TicksForTenDegrees)
{
    startPolling();
    scan().open();
    EXPECT_EQ(scan().caption(), "Pattern Scan - Idle ");
    EXPECT_EQ(scan().azimuthText(), "123.4");
    scan().scanRateText = "0.5";
    scan().rateText = "250";
    scan().autoStopText = "10";
    const qint64 started = rt.now();
    scan().start(PatternScan::AzimuthUp);
    EXPECT_EQ(scan().step(), 22);
    EXPECT_EQ(scan().count(), 82);
    EXPECT_EQ(scan().caption(), "Pattern Scan - Running");
    EXPECT_EQ(scan().stopResetCaption(), "Stop");
    rt.advance(82 * 250 + 500);
    const QList<QByteArray> targets = sentStartingWith("A", started);
    ASSERT_EQ(targets.size(), 81);
    EXPECT_EQ(targets.first(), "A1235\r\n"); // (22212 + 22) / 18 = 1235.2
    EXPECT_EQ(targets.last(), "A1333\r\n");  // (22212 + 81 x 22) / 18 = 1333.0
    EXPECT_EQ(scan().azimuthText(), "133.3");
    EXPECT_EQ(scan().caption(), "Pattern Scan - Stopped");
    EXPECT_EQ(scan().stopResetCaption(), "Reset");
    EXPECT_EQ(scan().stopResetToolTip(), "Resets scan start point");
}

TEST_F(PatternScanTest, AzimuthWrapsAndElevationStopsAtItsLimits)
{
    unit.replies["P"] = "E0899A3599C0000";
    startPolling();
    scan().open();
    scan().rateText = "250";
    scan().scanRateText = "0.5";
    scan().autoStopText = "0.25"; // 45 / 22 rounds to 2 ticks: one move, then the end
    qint64 t = rt.now();
    scan().start(PatternScan::AzimuthUp);
    rt.advance(1000);
    EXPECT_FALSE(scan().running());
    EXPECT_EQ(sentStartingWith("A", t), QList<QByteArray>{"A0000\r\n"}); // 64782 + 22 - 64800 = 4
    EXPECT_EQ(scan().azimuthTarget(), 4);

    // Elevation up from 89.9: the first step passes 90, so the scan ends there unsent.
    t = rt.now();
    scan().start(PatternScan::ElevationUp);
    rt.advance(1000);
    EXPECT_FALSE(scan().running());
    EXPECT_EQ(scan().elevationTarget(), 16200);
    EXPECT_TRUE(sentStartingWith("E", t).isEmpty());

    // Azimuth down from 0 comes round to 359.9; Stop/Reset while idle goes back to the antenna.
    scan().stopReset();
    EXPECT_EQ(scan().caption(), "Pattern Scan - Reset");
    scan().start(PatternScan::AzimuthDown);
    scan().tick();
    EXPECT_EQ(scan().azimuthTarget(), 64782 - 22);
}

TEST_F(PatternScanTest, FastScansRunTwoStepsAheadAndNoLimitStaysNoLimit)
{
    startPolling();
    scan().open();
    scan().scanRateText = "2";
    scan().rateText = "250";
    scan().autoStopText = "10";
    scan().start(PatternScan::AzimuthUp);
    EXPECT_EQ(scan().step(), 90);
    EXPECT_EQ(scan().count(), 18);
    EXPECT_EQ(scan().azimuthTarget(), 22212 + 180);
    scan().stopReset();
    scan().autoStopText = "0";
    scan().start(PatternScan::AzimuthUp);
    EXPECT_EQ(scan().count(), 0);
    rt.advance(5000);
    EXPECT_TRUE(scan().running());
}

TEST_F(PatternScanTest, OptionsComeFromTheStoreAndGoBackOnExit)
{
    scan().open();
    EXPECT_EQ(scan().scanRateText, "1.0");
    EXPECT_EQ(scan().rateText, "300");
    EXPECT_EQ(scan().n8Text, "8");
    scan().scanRateText = "0.7";
    scan().n8Text = "12";
    scan().exit();
    EXPECT_EQ(store.get("multQVRRemote", "Options", "Scan", ""), "0.7");
    EXPECT_EQ(store.get("multQVRRemote", "Options", "Rate", ""), "300");
    EXPECT_EQ(store.get("multQVRRemote", "Options", "N8", ""), "12");
}

// A held arrow restarts the short jog scan from where the antenna is; letting go lets the
// running one finish and starts no other.
TEST_F(PatternScanTest, HeldArrowKeepsJoggingUntilReleased)
{
    startPolling();
    goTo(64);
    const qint64 pressed = rt.now();
    front.pressArrow(Arrow::Right);
    EXPECT_EQ(scan().step(), 11); // 0.1 deg/s x 600 ms
    EXPECT_EQ(scan().count(), 5);
    rt.advance(6500);
    EXPECT_EQ(sentStartingWith("A", pressed).size(), 8); // two short scans of four moves
    EXPECT_TRUE(scan().running());
    front.releaseArrow();
    rt.advance(5000);
    EXPECT_FALSE(scan().running());
    EXPECT_EQ(sentStartingWith("A", pressed).first(), "A1235\r\n");
    EXPECT_EQ(sentStartingWith("A", pressed).size(), 12);
}

} // namespace
