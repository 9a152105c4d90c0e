#include "FrontPanelRig.h"

namespace {

using FrontPanelScreens = FrontPanelRig;

const QByteArray kShip = "SPH@SPHqSPHuSPH!?   S%";
const QByteArray kSatFirst = "SPHqSPHuSPH!mh999SPH!mi999SPH!mj999SPH!?   S%";
const QByteArray kSatLater = "SPHq!m\x8a"
                             "999SPHuSPH!m}999SPH!m~999SPH!?   S%";
const QByteArray kModeFirst = "!mI999!mN999!mP999SPHu";

TEST_F(FrontPanelScreens, OpeningTheLinkShowsAntennaAndShipTwiceGoesToPage17KeepingItsSequence)
{
    int cleared = 0;
    front.hooks().clearGraph = [&] { ++cleared; };
    session.start();
    EXPECT_EQ(front.screenCode(), 64);
    EXPECT_EQ(lines(), (QStringList{"ANTENNA ", " ", " ", " "}));
    EXPECT_EQ(sequence(), kAntenna);
    EXPECT_EQ(cleared, 1);

    rt.advance(1000); // polling since 800
    front.pressScreenKey(Screen::Ship);
    EXPECT_EQ(front.screenCode(), 16);
    EXPECT_EQ(lines(), (QStringList{"SHIP ", " ", " ", " "}));
    EXPECT_EQ(sequence(), kShip);
    EXPECT_FALSE(poll().polling());
    EXPECT_EQ(poll().startIntervalMs(), 600);

    rt.advance(1000); // S 1800, P 2000 (the tick at 1000 + 600 + 200)
    EXPECT_EQ(sentAfter(1000), (std::vector<Sent>{{1800, "S"}, {2000, "P"}}));
    front.pressScreenKey(Screen::Ship);
    EXPECT_EQ(front.screenCode(), 17);
    EXPECT_EQ(sequence(), kShip);
    EXPECT_TRUE(poll().polling());
    rt.advance(450);
    // The walk goes on where it was: no pause, no restart.
    EXPECT_EQ(sentAfter(2000), (std::vector<Sent>{{2200, "H"}, {2400, "@"}}));
    EXPECT_EQ(lines()[0], "37.7N");

    for (int code : {18, 19, 16, 17}) {
        front.pressScreenKey(Screen::Ship);
        EXPECT_EQ(front.screenCode(), code);
    }
    EXPECT_EQ(shownCodes, (QList<int>{64, 16, 17, 18, 19, 16, 17}));
    EXPECT_EQ(cleared, 1);
}

TEST_F(FrontPanelScreens, SatellitePagesSkipToneAndVoltageIn70MhzModeAndSwitchSequences)
{
    session.start();
    struct Step {
        int code;
        QByteArray sequence;
    };
    front.pressScreenKey(Screen::Satellite);
    EXPECT_EQ(lines()[0], "SATELLITE");
    const auto walk = [&](const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            front.pressScreenKey(Screen::Satellite);
            EXPECT_EQ(front.screenCode(), s.code);
            EXPECT_EQ(sequence(), s.sequence) << s.code;
            EXPECT_EQ(state().settleCounter, 1);
        }
    };
    walk({{33, kSatFirst},
          {34, kSatFirst},
          {35, kSatFirst},
          {36, kSatFirst},
          {37, kSatLater},
          {38, kSatLater}});
    session.setReceiverMode(ReceiverMode::Mhz70);
    walk({{39, kSatLater},
          {40, kSatLater},
          {41, kSatLater},
          {32, kSatFirst},
          {33, kSatFirst},
          {34, kSatFirst},
          {35, kSatFirst},
          {36, kSatFirst},
          {39, kSatLater}});
}

