// Link health: replies per second, the time from command to reply, sync errors by code
// and time-outs, as a technician would read them off the diagnostics window.
#include "ToolRig.h"

namespace {

class LinkHealthTest : public ToolRig {
protected:
    LinkHealth& health() { return tools.linkHealth(); }
};

TEST_F(LinkHealthTest, CountsRepliesLatencyAndFaults)
{
    startPolling();
    rt.advance(6000);
    // One command every 200 ms, each answered.
    EXPECT_DOUBLE_EQ(health().repliesPerSecond(), 5.0);
    // At 9600 baud: 1 byte out, then a 13 or 14 character reply, about 1 ms a byte.
    EXPECT_GT(health().medianLatencyMs(), 10.0);
    EXPECT_LT(health().worstLatencyMs(), 25.0);
    EXPECT_TRUE(health().syncErrors().empty());

    // A "P" answered with a heading line is a sync error 8.
    unit.replies["P"] = "R0100H0200";
    rt.advance(3000);
    ASSERT_EQ(health().syncErrors().count(8), 1u);
    EXPECT_GE(health().syncErrors().at(8), 2);
    EXPECT_TRUE(health().summary().contains("Sync errors: 8 x")) << health().summary().toStdString();

    // Silence: each watchdog interval is one time-out.
    unit.replies["P"] = "E0123A1234C0012";
    for (int i = int(unit.commands.size()); i < 2000; ++i)
        unit.drop.insert(i);
    rt.advance(10000);
    EXPECT_EQ(health().timeOuts(), 3);
    EXPECT_DOUBLE_EQ(health().repliesPerSecond(), 0.0);

    health().reset();
    EXPECT_EQ(health().timeOuts(), 0);
    EXPECT_TRUE(health().syncErrors().empty());
    EXPECT_EQ(health().medianLatencyMs(), -1);
}

} // namespace
