// The simulated antenna as qvrsim serves it: live motion on, driven by the virtual clock and
// the seed; and the PCU's own parameters, which the parameter dump reads.
#include "UnitOnWire.h"

#include <CommandVocabulary.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace vocab;

namespace {

struct Loop {
    int lv = 0, az = 0, phase = -1;
};

Loop loopErrors(UnitOnWire& u)
{
    const QByteArray line = u.command(pcuQuery(kPcuLoop));
    const int k = locateKey(line, PcuSensorShape::loop);
    if (k == 0)
        return {};
    auto hex = [&](Field f) { return int(qint16(fieldAt(line, k, f).toByteArray().toUShort(nullptr, 16))); };
    return {hex(PcuSensorShape::lv), hex(PcuSensorShape::az),
            charAt(line, k + PcuSensorShape::phase.offset) - '@'};
}

class LiveAcu : public ::testing::Test {
protected:
    void SetUp() override
    {
        u.model.unit().setLiveMotion(true);
        u.model.unit().setBlockagesEnabled(false);
        u.open();
        AcuUnit& unit = u.model.unit();
        u.rt.waitUntil([&] { return unit.update(), unit.phase() == AcuUnit::Phase::Tracking; }, 120000);
        ASSERT_EQ(unit.phase(), AcuUnit::Phase::Tracking);
    }
    UnitOnWire u;
};

} // namespace

// Nutara: the level and azimuth loop errors go round a circle of about 26 counts about the
// pointing error, and the phase index goes round its 64 steps with them.
TEST_F(LiveAcu, LoopErrorsTraceTheNutaraCircleWithItsPhase)
{
    std::vector<Loop> samples;
    std::set<int> phases;
    for (int i = 0; i < 130; ++i) {
        u.rt.advance(77);
        samples.push_back(loopErrors(u));
        phases.insert(samples.back().phase);
    }
    double mlv = 0, maz = 0;
    for (const Loop& s : samples) {
        mlv += s.lv;
        maz += s.az;
    }
    mlv /= double(samples.size());
    maz /= double(samples.size());
    double radius = 0;
    for (const Loop& s : samples)
        radius += std::hypot(s.lv - mlv, s.az - maz);
    radius /= double(samples.size());
    EXPECT_NEAR(radius, 26.0, 6.0);
    EXPECT_GE(*phases.begin(), 0);
    EXPECT_LE(*phases.rbegin(), 63);
    EXPECT_GT(phases.size(), 40u);
}

// The ship swings slowly; the tracking antenna turns against it, so the true azimuth stays
// on the satellite while heading and relative azimuth move together.
TEST_F(LiveAcu, TheHeadingSwingsAndTheRelativeAzimuthFollows)
{
    std::vector<int> headings, azimuths;
    for (int i = 0; i < 150; ++i) {
        u.rt.advance(1000);
        const QByteArray h = u.command("H"), p = u.command("P");
        const int kh = locateKey(h, HeadingShape::key), kp = locateKey(p, PositionShape::key);
        ASSERT_TRUE(kh > 0 && kp > 0);
        const int hdg = fieldAt(h, kh, HeadingShape::heading).toInt();
        const int az = fieldAt(p, kp, PositionShape::azimuth).toInt();
        EXPECT_NEAR((hdg + fieldAt(h, kh, HeadingShape::relativeAzimuth).toInt()) % 3600, az, 20) << i;
        // Unwrapped about the first reading, so that a pass through north is no jump.
        const int first = headings.empty() ? hdg : headings.front();
        headings.push_back(hdg + (hdg - first > 1800 ? -3600 : hdg - first < -1800 ? 3600 : 0));
        azimuths.push_back(az);
    }
    const auto [h0, h1] = std::minmax_element(headings.begin(), headings.end());
    const auto [a0, a1] = std::minmax_element(azimuths.begin(), azimuths.end());
    EXPECT_GT(*h1 - *h0, 50) << "tenths of a degree of heading change";
    EXPECT_LT(*a1 - *a0, 40) << "the beam stays on the satellite";

    auto run = [](quint64 seed) {
        UnitOnWire w(seed);
        w.model.unit().setLiveMotion(true);
        w.open();
        QByteArray all;
        for (int i = 0; i < 60; ++i) {
            w.rt.advance(130);
            all += w.ask("P") + w.ask("S") + w.command("?   x") + w.command("?   w");
        }
        return all;
    };
    EXPECT_EQ(run(5), run(5)) << "the same seed, the same motion";
    EXPECT_NE(run(5), run(6));
}

// "n" + "0".. ";" + "999" reads a PCU parameter, three digits write it; the answer carries
// the value right after the "n".
TEST(AcuPcuParameters, ReadAndWriteAnswerWithTheValueAfterTheN)
{
    UnitOnWire u;
    u.open();
    EXPECT_EQ(u.command("n0999"), "n003 P0");
    EXPECT_EQ(u.command("n;999"), "n064 P;");
    EXPECT_EQ(u.command("n2050"), "n050 P2");
    EXPECT_EQ(u.command("n2999"), "n050 P2");
    EXPECT_EQ(u.command("n<999"), "n<999") << "no such parameter: the line comes back as it went";
}

// The sweep's "c" + frequency reads the level there: the beacon stands out of the noise
// between two transponders, and is gone 9 MHz either side.
TEST_F(LiveAcu, TheSpectrumShowsTheBeaconCarrier)
{
    auto level = [&](int mhz) {
        const QByteArray l = u.command("c" + QByteArray::number(mhz).rightJustified(4, '0'));
        return fieldAt(l, locateKey(l, LevelShape::key), LevelShape::level).toInt();
    };
    const int peak = level(1303);
    EXPECT_GT(peak, 500);
    EXPECT_LT(level(1294), 130);
    EXPECT_LT(level(1312), 130);
}
