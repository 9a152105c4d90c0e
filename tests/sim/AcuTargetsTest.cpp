// Target commands move the antenna at a plausible rate, the flag bytes follow what it does,
// and the cable unwraps when the ship keeps turning one way.
#include "AcuStatus.h"

#include <gtest/gtest.h>

namespace {

QByteArray four(int value)
{
    return QByteArray::number(value).rightJustified(4, '0');
}

UnitOnWire& tracking(UnitOnWire& u)
{
    u.open();
    u.rt.advance(60000);
    return u;
}

} // namespace

TEST(AcuTargets, SlewTowardsAzimuthAndElevationTargetsShowTheirFlagsThenHold)
{
    UnitOnWire u;
    ASSERT_TRUE(acuStatus(tracking(u)).byte1 & flag::tracking);

    const Position start = position(u);
    const int azTarget = (start.azimuth + 1200) % 3600; // 120 degrees round
    EXPECT_EQ(u.command("A" + four(azTarget)), "A" + four(azTarget));
    EXPECT_EQ(u.command("E15.0"), "E0150") << "an entry with a point is in degrees";
    AcuStatus st = acuStatus(u);
    EXPECT_FALSE(st.byte1 & flag::tracking) << "a target ends tracking";
    EXPECT_TRUE(st.byte2 & flag::azTarget);
    EXPECT_TRUE(st.byte2 & flag::elTarget);
    EXPECT_FALSE(st.byte2 & flag::searching);
    EXPECT_TRUE(pcuStatus(u).byte2 & flag::azTarget);

    int last = start.azimuth, lastDistance = azimuthApart(start.azimuth, azTarget), ticks = 0;
    bool arrived = false;
    while (!arrived && ticks < 100) {
        u.rt.advance(500);
        ++ticks;
        const Position p = position(u);
        // 12 degrees a second, and the ship's own turn: never a jump.
        EXPECT_LE(azimuthApart(p.azimuth, last), 75) << "tick " << ticks;
        EXPECT_LE(azimuthApart(p.azimuth, azTarget), lastDistance + 5) << "always closing in";
        last = p.azimuth;
        lastDistance = azimuthApart(p.azimuth, azTarget);
        st = acuStatus(u);
        arrived = !(st.byte2 & (flag::azTarget | flag::elTarget));
    }
    ASSERT_TRUE(arrived);
    EXPECT_GE(ticks, 18) << "120 degrees take about ten seconds";
    EXPECT_LE(azimuthApart(position(u).azimuth, azTarget), 3);
    EXPECT_EQ(position(u).elevation, 150);

    // Held on its true azimuth when the ship turns under it.
    const int heading = fieldNumber(u.command("H"), 1, vocab::HeadingShape::heading);
    u.command("B" + four((heading + 900) % 3600));
    u.rt.advance(10000);
    for (int i = 0; i < 10; ++i) {
        u.rt.advance(500);
        EXPECT_LE(azimuthApart(position(u).azimuth, azTarget), 3);
    }

    // Tracking on again: it searches from here and finds the satellite.
    EXPECT_EQ(u.command("C"), "");
    EXPECT_TRUE(acuStatus(u).byte2 & flag::searching);
    u.rt.advance(60000);
    st = acuStatus(u);
    EXPECT_TRUE((st.byte1 & flag::tracking) && !(st.byte2 & flag::searching));
}

TEST(AcuTargets, RelativeTargetAndSlowScanMode)
{
    UnitOnWire u;
    tracking(u);
    EXPECT_EQ(u.command("^0070"), "^ SLOW SCAN MODE");
    EXPECT_TRUE(acuStatus(u).byte1 & flag::slowScan);
    EXPECT_TRUE(pcuStatus(u).byte1 & flag::slowScan);

    const int rel = fieldNumber(u.command("H"), 1, vocab::HeadingShape::relativeAzimuth);
    const int target = (rel + 300) % 3600; // 30 degrees
    EXPECT_EQ(u.command("J" + four(target)), "J" + four(target));
    u.rt.advance(5000);
    const int moved = azimuthApart(fieldNumber(u.command("H"), 1, vocab::HeadingShape::relativeAzimuth), rel);
    EXPECT_GE(moved, 120);
    EXPECT_LE(moved, 170) << "slow scan moves at 3 degrees a second";
    u.rt.advance(10000);
    EXPECT_LE(azimuthApart(fieldNumber(u.command("H"), 1, vocab::HeadingShape::relativeAzimuth), target), 1);
    EXPECT_FALSE(acuStatus(u).byte2 & flag::azTarget);

    EXPECT_EQ(u.command("^0000"), "^ NORMAL MODE");
    EXPECT_FALSE(acuStatus(u).byte1 & flag::slowScan);
    EXPECT_FALSE(pcuStatus(u).byte1 & flag::slowScan);
}

TEST(AcuTargets, TheCrossLevelDriveTiltsTheAxisSlowlyAsFarAsItGoesAndBack)
{
    UnitOnWire u;
    tracking(u);
    EXPECT_EQ(u.command("Ixyz"), "Ixyz");
    EXPECT_EQ(u.command("I0500"), "I0500"); // 40 degrees down: the axis stops at 30
    EXPECT_TRUE(acuStatus(u).byte2 & flag::elTarget);
    u.rt.advance(5000);
    EXPECT_NEAR(position(u).crossLevel, -100, 5);
    u.rt.advance(15000);
    EXPECT_NEAR(position(u).crossLevel, -300, 5);
    EXPECT_FALSE(acuStatus(u).byte2 & flag::elTarget);
    EXPECT_TRUE(acuStatus(u).byte1 & flag::tracking) << "the drive leaves the tracking alone";
    EXPECT_EQ(u.command("I0900"), "I0900");
    u.rt.advance(16000);
    EXPECT_NEAR(position(u).crossLevel, 0, 5);
    EXPECT_FALSE(acuStatus(u).byte2 & flag::elTarget);
}

TEST(AcuTargets, AShipGoingRoundInCirclesWindsTheCableUntilTheAntennaUnwraps)
{
    UnitOnWire u;
    tracking(u);
    EXPECT_EQ(u.command("D"), "");
    bool sawUnwrap = false, sawPcuUnwrap = false;
    int heading = fieldNumber(u.command("H"), 1, vocab::HeadingShape::heading);
    for (int turn = 0; turn < 12; ++turn) {
        heading = (heading + 3600 - 900) % 3600; // a quarter turn to port each time
        u.command("B" + four(heading));
        for (int i = 0; i < 32; ++i) {
            u.rt.advance(250);
            sawUnwrap |= (acuStatus(u).byte1 & flag::unwrap) != 0;
            sawPcuUnwrap |= (pcuStatus(u).byte1 & flag::unwrap) != 0;
        }
    }
    EXPECT_TRUE(sawUnwrap);
    EXPECT_TRUE(sawPcuUnwrap);
    u.rt.advance(10000); // the ship holds its course; an unwrap under way ends
    EXPECT_LE(std::abs(u.model.unit().cableWrap()), AcuUnit::kUnwrapLimitDeg);
    EXPECT_FALSE(acuStatus(u).byte1 & flag::unwrap) << "done unwrapping";
}
