#include "FrontPanelRig.h"

namespace {

using FrontPanelEntry = FrontPanelRig;

struct EntryCase {
    int code;
    QString entry;
    QByteArray command; // empty: nothing is sent
};

std::vector<EntryCase> entryCases()
{
    std::vector<EntryCase> cases{
        // SHIP: a position sentence with the other coordinate as stored.
        {17, "37.7", "$GPGLL,3742.00,N,12212.00,W\r\n"},
        {17, "12.5 s", "$GPGLL,1230.00,S,12212.00,W\r\n"},
        {18, "5.25E", "$GPGLL,3742.00,N,0512.00,E\r\n"},
        {17, "-37.7", ""},
        {17, "90.1N", ""},
        {17, "N", ""},
        {18, "1E2W", ""},
        {19, "123.4", "B123.4\r\n"},
        {19, "12\r\nD", ""},
        // SATELLITE
        {33, "101.0W", "T101.0W\r\n"},
        {34, "300", "mo001\r\nmp044\r\n"},
        {34, "-2", "mo255\r\nmp254\r\n"},
        {35, "12.5", "c0012\r\nd0500\r\n"},
        {35, "1234.567", "c1234\r\nd0567\r\n"},
        {35, "10000", ""},
        {35, "abc", ""},
        {36, "2268", "d2268\r\n"},
        {36, "10000", ""},
        {37, "off", "c0032\r\n"},
        {37, "ON", "c0033\r\n"},
        {37, "maybe", ""},
        {38, "18", "c0035\r\n"},
        {38, "13", "c0034\r\n"},
        {38, "x", "c0035\r\n"}, // flips the current 13 V
        {39, "3", "mu048\r\n"},
        {39, "S", "mu112\r\n"},
        {39, "l", "mu240\r\n"},
        {39, "2*", "mu160\r\n"},
        {39, "16", ""},
        {40, "-5",
         "m\x8a"
         "251\r\n"},
        {40, "12",
         "m\x8a"
         "012\r\n"},
        {40, "-300", ""},
        {41, "12ab", "m}018\r\nm~171\r\n"},
        {41, "F", "m}000\r\nm~015\r\n"},
        {41, "12345", ""},
        {41, "G1", ""},
        // ANTENNA: targets as typed
        {65, "123.4", "A123.4\r\n"},
        {66, "12.3", "E12.3\r\n"},
        {67, "-10", "J-10\r\n"},
        {69, "a", "c0030\r\n"},
        {69, "B", "c0031\r\n"},
        {69, "c", ""},
        {64, "5", ""},
        {68, "5", ""},
        // MODE
        {133, "-2", "mA255\r\nmB254\r\n"},
        {133, "70000", ""},
        {133, "abc", ""},
        {134, "300", "mC001\r\nmD044\r\n"},
        {135, "7", "mF007\r\n"},
        {135, "1000", ""},
        {136, "25", "Y0025\r\n"},
        {137, "30", "X0030\r\n"},
        {143, "5", ""},
        {150, "5", ""},
        {151, "5",
         "m\x81"
         "005\r\n"},
        {152, "1800", "mS007\r\nmT008\r\n"},
        {153, "1800", "mU007\r\nmV008\r\n"},
        {154, "45",
         "m\x86"
         "045\r\n"},
        {155, "-1", "mY255\r\nmZ255\r\n"},
        {156, "256", "m[001\r\nm\\000\r\n"},
        {157, "45",
         "m\x87"
         "045\r\n"},
        {158, "10", "m]000\r\nm^010\r\n"},
        {159, "10", "m_000\r\nm`010\r\n"},
        {160, "45",
         "m\x88"
         "045\r\n"},
    };
    const char letters[] = "IJKLM NOPQRW";
    for (int i = 0; i < 12; ++i)
        if (letters[i] != ' ')
            cases.push_back({138 + i, "42", QByteArray("m") + letters[i] + "042\r\n"});
    return cases;
}

TEST_F(FrontPanelEntry, EveryPageSendsItsSetCommandAsTheLongCommand)
{
    const auto reset = [this] {
        PanelState& s = state();
        s.latitude = 377;
        s.latHemisphere = 'N';
        s.longitude = 1222;
        s.lonHemisphere = 'W';
        s.toneText = "  ON";
        s.voltageText = " 13V";
        s.receiverSettings = 64 + 3;
        poll().setLongCommand({});
    };
    session.start();
    for (const EntryCase& c : entryCases()) {
        goTo(c.code);
        reset();
        state().settleCounter = 3;
        const bool sent = front.entryEnter(c.entry);
        EXPECT_EQ(poll().longCommand(), c.command) << "page " << c.code << " entry " << c.entry.toStdString();
        EXPECT_EQ(sent, !c.command.isEmpty()) << "page " << c.code << " entry " << c.entry.toStdString();
        EXPECT_EQ(state().settleCounter, 0);
    }
}

TEST_F(FrontPanelEntry, ConfirmedCoordinatesAreStoredAndShown)
{
    session.start();
    goTo(17);
    state().latHemisphere = 'N';
    ASSERT_TRUE(front.entryEnter("12.5 s"));
    EXPECT_EQ(state().latitude, 125);
    EXPECT_EQ(state().latHemisphere, 'S');
    EXPECT_EQ(state().latitudeText, "12.5S");
    goTo(18);
    ASSERT_TRUE(front.entryEnter("122.2"));
    EXPECT_EQ(state().longitude, 1222);
    EXPECT_EQ(state().longitudeText, "122.2E");
    EXPECT_FALSE(front.entryEnter(""));
}

TEST_F(FrontPanelEntry, SpaceTogglesOnTheToneVoltageAndFecPagesOnly)
{
    state().toneText = "  ON";
    state().voltageText = " 18V";
    struct Case {
        int code;
        int receiverSettings;
        QByteArray command; // empty: Space is an ordinary key here
    };
    const std::vector<Case> cases{
        {37, 0, "c0032\r\n"},
        {38, 0, "c0034\r\n"},
        {39, 64 + 3, "mu064\r\n"},
        {39, 64 + 8 + 6, "mu240\r\n"},
        {39, 64 + 15, "mu000\r\n"},
        {39, -1, "mu016\r\n"},
        {35, 0, ""},
        {133, 0, ""},
    };
    session.start();
    for (const Case& c : cases) {
        goTo(c.code);
        state().receiverSettings = c.receiverSettings;
        poll().setLongCommand({});
        EXPECT_EQ(front.entrySpace(), !c.command.isEmpty()) << c.code;
        EXPECT_EQ(poll().longCommand(), c.command) << c.code << " " << c.receiverSettings;
    }
}

TEST_F(FrontPanelEntry, Page17SendsThePositionSentenceWholeOnTwoTicks)
{
    session.start();
    rt.advance(1000);
    front.pressScreenKey(Screen::Ship); // polls again from 1800: S P H @ ...
    front.pressScreenKey(Screen::Ship);
    rt.advance(2000);
    ASSERT_EQ(state().latitudeText, "37.7N");
    ASSERT_EQ(state().longitudeText, "122.2W");
    ASSERT_TRUE(front.entryEnter("37.7"));
    rt.advance(600);
    const QByteArray sentence = "$GPGLL,3742.00,N,12212.00,W\r\n";
    EXPECT_EQ(sentAfter(3000), (std::vector<Sent>{{3200, sentence}, {3400, sentence}, {3600, "q"}}));
}

TEST_F(FrontPanelEntry, FrequencyGoesAsTwoSevenCharacterPiecesOnTwoTicks)
{
    session.start();
    rt.advance(1000);
    goTo(35); // SATELLITE shown at 1000: polls from 1800
    rt.advance(1000);
    ASSERT_TRUE(front.entryEnter("12.5"));
    rt.advance(600);
    EXPECT_EQ(sentAfter(2000), (std::vector<Sent>{{2200, "c0012\r\n"}, {2400, "d0500\r\n"}, {2600, "H"}}));
    EXPECT_TRUE(unit.commands.contains("c0012"));
    EXPECT_TRUE(unit.commands.contains("d0500"));
}

TEST_F(FrontPanelEntry, TrackingKeyWhileTrackingSendsDWithoutARingEntry)
{
    session.start();
    rt.advance(1000); // "S" at 800 says tracking ("H": bit 3)
    ASSERT_EQ(state().trackingState, 8);
    const int sendIndex = ring().sendIndex;
    front.pressTracking();
    rt.advance(200);
    EXPECT_EQ(sentAfter(1000), (std::vector<Sent>{{1200, "D"}}));
    EXPECT_EQ(ring().sendIndex, sendIndex);
    EXPECT_TRUE(poll().longCommand().isEmpty());

    state().trackingState = 0;
    front.pressTracking();
    EXPECT_EQ(poll().longCommand(), "C");
}

TEST_F(FrontPanelEntry, NothingIsQueuedWhileTheLinkIsClosed)
{
    session.start();
    goTo(65);
    link().togglePort();
    ASSERT_FALSE(link().portOpen());
    goTo(65);
    EXPECT_FALSE(front.entryEnter("123.4"));
    EXPECT_EQ(link().statusText(), "Status: Port Closed - key not sent");
    link().setStatusText("-");
    EXPECT_FALSE(front.pressTracking());
    EXPECT_EQ(link().statusText(), "Status: Port Closed - key not sent");
    EXPECT_FALSE(front.resetErrorBits());
    goTo(17);
    EXPECT_FALSE(front.entryEnter("12.5N"));
    EXPECT_EQ(state().latitude, 0);
    EXPECT_TRUE(poll().longCommand().isEmpty());

    const qint64 reopened = rt.now();
    link().togglePort();
    rt.advance(1000);
    EXPECT_EQ(sentAfter(reopened), (std::vector<Sent>{{reopened + 800, "S"}, {reopened + 1000, "P"}}));
}

// A key pressed just before the link closes has not gone out yet: it never goes, not
// even after the link opens again.
TEST_F(FrontPanelEntry, AKeyPendingWhenTheLinkClosesIsNeverSent)
{
    session.start();
    rt.advance(900);
    goTo(65);
    rt.advance(1000);
    ASSERT_TRUE(front.entryEnter("123.4"));
    link().togglePort();
    link().togglePort();
    ASSERT_TRUE(link().portOpen());
    rt.advance(3000);
    EXPECT_FALSE(serial.sentBytes().contains("A123"));
}

} // namespace
