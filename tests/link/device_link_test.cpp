#include "LinkRig.h"

namespace {

const QString kClosedPort =
    "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect.";
const QString kCannotConnect = "Error,\rCannot connect to selected IP device.\rCheck PortSettings Properies.";
const QString kNoLongerValid = "Error,\rTCP/IP connection is no longer valid.\rClick LED to re-connect.";
const QStringList kClosedDisplay{"Check Comm Port", "", "", ""};

constexpr qint64 kMs = 1000000;
// One byte on a 9600 baud line, 10 bits.
constexpr qint64 kByte9600Ns = 10 * 1000000000LL / 9600;

qint64 lastSendNs(const SimByteLink& link)
{
    for (auto it = link.transcript().rbegin(); it != link.transcript().rend(); ++it)
        if (it->direction == SimByteLink::Direction::ToUnit)
            return it->timeNs;
    return -1;
}

using SerialLink = LinkRig;
using TcpLink = LinkRig;
using AntennaSwitch = LinkRig;

TEST_F(SerialLink, StartUpOpensTheMappedDeviceAndCarriesTextBothWays)
{
    store.set("multQVRRemote", "Ports", "COM1", "/dev/pts/7");
    startSession();

    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(serial.endpoint().device, "/dev/pts/7");
    EXPECT_EQ(serial.endpoint().settings, "9600,N,8,1");
    EXPECT_TRUE(link().portOpen());
    EXPECT_EQ(checkMarks, std::vector<bool>{true});
    EXPECT_EQ(link().settingsText(), "Settings: Com1: 9600,N,8,1");
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    EXPECT_EQ(resets, std::vector<int>{0});
    EXPECT_EQ(selections, std::vector<int>{1});
    EXPECT_FALSE(link().switchGuard());

    rt.advance(100);
    EXPECT_TRUE(link().commOut("P"));
    rt.advance(20);
    EXPECT_EQ(serialPeer.heard, "P");
    EXPECT_EQ(received, "ACK P\r");
    ASSERT_EQ(serial.transcript().size(), 2u);
    EXPECT_EQ(serial.transcript()[0].timeNs, 100 * kMs);
    // The answer leaves the unit once "P" has crossed the wire.
    EXPECT_EQ(serial.transcript()[1].timeNs, 100 * kMs + kByte9600Ns);
}

TEST_F(SerialLink, OpenErrorShowsThePlatformTextAndLeavesThePortClosed)
{
    serial.setOpenFailure("Permission denied");
    startSession();

    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Permission denied\rCom1: /dev/ttyS0");
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Exclamation);
    EXPECT_FALSE(link().portOpen());
    EXPECT_TRUE(checkMarks.empty());
    EXPECT_EQ(link().statusText(), "Status: Port Closed");
    EXPECT_EQ(session.displayLines(), kClosedDisplay);
    EXPECT_EQ(session.screenCode(), 0);

    EXPECT_FALSE(link().commOut("P"));
    EXPECT_EQ(prompter.lastText(), kClosedPort);
    EXPECT_TRUE(serial.sentBytes().isEmpty());
}

TEST_F(SerialLink, OpenErrorNamesTheDeviceTheComNumberIsMappedTo)
{
    put("CommPort1", "3");
    store.set("multQVRRemote", "Ports", "COM3", "/dev/ttyUSB0");
    serial.setOpenFailure("No such file or directory");
    startSession();
    EXPECT_EQ(prompter.texts(), QStringList{"No such file or directory\rCom3: /dev/ttyUSB0"});
    EXPECT_EQ(link().settingsText(), "Settings: Com3: 9600,N,8,1");
}

TEST_F(SerialLink, LineErrorsAskToIgnoreOrQuitWithTheirOwnTexts)
{
    startSession();
    const std::pair<LineEvent, const char*> table[] = {
        {LineEvent::Break, "Break Received"},
        {LineEvent::CdTimeout, "Carrier Detect Timeout"},
        {LineEvent::CtsTimeout, "CTS Timeout"},
        {LineEvent::DcbError, "Error retrieving DCB"},
        {LineEvent::DsrTimeout, "DSR Timeout"},
        {LineEvent::Framing, "Framing Error"},
        {LineEvent::Overrun, "Overrun Error"},
        {LineEvent::ReceiveOverflow, "Receive Buffer Overflow"},
        {LineEvent::Parity, "Parity Error"},
        {LineEvent::TransmitBufferFull, "Transmit Buffer Full"},
        {LineEvent::Unknown, "Unknown error or event"},
    };
    QStringList expected;
    for (const auto& [event, text] : table) {
        serial.injectLineEvent(event);
        expected << S(text);
    }
    EXPECT_EQ(prompter.texts(), expected);
    for (const auto& m : prompter.messages) {
        EXPECT_EQ(m.title, "Click Cancel to quit, OK to ignore.");
        EXPECT_EQ(m.buttons, Prompter::Buttons::OkCancel);
    }
    // OK ignores every one of them.
    EXPECT_TRUE(link().portOpen());
    EXPECT_TRUE(link().commOut("P"));
}

