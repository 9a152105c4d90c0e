// The N7 parameter tool's packing and the burn-in exercise's cycle, log and timing.
#include "ToolRig.h"

namespace {

TEST(N7Tool, EncodesAndDecodesTheFourGroups)
{
    N7Tool n7;
    EXPECT_EQ(n7.valueText(), "192"); // the phase group starts at -45 Deg
    n7.select(N7Tool::ClDrive, 2);
    n7.select(N7Tool::AzDrive, 1);
    n7.select(N7Tool::ElDrive, 3);
    EXPECT_EQ(n7.groupValue(N7Tool::ClDrive), 32);
    EXPECT_EQ(n7.valueText(), "231");
    n7.decode("255");
    EXPECT_EQ((std::array<int, 4>{n7.index(0), n7.index(1), n7.index(2), n7.index(3)}),
              (std::array<int, 4>{3, 3, 3, 3}));
    n7.decode("300");
    EXPECT_EQ((std::array<int, 4>{n7.index(0), n7.index(1), n7.index(2), n7.index(3)}),
              (std::array<int, 4>{0, 2, 3, 0}));
    EXPECT_EQ(n7.valueText(), "44");
    n7.decode("-1"); // no option has a negative index: nothing changes
    EXPECT_EQ(n7.valueText(), "44");
    EXPECT_EQ(N7Tool::optionCaptions(N7Tool::AzDrive), (QStringList{"1/8", "1/4", "1/2", "Max"}));
    EXPECT_EQ(N7Tool::optionCaptions(N7Tool::ElDrive), (QStringList{"Max", "1/2", "1/4", "1/8"}));
    EXPECT_EQ(N7Tool::optionCaptions(N7Tool::Phase)[2], "  0 Deg");
}

class BurnInTest : public ToolRig {};

TEST_F(BurnInTest, CyclesThroughEightPairsAndStartsAgain)
{
    startPolling();
    BurnIn& burn = tools.burnIn();
    burn.editInterval("10");
    const qint64 t = rt.now();
    burn.start();
    EXPECT_EQ(burn.dotPeriod(), 1);
    rt.advance(2500);
    EXPECT_EQ(burn.log(), "     A0000E0150.");
    EXPECT_EQ(burn.intervalText(), "9");
    rt.advance(8 * 10000);
    const QList<QByteArray> moves = sentStartingWith("AE", t);
    const QList<QByteArray> expected{"A0000\r\n", "E0150\r\n", "A1350\r\n", "E0450\r\n", "A0750\r\n",
                                     "E0150\r\n", "A2250\r\n", "E0600\r\n", "A1800\r\n", "E0300\r\n",
                                     "A3150\r\n", "E0750\r\n", "A2700\r\n", "E0450\r\n", "A0450\r\n",
                                     "E0750\r\n", "A0000\r\n", "E0150\r\n"};
    EXPECT_EQ(moves, expected);
    EXPECT_TRUE(burn.log().endsWith("\r\n     A0000E0150."));
    EXPECT_TRUE(burn.log().contains("     A1350E0450..........\r\n"));

    // Stop keeps the place; Continue goes on from it.
    burn.stop();
    const qint64 stopped = rt.now();
    rt.advance(30000);
    EXPECT_TRUE(sentStartingWith("AE", stopped).isEmpty());
    burn.resume();
    rt.advance(10000);
    EXPECT_EQ(sentStartingWith("AE", stopped).value(0), "A1350\r\n");
}

TEST_F(BurnInTest, DotPeriodFollowsTheInterval)
{
    tools.burnIn().editInterval("60");
    tools.burnIn().start();
    EXPECT_EQ(tools.burnIn().dotPeriod(), 2);
}

} // namespace
