// The position and heading sentences, their counters and ranges, the moving ship, the
// checksum option and the modem tune's fill level.
#include "ToolsRig.h"

#include <gtest/gtest.h>

TEST(NavigationSim, SentencesCountersAndRanges)
{
    ToolsRig r;
    r.open();
    r.nav->sendGps();
    EXPECT_EQ(r.sends(r.serial),
              (std::vector<QByteArray>{"$GPGLL,3746.000,N,12213.000,W,0,00000,A\r\n", "@"}));
    EXPECT_TRUE(r.screen().endsWith("$GPGLL,3746.000,N,12213.000,W,0,00000,A\r\n"));
    // The "@" follows once the sentence is out and 10 ms have passed.
    EXPECT_GE(r.timesOf("@")[0], 42 + 10);

    r.serial.clearTranscript();
    r.nav->sendHdg();
    r.nav->sendHdg();
    EXPECT_EQ(r.sends(r.serial),
              (std::vector<QByteArray>{"$HDHDT,123.4,T*00\r\n", "H", "$HDHDT,123.5,T*00\r\n", "H"}));

    std::vector<int> ranges;
    for (int i = 0; i < 5; ++i) {
        r.nav->resetHeadingRange();
        ranges.push_back(r.nav->heading());
    }
    EXPECT_EQ(ranges, (std::vector<int>{0, 10, 100, 1000, 0}));
    r.serial.clearTranscript();
    r.nav->sendHdg();
    EXPECT_EQ(r.nav->heading(), 0);
    r.nav->resetHeadingRange();
    r.nav->sendHdg();
    r.nav->sendHdg();
    EXPECT_EQ(r.sends(r.serial), (std::vector<QByteArray>{"$HDHDT,,T*00\r\n", "H", "$HDHDT,1.0,T*00\r\n", "H",
                                                          "$HDHDT,1.1,T*00\r\n", "H"}));

    // The counters go on while the port is closed; the send is refused.
    r.session->openOrCloseLink();
    r.nav->sendHdg();
    EXPECT_EQ(r.nav->heading(), 13);
    EXPECT_EQ(r.prompter.messages.size(), 1);
}

TEST(NavigationSim, ChecksumsOnRequestAndAMovingShip)
{
    ToolsRig r;
    r.open();
    r.nav->setChecksums(true);
    r.nav->sendGps();
    r.nav->sendHdg();
    EXPECT_EQ(r.sends(r.serial), (std::vector<QByteArray>{"$GPGLL,3746.000,N,12213.000,W,0,00000,A*11\r\n", "@",
                                                          "$HDHDT,123.4,T*2A\r\n", "H"}));
    r.nav->setChecksums(false);

    // 60 knots for a minute: a mile north, then a mile east (1.265 minutes of longitude there).
    r.nav->setMotion(0, 60);
    r.rt.wait(60000);
    EXPECT_EQ(r.nav->gpsSentence(), "$GPGLL,3746.000,N,12213.000,W,0,00000,A\r\n"); // not moved until sent
    r.serial.clearTranscript();
    r.nav->sendGps();
    r.nav->setMotion(90, 60);
    r.rt.wait(60000);
    r.nav->sendGps();
    const auto sent = r.sends(r.serial);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0], "$GPGLL,3747.000,N,12213.000,W,0,00000,A\r\n");
    // The first sentence's 54 ms on the wire were still sailed north.
    EXPECT_EQ(sent[2], "$GPGLL,3747.001,N,12211.735,W,0,00000,A\r\n");
}

TEST(NavigationSim, ModemTuneTopsUpByFillLevelUntilCancel)
{
    ToolsRig r;
    r.store.set("QuillanUniv1", "Properties", "Type", "False");
    r.store.set("QuillanUniv1", "Properties", "Address", "127.0.0.1");
    r.open(Module::QVR2m1);
    ASSERT_TRUE(r.session->isPortOpen());
    ASSERT_FALSE(r.session->linkIsSerial());
    QStringList windows;
    QObject::connect(r.nav.get(), &NavigationSim::cancelWindowShown,
                     [&windows](const QString& caption, const QString& text) { windows << caption << text; });
    r.nav->startModemTune();
    EXPECT_EQ(windows, (QStringList{"Modem Tune", "Modem Tune\rPress Cancel to END"}));
    r.rt.wait(1050);
    // A TCP link's queue leaves at once: the pattern goes out on every tick.
    const auto sent = r.sends(r.tcp);
    ASSERT_EQ(sent.size(), 10u);
    EXPECT_EQ(sent[0], QByteArray(250, 'U'));
    r.session->requestCancel();
    EXPECT_FALSE(r.nav->modemTuneRunning());
    r.rt.wait(500);
    EXPECT_EQ(r.sends(r.tcp).size(), 10u);

    // A serial line at 9600 baud takes 260 ms for the pattern: it is topped up only once
    // fewer than 100 bytes wait.
    ToolsRig s;
    s.open(Module::QVR2m1);
    s.nav->startModemTune();
    s.rt.wait(1050);
    EXPECT_EQ(s.sends(s.serial).size(), 4u);
    EXPECT_TRUE(s.screen().startsWith(" 0+250 154 58+308 212 116 20+270")) << s.screen().left(40).toStdString();
    // The port going away ends the tune with one message.
    s.session->openOrCloseLink();
    s.rt.wait(500);
    EXPECT_FALSE(s.nav->modemTuneRunning());
    EXPECT_EQ(s.prompter.messages.size(), 1);
}