TEST_F(FrontPanelScreens, ModePagesCarryTheirTitlesAndSequencesAndStopAt160)
{
    session.start();
    front.pressScreenKey(Screen::Mode);
    EXPECT_EQ(lines(), (QStringList{"MODE", " ", " ", " "}));
    EXPECT_EQ(sequence(), kModeFirst);
    struct Page {
        int code;
        QString title;
        QByteArray sequence;
    };
    const std::vector<Page> pages{
        {129, "Version Info ACU", "SPHuVSPHuV!?   S"},
        {130, "Version Info PCU", "SPHu!?   VSPHu!?   S"},
        {131, "STATUS    ", "SPHu"},
        {132, "STATUS    ", "SPHu"},
        {133, "SETUP", "!mA999!mB999SPHu"},
        {134, "SETUP", "!mC999!mD999SPHu"},
        {135, "SETUP", "!mF999SPHu"},
        {136, "SETUP", "!mI999!mG999SPHu"},
        {137, "SETUP", "!mI999!mH999SPHu"},
        {143, "SETUP", "SPHu"},
        {149, "SETUP", "!mW999SPHu"},
        {151, "SETUP",
         "!m\x81"
         "999SPHu"},
        {154, "SETUP",
         "!m\x86"
         "999SPHu"},
        {156, "SETUP", "!m[999!m\\999SPHu"},
        {159, "SETUP", "!m_999!m`999SPHu"},
        {160, "SETUP",
         "!m\x88"
         "999SPHu"},
    };
    for (const Page& p : pages) {
        goTo(p.code);
        EXPECT_EQ(lines(), (QStringList{p.title, " ", " ", " "})) << p.code;
        EXPECT_EQ(sequence(), p.sequence) << p.code;
        EXPECT_EQ(state().settleCounter, 3);
    }
    const int changes = int(shownCodes.size());
    front.pressScreenKey(Screen::Mode);
    front.pressArrow(Arrow::Down);
    EXPECT_EQ(front.screenCode(), 160);
    EXPECT_EQ(shownCodes.size(), changes);
}

TEST_F(FrontPanelScreens, EachPageWritesItsLinesFromThePanelState)
{
    session.start();
    PanelState& s = state();
    s.latitudeText = "37.7N";
    s.longitudeText = "122.2W";
    s.headingText = " 20.0";
    s.azimuthText = "123.4";
    s.elevationText = "12.3";
    s.relativeAzimuthText = " 10.0";
    s.agcText = "0300";
    s.thresholdText = "0250";
    s.receiverField1Text = "1234";
    s.receiverField2Text = "567";
    s.symbolRateText = "2268";
    s.polarisationText = "0045";
    s.bandLetter = 'B';
    s.toneText = "  ON";
    s.voltageText = " 13V";
    s.fecText = " 3/4";
    s.acuVersion = "ACU VER 2.11";
    s.pcuVersion = "PCU VER 1.07";
    s.parameters['h'] = 3;
    s.parameters['i'] = 242;
    s.parameters['j'] = 16;
    s.parameters[138] = 251;
    s.parameters['}'] = 0x12;
    s.parameters['~'] = 0xAB;
    s.parameters['A'] = 255; // El Trim -2
    s.parameters['B'] = 254;
    s.parameters['F'] = 7;
    s.parameters['G'] = 12;
    s.parameters['S'] = 1; // Az Limit 1 300
    s.parameters['T'] = 44;

    struct Case {
        int code;
        QStringList expected;
    };
    const QString x = "(not checked)";
    const std::vector<Case> cases{
        {16, {"LAT 37.7N", "LON 122.2W", "HDG  20.0", ""}},
        {17, {"37.7N", x, x, x}},
        {18, {x, "122.2W", x, x}},
        {19, {x, x, " 20.0", x}},
        {32, {"SAT 101.0W", "THRS 0250", "FREQ 1234", "AGC  0300"}},
        {33, {"101.0W", x, x, x}},
        {34, {x, "0250", x, x}},
        {35, {x, x, "FREQ 1234MHZ  ", "0300"}},
        {36, {x, x, "BAUD 2268KHZ  ", "0300"}},
        {37, {x, x, "TONE   ON", "0300"}},
        {38, {x, x, "VOLT  13V", "0300"}},
        {39, {x, x, "FEC  3/4", "0300"}},
        {40, {x, x, "SKEW -5", "0300"}},
        {41, {x, x, "NID  12AB", "0300"}},
        {64, {"AZ  123.4", "EL  12.3", "REL  10.0", "AGC 0300"}},
        {65, {"123.4", x, x, "0300"}},
        {66, {x, "12.3", x, "0300"}},
        {67, {x, x, " 10.0", "0300"}},
        {68, {x, x, "POL 0045", x}},
        {69, {x, x, "REFLECT B", "0300"}},
        {129, {"Version Info ACU", " ", "ACU VER 2.11", " "}},
        {130, {"Version Info PCU", " ", "PCU VER 1.07", " "}},
        {131, {"STATUS    ", "SEARCH 2 OFF", " ", " "}},
        {133, {"SETUP", " ", "El Trim       -2", " "}},
        {135, {"SETUP", " ", "Auto Thrs      007", " "}},
        {136, {"SETUP", " ", "El Sensitivity 012", " "}},
        {143, {"SETUP", " ", "", " "}},
        {152, {"SETUP", " ", "Az Limit 1     300", " "}},
    };
    for (const Case& c : cases) {
        goTo(c.code);
        s.settleCounter = 1;
        front.refreshPage();
        for (int i = 0; i < 4; ++i) {
            if (c.expected[i] != x) {
                EXPECT_EQ(lines()[i], c.expected[i]) << "page " << c.code << " line " << i;
            }
        }
    }

    // The 70 MHz receiver (or an SCPC FEC) tunes an IF with a fraction.
    session.setReceiverMode(ReceiverMode::Mhz70);
    goTo(32);
    front.refreshPage();
    EXPECT_EQ(lines(), (QStringList{"SAT 101.0W", " THRS 0250", "IF 1234.567", " AGC  0300"}));
    // Step sizes once the unit steps (parameter I not 0).
    s.parameters['I'] = 1;
    goTo(136);
    front.refreshPage();
    EXPECT_EQ(lines()[2], "El Step Size   012");
}

