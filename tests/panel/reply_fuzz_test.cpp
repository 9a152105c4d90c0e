// Random, mutated, truncated, oversized and binary replies through the assembler and the
// parser. The short run is part of every test run; QVR_FUZZ_CHUNKS=1000000 (or more) and
// QVR_FUZZ_SEED give the long runs, best under the sanitize preset.
#include "ReplyParser.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <random>

namespace {

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

const QList<QByteArray> kQueries{"S",
                                 "P",
                                 "H",
                                 "u",
                                 "q",
                                 "@",
                                 "%",
                                 "V",
                                 "?   S\r\n",
                                 "?   V\r\n",
                                 "?   v\r\n",
                                 "?   w\r\n",
                                 "?   x\r\n",
                                 "?   y\r\n",
                                 "mN999\r\n",
                                 "mP999\r\n",
                                 "mA999\r\n",
                                 QByteArray("m\xff"
                                            "999\r\n"),
                                 "c0937\r\n",
                                 "m",
                                 "?",
                                 "?  ",
                                 "",
                                 "F1234\r\n"};

const QList<QByteArray> kReplies{"SH@@AL0300 `P",
                                 "S@@@@",
                                 "E-010A3600C0012",
                                 "R0100H2345",
                                 "G0045V0500T0250",
                                 "G1111",
                                 "Q1234 0567",
                                 "Q0070 1000",
                                 " N0377W1222",
                                 "S0123E0045",
                                 "L0150",
                                 "ACU VER 2.11",
                                 "V  3500 0100 0500",
                                 "v  2050 2048 2055",
                                 "w  2046 2054 2042",
                                 "ivAFFFF 0100 8000",
                                 "tc 0128 0000 0255",
                                 "mN130",
                                 "mP066",
                                 "mA12",
                                 "PCU VER 1.07",
                                 ">S@@@@L9999 @@",
                                 "x>L0030",
                                 "R9E9 H-9E9",
                                 "V  9999 9E99 ",
                                 "Q&HFF 9E99",
                                 "L-32768"};

class Fuzzer {
public:
    explicit Fuzzer(quint32 seed) : m_rng(seed) {}

