// Korvex's panel against the simulated ACU that qvrsim serves: its own command reader,
// which acts on CR, and its own replies, over a 9600 baud line or TCP, in virtual time.
#include "FrontPanelRig.h"

#include <AcuModel.h>

namespace {

class AgainstAcu : public FrontPanelRig {
protected:
    AgainstAcu()
    {
        serial.attachPeer(&acu);
        tcp.attachPeer(&tcpAcu);
        tcpAcu.setGreeting("QVR ACU SIMULATOR");
    }
    ~AgainstAcu() override
    {
        serial.attachPeer(&unit);
        tcp.attachPeer(&tcpUnit);
    }

    // Sync errors while the panel polls for ms.
    int syncErrorsDuring(int ms)
    {
        syncErrors = 0;
        rt.advance(ms);
        return syncErrors;
    }

    AcuModel acu{rt, 7};
    AcuModel tcpAcu{rt, 7};
};

TEST_F(AgainstAcu, TargetsEnteredInPiecesCostNoSyncError)
{
    struct Case {
        int page;
        QString entry;
    };
    session.start();
    rt.advance(10000);
    for (const Case& c : std::vector<Case>{{65, "123.4"}, {66, "45"}, {65, "123.45678901"}}) {
        SCOPED_TRACE(c.entry.toStdString());
        goTo(c.page);
        rt.advance(1000);
        ASSERT_TRUE(front.entryEnter(c.entry));
        EXPECT_EQ(syncErrorsDuring(6000), 0);
        EXPECT_EQ(link().statusText(), "Status: Port Open");
    }
}

TEST_F(AgainstAcu, RepliesSplitInPiecesCostNoSyncError)
{
    acu.setSplit(5, 10);
    session.start();
    rt.advance(4000);
    EXPECT_EQ(syncErrorsDuring(6000), 0);
    goTo(65);
    rt.advance(1000);
    ASSERT_TRUE(front.entryEnter("123.4"));
    EXPECT_EQ(syncErrorsDuring(6000), 0);
}

TEST_F(AgainstAcu, ARestartOverTcpCostsAtMostOneSyncError)
{
    useTcp();
    session.start();
    rt.advance(10000);
    ASSERT_EQ(syncErrors, 0);
    tcp.dropFromPeer(); // the unit restarts: it greets on the next connection
    EXPECT_LE(syncErrorsDuring(2800), 1);
    EXPECT_EQ(tcp.openCount(), 2);
    EXPECT_EQ(link().statusText(), "Status: Port Open");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
