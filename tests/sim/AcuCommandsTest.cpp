// The service and set commands act on the unit, and the replies that follow show it.
#include "AcuStatus.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vocab;

namespace {

class AcuCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        u.open();
        u.rt.advance(60000);
    }
    UnitOnWire u;
};

struct Gps {
    char latHemisphere = 0, lonHemisphere = 0;
    int latitude = 0, longitude = 0;
};

Gps gps(const QByteArray& line)
{
    int k = locateKey(line, GpsShape::east);
    if (k == 0)
        k = locateKey(line, GpsShape::west);
    if (k == 0)
        return {};
    return {char(charAt(line, k + GpsShape::latHemisphere.offset)), char(charAt(line, k)),
            fieldNumber(line, k, GpsShape::latitude), fieldNumber(line, k, GpsShape::longitude)};
}

} // namespace

TEST_F(AcuCommands, DvbVersionIsReadInTwoStepsAndOnlyOnce)
{
    EXPECT_EQ(u.command("w!123"), "w! NO DATA") << "nothing asked yet";
    u.rx.clear();
    u.link.write(wireForm(kDvbVersion));
    u.rt.advance(500);
    EXPECT_TRUE(u.rx.isEmpty());
    const QByteArray version = u.command("w!123");
    EXPECT_TRUE(version.contains("VER") && version.contains("QVR") && version.contains("DVB"))
        << version.constData();
    EXPECT_EQ(u.command("w!123"), "w! NO DATA");
}

TEST_F(AcuCommands, FrequencySweepFindsTheTranspondersAboveTheNoise)
{
    // A steady signal: nothing blocks the beam while the band is swept.
    u.model.unit().setBlockagesEnabled(false);
    u.rt.advance(5000);
    u.model.unit().update();
    ASSERT_EQ(u.model.unit().phase(), AcuUnit::Phase::Tracking);
    // As the panel's spectrum sweep walks the band: 937 MHz on, 3 MHz a step, 200 steps.
    std::vector<int> levels;
    for (int mhz = 937; mhz < 1537; mhz += 3) {
        const QByteArray reply = u.command("c" + QByteArray::number(mhz).rightJustified(4, '0'));
        const int k = locateKey(reply, LevelShape::key);
        ASSERT_GT(k, 0) << mhz << ": " << reply.constData();
        levels.push_back(fieldNumber(reply, k, LevelShape::level));
    }
    const auto peak = std::max_element(levels.begin(), levels.end());
    const int peakMhz = 937 + 3 * int(peak - levels.begin());
    EXPECT_NEAR(peakMhz, 1150, 20);
    std::vector<int> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const int floor = sorted[sorted.size() / 5];
    EXPECT_GT(*peak, 3 * floor) << "peak " << *peak << " floor " << floor;
    EXPECT_LT(floor, 150);
    // The receiver stays where the sweep left it.
    const QByteArray q = u.command("q");
    EXPECT_EQ(fieldAt(q, locateKey(q, ReceiverShape::key), ReceiverShape::first), "1534");

    // Off the satellite the peak is gone.
    u.command("D");
    u.command("E0050");
    u.rt.advance(15000);
    EXPECT_LT(fieldNumber(u.command("c1150"), 1, LevelShape::level), 2 * floor);
}

TEST_F(AcuCommands, ReceiverSwitchCodesShowInTheExtendedBytesAndLeaveTheFrequency)
{
    EXPECT_EQ(u.command("d0500"), "d0500");
    const QByteArray before = u.command("q");
    AcuStatus st = acuStatus(u);
    EXPECT_FALSE(st.e1 & flag::bandB);
    EXPECT_TRUE(st.e2 & flag::toneOn);
    EXPECT_TRUE(st.e2 & flag::lnb18V);
    struct Step {
        const char* command;
        int AcuStatus::*byte;
        int bit;
        bool on;
    };
    const Step steps[] = {
        {"c0031", &AcuStatus::e1, flag::bandB, true},   {"c0030", &AcuStatus::e1, flag::bandB, false},
        {"c0032", &AcuStatus::e2, flag::toneOn, false}, {"c0033", &AcuStatus::e2, flag::toneOn, true},
        {"c0034", &AcuStatus::e2, flag::lnb18V, false}, {"c0035", &AcuStatus::e2, flag::lnb18V, true},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(locateKey(u.command(s.command), LevelShape::key), 1) << s.command;
        EXPECT_EQ((acuStatus(u).*(s.byte) & s.bit) != 0, s.on) << s.command;
    }
    EXPECT_EQ(u.command("q"), before);
    EXPECT_EQ(fieldAt(before, 1, ReceiverShape::second), "0500");
    // The FEC setting travels in the low bits of the same byte.
    u.command("mu112"); // 7 x 16: SCPC
    EXPECT_EQ(acuStatus(u).e2 & 0x0F, 7);
}