TEST_F(SerialLink, FramingErrorQuitWithCancelClosesThePortUntilToggledOpen)
{
    startSession();
    prompter.answers = {Prompter::Answer::Cancel};
    serial.injectLineEvent(LineEvent::Framing);

    EXPECT_EQ(prompter.texts(), QStringList{"Framing Error"});
    EXPECT_FALSE(serial.isOpen());
    EXPECT_FALSE(link().portOpen());
    EXPECT_EQ(checkMarks, (std::vector<bool>{true, false}));
    EXPECT_EQ(link().statusText(), "Status: Port Closed");
    EXPECT_EQ(session.displayLines(), kClosedDisplay);

    EXPECT_FALSE(link().commOut("P"));
    EXPECT_FALSE(link().commOut("!A0000\r\n"));
    EXPECT_EQ(prompter.texts().mid(1), QStringList({kClosedPort, kClosedPort}));
    EXPECT_TRUE(serial.sentBytes().isEmpty());

    link().togglePort();
    EXPECT_TRUE(link().portOpen());
    EXPECT_TRUE(link().commOut("P"));
    rt.advance(10);
    EXPECT_EQ(serialPeer.heard, "P");
    EXPECT_EQ(prompter.messages.size(), 3);
}

TEST_F(SerialLink, EventsWhileALineErrorBoxIsUpStackNoMoreBoxes)
{
    startSession();
    // A unit talking at another baud rate: a framing error on every byte, 1 ms apart.
    for (int t = 1; t <= 400; ++t)
        rt.singleShot(t, nullptr, [this] { serial.injectLineEvent(LineEvent::Framing); });
    rt.singleShot(150, nullptr, [this] { serial.injectLineEvent(LineEvent::Overrun); });
    // The user reads the first box for half a second while the errors keep coming.
    prompter.whileShown = [this](const Prompter::Message&) { rt.advance(500); };
    rt.advance(1);
    EXPECT_EQ(prompter.texts(), QStringList{"Framing Error"});
    EXPECT_EQ(rt.now(), 501);
    EXPECT_TRUE(link().portOpen());

    // Answered, the next event has a box of its own; Cancel on it closes the port and no
    // box follows for the errors that came meanwhile.
    prompter.whileShown = [this](const Prompter::Message&) {
        serial.injectLineEvent(LineEvent::Break);
        serial.injectLineEvent(LineEvent::Framing);
    };
    prompter.answers = {Prompter::Answer::Cancel};
    serial.injectLineEvent(LineEvent::Parity);
    EXPECT_EQ(prompter.texts(), QStringList({"Framing Error", "Parity Error"}));
    EXPECT_FALSE(link().portOpen());
    EXPECT_FALSE(serial.isOpen());
}

TEST_F(SerialLink, DeviceThatGoesAwayClosesTheLink)
{
    startSession();
    serial.dropFromPeer();
    EXPECT_FALSE(link().portOpen());
    EXPECT_EQ(link().statusText(), "Status: Port Closed");
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_FALSE(link().commOut("P"));
    EXPECT_EQ(prompter.lastText(), kClosedPort);
}

TEST_F(TcpLink, ConnectFailureAfterThreeSecondsLeavesTheLinkClosed)
{
    tcpAntenna(1, 2000);
    tcp.setOpenFailure("Connection refused");
    startSession();

    EXPECT_EQ(now(), 3000);
    EXPECT_EQ(prompter.texts(), QStringList{kCannotConnect});
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(link().settingsText(), "Settings: IP  127.0.0.1 : 2000");
    EXPECT_EQ(link().statusText(), "Status: Port Closed");
    EXPECT_EQ(resets, std::vector<int>{31});
    EXPECT_FALSE(link().portOpen());
    EXPECT_FALSE(tcp.isOpen());

    tcp.clearOpenFailure();
    tcp.setConnectDelayMs(40);
    link().togglePort();
    EXPECT_EQ(now(), 3040);
    EXPECT_TRUE(link().portOpen());
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    EXPECT_EQ(prompter.messages.size(), 1);
}

// The unit greets on connect; that first line reaches the reply path like any other.
TEST_F(TcpLink, OpensWithinTheWaitAndPassesTextUnchanged)
{
    tcpAntenna(1, 2000);
    tcpPeer.greeting = "QVR ready\r";
    tcp.setConnectDelayMs(250);
    startSession();

    EXPECT_EQ(now(), 250);
    EXPECT_TRUE(link().portOpen());
    EXPECT_EQ(resets, std::vector<int>{31});
    rt.advance(1);
    EXPECT_EQ(received, "QVR ready\r");
    EXPECT_TRUE(link().commOut("P"));
    rt.advance(1);
    EXPECT_EQ(received, "QVR ready\rACK P\r");
}

