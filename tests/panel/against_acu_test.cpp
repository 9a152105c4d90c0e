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

// The unit acts on the CR of a set command; an LF that follows in a later piece is a byte
// it ignores. The ring has wrapped long before each entry, so a reply that met a stale
// slot would start a run of sync errors.
TEST_F(AgainstAcu, TargetsEnteredInPiecesCostNoSyncError)
{
    struct Case {
        int page;
        QString entry;
        QList<QByteArray> pieces;
        QByteArray heard;
    };
    const std::vector<Case> cases{
        {65, "123.4", {"A123.4\r", "\n"}, "A123.4"},
        {66, "45", {"E", "4", "5", "\r", "\n"}, "E45"},
        {65, "123.45678901", {"A123.45", "678901\r", "\n"}, "A123.45678901"},
    };
    QList<QByteArray> heard;
    QObject::connect(&acu, &AcuModel::commandReceived, [&](const QByteArray& c) { heard << c; });
    session.start();
    rt.advance(10000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry.toStdString());
        goTo(c.page);
        rt.advance(1000);
        const qint64 entered = rt.now();
        ASSERT_TRUE(front.entryEnter(c.entry));
        EXPECT_EQ(syncErrorsDuring(6000), 0);
        QList<QByteArray> first;
        for (const Sent& s : sentAfter(entered))
            if (first.size() < c.pieces.size())
                first << s.bytes;
        EXPECT_EQ(first, c.pieces);
        EXPECT_EQ(heard.count(c.heard), 1);
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