TEST_F(AcuCommands, PositionSentenceUpdatesTheGpsReplyAndMovesTheSatellite)
{
    Gps g = gps(u.command("@"));
    EXPECT_EQ(g.latitude, 377);
    EXPECT_EQ(g.lonHemisphere, 'W');
    const LookAngles before = u.model.unit().satellite();

    // As the panel's latitude page sends it, with whole minutes.
    g = gps(u.command("$GPGLL,5130.00,N,00007.00,W"));
    EXPECT_EQ(g.latHemisphere, 'N');
    EXPECT_EQ(g.latitude, 515);
    EXPECT_EQ(g.lonHemisphere, 'W');
    EXPECT_EQ(g.longitude, 1);
    EXPECT_EQ(gps(u.command("@")).latitude, 515);
    EXPECT_GT(std::abs(u.model.unit().satellite().azimuth - before.azimuth), 10.0);

    // As the terminal's simulation sends it, with a fraction and trailing fields.
    g = gps(u.command("$GPGLL,3346.000,S,15112.000,E,0,00000,A"));
    EXPECT_EQ(g.latHemisphere, 'S');
    EXPECT_EQ(g.latitude, 338);
    EXPECT_EQ(g.lonHemisphere, 'E');
    EXPECT_EQ(g.longitude, 1512);

    // A sentence the unit cannot read changes nothing.
    EXPECT_EQ(u.command("$GPGLL,3742.00,X,12212.00,W"), "$GPGLL,3742.00,X,12212.00,W");
    EXPECT_EQ(u.command("$GPGLL,3799.00,N,12212.00,W"), "$GPGLL,3799.00,N,12212.00,W");
    EXPECT_EQ(gps(u.command("@")).latitude, 338);
}

TEST_F(AcuCommands, HeadingEntryAndHeadingSentence)
{
    EXPECT_EQ(fieldNumber(u.command("B1234"), 1, HeadingShape::heading), 1234);
    EXPECT_NEAR(fieldNumber(u.command("B200.5"), 1, HeadingShape::heading), 2005, 1);
    EXPECT_NEAR(fieldNumber(u.command("$HDHDT,045.0,T*00"), 1, HeadingShape::heading), 450, 1);
    EXPECT_TRUE(acuStatus(u).byte2 & flag::validHeading);
    u.command("$HDHDT,,T*00");
    EXPECT_FALSE(acuStatus(u).byte2 & flag::validHeading) << "an empty heading field is no heading";
    u.command("$HDHDT,046.0,T*00");
    EXPECT_TRUE(acuStatus(u).byte2 & flag::validHeading);
}

TEST_F(AcuCommands, NutaraToggleShowsInThePcuStatusAndStopsThePattern)
{
    EXPECT_TRUE(pcuStatus(u).byte1 & flag::nutara);
    EXPECT_EQ(u.command("^0067"), "^ NUTARA OFF");
    EXPECT_FALSE(pcuStatus(u).byte1 & flag::nutara);
    auto phase = [&] {
        const QByteArray x = u.command(pcuQuery(kPcuLoop));
        return charAt(x, locateKey(x, PcuSensorShape::loop) + PcuSensorShape::phase.offset);
    };
    std::set<int> phases;
    for (int i = 0; i < 8; ++i) {
        u.rt.advance(130);
        phases.insert(phase());
    }
    EXPECT_EQ(phases, std::set<int>{'@'});
    EXPECT_EQ(u.command("^0067"), "^ NUTARA ON");
    EXPECT_TRUE(pcuStatus(u).byte1 & flag::nutara);
    phases.clear();
    for (int i = 0; i < 8; ++i) {
        u.rt.advance(130);
        phases.insert(phase());
    }
    EXPECT_GT(phases.size(), 4u);
}

TEST_F(AcuCommands, SatelliteLongitudeLoadsTheSatelliteAndSearches)
{
    // 19.2 east is below the horizon from California.
    EXPECT_EQ(u.command("T19.2E"), "T0192E");
    EXPECT_EQ(u.command("mh999"), "mh000");
    EXPECT_EQ(u.command("mi999"), "mi192");
    EXPECT_EQ(u.command("mj999"), "mj000");
    AcuStatus st = acuStatus(u);
    EXPECT_TRUE(st.byte2 & flag::searching);
    EXPECT_TRUE(st.byte3 & flag::satelliteRange);

    EXPECT_EQ(u.command("T1010"), "T1010W");
    EXPECT_EQ(u.command("mj999"), "mj016");
    EXPECT_FALSE(acuStatus(u).byte3 & flag::satelliteRange);
    u.rt.advance(60000);
    st = acuStatus(u);
    EXPECT_TRUE((st.byte1 & flag::tracking) && !(st.byte2 & flag::searching));
    EXPECT_EQ(u.command("T200.0"), "T200.0") << "no such longitude";
}