TEST_F(TcpLink, DroppedLinkThatComesBackIsReconnectedSilentlyAndTheTextSent)
{
    tcpAntenna(1, 2000);
    startSession();
    ASSERT_TRUE(link().commOut("P"));
    rt.advance(999);
    tcp.dropFromPeer();
    EXPECT_TRUE(link().portOpen()) << "the next send reconnects";
    EXPECT_EQ(link().statusText(), "Status: Port Open");

    // The unit takes 1.5 s to accept again; the send notices on its next 200 ms step.
    tcp.setConnectDelayMs(1500);
    // A poll tick during the reconnect is dropped without a message.
    bool tickSent = true;
    rt.singleShot(300, nullptr, [&] { tickSent = link().commOut("X"); });
    const qint64 t0 = now();
    EXPECT_TRUE(link().commOut("H"));

    EXPECT_EQ(now() - t0, 1600);
    EXPECT_EQ(waits, std::vector<int>(8, 200));
    EXPECT_FALSE(tickSent);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(tcp.openCount(), 2);
    EXPECT_EQ(lastSendNs(tcp), (t0 + 1600) * kMs);
    rt.advance(1);
    EXPECT_EQ(tcpPeer.heard, "PH");
    EXPECT_TRUE(received.endsWith("ACK H\r"));
}

TEST_F(TcpLink, DroppedLinkThatStaysAwayEndsClosedWithAMessage)
{
    tcpAntenna(1, 2000);
    startSession();
    link().setLinkLed(LedState::Green);
    rt.advance(500);
    tcp.dropFromPeer();
    tcp.setOpenFailure("Connection refused");

    const qint64 t0 = now();
    EXPECT_FALSE(link().commOut("H"));
    EXPECT_EQ(now() - t0, 3000);
    EXPECT_EQ(waits, std::vector<int>(15, 200));
    EXPECT_EQ(prompter.texts(), QStringList{kNoLongerValid});
    EXPECT_FALSE(link().portOpen());
    EXPECT_EQ(checkMarks, (std::vector<bool>{true, false}));
    EXPECT_EQ(link().linkLed(), LedState::Off);
    EXPECT_EQ(link().statusText(), "Status: Port Closed");
    EXPECT_EQ(session.displayLines(), kClosedDisplay);

    EXPECT_FALSE(link().commOut("H"));
    EXPECT_EQ(prompter.lastText(), kClosedPort);
    EXPECT_EQ(now() - t0, 3000);
    EXPECT_TRUE(tcp.sentBytes().isEmpty());
}

// The menu shows a dropped link as open, so a click on it closes it.
TEST_F(TcpLink, ToggleOnADroppedLinkClosesItInsteadOfReconnecting)
{
    tcpAntenna(1, 2000);
    startSession();
    tcp.dropFromPeer();
    const qint64 t0 = now();
    link().togglePort();
    EXPECT_FALSE(link().portOpen());
    EXPECT_EQ(tcp.openCount(), 1);
    EXPECT_EQ(now(), t0);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(AntennaSwitch, OkClosesTheOldLinkOpensTheNewOneAndStoresTheChoice)
{
    tcpAntenna(2, 2001);
    startSession();
    rt.advance(10);

    link().selectAntenna(1);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0].text, "Close Port for Antenna 1\rand\rOpen Port for Antenna 2?");
    EXPECT_EQ(prompter.messages[0].buttons, Prompter::Buttons::OkCancel);

    EXPECT_FALSE(serial.isOpen());
    EXPECT_EQ(serialPeer.disconnects, 1);
    EXPECT_TRUE(tcp.isOpen());
    EXPECT_TRUE(link().portOpen());
    EXPECT_EQ(link().selectedAntenna(), 2);
    EXPECT_EQ(selections, (std::vector<int>{1, 2}));
    EXPECT_EQ(resets, (std::vector<int>{0, 0, 31}));
    EXPECT_EQ(checkMarks, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(link().settingsText(), "Settings: IP  127.0.0.1 : 2001");
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    ASSERT_EQ(writtenKeys(), QStringList{"Select"});
    EXPECT_EQ(store.writes()[0].value, "2");
}

TEST_F(AntennaSwitch, CancelKeepsThePreviousAntennaAndItsLinkAndAsksNothingMore)
{
    tcpAntenna(2, 2001);
    // A view that reports its button being checked back as a click, as radio buttons do.
    QObject::connect(&link(), &DeviceLink::selectedAntennaChanged,
                     [this](int a) { link().selectAntenna(a - 1); });
    startSession();
    ASSERT_TRUE(prompter.messages.isEmpty());
    prompter.answers = {Prompter::Answer::Cancel};

    link().selectAntenna(1);
    EXPECT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(link().selectedAntenna(), 1);
    EXPECT_EQ(selections, (std::vector<int>{1, 1}));
    EXPECT_FALSE(link().switchGuard());
    EXPECT_TRUE(serial.isOpen());
    EXPECT_EQ(serial.openCount(), 1);
    EXPECT_EQ(tcp.openCount(), 0);
    EXPECT_EQ(resets, std::vector<int>{0});
    EXPECT_TRUE(store.writes().empty());

    // The next real click is asked about again.
    prompter.answers = {Prompter::Answer::Cancel};
    link().selectAntenna(1);
    EXPECT_EQ(prompter.messages.size(), 2);
}

} // namespace
