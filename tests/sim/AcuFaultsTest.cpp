// The fault knobs, as the program on the other end sees them, on the unit's longer rows
// (PCU pass-through, receiver, versions), the hang-up, and the transcript format.
#include "UnitOnWire.h"

#include <CommandVocabulary.h>
#include <TranscriptWriter.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

using vocab::pcuQuery;
using vocab::wireForm;

TEST(AcuFaults, EveryNthReplyIsDroppedAndSilentCommandsDoNotCount)
{
    UnitOnWire u;
    u.open();
    u.model.setDropEvery(3);
    u.rx.clear();
    for (const QByteArray& c :
         {pcuQuery('v'), QByteArray("wV   "), QByteArray("w!123"), QByteArray("c1150"), QByteArray("C"),
          QByteArray("^0067"), QByteArray("[V   "), QByteArray("F1234")}) {
        u.link.write(wireForm(c));
        u.rt.advance(200);
    }
    const QList<QByteArray> lines = u.lines();
    ASSERT_EQ(lines.size(), 4) << u.rx.constData();
    EXPECT_TRUE(lines[0].startsWith("v "));   // 1
    EXPECT_TRUE(lines[1].contains("DVB"));    // 2; "c1150" was the 3rd
    EXPECT_TRUE(lines[2].startsWith("^"));    // 4
    EXPECT_TRUE(lines[3].contains("COMMIF")); // 5; "F1234" was the 6th
    EXPECT_EQ(u.model.repliesDropped(), 2);
}

TEST(AcuFaults, SplitRepliesArriveInTimedPieces)
{
    UnitOnWire u;
    u.open();
    u.model.setSplit(4, 5);
    const QByteArray line = u.command(pcuQuery('x'), 300);
    ASSERT_EQ(line.size(), 17) << line.constData();
    ASSERT_EQ(u.chunks.size(), 5u); // 18 bytes in pieces of 4
    std::vector<qint64> starts;
    for (const auto& record : u.link.transcript())
        if (record.direction == SimByteLink::Direction::FromUnit)
            starts.push_back(record.timeNs);
    ASSERT_EQ(starts.size(), 5u);
    for (size_t i = 0; i + 1 < starts.size(); ++i) {
        EXPECT_EQ(u.chunks[i].bytes.size(), 4);
        EXPECT_EQ(starts[i + 1] - starts[i], 5000000) << "pieces leave 5 ms apart";
    }
    EXPECT_EQ(u.chunks.back().bytes, QByteArray(line.right(1) + '\r'));
}

TEST(AcuFaults, JoinedRepliesShareOneChunkAndALoneOneIsNotHeldForEver)
{
    UnitOnWire u;
    u.open();
    u.model.setJoinPairs(true);
    u.link.write(wireForm(pcuQuery('S')));
    u.rt.advance(100);
    EXPECT_TRUE(u.chunks.empty()) << "held for its partner";
    u.link.write(wireForm("c1150"));
    u.rt.advance(100);
    ASSERT_EQ(u.chunks.size(), 1u);
    EXPECT_EQ(u.chunks[0].bytes.count('\r'), 2);
    EXPECT_TRUE(u.lines().value(1).startsWith('L'));

    u.chunks.clear();
    u.link.write(wireForm("^0067"));
    u.rt.advance(1000);
    ASSERT_EQ(u.chunks.size(), 1u);
    EXPECT_TRUE(u.chunks[0].bytes.startsWith("^ NUTARA"));
}

TEST(AcuFaults, DelayedRepliesKeepTheirOrder)
{
    UnitOnWire u;
    u.open();
    u.model.setReplyDelayMs(300);
    const qint64 sent = u.rt.nowNs();
    u.link.write("S");
    u.link.write(wireForm(pcuQuery('w')));
    u.link.write(wireForm("mB999"));
    u.link.write("P");
    u.rt.advance(290);
    EXPECT_TRUE(u.rx.isEmpty());
    u.rt.advance(200);
    const QList<QByteArray> lines = u.lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith('S'));
    EXPECT_TRUE(lines[1].startsWith("w "));
    EXPECT_EQ(lines[2], "mB025");
    EXPECT_TRUE(lines[3].startsWith('E'));
    EXPECT_GE(u.chunks.front().timeNs - sent, 300000000);
}

