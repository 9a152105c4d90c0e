// How the unit reads commands and how it behaves over time.
#include "ReplyShape.h"
#include "UnitOnWire.h"

#include <gtest/gtest.h>

#include <set>

using namespace shape;

namespace {

struct Status {
    int byte1 = 0, byte2 = 0, agc = 0;
};

Status status(UnitOnWire& u)
{
    const QByteArray s = u.ask("S");
    return {code(s, 2), code(s, 3), number(s, 7, 4)};
}

} // namespace

TEST(AcuBehaviour, InitialisesThenSearchesThenTracksAboveThreshold)
{
    UnitOnWire u;
    u.model.unit().setBlockagesEnabled(false);
    u.open();
    u.rt.advance(1000);
    Status st = status(u);
    EXPECT_TRUE(st.byte2 & 0x02) << "initialising";
    EXPECT_FALSE(st.byte1 & 0x08);

    bool searched = false, tracked = false;
    std::set<int> headings, agcs, relatives;
    for (int tick = 0; tick < 300 && !tracked; ++tick) { // one minute at 200 ms
        u.rt.advance(200);
        st = status(u);
        searched |= (st.byte2 & 0x01) != 0;
        tracked = (st.byte1 & 0x08) && !(st.byte2 & 0x03);
        const QByteArray h = u.ask("H");
        relatives.insert(number(h, 2, 4));
        headings.insert(number(h, 7, 4));
    }
    EXPECT_TRUE(searched);
    ASSERT_TRUE(tracked);
    for (int tick = 0; tick < 50; ++tick) {
        u.rt.advance(200);
        st = status(u);
        agcs.insert(st.agc);
        headings.insert(number(u.ask("H"), 7, 4));
    }
    EXPECT_GT(st.agc, 400) << "a tracked satellite is heard above the threshold";
    EXPECT_GT(agcs.size(), 5u) << "live AGC moves";
    EXPECT_GT(headings.size(), 5u) << "the ship turns";
    EXPECT_GT(relatives.size(), 20u) << "the search sweeps";
}

TEST(AcuBehaviour, TrackingOffAndOnAreSilentAndShowInTheStatus)
{
    UnitOnWire u;
    u.open();
    u.rt.advance(60000);
    ASSERT_TRUE(status(u).byte1 & 0x08);

    EXPECT_EQ(u.ask("D", 500), "");
    EXPECT_TRUE(u.rx.isEmpty());
    EXPECT_FALSE(status(u).byte1 & 0x08);

    EXPECT_EQ(u.ask("C", 500), "");
    EXPECT_TRUE(u.rx.isEmpty());
    EXPECT_TRUE(status(u).byte1 & 0x08);
}

TEST(AcuBehaviour, CommandsAreAssembledAsTheUnitReadsThem)
{
    UnitOnWire u;
    u.open();

    // A line arriving in pieces is answered once, at its end.
    EXPECT_EQ(u.ask("mA9"), "");
    EXPECT_EQ(u.ask("99"), "");
    EXPECT_EQ(u.ask("\r\n"), "mA000");

    // Single-character commands are answered at once, in order, even several in one chunk.
    u.rx.clear();
    u.link.write("SPH@");
    u.rt.advance(200);
    const QList<QByteArray> lines = u.lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith('S'));
    EXPECT_TRUE(lines[1].startsWith('E'));
    EXPECT_TRUE(lines[2].startsWith('R'));
    EXPECT_TRUE(lines[3].startsWith('N'));

    // An unknown line gets one answer, so the program's reply matching stays in step.
    EXPECT_EQ(u.ask("Z0123\r\n"), "Z0123");

    // Noise without a line end is dropped at the next line end; the unit keeps listening.
    u.rx.clear();
    u.link.write(QByteArray(1000, 'x') + "\r\n");
    u.rt.advance(1500);
    EXPECT_TRUE(u.rx.isEmpty());
    EXPECT_TRUE(u.ask("S").startsWith('S'));
}

TEST(AcuBehaviour, SameSeedSameUnitOtherSeedOtherUnit)
{
    auto run = [](quint64 seed) {
        UnitOnWire u(seed);
        u.open();
        QByteArray all;
        for (int tick = 0; tick < 100; ++tick) {
            u.rt.advance(200);
            all += u.ask("S") + u.ask("P") + u.ask("H");
        }
        return all;
    };
    EXPECT_EQ(run(11), run(11));
    EXPECT_NE(run(11), run(12));
}
