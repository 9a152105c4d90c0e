#include "SerialPorts.h"
#include "TerminalRig.h"

#include <gtest/gtest.h>

namespace {

const QString kClosedText =
    "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect.";
const QString kTcpLostText = "Error,\rTCP/IP connection is no longer valid.\rClick LED to re-connect.";

TEST(SessionLink, SendWithThePortClosedNeverReachesTheWire)
{
    TerminalRig rig;
    EXPECT_FALSE(rig.session->commOut(QByteArray("V\r\n")));
    ASSERT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_EQ(rig.prompter.messages[0].text, kClosedText);
    EXPECT_EQ(rig.prompter.messages[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(rig.session->abortCode(), TerminalSession::kAbortPortClosed);
    EXPECT_TRUE(rig.serial.transcript().empty());
}

TEST(SessionLink, ToggleOpensAndClosesTheSerialPortAndTheIndicators)
{
    TerminalRig rig;
    std::vector<bool> led;
    QObject::connect(rig.session.get(), &TerminalSession::linkStateChanged,
                     [&](bool open) { led.push_back(open); });
    rig.serial.setLineStates({true, true, false, true, false});
    rig.session->openOrCloseLink();
    EXPECT_EQ(rig.session->lineStates(), (TerminalLineStates{true, false, true, false, false}));
    rig.session->setDtr(true);
    EXPECT_TRUE(rig.serial.dtr());
    rig.session->openOrCloseLink();
    EXPECT_EQ(led, (std::vector<bool>{true, false}));
    EXPECT_EQ(rig.session->settingsText(), "Settings: ");
    EXPECT_EQ(rig.session->lineStates(), TerminalLineStates{});
    EXPECT_FALSE(rig.session->connectTimerRunning());
}

TEST(SessionLink, SerialOpenRefusalShowsThePlatformText)
{
    TerminalRig rig;
    rig.serial.setOpenFailure("Permission denied");
    rig.session->start();
    EXPECT_EQ(rig.prompter.texts(), QStringList{"Permission denied\rCom1: /dev/ttyS0"});
    EXPECT_FALSE(rig.session->isPortOpen());

    // The device a COM number is mapped to, on the LED click as at start-up.
    rig.put("CommPort", "3");
    setComDevice(rig.store, rig.app(), 3, "/dev/ttyUSB0");
    rig.session->setComNumber(3);
    rig.serial.setOpenFailure("No such file or directory");
    rig.session->openOrCloseLink();
    EXPECT_EQ(rig.prompter.lastText(), "No such file or directory\rCom3: /dev/ttyUSB0");
    EXPECT_FALSE(rig.session->isPortOpen());
}

TEST(SessionLink, OutputLinesKeepTheUsersChoiceAcrossReopening)
{
    TerminalRig rig;
    // This port opens with DTR low and RTS high; the first open shows it so.
    rig.serial.setInitialOutputs(false, true);
    rig.session->start();
    EXPECT_FALSE(rig.serial.dtr());
    EXPECT_TRUE(rig.serial.rts());
    EXPECT_EQ(rig.session->lineStates(), (TerminalLineStates{false, false, false, false, true}));

    // The user raises DTR (a board that stays silent without it); it survives the LED
    // being clicked off and on, and the restart routine of an upload.
    rig.session->setDtr(true);
    EXPECT_TRUE(rig.serial.dtr());
    rig.session->openOrCloseLink();
    EXPECT_EQ(rig.session->lineStates(), TerminalLineStates{}) << "a closed port shows no lines";
    rig.session->openOrCloseLink();
    EXPECT_TRUE(rig.serial.dtr());
    EXPECT_TRUE(rig.serial.rts());
    EXPECT_EQ(rig.session->lineStates(), (TerminalLineStates{false, false, false, true, true}));
    ASSERT_TRUE(rig.session->closeAndReopen());
    EXPECT_TRUE(rig.serial.dtr());
    EXPECT_TRUE(rig.serial.rts());

    // A line the user lowered stays low although the port raises it at every open.
    rig.session->setRts(false);
    rig.session->openOrCloseLink();
    rig.session->openOrCloseLink();
    EXPECT_EQ(rig.serial.openCount(), 4);
    EXPECT_TRUE(rig.serial.dtr());
    EXPECT_FALSE(rig.serial.rts());
    EXPECT_EQ(rig.session->lineStates(), (TerminalLineStates{false, false, false, true, false}));
}

TEST(SessionLink, ModemStatusStaysCurrentWhileTheConnectTimeIsStopped)
{
    TerminalRig rig;
    rig.serial.setLineStates({true, false, false, false, false});
    rig.session->start();
    std::vector<QString> seen;
    QObject::connect(
        rig.session.get(), &TerminalSession::lineStatesChanged, [&](const TerminalLineStates& l) {
            seen.push_back(QStringLiteral("%1 %2%3%4").arg(rig.rt.now()).arg(l.cts).arg(l.dsr).arg(l.dcd));
        });
    // An upload stops the connect-time display and keeps the session busy for a while.
    BusyScope busy(*rig.session);
    rig.session->stopConnectTimer();
    rig.rt.singleShot(1000, nullptr, [&] { rig.serial.setLineStates({true, true, true, true, false}); });
    rig.rt.singleShot(2500, nullptr, [&] { rig.serial.setLineStates({true, true, false, true, false}); });
    rig.session->modalWait(3000);
    EXPECT_EQ(seen, (std::vector<QString>{"1000 111", "2600 101"}));

    // Closed, nothing is read any more and the boxes stay clear.
    rig.session->openOrCloseLink();
    seen.clear();
    rig.serial.setLineStates({true, true, true, true, false});
    rig.rt.advance(1000);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(rig.session->lineStates(), TerminalLineStates{});
}

TEST(SessionLink, TcpConnectFailureMessage)
{
    TerminalRig rig;
    rig.putTcp();
    rig.tcp.setConnectDelayMs(5000);
    rig.session->start();
    EXPECT_EQ(rig.rt.now(), 3000) << "gives up after 3 s";
    EXPECT_EQ(rig.prompter.texts(),
              QStringList{"Error,\rCannot connect to selected IP device.\rCheck PortSettings Properies."});
    EXPECT_FALSE(rig.session->isPortOpen());
}

TEST(SessionLink, DroppedTcpLinkReconnectsSilentlyWithinThreeSeconds)
{
    TerminalRig rig;
    rig.putTcp();
    rig.session->start();
    ASSERT_TRUE(rig.session->isPortOpen());
    rig.rt.advance(100);
    rig.tcp.dropFromPeer();
    rig.tcp.setConnectDelayMs(2500);
    EXPECT_TRUE(rig.session->commOut(QByteArray("V\r\n")));
    EXPECT_TRUE(rig.prompter.messages.isEmpty());
    EXPECT_EQ(rig.sends(rig.tcp), std::vector<QByteArray>{"V\r\n"});
    EXPECT_EQ(rig.sendTimesMs(rig.tcp), std::vector<double>{2601.0});
    EXPECT_TRUE(rig.session->isPortOpen());
}

TEST(SessionLink, TcpLinkThatStaysDownIsMarkedClosed)
{
    TerminalRig rig;
    rig.putTcp();
    rig.session->start();
    rig.tcp.dropFromPeer();
    rig.tcp.setOpenFailure("Connection refused");
    std::vector<bool> led;
    QObject::connect(rig.session.get(), &TerminalSession::linkStateChanged,
                     [&](bool open) { led.push_back(open); });
    EXPECT_FALSE(rig.session->commOut(QByteArray("V\r\n")));
    EXPECT_EQ(rig.prompter.texts(), QStringList{kTcpLostText});
    EXPECT_FALSE(rig.session->isPortOpen());
    EXPECT_EQ(led, std::vector<bool>{false});
    EXPECT_EQ(rig.session->settingsText(), "Settings: ");
    EXPECT_FALSE(rig.session->connectTimerRunning());
    EXPECT_TRUE(rig.tcp.transcript().empty());

    rig.session->commOut(QByteArray("V\r\n"));
    EXPECT_EQ(rig.prompter.lastText(), kClosedText) << "closed now, until the LED is clicked";
}

TEST(SessionLink, LineEventStatusIsClearedTwoSecondsLater)
{
    TerminalRig rig;
    rig.session->start();
    std::vector<QString> texts;
    QObject::connect(rig.session.get(), &TerminalSession::statusTextChanged,
                     [&](const QString& t) { texts.push_back(QString::number(rig.rt.now()) + " " + t); });
    rig.rt.advance(500);
    rig.serial.injectLineEvent(LineEvent::Framing);
    rig.rt.advance(1000);
    rig.serial.injectLineEvent(LineEvent::Unknown);
    rig.rt.advance(5000);
    EXPECT_EQ(texts, (std::vector<QString>{"500 Status: Framing Error", "1500 Status: Unknown error or event",
                                           "3500 Status: "}));
    EXPECT_TRUE(rig.prompter.messages.isEmpty());
}

TEST(SessionLink, ConnectTimeCountsFromOpening)
{
    TerminalRig rig;
    rig.rt.advance(250);
    rig.session->start();
    std::vector<QString> texts;
    QObject::connect(rig.session.get(), &TerminalSession::connectTimeChanged,
                     [&](const QString& t) { texts.push_back(t); });
    rig.rt.advance(3723 * 1000);
    ASSERT_EQ(texts.size(), 3723u);
    EXPECT_EQ(texts.front(), "00:00:01 ");
    EXPECT_EQ(texts.back(), "01:02:03 ");
}

TEST(SessionLink, SerialDeviceLossClosesTheLink)
{
    TerminalRig rig;
    rig.session->start();
    rig.serial.dropFromPeer();
    EXPECT_FALSE(rig.session->isPortOpen());
    EXPECT_FALSE(rig.session->commOut(QByteArray("x")));
    EXPECT_EQ(rig.prompter.lastText(), kClosedText);
}

TEST(SessionLink, CloseAndReopenRetriesOnceASecond)
{
    TerminalRig rig;
    rig.session->start();
    rig.serial.setOpenFailure("No such file or directory");
    rig.rt.singleShot(4200, nullptr, [&] { rig.serial.clearOpenFailure(); });
    EXPECT_TRUE(rig.session->closeAndReopen());
    EXPECT_EQ(rig.rt.now(), 4500) << "tries at 1.5, 2.5, 3.5 and 4.5 s";
    EXPECT_TRUE(rig.session->isPortOpen());
    EXPECT_EQ(rig.serial.openCount(), 2);
    EXPECT_EQ(rig.screen().text(),
              "PT:  Closing USB/Service port\r\nPT:  Waiting for application to restart\r\n");
    EXPECT_TRUE(rig.prompter.messages.isEmpty());
}

TEST(SessionLink, CloseAndReopenGivesUpAfterSixtyTries)
{
    TerminalRig rig;
    rig.session->start();
    rig.serial.setOpenFailure("No such file or directory");
    EXPECT_FALSE(rig.session->closeAndReopen());
    EXPECT_EQ(rig.rt.now(), 1500 + 59 * 1000);
    EXPECT_TRUE(rig.screen().text().endsWith("PT:  Port did not re-open with 60 seconds\r\n"));
    EXPECT_FALSE(rig.session->isPortOpen());
}

} // namespace