TEST_F(FrontPanelScreens, SatelliteLongitudeComesFromParametersHIAndJ)
{
    struct Case {
        int h, i, j;
        QString text;
    };
    const std::vector<Case> cases{
        {3, 242, 16, "101.0W"}, {259, 242, 0, "101.0E"}, // only h's low byte counts
        {0, 5, 0, "0.5E"},      {7, 8, 17, "180.0W"},    {0, 0, 32, "0.0E"},
    };
    for (const Case& c : cases) {
        state().parameters['h'] = qint16(c.h);
        state().parameters['i'] = qint16(c.i);
        state().parameters['j'] = qint16(c.j);
        EXPECT_EQ(screens::satelliteLongitude(state()), c.text) << c.h << " " << c.i << " " << c.j;
    }
}

TEST_F(FrontPanelScreens, TypingOnAModePageFreezesItsValueUntilThePageChanges)
{
    unit.replies["mA999"] = "mA001";
    unit.replies["mB999"] = "mB044";
    unit.replies["mC999"] = "mC000";
    unit.replies["mD999"] = "mD007";
    session.start();
    front.pressScreenKey(Screen::Mode);
    rt.advance(2000);
    front.chooseShortcut(133);
    EXPECT_EQ(sequence(), "!mA999!mB999SPHu");
    front.entryKey();
    rt.advance(2000);
    EXPECT_EQ(state().parameter('B'), 44);
    EXPECT_EQ(lines()[2], " ");

    front.pressScreenKey(Screen::Mode);
    rt.advance(2000);
    EXPECT_EQ(lines(), (QStringList{"SETUP", " ", "Az Trim       7", " "}));
    front.pressArrow(Arrow::Up);
    front.releaseArrow();
    rt.advance(2000);
    EXPECT_EQ(lines(), (QStringList{"SETUP", " ", "El Trim       300", " "}));
}

