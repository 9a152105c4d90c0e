// Discovery over UDP on this machine only: a responder on 127.0.0.1 stands in for the
// units, and the "broadcast" address is 127.0.0.1 too.
#include "DatagramSocket.h"
#include "Discovery.h"
#include "DiscoveryResponder.h"
#include "Prompter.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace {

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(responder.listening()) << responder.errorString().toStdString();
        discovery.portText = QString::number(responder.port());
    }
    // Real datagrams take real (short) time.
    void waitFor(int entries)
    {
        QDeadlineTimer deadline(2000);
        while (discovery.found().size() < entries && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QDeadlineTimer settle(100);
        while (!settle.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    DiscoveryResponder responder{0, 2};
    ScriptedPrompter prompter;
    UdpDatagramSocket socket;
    Discovery discovery{socket, prompter, "127.0.0.1", Discovery::kKorvexReceiveError};
};

TEST_F(DiscoveryTest, AUnitThatAnswersTwiceIsListedTwice)
{
    ASSERT_TRUE(discovery.findAll());
    waitFor(2);
    EXPECT_EQ(discovery.found(), (QStringList{"127.0.0.1", "127.0.0.1"}));
    EXPECT_EQ(responder.lastRequest(), QByteArray("\x01\x00\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(responder.lastSenderPort(), responder.port() + 3);
    discovery.openEntry(1);
    EXPECT_EQ(prompter.openedUrls, QStringList{"http://127.0.0.1/"});

    responder.setAnswers(1);
    discovery.addressText = "127.0.0.1";
    ASSERT_TRUE(discovery.findSpecific());
    waitFor(1);
    EXPECT_EQ(discovery.found(), QStringList{"127.0.0.1"});
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(DiscoveryTest, BadPortOrAddressIsReportedAndSendsNothing)
{
    for (const char* port : {"abc", "", "65533"}) {
        discovery.portText = port;
        EXPECT_FALSE(discovery.findAll()) << port;
    }
    discovery.portText = QString::number(responder.port());
    discovery.addressText = "not.an address";
    EXPECT_FALSE(discovery.findSpecific());
    ASSERT_EQ(prompter.messages.size(), 4);
    EXPECT_EQ(prompter.messages[0].text, "Error, incorrect IP address / Port. ");
    EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::None);
    waitFor(0);
    EXPECT_EQ(responder.requestsHeard(), 0);
}

TEST(DiscoveryGuard, TestsReachThisMachineOnly)
{
    EXPECT_TRUE(DatagramSocket::loopbackOnly());
    EXPECT_TRUE(DatagramSocket::allowedDestination("127.0.0.1"));
    EXPECT_FALSE(DatagramSocket::allowedDestination("255.255.255.255"));
    EXPECT_FALSE(DatagramSocket::allowedDestination("192.168.0.195"));
}

TEST(DiscoveryFields, QuillanKeepsItsBoxesInSectionFindQvrs)
{
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    UdpDatagramSocket socket;
    Discovery d(socket, prompter, "127.0.0.1", Discovery::kSendError);
    d.load(store, "QuillanUniv2");
    EXPECT_EQ(d.portText, "3000");
    d.addressText = "127.0.0.1";
    d.portText = "3100";
    d.save(store, "QuillanUniv2");
    EXPECT_EQ(store.get("QuillanUniv2", "FindQvrs", "IPAddress", ""), "127.0.0.1");
    EXPECT_EQ(store.get("QuillanUniv2", "FindQvrs", "PortNumber", ""), "3100");
}

} // namespace
