#include "ConnectionProfile.h"
#include "LinkRig.h"
#include "PropertiesEditor.h"

namespace {

class Properties : public LinkRig {
protected:
    Properties()
    {
        QObject::connect(&editor, &PropertiesEditor::closed, [this] { ++closedCount; });
        QObject::connect(&editor, &PropertiesEditor::viewChanged, [this] { ++viewChanges; });
    }

    PropertiesEditor editor{session.link(), session.settings(), store, prompter};
    int closedCount = 0;
    int viewChanges = 0;
};

TEST_F(Properties, TabsShowTheirProfiles)
{
    put("Settings2", "4800,E,7,2");
    startSession();
    editor.open(1);
    EXPECT_EQ(editor.tabCaptions(), QStringList({"Antenna 1", "Antenna 2", "Antenna 3", "Antenna 4"}));
    EXPECT_EQ(editor.currentTab(), 1);
    PropertiesEditor::TabView v = editor.view();
    EXPECT_FALSE(v.enabled);
    EXPECT_EQ(v.caption, "Antenna 2");
    EXPECT_EQ(v.portIndex, 1);
    EXPECT_EQ(v.baud, "4800");
    EXPECT_EQ(v.address, ConnectionProfile::defaults(2).address);
    EXPECT_EQ(v.portText, "2001");
    EXPECT_FALSE(v.serial);
    EXPECT_EQ(v.comDevice, "/dev/ttyS1");

    EXPECT_EQ(PropertiesEditor::portList().last(), "Com20");

    editor.help();
    EXPECT_EQ(prompter.openedUrls, QStringList{"file:///C:\\Program Files\\Korvex\\html\\comm_port.html"});
}

TEST_F(Properties, OkWritesTheTwentyEightKeysInOrderThenReopensTheLink)
{
    startSession();
    rt.advance(100);
    editor.open(0);
    editor.setCaption("Mast");
    editor.selectTab(2);
    editor.setEnabled(true);
    editor.setAddress("127.0.0.1");
    editor.setPortIndex(5);
    const qint64 t0 = now();
    editor.ok();

    QStringList expected;
    for (const char* key : {"Caption", "Enabled", "Settings", "CommPort", "Address", "Port", "Serial"})
        for (int a = 1; a <= 4; ++a)
            expected << S(key) + QString::number(a);
    ASSERT_EQ(writtenKeys(), expected);
    QStringList values;
    for (const auto& w : store.writes()) {
        EXPECT_EQ(w.app, "multQVRRemote");
        EXPECT_EQ(w.section, "Properties");
        values << w.value;
    }
    EXPECT_EQ(values, QStringList({"Mast",
                                   "Antenna 2",
                                   "Antenna 3",
                                   "Antenna 4",
                                   "True",
                                   "False",
                                   "True",
                                   "False",
                                   "9600,N,8,1",
                                   "9600,N,8,1",
                                   "9600,N,8,1",
                                   "9600,N,8,1",
                                   "1",
                                   "2",
                                   "6",
                                   "4",
                                   ConnectionProfile::defaults(1).address,
                                   ConnectionProfile::defaults(2).address,
                                   "127.0.0.1",
                                   ConnectionProfile::defaults(4).address,
                                   "2000",
                                   "2001",
                                   "2000",
                                   "2001",
                                   "True",
                                   "False",
                                   "False",
                                   "False"}));

    // Closed, a second's pause, open again with the stored settings.
    EXPECT_EQ(waits, std::vector<int>{1000});
    EXPECT_EQ(now() - t0, 1000);
    EXPECT_EQ(serialPeer.disconnects, 1);
    EXPECT_EQ(serial.openCount(), 2);
    EXPECT_TRUE(link().portOpen());
    EXPECT_EQ(checkMarks, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(closedCount, 1);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(Properties, BaudChoiceRewritesTheWholeSettingsText)
{
    put("Settings2", "4800,E,7,2");
    startSession();
    editor.open(1);
    editor.setBaud(" 19200 ");
    EXPECT_EQ(link().profile(2).settings, "19200,N,8,1");
    EXPECT_EQ(editor.view().baud, "19200");
    EXPECT_EQ(link().profile(1).settings, "9600,N,8,1");
    EXPECT_TRUE(store.writes().empty());
}

TEST_F(Properties, PortTextThatIsNotATcpPortIsIgnored)
{
    startSession();
    editor.open(1);
    const int before = viewChanges;
    for (const char* text : {"70000", "65536", "0", "-1", "abc", "", "20 01", "+80"})
        editor.setPortText(S(text));
    EXPECT_EQ(link().profile(2).tcpPort, 2001);
    EXPECT_EQ(viewChanges, before);
    editor.setPortText("32767");
    EXPECT_EQ(link().profile(2).tcpPort, 32767);
    editor.setPortText("4001");
    EXPECT_EQ(editor.view().portText, "4001");
}

// Ports above 32767 are ports like any other; a text that is none is refused at OK by
// name, with nothing written and the dialog left open.
TEST_F(Properties, PortsUpTo65535AreTakenAndOkRefusesAnyOtherText)
{
    startSession();
    editor.open(1);
    editor.setPortText("35629");
    EXPECT_EQ(link().profile(2).tcpPort, 35629);
    editor.setPortText("70000");
    EXPECT_FALSE(editor.ok());
    EXPECT_EQ(
        prompter.texts(),
        QStringList{
            "Error,\rPort2=70000 is not a TCP port (1 to 65535).\rEnter a port number from 1 to 65535."});
    EXPECT_TRUE(store.writes().empty());
    EXPECT_EQ(closedCount, 0);

    editor.setPortText("65535");
    EXPECT_TRUE(editor.ok());
    EXPECT_EQ(store.get("multQVRRemote", "Properties", "Port2", "<none>"), "65535");
    EXPECT_EQ(closedCount, 1);
}

// A text left on another tab is not held against the tab shown at OK.
TEST_F(Properties, ABadPortTextIsForgottenWhenTheTabChanges)
{
    startSession();
    editor.open(1);
    editor.setPortText("0");
    editor.selectTab(2);
    EXPECT_TRUE(editor.ok());
    EXPECT_TRUE(prompter.texts().isEmpty());
    EXPECT_EQ(store.get("multQVRRemote", "Properties", "Port2", "<none>"), "2001");
}

TEST_F(Properties, CancelKeepsEditsInMemoryOnlyUntilTheNextStart)
{
    startSession();
    std::vector<int> changed;
    QObject::connect(&link(), &DeviceLink::profileChanged, [&](int a) { changed.push_back(a); });
    editor.open(0);
    editor.setCaption("Mast");
    editor.cancel();

    EXPECT_EQ(closedCount, 1);
    EXPECT_EQ(link().profile(1).caption, "Mast");
    EXPECT_EQ(changed, std::vector<int>{1});
    EXPECT_TRUE(store.writes().empty());
    EXPECT_EQ(serial.openCount(), 1);

    SimByteLink serial2(rt, ByteLink::Kind::Serial);
    SimByteLink tcp2(rt, ByteLink::Kind::Tcp);
    KorvexSession next(store, prompter, rt, serial2, tcp2);
    next.start();
    EXPECT_EQ(next.link().profile(1).caption, "Antenna 1");
}

TEST_F(Properties, LinkTypeChangeClosesTheSelectedAntennasOpenLinkFirst)
{
    startSession();
    editor.open(1);
    editor.setSerial(true);
    EXPECT_TRUE(link().profile(2).serial);
    EXPECT_TRUE(serial.isOpen()) << "antenna 2 is not the selected one";

    editor.selectTab(0);
    editor.setSerial(true);
    EXPECT_TRUE(link().portOpen()) << "same type: nothing happens";
    editor.setSerial(false);
    EXPECT_FALSE(link().profile(1).serial);
    EXPECT_FALSE(serial.isOpen());
    EXPECT_FALSE(link().portOpen());
    EXPECT_EQ(link().statusText(), "Status: Port Closed");
    EXPECT_EQ(link().settingsText(), "Settings: Com1: 9600,N,8,1");
    EXPECT_EQ(tcp.openCount(), 0);
    EXPECT_TRUE(editor.view().serial == false);
}

TEST_F(Properties, DeviceChoiceIsStoredOnOkAfterTheProfileKeysAndUsedAtOnce)
{
    startSession();
    editor.open(0);
    editor.setComDevice("/dev/pts/5");
    EXPECT_EQ(editor.view().comDevice, "/dev/pts/5");
    EXPECT_TRUE(store.writes().empty());
    editor.ok();
    ASSERT_EQ(store.writes().size(), 29u);
    EXPECT_EQ(store.writes().back().section, "Ports");
    EXPECT_EQ(store.writes().back().key, "COM1");
    EXPECT_EQ(store.writes().back().value, "/dev/pts/5");
    EXPECT_EQ(serial.endpoint().device, "/dev/pts/5");

    store.clearWrites();
    editor.open(0);
    editor.setComDevice("/dev/pts/5");
    editor.ok();
    EXPECT_EQ(store.writes().size(), 28u) << "an unchanged device is not written";
}

} // namespace