TEST_F(FrontPanelScreens, ArrowsNavigateModePagesAndJogOnTheAntennaPage)
{
    std::vector<FrontPanelLogic::Jog> jogs;
    int scanStops = 0;
    QList<bool> held;
    front.hooks().jog = [&](const FrontPanelLogic::Jog& j) { jogs.push_back(j); };
    front.hooks().stopPatternScan = [&] { ++scanStops; };
    QObject::connect(&front, &FrontPanelLogic::arrowHeldChanged, [&](bool h) { held << h; });
    session.start();

    for (Arrow a : {Arrow::Up, Arrow::Down, Arrow::Left, Arrow::Right}) {
        front.pressArrow(a);
        EXPECT_TRUE(front.arrowHeld());
        front.releaseArrow();
    }
    ASSERT_EQ(jogs.size(), 4u);
    EXPECT_EQ(jogs[0].direction, FrontPanelLogic::JogDirection::ElevationUp);
    EXPECT_EQ(jogs[1].direction, FrontPanelLogic::JogDirection::ElevationDown);
    EXPECT_EQ(jogs[2].direction, FrontPanelLogic::JogDirection::AzimuthDown);
    EXPECT_EQ(jogs[3].direction, FrontPanelLogic::JogDirection::AzimuthUp);
    EXPECT_DOUBLE_EQ(jogs[0].step, 0.1);
    EXPECT_DOUBLE_EQ(jogs[0].second, 0.3);
    EXPECT_EQ(jogs[0].rate, 600);
    EXPECT_EQ(scanStops, 4);
    EXPECT_EQ(held, (QList<bool>{true, false, true, false, true, false, true, false}));

    goTo(65);
    front.pressArrow(Arrow::Up);
    front.releaseArrow();
    EXPECT_EQ(jogs.size(), 4u);
    EXPECT_EQ(front.screenCode(), 65);

    front.pressScreenKey(Screen::Mode);
    const auto press = [&](Arrow a) {
        front.pressArrow(a);
        front.releaseArrow();
        return front.screenCode();
    };
    EXPECT_EQ(press(Arrow::Up), 129); // from the MODE page itself
    EXPECT_EQ(press(Arrow::Up), 129);
    EXPECT_EQ(press(Arrow::Down), 130);
    EXPECT_EQ(press(Arrow::Down), 131);
    EXPECT_EQ(press(Arrow::Up), 130);
    EXPECT_EQ(press(Arrow::Left), 130);
    EXPECT_EQ(press(Arrow::Right), 130);
    EXPECT_EQ(jogs.size(), 4u);
}

TEST_F(FrontPanelScreens, ShortcutMenusJumpToTheirPages)
{
    session.start();
    EXPECT_FALSE(front.rightClickScreenKey(Screen::Ship));
    EXPECT_EQ(front.screenCode(), 64);

    std::optional<FrontPanelLogic::ShortcutMenu> menu = front.rightClickScreenKey(Screen::Mode);
    ASSERT_TRUE(menu);
    EXPECT_EQ(front.screenCode(), 128);
    EXPECT_EQ(menu->title, "Mode Display");
    QStringList captions;
    for (const auto& item : menu->items)
        captions << item.caption;
    EXPECT_TRUE(captions.contains("El  Step Size"));
    EXPECT_TRUE(captions.contains("DVB Version"));
    EXPECT_EQ(captions.size(), 22);

    front.chooseShortcut(146);
    EXPECT_EQ(front.screenCode(), 146);
    EXPECT_EQ(sequence(), "!mP999SPHu");
    EXPECT_EQ(state().settleCounter, 3);
    front.chooseShortcut(0); // "DVB Version", "MDM Version": no page
    EXPECT_EQ(front.screenCode(), 146);

    menu = front.rightClickScreenKey(Screen::Satellite);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title, "Sat Display");
    EXPECT_EQ(front.screenCode(), 32);
    front.chooseShortcut(41);
    EXPECT_EQ(front.screenCode(), 41);
    EXPECT_EQ(sequence(), kSatLater);
    // The shortcut presses the key from the page before: in 70 MHz mode "Tone" lands on FEC.
    session.setReceiverMode(ReceiverMode::Mhz70);
    front.chooseShortcut(37);
    EXPECT_EQ(front.screenCode(), 39);

    // From another screen a shortcut first shows its screen.
    front.pressScreenKey(Screen::Ship);
    front.chooseShortcut(133);
    EXPECT_EQ(front.screenCode(), 133);
    EXPECT_EQ(sequence(), "!mA999!mB999SPHu");
}

TEST_F(FrontPanelScreens, ReopeningTheLinkShowsAntennaAgain)
{
    int cleared = 0, graphResets = 0;
    front.hooks().clearGraph = [&] { ++cleared; };
    front.hooks().resetGraphSelection = [&] { ++graphResets; };
    session.start();
    goTo(18);
    link().togglePort();
    EXPECT_EQ(front.screenCode(), 0);
    EXPECT_EQ(lines()[0], "Check Comm Port");
    link().togglePort();
    EXPECT_EQ(front.screenCode(), 64);
    EXPECT_EQ(lines(), (QStringList{"ANTENNA ", " ", " ", " "}));
    EXPECT_EQ(cleared, 2);
    EXPECT_EQ(graphResets, 2);
    EXPECT_EQ(shownCodes.mid(shownCodes.size() - 2), (QList<int>{0, 64}));
}

} // namespace
