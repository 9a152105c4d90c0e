#include "DeviceLink.h"
#include "ReplyParser.h"

#include <gtest/gtest.h>

namespace {

class RecordingView : public PanelView {
public:
    void refreshPage() override { ++refreshes; }
    void statusDecoded() override { ++statuses; }
    void pcuStatusDecoded() override { ++pcuStatuses; }
    void setCheckSys(int value) override { sys << value; }
    void setCheckPol(int value) override { pol << value; }
    int refreshes = 0, statuses = 0, pcuStatuses = 0;
    QList<int> sys, pol;
};

// The parser alone, with a ring the test fills as the poll timer would.
class Parser : public ::testing::Test {
protected:
    Parser()
    {
        parser.setView(&view);
        parser.hooks().statusText = [this](const QString& t) { statusTexts << t; };
        parser.hooks().linkLed = [this](LedState s) { leds << int(s); };
        parser.hooks().plot = [this] { ++plots; };
    }
    // Records the query, then receives the reply with its CR. After a bad reply the
    // parser skips one slot (the one a lost reply would have left), so one is put in.
    void answer(const QByteArray& query, const QByteArray& reply)
    {
        if (parser.syncError() != 0)
            ring.record("lost");
        ring.record(query);
        parser.receive(reply + "\r");
    }
    int code(const QByteArray& query, const QByteArray& reply)
    {
        answer(query, reply);
        return parser.syncError();
    }