    int below(int n) { return int(m_rng() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }

    QByteArray query() { return kQueries[below(int(kQueries.size()))]; }

    QByteArray randomBytes(int maxLen)
    {
        QByteArray b(below(maxLen + 1), Qt::Uninitialized);
        for (char& c : b)
            c = char(below(256));
        return b;
    }

    // A known reply, then bent: bytes flipped, cut, doubled, spliced with noise.
    QByteArray mutatedReply()
    {
        QByteArray r = kReplies[below(int(kReplies.size()))];
        const int edits = below(4);
        for (int i = 0; i < edits && !r.isEmpty(); ++i) {
            const int at = below(int(r.size()));
            switch (below(6)) {
            case 0:
                r[at] = char(below(256));
                break;
            case 1:
                r.truncate(at);
                break;
            case 2:
                r.insert(at, randomBytes(8));
                break;
            case 3:
                r.remove(at, 1 + below(4));
                break;
            case 4:
                r += r;
                break;
            default:
                r.insert(at, QByteArrayView(">-0123456789ABCDEF&H.E ").sliced(below(22), 1));
                break;
            }
        }
        return r;
    }

    // One received chunk: whole replies, pieces of replies, noise, now and then a very
    // long run without CR.
    QByteArray chunk()
    {
        const int kind = below(100);
        if (kind < 50)
            return mutatedReply() + "\r";
        if (kind < 70)
            return mutatedReply() + "\r" + mutatedReply() + (chance(50) ? "\r" : "");
        if (kind < 85)
            return mutatedReply().left(below(8));
        if (kind < 98)
            return randomBytes(64);
        const char fill = char(below(256));
        return QByteArray(2000 + below(8000), fill == '\r' ? 'x' : fill);
    }

private:
    std::mt19937 m_rng;
};

class CountingView : public PanelView {
public:
    void refreshPage() override { ++calls; }
    void statusDecoded() override { ++calls; }
    void pcuStatusDecoded() override { ++calls; }
    void setCheckSys(int) override { ++calls; }
    void setCheckPol(int) override { ++calls; }
    int calls = 0;
};

// What a run leaves, as text, so that two runs can be compared whole.
QString snapshot(const PanelState& s)
{
    QStringList f;
    for (int v : {int(s.elevation),
                  int(s.azimuth),
                  int(s.crossLevel),
                  int(s.relativeAzimuth),
                  int(s.heading),
                  int(s.latitude),
                  int(s.longitude),
                  int(s.receiverField1),
                  int(s.receiverField2),
                  int(s.externalAgc),
                  int(s.threshold),
                  int(s.level),
                  int(s.agc),
                  int(s.agcRaw),
                  s.extended1,
                  s.extended2,
                  s.trackingState,
                  s.receiverSettings,
                  int(s.DispCL),
                  int(s.DispLV),
                  int(s.DispAZ),
                  int(s.DispPhase),
                  s.spectrumNext,
                  int(s.externalAgcColour)})
        f << QString::number(v);
    for (int i = 0; i < 4; ++i)
        f << QString::number(s.acuStatus[i]) << QString::number(s.pcuStatus[i]);
    f << s.elevationText << s.azimuthText << s.crossLevelText << s.headingText << s.latitudeText
      << s.longitudeText << s.receiverField1Text << s.receiverField2Text << s.symbolRateText
      << s.polarisationText << s.externalAgcText << s.levelText << s.acuVersion << s.pcuVersion << s.agcText
      << s.fecText << s.toneText;
    for (int i = 0; i < PanelState::kParameterSlots; ++i)
        if (s.parameterRead[i])
            f << QString::number(i) + "=" + QString::number(s.parameters[i]);
    return f.join('|');
}

void checkInvariants(const PanelState& s, const QueryRing& ring, ReplyParser& parser)
{
    ASSERT_LE(parser.assembler().pending().size(), parser.assembler().cap());
    ASSERT_TRUE(ring.sendIndex >= 0 && ring.sendIndex < QueryRing::kSlots);
    ASSERT_TRUE(ring.receiveIndex >= 0 && ring.receiveIndex < QueryRing::kSlots);
    ASSERT_TRUE(s.elevation >= 0 && s.elevation < 4096);
    ASSERT_TRUE(s.azimuth >= 0 && s.azimuth < 4096);
    ASSERT_TRUE(s.crossLevel >= 0 && s.crossLevel < 4096);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(s.acuStatus[i] >= 0 && s.acuStatus[i] < 256);
        ASSERT_TRUE(s.pcuStatus[i] >= 0 && s.pcuStatus[i] < 256);
    }
    ASSERT_TRUE(s.spectrumNext >= 0 && s.spectrumNext <= PanelState::kSpectrumPoints);
    ASSERT_TRUE(parser.syncError() >= 0 && parser.syncError() <= ReplyParser::kSyncOverflow);
}

TEST(ReplyFuzz, RandomAndMutatedChunksNeverBreakTheParser)
{
    const int chunks = envInt("QVR_FUZZ_CHUNKS", 100000);
    const quint32 seed = quint32(envInt("QVR_FUZZ_SEED", 20130625));
    Fuzzer fz(seed);
    PanelState state;
    QueryRing ring;
    ReplyParser parser(state, ring);
    CountingView view;
    parser.setView(&view);
    qint64 hookBytes = 0;
    ParserHooks& h = parser.hooks();
    h.plot = [&] { ++hookBytes; };
    h.fmtParam = [&](const QByteArray& r, const QByteArray& q) { hookBytes += r.size() + q.size(); };
    h.oneShotReply = [&](const QByteArray& r) { hookBytes += r.size(); };
    h.spectrumPoint = [&](int i) { ASSERT_TRUE(i >= 0 && i < PanelState::kSpectrumPoints); };
    h.statusText = [&](const QString& t) { hookBytes += t.size(); };
    h.linkLed = [&](LedState) {};

    for (int i = 0; i < chunks; ++i) {
        const int queries = fz.below(3);
        for (int q = 0; q < queries; ++q)
            ring.record(fz.query());
        if (fz.chance(2))
            ring.oneShotSlot = fz.below(QueryRing::kSlots);
        if (fz.chance(1))
            ring.dumpStart = fz.below(QueryRing::kSlots);
        if (fz.chance(1))
            ring.dumpFormatting = -1;
        if (fz.chance(1))
            state.spectrumNext = fz.below(PanelState::kSpectrumPoints + 1);
        if (fz.chance(1))
            state.parameters['N'] = qint16(fz.below(256));
        parser.receive(fz.chunk());
        checkInvariants(state, ring, parser);
        if (HasFatalFailure())
            FAIL() << "seed " << seed << " chunk " << i;
    }
    EXPECT_GT(view.calls, chunks / 10);
    EXPECT_GT(parser.assembler().droppedBytes(), 0);
    EXPECT_GT(hookBytes, 0);
}

// The same text gives the same panel state however the transport cuts it into chunks.
TEST(ReplyFuzz, ChunkBoundariesDoNotChangeTheOutcome)
{
    const int replies = envInt("QVR_FUZZ_CHUNKS", 100000) / 5;
    const quint32 seed = quint32(envInt("QVR_FUZZ_SEED", 20130625));
    Fuzzer fz(seed ^ 0x5a5a5a5au);
    QByteArray stream;
    for (int i = 0; i < replies; ++i)
        stream += fz.mutatedReply().left(200) + "\r";

    // A full ring that is never refilled: the pairing then depends only on the lines.
    struct Run {
        PanelState state;
        QueryRing ring;
        ReplyParser parser{state, ring};
        QStringList statuses;
        explicit Run(const QList<QByteArray>& queries)
        {
            for (const QByteArray& q : queries)
                ring.record(q);
            parser.hooks().statusText = [this](const QString& t) { statuses << t; };
        }
    };
    QList<QByteArray> queries;
    for (int i = 0; i < QueryRing::kSlots; ++i)
        queries << fz.query();

    Run whole(queries);
    for (qsizetype pos = 0; pos < stream.size();) {
        const qsizetype cr = stream.indexOf('\r', pos);
        whole.parser.receive(stream.mid(pos, cr - pos + 1));
        pos = cr + 1;
    }
    Run cut(queries);
    for (qsizetype pos = 0; pos < stream.size();) {
        const int n = 1 + fz.below(40);
        cut.parser.receive(stream.mid(pos, n));
        pos += n;
    }
    EXPECT_EQ(snapshot(whole.state), snapshot(cut.state));
    EXPECT_EQ(whole.statuses, cut.statuses);
    EXPECT_EQ(whole.ring.receiveIndex, cut.ring.receiveIndex);
}

} // namespace
