// Reply shapes as the panel reads them, and the parameter set.
#include "ReplyShape.h"
#include "UnitOnWire.h"

#include <gtest/gtest.h>

using namespace shape;

namespace {

class AcuReplies : public ::testing::Test {
protected:
    void SetUp() override
    {
        u.open();
        u.rt.advance(40000); // past initialising and the search
    }
    UnitOnWire u;
};

} // namespace

TEST_F(AcuReplies, StatusCarriesFlagBytesAgcAndExtendedBytes)
{
    const QByteArray s = u.ask("S");
    const auto k = keyAt(s, "S", 1, 6);
    ASSERT_TRUE(k) << s.constData();
    ASSERT_GE(s.size() - *k, 12) << s.constData();
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(isFlagByte(s[*k - 1 + i])) << "status byte " << i;
    EXPECT_EQ(field(s, *k + 5, 1), "L");
    EXPECT_TRUE(isNumber(field(s, *k + 6, 4), 4));
    EXPECT_TRUE(isFlagByte(s[*k + 10])); // E1 at k+11
    EXPECT_TRUE(isFlagByte(s[*k + 11])); // E2 at k+12
    EXPECT_TRUE(code(s, *k + 2) & 0x08) << "valid heading";
    EXPECT_EQ(code(s, *k + 12) & 0x07, 3) << "FEC 3/4 from parameter u = 48";
}

TEST_F(AcuReplies, PositionHeadingAndGpsFieldsSitWhereThePanelReadsThem)
{
    const QByteArray p = u.ask("P");
    const auto e = keyAt(p, "E", 1, 9);
    ASSERT_TRUE(e) << p.constData();
    for (int off : {1, 6, 11})
        EXPECT_TRUE(isNumber(field(p, *e + off, 4), 4)) << p.constData() << " at k+" << off;
    EXPECT_GE(number(p, *e + 1, 4), 0);
    EXPECT_LE(number(p, *e + 1, 4), 900);
    EXPECT_LT(number(p, *e + 6, 4), 3600);

    const QByteArray h = u.ask("H");
    const auto r = keyAt(h, "R", 1, 3);
    ASSERT_TRUE(r) << h.constData();
    EXPECT_TRUE(isNumber(field(h, *r + 1, 4), 4));
    EXPECT_TRUE(isNumber(field(h, *r + 6, 4), 4));
    EXPECT_LT(number(h, *r + 6, 4), 3600);
    // The antenna holds the satellite: its azimuth is heading plus relative azimuth.
    const int az = number(u.ask("P"), *e + 6, 4);
    const QByteArray h2 = u.ask("H");
    const int sum = (number(h2, *r + 1, 4) + number(h2, *r + 6, 4)) % 3600;
    const int apart = (sum - az + 3600) % 3600;
    EXPECT_LE(qMin(apart, 3600 - apart), 20) << "az " << az << " rel+hdg " << sum;

    const QByteArray g = u.ask("@");
    auto k = keyAt(g, "E", 6, 8);
    if (!k)
        k = keyAt(g, "W", 6, 8);
    ASSERT_TRUE(k) << g.constData();
    EXPECT_EQ(field(g, *k - 5, 1), "N");
    EXPECT_EQ(number(g, *k - 4, 4), 377);
    EXPECT_EQ(field(g, *k, 1), "W");
    EXPECT_EQ(number(g, *k + 1, 4), 1222);
}

TEST_F(AcuReplies, AuxiliaryReceiverLevelAndVersions)
{
    const QByteArray a = u.ask("u");
    const auto g = keyAt(a, "G", 1, 3);
    ASSERT_TRUE(g) << a.constData();
    EXPECT_EQ(field(a, *g + 1, 4).size(), 4);
    EXPECT_TRUE(a.contains('V'));
    EXPECT_TRUE(isNumber(field(a, *g + 6, 4), 4));
    EXPECT_EQ(number(a, *g + 11, 4), 400) << "threshold from parameters o, p";

    const QByteArray q = u.ask("q");
    const auto qk = keyAt(q, "Q", 1, 3);
    ASSERT_TRUE(qk) << q.constData();
    EXPECT_EQ(field(q, *qk + 1, 4), "1150");
    EXPECT_EQ(field(q, *qk + 6, 4), "0250");

    const QByteArray l = u.ask("%");
    const auto lk = keyAt(l, "L", 1, 3);
    ASSERT_TRUE(lk) << l.constData();
    EXPECT_TRUE(isNumber(field(l, *lk + 1, 4), 4));

    const QByteArray v = u.ask("V");
    EXPECT_TRUE(v.contains("VER") && v.contains("QVR")) << v.constData();

    const QByteArray ps = u.ask("?   S\r\n");
    const auto sk = keyAt(ps, "S", 1, 6);
    ASSERT_TRUE(sk) << ps.constData();
    ASSERT_GE(ps.size(), 6);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(isFlagByte(ps[*sk - 1 + i]));
    EXPECT_TRUE(code(ps, *sk + 1) & 0x08) << "Nutara on";

    EXPECT_TRUE(u.ask("?   V\r\n").contains("VER"));
}

TEST_F(AcuReplies, ParameterWriteAnswersAndReadsBackWhateverTheLineEnd)
{
    EXPECT_EQ(u.ask("mN999\r\n"), "mN067") << "the factory's System Type";
    EXPECT_EQ(u.ask(QByteArray("m\x8A"
                               "999\r\n")),
              QByteArray("m\x8A"
                         "012"));
    EXPECT_EQ(u.ask("mN130\r\n"), "mN130");
    EXPECT_EQ(u.ask("mN999\r\n"), "mN130");
    EXPECT_EQ(u.ask("mF7\n"), "mF007");
    EXPECT_EQ(u.ask("mF999\r"), "mF007");
    EXPECT_EQ(u.ask(QByteArray("m\x81"
                               "002\r\n")),
              QByteArray("m\x81"
                         "002"));
    // The threshold in the "u" reply follows its two parameters.
    u.ask("mo002\r\n");
    u.ask("mp000\r\n");
    const QByteArray a = u.ask("u");
    EXPECT_EQ(number(a, 12, 4), 512) << a.constData();
}

TEST(AcuSharedUnit, ParametersWrittenOnOneLineReadBackOnAnother)
{
    SimRuntime rt;
    auto unit = std::make_shared<AcuUnit>(rt, 3);
    AcuModel first(rt, unit, 1), second(rt, unit, 2);
    QByteArray fromFirst, fromSecond;
    first.setSender([&](const QByteArray& b) { fromFirst += b; });
    second.setSender([&](const QByteArray& b) { fromSecond += b; });
    first.peerReceived("mJ045\r\n");
    second.peerReceived("mJ999\r\n");
    EXPECT_EQ(fromFirst, "mJ045\r");
    EXPECT_EQ(fromSecond, "mJ045\r");
}
