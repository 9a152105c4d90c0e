#include "InstanceLock.h"
#include "TerminalRig.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SessionStart, EmptyStoreGivesTheDefaultsAndOpensComOneQuietly)
{
    TerminalRig rig;
    TerminalSession& s = *rig.session;
    std::vector<QString> settingsTexts;
    QObject::connect(&s, &TerminalSession::settingsTextChanged,
                     [&](const QString& t) { settingsTexts.push_back(t); });
    s.start();
    EXPECT_TRUE(rig.prompter.messages.isEmpty());
    EXPECT_TRUE(rig.store.writes().empty()) << "start-up only reads";
    EXPECT_EQ(s.profileName(), "QuillanUniv1");
    EXPECT_EQ(s.caption(), "Vantrel Program Terminal");
    EXPECT_TRUE(s.linkIsSerial());
    EXPECT_EQ(s.comNumber(), 1);
    EXPECT_EQ(s.serialSettings(), "9600,N,8,1");
    EXPECT_EQ(s.handshaking(), 0);
    EXPECT_FALSE(s.echo());
    EXPECT_EQ(s.address(), "192.168.0.195");
    EXPECT_EQ(s.tcpPort(), 2000);
    EXPECT_EQ(s.sendPacing(), 200);
    EXPECT_TRUE(s.isPortOpen());
    EXPECT_EQ(rig.serial.endpoint().device, "/dev/ttyS0");
    EXPECT_EQ(rig.serial.endpoint().settings, "9600,N,8,1");
    EXPECT_EQ(rig.tcp.openCount(), 0) << "the default address is never dialled";
    EXPECT_EQ(settingsTexts, std::vector<QString>{"Settings: Com1: 9600,N,8,1, Echo Off  "});
    EXPECT_EQ(s.statusText(), "Status: ");
}

TEST(SessionStart, StoredProfileIsApplied)
{
    TerminalRig rig;
    rig.put("Settings", "4800,E,7,2");
    rig.put("CommPort", "3");
    rig.put("Handshaking", "2");
    rig.put("Echo", "True");
    rig.store.set(rig.app(), "Ports", "COM3", "/dev/ttyUSB7");
    rig.session->start();
    TerminalSession& s = *rig.session;
    EXPECT_TRUE(rig.prompter.messages.isEmpty());
    EXPECT_EQ(rig.serial.endpoint().device, "/dev/ttyUSB7");
    EXPECT_EQ(rig.serial.endpoint().settings, "4800,E,7,2");
    EXPECT_EQ(s.handshaking(), 2);
    EXPECT_EQ(s.settingsText(), "Settings: Com3: 4800,E,7,2, Echo On  ");
}

TEST(SessionStart, TcpProfileConnectsToTheStoredAddress)
{
    TerminalRig rig;
    rig.putTcp(2101);
    rig.session->start();
    EXPECT_TRUE(rig.session->isPortOpen());
    EXPECT_EQ(rig.tcp.endpoint().host, "127.0.0.1");
    EXPECT_EQ(rig.tcp.endpoint().port, 2101);
    EXPECT_EQ(rig.serial.openCount(), 0);
    EXPECT_EQ(rig.session->settingsText(), "Settings: IP 127.0.0.1 : 2101, Echo Off  ");
}

// Ports above 32767 are ports like any other, not a reason to dial 2000 instead.
TEST(SessionStart, AStoredPortAbove32767IsThePortDialled)
{
    TerminalRig rig;
    rig.putTcp(35629);
    rig.session->start();
    EXPECT_TRUE(rig.prompter.texts().isEmpty());
    EXPECT_EQ(rig.tcp.endpoint().port, 35629);
}

TEST(SessionStart, BadStoredValuesShowThePortsTextAndStartGoesOn)
{
    TerminalRig rig;
    rig.put("Settings", "fast");
    rig.put("Handshaking", "9");
    rig.put("PortNumber", "70000");
    rig.put("Echo", "maybe");
    rig.session->start();
    EXPECT_EQ(rig.prompter.texts(),
              (QStringList{
                  "Invalid property value", "Invalid property value",
                  "Error,\rPortNumber=70000 in QuillanUniv1 is not a TCP port (1 to 65535).\rUsing 2000."}));
    EXPECT_EQ(rig.session->serialSettings(), "9600,N,8,1");
    EXPECT_EQ(rig.session->handshaking(), 0);
    EXPECT_EQ(rig.session->tcpPort(), 2000);
    EXPECT_FALSE(rig.session->echo());
    EXPECT_TRUE(rig.session->isPortOpen());
}

TEST(SessionStart, SecondInstanceUsesTheSecondProfile)
{
    QTemporaryDir dir;
    auto first = std::make_unique<InstanceLock>(dir.path());
    InstanceLock second(dir.path());
    EXPECT_EQ(first->acquire(), 1);
    EXPECT_EQ(second.acquire(), 2);

    TerminalRig rig(second.instanceNumber());
    rig.store.set("QuillanUniv1", "Properties", "Settings", "4800,N,8,1");
    rig.store.set("QuillanUniv2", "Properties", "Settings", "19200,N,8,1");
    rig.session->start();
    EXPECT_EQ(rig.session->profileName(), "QuillanUniv2");
    EXPECT_EQ(rig.session->caption(), "Vantrel Program Terminal 2");
    EXPECT_EQ(rig.serial.endpoint().settings, "19200,N,8,1");

    // Once the first instance is gone, the next one is the first again.
    first.reset();
    InstanceLock third(dir.path());
    EXPECT_EQ(third.acquire(), 1);
}

} // namespace