    PanelState state;
    QueryRing ring;
    ReplyParser parser{state, ring};
    RecordingView view;
    QStringList statusTexts;
    QList<int> leds;
    int plots = 0;
};

TEST_F(Parser, StatusReplyBytesAgcBandAndTracking)
{
    answer("S", "SH@@AL0300 `P");
    EXPECT_EQ(parser.syncError(), 0);
    EXPECT_EQ(state.acuStatus, (std::array<int, 4>{'H', '@', '@', 'A'}));
    EXPECT_EQ(state.trackingState, 8);
    EXPECT_EQ(state.agcText, "0300");
    EXPECT_EQ(state.agcRaw, 300);
    EXPECT_EQ(state.agc, 100);
    EXPECT_EQ(state.extended1, '`');
    EXPECT_EQ(state.bandLetter, 'B');
    EXPECT_EQ(state.extended2, 'P');
    EXPECT_EQ(view.statuses, 1);

    // A prompt before the reply is not part of it; exactly four characters after "S"
    // give bytes 1 to 3 and no byte 4 or extended bytes.
    answer("S", ">SABCD");
    EXPECT_EQ(state.acuStatus, (std::array<int, 4>{'A', 'B', 'C', 0}));
    EXPECT_EQ(state.extended1, 0);
    EXPECT_EQ(state.bandLetter, 'A');
    EXPECT_EQ(state.trackingState, 0);
    EXPECT_EQ(state.agcText, "0300"); // no "L" at k+5: the AGC stays

    EXPECT_EQ(code("S", "SABC"), 9);
    EXPECT_EQ(code("S", "1234567S@@@@@"), 9);
    EXPECT_EQ(state.acuStatus[0], 'A');
}

TEST_F(Parser, ReceiverSettingsByteIsDecodedOnlyWhenItChanges)
{
    answer("S", QByteArray("S@@@@L0000 @") + char(16 | 32 | 3));
    EXPECT_EQ(state.toneText, "  ON");
    EXPECT_EQ(state.voltageText, " 18V");
    EXPECT_EQ(state.fecText, " 3/4");
    state.toneText = "kept";
    answer("S", QByteArray("S@@@@L0000 @") + char(16 | 32 | 3));
    EXPECT_EQ(state.toneText, "kept");

    answer("S", QByteArray("S@@@@L0000 @") + char(64 | 7));
    EXPECT_EQ(state.toneText, " OFF");
    EXPECT_EQ(state.voltageText, " 13V");
    EXPECT_EQ(state.fecText, " SCPC");
    EXPECT_TRUE(state.scpc);
    answer("S", QByteArray("S@@@@L0000 @") + char(64 | 8 | 7));
    EXPECT_EQ(state.fecText, " LSCP");
    answer("S", QByteArray("S@@@@L0000 @") + char(64 | 8 | 2));
    EXPECT_EQ(state.fecText, " 2/3*");
    answer("S", QByteArray("S@@@@L0000 @") + char(0));
    EXPECT_EQ(state.toneText, "");
    EXPECT_EQ(state.fecText, "");
}

TEST_F(Parser, PositionMasksTo12BitsAndKeepsItsWindow)
{
    answer("P", "E-010A3600C0012");
    EXPECT_EQ(state.elevation, 4086);
    EXPECT_EQ(state.elevationText, "408.6");
    EXPECT_EQ(state.azimuth, 3600);
    EXPECT_EQ(state.azimuthText, "360.0");
    EXPECT_EQ(state.crossLevel, 12);
    EXPECT_EQ(state.crossLevelText, "1.2");

    EXPECT_EQ(code("P", "123456789E0100A0200C0300"), 8);
    EXPECT_EQ(state.azimuth, 3600);
    EXPECT_EQ(code("P", "12345678E0100A0200C0300"), 0);
    EXPECT_EQ(state.azimuth, 200);
}

TEST_F(Parser, HeadingGpsReceiverAndLevel)
{
    answer("H", "R0100H2345");
    EXPECT_EQ(state.relativeAzimuthText, "10.0");
    EXPECT_EQ(state.headingText, "234.5");
    EXPECT_EQ(plots, 1);
    parser.setGraphMode(2);
    answer("H", "R0100H2345");
    EXPECT_EQ(plots, 1);
    EXPECT_EQ(code("H", "abcR0100"), 3);

    answer("@", " N0377W1222");
    EXPECT_EQ(state.latitude, 377);
    EXPECT_EQ(state.latitudeText, "37.7N");
    EXPECT_EQ(state.longitudeText, "122.2W");
    EXPECT_TRUE(state.gpsValid);
    answer("@", "S0123E0045");
    EXPECT_EQ(state.latitudeText, "12.3S");
    EXPECT_EQ(state.longitudeText, "4.5E");
    EXPECT_EQ(code("@", "N0377   W1222"), 2); // the hemisphere letter beyond its window

    answer("q", "Q1234 0567");
    EXPECT_EQ(state.receiverField1Text, "1234");
    EXPECT_EQ(state.receiverField1, 1234);
    EXPECT_EQ(state.receiverField2Text, "567");
    EXPECT_EQ(state.symbolRateText, "2268");
    answer("q", "Q0070 1000");
    EXPECT_EQ(state.receiverField2Text, "xxx");
    EXPECT_EQ(state.symbolRateText, "4000");
    EXPECT_EQ(code("q", "1234 0567"), 4);

    answer("%", "L0150");
    EXPECT_EQ(state.levelText, "0150");
    EXPECT_EQ(state.level, 50);
    EXPECT_EQ(code("%", "0150"), 6);
}

TEST_F(Parser, DivisionsRoundHalfToEven)
{
    answer("%", "L07.5");
    EXPECT_EQ(state.level, 2);
    answer("%", "L10.5");
    EXPECT_EQ(state.level, 4);
    answer("S", "S@@@@L07.5");
    EXPECT_EQ(state.agc, 2);
    answer("?   w", "w  2046 2054 2042");
    EXPECT_EQ(state.DispCL, 0);  // -0.5
    EXPECT_EQ(state.DispLV, 2);  // 1.5
    EXPECT_EQ(state.DispAZ, -2); // -1.5
    answer("?   v", "v  2050 2048 2055");
    EXPECT_EQ(state.DispCL, 0); // 0.5
    EXPECT_EQ(state.DispAZ, 2); // 7 / 2.8 = 2.5
}

TEST_F(Parser, PcuSensorReplies)
{
    answer("?   v", "V  3500 0100 0500");
    EXPECT_EQ(state.DispCL, -100);
    EXPECT_EQ(state.DispLV, 100);
    EXPECT_EQ(state.DispAZ, 100);
    answer("?   x", "ivAFFFF 0100 8000");
    EXPECT_EQ(state.DispCL, -1);
    EXPECT_EQ(state.DispLV, 256);
    EXPECT_EQ(state.DispAZ, -32768);
    EXPECT_EQ(state.DispPhase, 1);
    answer("?   y", "tc 0128 0000 0255");
    EXPECT_EQ(state.DispCL, 0);
    EXPECT_EQ(state.DispLV, -128);
    EXPECT_EQ(state.DispAZ, 127);
    EXPECT_EQ(plots, 3);
    answer("?   y", "no key here");
    EXPECT_EQ(plots, 3);
    EXPECT_EQ(parser.syncError(), 0);

    answer("?   S", "S@AB");
    EXPECT_EQ(state.pcuStatus, (std::array<int, 4>{'@', 'A', 'B', '@'}));
    answer("?   S", "SABCDE");
    EXPECT_EQ(state.pcuStatus, (std::array<int, 4>{'A', 'B', 'C', 'D'}));
    EXPECT_EQ(view.pcuStatuses, 2);
    answer("?   V", "PCU VER 1.07");
    EXPECT_EQ(state.pcuVersion, "PCU VER 1.07");
}

TEST_F(Parser, ParametersAndTheirMenus)
{
    answer("mA999\r\n", "mA12");
    EXPECT_EQ(state.parameter('A'), 12);
    answer("mN999\r\n", "mN130");
    EXPECT_EQ(view.sys, QList<int>{130});
    EXPECT_EQ(state.systemTypeCaption, "System Type    130");
    answer("mP999\r\n", "mP066");
    EXPECT_EQ(view.pol, QList<int>{66});
    answer(QByteArray("m") + char(138) + "999\r\n", QByteArray("m") + char(138) + "200");
    EXPECT_EQ(state.parameter(138), 200);
    EXPECT_EQ(code("mB999\r\n", "B123"), 1);
    EXPECT_FALSE(state.parameterRead['B']);
}

TEST_F(Parser, ExternalAgcBoxColour)
{
    answer("u", "G0045V0500T0250");
    EXPECT_EQ(state.polarisationText, "0045");
    EXPECT_EQ(state.externalAgcText, "0500");
    EXPECT_EQ(state.threshold, 250);
    EXPECT_EQ(state.externalAgcColour, PanelState::kAgcBoxWhite);
    state.parameters['N'] = 2;
    answer("u", "G0045V0500T0250");
    EXPECT_EQ(state.externalAgcColour, PanelState::kAgcBoxLocked);
    answer("u", "G0045V0800T0250");
    EXPECT_EQ(state.externalAgcColour, PanelState::kAgcBoxNotLocked);
    state.parameters['N'] = 130;
    answer("u", "G0045V0800T0250");
    EXPECT_EQ(state.externalAgcColour, PanelState::kAgcBoxLocked);
    // Without "V" only the polarisation is read.
    answer("u", "G1111");
    EXPECT_EQ(state.polarisationText, "1111");
    EXPECT_EQ(state.externalAgcText, "0800");
    EXPECT_EQ(code("u", "0045V"), 5);
}

TEST_F(Parser, VersionsAndSpectrumPoints)
{
    answer("V", "ACU VER 2.11");
    EXPECT_EQ(state.acuVersion, "ACU VER 2.11");
    EXPECT_EQ(code("V", "ACU 2.11"), 7);
    std::vector<int> points;
    parser.hooks().spectrumPoint = [&](int i) { points.push_back(i); };
    answer("c0937\r\n", "L0300");
    answer("c0940\r\n", " L0030");
    EXPECT_EQ(points, (std::vector<int>{0, 1}));
    EXPECT_EQ(state.spectrum[0], 100);
    EXPECT_EQ(state.spectrum[1], 10);
    state.spectrumNext = PanelState::kSpectrumPoints;
    answer("c0943\r\n", "L0300");
    EXPECT_EQ(points.size(), 2u);
}

TEST_F(Parser, NumbersBeyond16BitsWrap)
{
    answer("H", "R9E9 H-9E9");
    EXPECT_EQ(state.relativeAzimuth, 6656); // 9000000000 mod 65536
    EXPECT_EQ(state.heading, -6656);
    answer("?   v", "V  9999 9E99 ");
    EXPECT_EQ(state.DispCL, 9999 - 3600);
}

TEST_F(Parser, SyncErrorIsReportedWithTheNextReplyWhichSkipsOneSlot)
{
    ring.record("P");
    ring.record("S");
    ring.record("H");
    parser.receive("garbage\r");
    EXPECT_EQ(parser.syncError(), 8);
    EXPECT_EQ(view.refreshes, 0);
    EXPECT_EQ(statusTexts, QStringList{"Status: Port Open"});
    parser.receive("R0100H0200\r");
    EXPECT_EQ(statusTexts.last(), "Status: Sync Error 8");
    EXPECT_EQ(leds.last(), int(LedState::Yellow));
    EXPECT_EQ(state.heading, 200);
    EXPECT_EQ(ring.receiveIndex, 3);
    EXPECT_EQ(view.refreshes, 1);
    answer("S", "S@@@@");
    EXPECT_EQ(statusTexts.last(), "Status: Port Open");
    EXPECT_EQ(leds.last(), int(LedState::Green));
}

// A reply takes its query out of the ring, so a slot answers once. A line that comes while
// no command awaits a reply (a unit that says something twice, a banner) then meets no
// query at all, instead of a command sent 32 commands earlier: a parameter reply must
// never be stored under a letter it did not answer. The pairing stays with the next command.
TEST_F(Parser, ARingSlotAnswersOneReplyOnly)
{
    for (int i = 0; i < 32; ++i)
        answer("mB999\r\n", "mB007");
    ASSERT_EQ(ring.receiveIndex, 0);
    for (const QByteArray& entry : ring.entries)
        EXPECT_TRUE(entry.isEmpty());

    parser.receive("mA005\r");
    EXPECT_EQ(state.parameter('B'), 7);
    EXPECT_FALSE(state.parameterRead['A']);
    EXPECT_EQ(ring.receiveIndex, 0);
    answer("mA999\r\n", "mA005");
    EXPECT_EQ(state.parameter('A'), 5);
    EXPECT_EQ(state.parameter('B'), 7);
    EXPECT_EQ(ring.receiveIndex, ring.sendIndex);

    // A bad reply to the last command sent: the report skips no slot past it, so the
    // next command's reply still meets its own query.
    ring.record("P");
    parser.receive("garbage\r");
    ASSERT_EQ(parser.syncError(), 8);
    parser.receive("unasked\r");
    EXPECT_EQ(statusTexts.last(), "Status: Sync Error 8");
    ring.record("H");
    parser.receive("R0100H0200\r");
    EXPECT_EQ(state.heading, 200);
    EXPECT_EQ(ring.receiveIndex, ring.sendIndex);
}

TEST_F(Parser, ChunksAreAssembledIntoLinesInOrder)
{
    ring.record("S");
    parser.receive("S@A");
    EXPECT_EQ(view.statuses, 0);
    parser.receive("BCL0300");
    EXPECT_EQ(view.statuses, 0);
    parser.receive("\rR0");
    EXPECT_EQ(view.statuses, 1);
    EXPECT_EQ(state.acuStatus[1], 'A');

    ring.record("H");
    ring.record("P");
    ring.record("%");
    parser.receive("100H0200\rE0001A0002C0003\r>L0090\r");
    EXPECT_EQ(state.heading, 200);
    EXPECT_EQ(state.azimuth, 2);
    EXPECT_EQ(state.level, 30);
    EXPECT_EQ(ring.receiveIndex, 4);
    EXPECT_EQ(parser.syncError(), 0);
}

TEST_F(Parser, OneShotAndDumpRepliesAreRouted)
{
    QList<QByteArray> diagnostics;
    QList<QByteArray> dump;
    parser.hooks().oneShotReply = [&](const QByteArray& r) { diagnostics << r; };
    parser.hooks().fmtParam = [&](const QByteArray& r, const QByteArray& q) { dump << q + "=" + r; };
    ring.oneShotSlot = ring.sendIndex;
    answer("V", "ACU VER 2.11");
    EXPECT_EQ(diagnostics, QList<QByteArray>{"ACU VER 2.11"});
    EXPECT_EQ(ring.oneShotSlot, -1);
    EXPECT_EQ(state.acuVersion, "ACU VER 2.11"); // still decoded

    answer("S", "S@@@@");
    ring.dumpStart = ring.sendIndex;
    answer("mA999\r\n", "mA001");
    answer("mB999\r\n", "mB002");
    EXPECT_EQ(ring.dumpFormatting, 0);
    EXPECT_EQ(dump, (QList<QByteArray>{"mA999\r\n=mA001", "mB999\r\n=mB002"}));
}

TEST_F(Parser, SettleCounterCountsRepliesDown)
{
    state.settleCounter = 2;
    answer("S", "S@@@@");
    EXPECT_EQ(state.settleCounter, 1);
    answer("S", "bad");
    EXPECT_EQ(state.settleCounter, 0);
    answer("S", "S@@@@");
    EXPECT_EQ(state.settleCounter, 0);
}

TEST_F(Parser, EndlessTextWithoutCrIsCappedAndCountsAsOneBadReply)
{
    ring.record("S");
    ring.record("P");
    const QByteArray junk(1000, 'x');
    for (int i = 0; i < 100; ++i)
        parser.receive(junk);
    EXPECT_LE(parser.assembler().pending().size(), ReplyAssembler::kDefaultCap);
    EXPECT_GE(parser.assembler().droppedBytes(), 100000 - ReplyAssembler::kDefaultCap);
    // The overlong line ends at its CR and is dropped whole; the next reply reports it
    // and skips the slot it stood for.
    parser.receive("xxxx\rE0001A0002C0003\r");
    EXPECT_EQ(statusTexts.last(), QString("Status: Sync Error %1").arg(ReplyParser::kSyncOverflow));
    EXPECT_EQ(state.azimuth, 2);
    EXPECT_EQ(ring.receiveIndex, 2);
    EXPECT_TRUE(parser.assembler().pending().isEmpty());
}

} // namespace
