#include "LinkRig.h"
#include "ProgramOptions.h"
#include "SettingsFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

void writeIni(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

TEST(KorvexSettings, FreshStoreGivesTheFactoryProfiles)
{
    MemorySettingsStore store;
    KorvexSettings settings(store);
    const ConnectionProfiles p = settings.loadProfiles();
    // The units' factory addresses, compared as text only: no link is made in this test.
    const ConnectionProfile expected[] = {
        {"9600,N,8,1", 1, "192.168.0.195", 2000, true, true, "Antenna 1"},
        {"9600,N,8,1", 2, "192.168.0.196", 2001, false, false, "Antenna 2"},
        {"9600,N,8,1", 3, "192.168.0.197", 2000, false, false, "Antenna 3"},
        {"9600,N,8,1", 4, "192.168.0.198", 2001, false, false, "Antenna 4"},
    };
    for (int i = 0; i < kAntennaCount; ++i)
        EXPECT_EQ(p[i], expected[i]) << "antenna " << i + 1;
    EXPECT_EQ(settings.loadSelected(), 1);
    EXPECT_FALSE(settings.loadShowQuery());
    EXPECT_EQ(settings.loadReceiverMode(), ReceiverMode::Dvb);
    EXPECT_TRUE(store.writes().empty());
}

// Hand-edited or damaged values must not stop the program at start-up: each falls back
// to its own default while the good values around it are kept.
TEST(KorvexSettings, ValuesThatDoNotConvertFallBackToTheirDefaults)
{
    MemorySettingsStore store;
    KorvexSettings settings(store);
    auto put = [&](const char* k, const char* v) { store.set("multQVRRemote", "Properties", S(k), S(v)); };
    put("CommPort1", "abc");
    put("Serial1", "maybe");
    put("Port2", "70000");
    put("Enabled3", "");
    put("CommPort4", "7");
    put("Port4", "2100");
    put("Serial4", "true");
    put("Query", "perhaps");
    put("Select", "9");

    const ConnectionProfiles p = settings.loadProfiles();
    EXPECT_EQ(p[0].commPort, 1);
    EXPECT_TRUE(p[0].serial);
    EXPECT_EQ(p[1].tcpPort, 2001);
    EXPECT_FALSE(p[2].enabled);
    EXPECT_EQ(p[3].commPort, 7);
    EXPECT_EQ(p[3].tcpPort, 2100);
    EXPECT_TRUE(p[3].serial);
    EXPECT_FALSE(settings.loadShowQuery());
    EXPECT_EQ(settings.loadSelected(), 1);

    put("Select", "abc");
    EXPECT_EQ(settings.loadSelected(), 1);
    put("Select", "3");
    EXPECT_EQ(settings.loadSelected(), 3);
}

TEST(KorvexSettings, OnlyTheExact70MHzTextSelectsThe70MHzMode)
{
    MemorySettingsStore store;
    KorvexSettings settings(store);
    for (const char* text : {"DVB", "70mhz", "70MHz ", "70", ""}) {
        store.set("multQVRRemote", "Properties", "Mode", S(text));
        EXPECT_EQ(settings.loadReceiverMode(), ReceiverMode::Dvb) << text;
    }
    store.set("multQVRRemote", "Properties", "Mode", "70MHz");
    EXPECT_EQ(settings.loadReceiverMode(), ReceiverMode::Mhz70);
}

TEST(KorvexSettings, ComNumbersMapToBuiltInPortsUnlessTheStoreSaysOtherwise)
{
    MemorySettingsStore store;
    KorvexSettings settings(store);
    EXPECT_EQ(settings.comDevice(1), "/dev/ttyS0");
    EXPECT_EQ(settings.comDevice(12), "/dev/ttyS11");
    settings.setComDevice(3, "/dev/ttyUSB0");
    EXPECT_EQ(settings.comDevice(3), "/dev/ttyUSB0");
    ASSERT_EQ(store.writes().size(), 1u);
    EXPECT_EQ(store.writes()[0].section, "Ports");
    EXPECT_EQ(store.writes()[0].key, "COM3");
}

using Session = LinkRig;

TEST_F(Session, ExitStoresQueryAndMode)
{
    startSession();
    session.setShowQuery(true);
    session.setReceiverMode(ReceiverMode::Mhz70);
    session.shutdown();
    ASSERT_EQ(writtenKeys(), QStringList({"Query", "Mode"}));
    EXPECT_EQ(store.writes()[0].value, "True");
    EXPECT_EQ(store.writes()[1].value, "70MHz");
}

// What one run stores in the real settings file, the next run's start-up reads back.
TEST(IniRoundTrip, StartUpRestoresWhatWasStored)
{
    const QString file = IniSettingsStore::fileName("multQVRRemote");
    ASSERT_TRUE(file.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << file.toStdString();
    QFile::remove(file);
    {
        IniSettingsStore ini;
        KorvexSettings settings(ini);
        ConnectionProfiles p = settings.loadProfiles();
        p[1].caption = "Bridge, port side";
        p[1].enabled = true;
        p[1].address = "127.0.0.1";
        p[1].tcpPort = 4001;
        p[2].serial = true;
        p[2].commPort = 9;
        p[2].settings = "19200,N,8,1";
        settings.saveProfiles(p);
        settings.saveSelected(2);
        settings.saveOnExit(true, ReceiverMode::Mhz70);
    }
    ASSERT_TRUE(QFile::exists(file));

    SimRuntime rt;
    IniSettingsStore ini;
    ScriptedPrompter prompter;
    AnsweringPeer peer;
    SimByteLink serial(rt, ByteLink::Kind::Serial);
    SimByteLink tcp(rt, ByteLink::Kind::Tcp);
    tcp.attachPeer(&peer);
    KorvexSession session(ini, prompter, rt, serial, tcp);
    session.start();

    const DeviceLink& link = session.link();
    EXPECT_EQ(link.profile(2).caption, "Bridge, port side");
    EXPECT_TRUE(link.profile(2).enabled);
    EXPECT_EQ(link.profile(3).commPort, 9);
    EXPECT_TRUE(link.profile(3).serial);
    EXPECT_EQ(link.profile(3).settings, "19200,N,8,1");
    EXPECT_EQ(link.profile(4), ConnectionProfile::defaults(4));
    EXPECT_EQ(link.selectedAntenna(), 2);
    EXPECT_TRUE(session.showQuery());
    EXPECT_EQ(session.receiverMode(), ReceiverMode::Mhz70);
    EXPECT_TRUE(link.portOpen());
    EXPECT_EQ(tcp.endpoint().host, "127.0.0.1");
    EXPECT_EQ(tcp.endpoint().port, 4001);
    EXPECT_TRUE(prompter.messages.isEmpty());
    QFile::remove(file);
}

// A Korvex session on the real settings file, over simulated links.
struct IniSession {
    SimRuntime rt;
    IniSettingsStore ini;
    ScriptedPrompter prompter;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    KorvexSession session{ini, prompter, rt, serial, tcp};
};

} // namespace

// Settings that cannot be saved are told once per run, naming the file, not lost unseen.
TEST(SettingsSaveFailure, KorvexSaysOnceWhereItsSettingsCouldNotBeSaved)
{
    SettingsFolder folder;
    ASSERT_TRUE(folder.blockFile("multQVRRemote"));
    IniSession k;
    k.session.start();
    EXPECT_TRUE(k.prompter.texts().isEmpty()) << "reading says nothing";
    k.session.setShowQuery(true);
    k.session.shutdown();
    k.session.settings().saveSelected(1);
    EXPECT_EQ(k.prompter.texts(),
              QStringList{"Error,\rSettings could not be saved to " + folder.path() +
                          "/Vantrel/multQVRRemote.ini\rA folder of that name is in the way."});
}

// A port the file names is the port dialled, up to 65535; one that cannot be a port is
// said by key and file, and the key's default is used.
TEST(TcpPortsFromTheFile, AnyPortUpTo65535IsKeptAndOthersAreNamed)
{
    SettingsFolder folder;
    writeIni(folder.iniPath("multQVRRemote"),
             "[Properties]\nPort1=35629\nPort2=-1\nPort3=65535\nPort4=abc\n");
    IniSession k;
    k.session.start();
    EXPECT_EQ(k.session.link().profile(1).tcpPort, 35629);
    EXPECT_EQ(k.session.link().profile(2).tcpPort, 2001);
    EXPECT_EQ(k.session.link().profile(3).tcpPort, 65535);
    EXPECT_EQ(k.session.link().profile(4).tcpPort, 2001);
    const QString file = folder.path() + "/Vantrel/multQVRRemote.ini";
    EXPECT_EQ(
        k.prompter.texts(),
        QStringList({"Error,\rPort2=-1 in " + file + " is not a TCP port (1 to 65535).\rUsing 2001.",
                     "Error,\rPort4=abc in " + file + " is not a TCP port (1 to 65535).\rUsing 2001."}));
}

// A link from the command line: the profile the session loads is the pinned one, and
// whatever the run writes to those keys (the dialog, the exit) stays out of the store.
TEST(RunLink, PinnedLinkIsUsedAndNeverStored)
{
    MemorySettingsStore stored;
    stored.set(KorvexSettings::kApp, KorvexSettings::kSection, "Address1", "127.0.0.9");
    stored.set(KorvexSettings::kApp, KorvexSettings::kSection, "Caption1", "Bridge");
    stored.clearWrites();
    OverlaySettingsStore store(stored);
    KorvexSettings::pinRunLink(store, false, QString(), 0, "127.0.0.1", 2101);
    KorvexSettings settings(store);
    ConnectionProfiles profiles = settings.loadProfiles();
    EXPECT_FALSE(profiles[0].serial);
    EXPECT_EQ(profiles[0].address, "127.0.0.1");
    EXPECT_EQ(profiles[0].tcpPort, 2101);
    EXPECT_EQ(profiles[0].caption, "Bridge");
    EXPECT_EQ(settings.loadSelected(), 1);

    profiles[0].address = "127.0.0.2";
    profiles[0].caption = "Mast";
    settings.saveProfiles(profiles);
    settings.saveSelected(1);
    EXPECT_EQ(stored.get(KorvexSettings::kApp, KorvexSettings::kSection, "Address1", ""), "127.0.0.9");
    for (const auto& w : stored.writes())
        EXPECT_FALSE(w.key == "Address1" || w.key == "Port1" || w.key == "Serial1" || w.key == "Select") << w.key.toStdString();
    EXPECT_EQ(stored.get(KorvexSettings::kApp, KorvexSettings::kSection, "Caption1", ""), "Mast");

    OverlaySettingsStore serialRun(stored);
    KorvexSettings::pinRunLink(serialRun, true, "/dev/serial/by-id/usb-FTDI-if00", 19200, QString(), 0);
    KorvexSettings serialSettings(serialRun);
    const ConnectionProfile p = serialSettings.loadProfiles()[0];
    EXPECT_TRUE(p.serial);
    EXPECT_EQ(p.settings, "19200,N,8,1");
    EXPECT_EQ(serialSettings.comDevice(p.commPort), "/dev/serial/by-id/usb-FTDI-if00");
}

TEST(RunLink, CommandLineLinkTexts)
{
    QString error;
    auto serial = programoptions::parseSerial("/dev/ttyUSB0:115200", &error);
    ASSERT_TRUE(serial);
    EXPECT_EQ(serial->device, "/dev/ttyUSB0");
    EXPECT_EQ(serial->baud, 115200);
    // A by-path name is full of colons; only a number after the last one is a speed.
    serial = programoptions::parseSerial("/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0", &error);
    ASSERT_TRUE(serial);
    EXPECT_EQ(serial->device, "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0");
    EXPECT_EQ(serial->baud, 0);
    EXPECT_FALSE(programoptions::parseSerial("/dev/ttyUSB0:7", &error));
    EXPECT_FALSE(programoptions::parseSerial("", &error));

    const auto tcp = programoptions::parseTcp("127.0.0.1:2000", &error);
    ASSERT_TRUE(tcp);
    EXPECT_EQ(tcp->host, "127.0.0.1");
    EXPECT_EQ(tcp->port, 2000);
    for (const char* bad : {"127.0.0.1", "127.0.0.1:0", "127.0.0.1:65536", ":2000", "host:port"})
        EXPECT_FALSE(programoptions::parseTcp(bad, &error)) << bad;
}