TEST(AcuFaults, GarblePromptAndMissingCrChangeTheBytesOnly)
{
    // Two identical units answering at the same virtual moments: one clean, one faulty.
    UnitOnWire clean(5), faulty(5);
    clean.open();
    faulty.open();
    faulty.model.setGarbleProbability(1.0);
    clean.link.write(wireForm(pcuQuery('V')));
    faulty.link.write(wireForm(pcuQuery('V')));
    clean.rt.advance(100);
    faulty.rt.advance(100);
    ASSERT_EQ(clean.rx.size(), faulty.rx.size());
    for (qsizetype i = 0; i < clean.rx.size(); ++i)
        EXPECT_NE(clean.rx[i], faulty.rx[i]) << "byte " << i;

    UnitOnWire u;
    u.open();
    u.model.setPromptProbability(1.0);
    EXPECT_TRUE(u.command(pcuQuery('y')).startsWith(">tc"));
    u.model.setPromptProbability(0);
    u.model.setOmitCr(true);
    u.rx.clear();
    u.link.write(wireForm("[V   "));
    u.link.write("%");
    u.rt.advance(200);
    EXPECT_TRUE(u.rx.startsWith("QVR COMMIF VER"));
    EXPECT_FALSE(u.rx.contains('\r'));
    EXPECT_EQ(u.rx.size(), u.model.unit().commIfVersion().size() + 5) << "the level line follows at once";
}

TEST(AcuFaults, HangsUpAfterTheNthReplyOfEachConnectionOnceThatReplyIsDelivered)
{
    UnitOnWire u(7, ByteLink::Kind::Tcp);
    u.model.setGreeting("QVR SIM READY");
    u.model.setHangUpAfterReplies(3);
    u.model.setReplyDelayMs(200);
    u.open();
    for (int round = 0; round < 2; ++round) {
        u.rx.clear();
        for (const QByteArray& c :
             {QByteArray("S"), QByteArray("C"), wireForm(pcuQuery('S')), wireForm("w!123"), QByteArray("P")})
            u.link.write(c);
        u.rt.advance(100);
        EXPECT_TRUE(u.link.isOpen());
        u.rt.advance(1000);
        const QList<QByteArray> lines = u.lines();
        ASSERT_EQ(lines.size(), 4) << "greeting and three replies; round " << round;
        EXPECT_EQ(lines[0], "QVR SIM READY");
        EXPECT_EQ(lines[3], "w! NO DATA");
        EXPECT_FALSE(u.link.isOpen());
        EXPECT_EQ(u.closedByPeer, round + 1);
        u.open(); // the count starts again on a new connection
    }
    u.model.setHangUpAfterReplies(0);
    u.rt.advance(100);
    EXPECT_TRUE(u.command("S").startsWith('S'));
    EXPECT_TRUE(u.link.isOpen());
}

TEST(AcuFaults, HangsUpOnTimeAndADroppedLastReplyStillEndsTheConnection)
{
    UnitOnWire u(7, ByteLink::Kind::Tcp);
    u.model.setHangUpAfterMs(1500);
    u.open();
    const qint64 connectedAt = u.rt.nowNs();
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(u.command(wireForm(pcuQuery('v'))).startsWith("v ")) << i;
        u.rt.advance(200);
    }
    u.rt.advance(1000);
    EXPECT_EQ(u.closedByPeer, 1);
    EXPECT_EQ(u.closedAtNs - connectedAt, 1500000000);

    u.model.setHangUpAfterMs(0);
    u.model.setHangUpAfterReplies(2);
    u.model.setDropEvery(2);
    u.open();
    u.rx.clear();
    u.link.write("SP");
    u.rt.advance(500);
    EXPECT_EQ(u.lines().size(), 1);
    EXPECT_EQ(u.closedByPeer, 2);
}

TEST(AcuFaults, GreetingComesFirstOnEveryConnection)
{
    UnitOnWire u(7, ByteLink::Kind::Tcp);
    u.model.setGreeting("QVR SIM READY");
    u.open();
    u.rt.advance(50);
    EXPECT_EQ(u.rx, "QVR SIM READY\r");
    u.link.close();
    u.rx.clear();
    u.open();
    u.rt.advance(50);
    EXPECT_EQ(u.rx, "QVR SIM READY\r");
    EXPECT_TRUE(u.ask("S").startsWith('S'));
}

TEST(Transcript, RecordsTimeEndpointDirectionAndEscapedBytes)
{
    EXPECT_EQ(TranscriptWriter::printable(QByteArray("mA999\r\n")), "mA999<0D><0A>");
    EXPECT_EQ(TranscriptWriter::printable(QByteArray("a<b\x81\x7F")), "a<3C>b<81><7F>");

    QTemporaryDir dir;
    SimRuntime rt;
    TranscriptWriter t(rt);
    ASSERT_TRUE(t.open(dir.filePath("t.log")));
    rt.advance(1500);
    t.record("tcp1", TranscriptWriter::Direction::In, "S");
    t.record("tcp1", TranscriptWriter::Direction::Out, "S@@@@\r");
    t.note("tcp1", "closed");
    QFile f(dir.filePath("t.log"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)); // readable while still open: written line by line
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "    1500.000 tcp1 in  S");
    EXPECT_EQ(lines[1], "    1500.000 tcp1 out S@@@@<0D>");
    EXPECT_EQ(lines[2], "    1500.000 tcp1 --  closed");
}
