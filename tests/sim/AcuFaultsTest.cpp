// The fault knobs, as the program on the other end sees them, and the transcript format.
#include "UnitOnWire.h"

#include <TranscriptWriter.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(AcuFaults, EveryNthReplyIsDropped)
{
    UnitOnWire u;
    u.open();
    u.model.setDropEvery(3);
    u.rx.clear();
    for (int i = 0; i < 6; ++i) {
        u.link.write("S");
        u.rt.advance(100);
    }
    EXPECT_EQ(u.lines().size(), 4);
    EXPECT_EQ(u.model.repliesDropped(), 2);
}

TEST(AcuFaults, SplitRepliesArriveInTimedPieces)
{
    UnitOnWire u;
    u.open();
    u.model.setSplit(4, 5);
    const QByteArray line = u.ask("S", 200);
    ASSERT_EQ(line.size(), 13);
    ASSERT_EQ(u.chunks.size(), 4u); // 14 bytes in pieces of 4
    std::vector<qint64> starts;
    for (const auto& record : u.link.transcript())
        if (record.direction == SimByteLink::Direction::FromUnit)
            starts.push_back(record.timeNs);
    ASSERT_EQ(starts.size(), 4u);
    for (size_t i = 0; i + 1 < starts.size(); ++i) {
        EXPECT_EQ(u.chunks[i].bytes.size(), 4);
        EXPECT_EQ(starts[i + 1] - starts[i], 5000000) << "pieces leave 5 ms apart";
    }
}

TEST(AcuFaults, JoinedRepliesShareOneChunkAndALoneOneIsNotHeldForEver)
{
    UnitOnWire u;
    u.open();
    u.model.setJoinPairs(true);
    u.link.write("S");
    u.rt.advance(100);
    EXPECT_TRUE(u.chunks.empty()) << "held for its partner";
    u.link.write("P");
    u.rt.advance(100);
    ASSERT_EQ(u.chunks.size(), 1u);
    EXPECT_EQ(u.chunks[0].bytes.count('\r'), 2);
    EXPECT_EQ(u.lines().size(), 2);

    u.chunks.clear();
    u.link.write("H");
    u.rt.advance(1000);
    ASSERT_EQ(u.chunks.size(), 1u);
    EXPECT_TRUE(u.chunks[0].bytes.startsWith('R'));
}

TEST(AcuFaults, DelayedRepliesKeepTheirOrder)
{
    UnitOnWire u;
    u.open();
    u.model.setReplyDelayMs(300);
    const qint64 sent = u.rt.nowNs();
    u.link.write("S");
    u.link.write("mB999\r\n");
    u.link.write("P");
    u.rt.advance(290);
    EXPECT_TRUE(u.rx.isEmpty());
    u.rt.advance(200);
    const QList<QByteArray> lines = u.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith('S'));
    EXPECT_EQ(lines[1], "mB025");
    EXPECT_TRUE(lines[2].startsWith('E'));
    EXPECT_GE(u.chunks.front().timeNs - sent, 300000000);
}

TEST(AcuFaults, GarblePromptAndMissingCrChangeTheBytesOnly)
{
    // Two identical units answering at the same virtual moments: one clean, one faulty.
    UnitOnWire clean(5), faulty(5);
    clean.open();
    faulty.open();
    faulty.model.setGarbleProbability(1.0);
    clean.link.write("P");
    faulty.link.write("P");
    clean.rt.advance(100);
    faulty.rt.advance(100);
    ASSERT_EQ(clean.rx.size(), faulty.rx.size());
    for (qsizetype i = 0; i < clean.rx.size(); ++i)
        EXPECT_NE(clean.rx[i], faulty.rx[i]) << "byte " << i;

    UnitOnWire u;
    u.open();
    u.model.setPromptProbability(1.0);
    EXPECT_TRUE(u.ask("%").startsWith(">L"));
    u.model.setPromptProbability(0);
    u.model.setOmitCr(true);
    u.rx.clear();
    u.link.write("%");
    u.link.write("%");
    u.rt.advance(100);
    EXPECT_EQ(u.rx.size(), 10);
    EXPECT_FALSE(u.rx.contains('\r'));
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