TEST_F(AcuCommands, SaveAndRebootKeepTheSavedParametersOnly)
{
    EXPECT_EQ(u.command("mF050"), "mF050");
    EXPECT_EQ(u.command("\\0087"), "\\ PARAMETERS SAVED");
    EXPECT_EQ(u.command("mF060"), "mF060");
    EXPECT_EQ(u.command("X0033"), "X0033");
    EXPECT_EQ(u.command("mH999"), "mH033") << "the azimuth step size is parameter H";
    EXPECT_EQ(u.command("\\0090"), "\\ REBOOTING");
    EXPECT_TRUE(acuStatus(u).byte2 & flag::initializing);
    EXPECT_EQ(u.command("mF999"), "mF050");
    EXPECT_EQ(u.command("mH999"), "mH040");
    u.rt.advance(4000);
    EXPECT_FALSE(acuStatus(u).byte2 & flag::initializing);
}

TEST_F(AcuCommands, ErrorBitsAreRaisedAndResetAsThePanelShowsThem)
{
    EXPECT_EQ(u.command("^0090"), "^ PCU REBOOTING");
    PcuStatus ps = pcuStatus(u);
    EXPECT_TRUE(ps.byte2 & flag::pcuInit);
    EXPECT_TRUE(ps.byte3 & flag::azReference);
    EXPECT_TRUE(ps.byte2 & flag::pcuErrorSummary);
    AcuStatus st = acuStatus(u);
    EXPECT_TRUE(st.byte3 & flag::pcuError);
    EXPECT_GE(st.byte4, 64) << "the panel takes the servo group from ACU byte 4";
    EXPECT_TRUE(st.byte4 & flag::azReference);
    u.rt.advance(4000);
    EXPECT_FALSE(pcuStatus(u).byte2 & flag::pcuInit);
    EXPECT_EQ(u.command("^0082"), "^ AZ HF ERROR CLEARED");
    EXPECT_EQ(pcuStatus(u).byte3, '@');
    EXPECT_FALSE(acuStatus(u).byte3 & flag::pcuError);

    u.model.unit().raisePcuError(4, 5);
    EXPECT_TRUE(acuStatus(u).byte3 & flag::pcuError);
    EXPECT_EQ(u.command("?   &"), "& PCU ERRORS RESET");
    EXPECT_EQ(pcuStatus(u).byte4, '@');

    u.model.unit().raiseAcuError(2);
    EXPECT_TRUE(acuStatus(u).byte3 & 0x04);
    // Both forms reset the ACU's error bits with one reply: "&" and four blanks, and a bare "&".
    u.rx.clear();
    u.link.write("&    \r\n");
    u.rt.advance(300);
    EXPECT_EQ(u.lines(), QList<QByteArray>{"& ACU ERRORS RESET"});
    EXPECT_FALSE(acuStatus(u).byte3 & 0x04);
    EXPECT_EQ(u.command("&"), "& ACU ERRORS RESET");
}

TEST_F(AcuCommands, PortLockFindAndPcuGpsLines)
{
    EXPECT_EQ(u.command("[L   "), "[L PORT LOCKED");
    EXPECT_TRUE(u.model.unit().portLocked());
    EXPECT_EQ(u.command("[M   "), "[M PORT UNLOCKED");
    EXPECT_EQ(u.command("F1234"), "F SEARCHING");
    EXPECT_TRUE(acuStatus(u).byte2 & flag::searching);
    EXPECT_EQ(u.command(pcuQuery(kPcuQualifiedGps)), "@ 3742N 12212W");
    EXPECT_EQ(u.command(pcuQuery(kPcuFineGps)), "= 3742.0000N 12212.0000W");
}

// The unit acts on a command line at its CR: the panel's long commands travel in pieces
// ("A123.4" CR, then the LF on a later tick; short ones a character per tick), and the
// reply must not wait for the LF, nor may the LF count as a line of its own.
TEST_F(AcuCommands, CommandLinesAreTakenAtTheirCrAndTheLfAfterIsIgnored)
{
    EXPECT_FALSE(u.ask("A123.4\r").isEmpty());
    u.rx.clear();
    u.link.write("\n");
    u.rt.advance(300);
    EXPECT_TRUE(u.rx.isEmpty());

    for (const char c : QByteArray("E45")) {
        u.link.write(QByteArray(1, c));
        u.rt.advance(200);
    }
    EXPECT_TRUE(u.rx.isEmpty());
    EXPECT_FALSE(u.ask("\r").isEmpty());
    u.rx.clear();
    u.link.write("\n");
    u.rt.advance(300);
    EXPECT_TRUE(u.rx.isEmpty());
}
