// The terminal-side unit: echo, answers, panel frames and the paced text stream.
#include "UnitOnWire.h"

#include <AcuUnit.h>
#include <PanelFrames.h>
#include <TextStream.h>

#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(TerminalUnit, EchoesWhatItReceivesAndAnswersEachLineAfterItsEcho)
{
    TerminalOnWire t(3, ByteLink::Kind::Tcp);
    t.open();
    t.link.write("ab");
    t.rt.advance(50);
    EXPECT_EQ(t.rx, "ab");

    t.rx.clear();
    t.link.write("c\r\nV\r\n\r\n");
    t.rt.advance(50);
    EXPECT_EQ(t.rx, "c\r\nERR\r\nV\r\nQVR TERMINAL UNIT VER 1.00 SIM\r\n\r\n")
        << "\"abc\" is unknown; an empty line gets no answer";

    // A line end split across two receive events.
    t.rx.clear();
    t.link.write("v\r");
    t.rt.advance(50);
    t.link.write("\n?\n");
    t.rt.advance(50);
    EXPECT_EQ(t.rx, QByteArray("v\r") + TerminalUnit::kVersion + "\r\n\n?\nV VERSION  ? HELP\r\n");

    t.model.setEcho(false);
    t.rx.clear();
    t.link.write("V\r\n");
    t.rt.advance(50);
    EXPECT_EQ(t.rx, QByteArray(TerminalUnit::kVersion) + "\r\n");
}

TEST(TerminalUnit, PanelFrameBytes)
{
    PanelFrame f;
    f.line1 = "AZ 148.3  EL 41.0";
    f.line2 = "A LINE LONGER THAN THE DISPLAY";
    f.bargraph = "09";
    f.brightness = "0075";
    f.flags = PanelFrame::kTracking;
    EXPECT_EQ(f.encode(), QByteArray("\x01"
                                     "AZ 148.3  EL 41.0   \r\n"
                                     "\x02"
                                     "A LINE LONGER THAN T\r\n"
                                     "\x03"
                                     "09"
                                     "\x04"
                                     "0075"
                                     "\x05"
                                     "\x06"
                                     "H"));
    // The flag byte for each combination, none of them a control character.
    const std::pair<int, char> flagBytes[] = {{0, '@'},
                                              {PanelFrame::kUnwrap, 'D'},
                                              {PanelFrame::kTracking, 'H'},
                                              {PanelFrame::kUnwrap | PanelFrame::kTracking, 'L'},
                                              {0xFF, 'L'}};
    for (const auto& [flags, byte] : flagBytes) {
        f.flags = flags;
        EXPECT_EQ(f.encode().back(), byte) << flags;
    }
}

TEST(TerminalUnit, PanelFramesComeOnTheirIntervalAndShowTheAntenna)
{
    TerminalOnWire t(3, ByteLink::Kind::Tcp);
    t.model.setEcho(false);
    t.model.setPanelFrames(500);
    t.model.unit().setBlockagesEnabled(false);
    t.open();
    const qint64 start = t.rt.nowNs();
    t.rt.advance(2050);
    ASSERT_EQ(t.chunks.size(), 4u);
    const QRegularExpression frame(QStringLiteral("^\\x01AZ[ 0-9.]{6}  EL[ 0-9.-]{5}   \\r\\n"
                                                  "\\x02AGC \\d{3} [A-Z]+ *\\r\\n"
                                                  "\\x03\\d\\d\\x04\\d{4}\\x05\\x06[@DHL]$"));
    for (size_t i = 0; i < t.chunks.size(); ++i) {
        EXPECT_EQ(t.chunks[i].timeNs - start, qint64(i + 1) * 500000000);
        EXPECT_TRUE(frame.match(QString::fromLatin1(t.chunks[i].bytes)).hasMatch())
            << t.chunks[i].bytes.constData();
    }
    EXPECT_TRUE(t.chunks[0].bytes.contains("INITIALIZING"));

    // Tracking shows in the legend flags and in line 2.
    t.rt.advance(60000);
    t.chunks.clear();
    t.rt.advance(500);
    ASSERT_EQ(t.chunks.size(), 1u);
    EXPECT_TRUE(t.chunks[0].bytes.contains("TRACKING"));
    EXPECT_EQ(t.chunks[0].bytes.back(), 'H');

    // Nothing while nobody is connected.
    t.link.close();
    t.chunks.clear();
    t.rt.advance(2000);
    EXPECT_TRUE(t.chunks.empty());
}

TEST(TerminalUnit, UnwrapShowsInThePanelFlags)
{
    SimRuntime rt;
    AcuUnit unit(rt, 3);
    rt.advance(60000);
    unit.update();
    unit.setTracking(false);
    int heading = unit.heading();
    bool sawUnwrap = false;
    for (int turn = 0; turn < 12 && !sawUnwrap; ++turn) {
        heading = (heading + 2700) % 3600;
        unit.setHeading(heading);
        for (int i = 0; i < 80 && !sawUnwrap; ++i) {
            rt.advance(100);
            unit.update();
            sawUnwrap = PanelFrame::of(unit).flags == PanelFrame::kUnwrap;
        }
    }
    EXPECT_TRUE(sawUnwrap);
    EXPECT_TRUE(PanelFrame::of(unit).line2.contains("UNWRAP"));
}

TEST(TerminalUnit, StreamKeepsItsRateInSmallEvenPieces)
{
    for (const int rate : {960, 11520, 100000}) {
        TerminalOnWire t(3, ByteLink::Kind::Tcp);
        t.model.setEcho(false);
        t.model.setStream(rate);
        t.open();
        const qint64 start = t.rt.nowNs();
        qint64 at1s = 0;
        t.rt.advance(1000);
        at1s = t.rx.size();
        t.rt.advance(9000);
        const double seconds = (t.rt.nowNs() - start) / 1e9;
        EXPECT_NEAR(t.rx.size() / seconds, rate, rate * 0.01) << rate;
        EXPECT_NEAR(double(at1s), rate, rate * 0.01 + 1) << "even from the first second";
        // Pieces: one per tick, none bigger than a tick's share (and one byte of rounding).
        const qint64 share = qint64(rate) * TerminalUnit::kStreamTickMs / 1000 + 1;
        for (size_t i = 1; i < t.chunks.size(); ++i) {
            EXPECT_LE(t.chunks[i].bytes.size(), share) << rate << " chunk " << i;
            EXPECT_LE(t.chunks[i].timeNs - t.chunks[i - 1].timeNs,
                      2 * TerminalUnit::kStreamTickMs * 1000000LL)
                << rate << " chunk " << i;
        }
        // The text is whole numbered lines of printable characters.
        const QList<QByteArray> lines = t.rx.split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            ASSERT_EQ(lines[i] + '\n', TextStream::line(i + 1)) << rate << " line " << i + 1;
        }
        EXPECT_EQ(t.model.streamedBytes(), t.rx.size());
    }
}

TEST(TerminalUnit, StreamLinesArePrintableAndNumbered)
{
    const QByteArray line = TextStream::line(7);
    EXPECT_EQ(line.size(), TextStream::kLineLength);
    EXPECT_TRUE(line.startsWith("00000007 "));
    EXPECT_TRUE(line.endsWith("\r\n"));
    for (char c : line.chopped(2))
        EXPECT_TRUE(c >= 0x20 && c < 0x7F);
    EXPECT_NE(line.mid(9), TextStream::line(8).mid(9));
    TextStream s;
    QByteArray taken = s.take(100);
    taken += s.take(44);
    EXPECT_EQ(taken, TextStream::line(1) + TextStream::line(2));
}

// A console's status lines come on their interval, one line each, about the same antenna.
TEST(TerminalUnit, StatusLinesComeOnTheirInterval)
{
    TerminalOnWire t(3, ByteLink::Kind::Tcp);
    t.model.setEcho(false);
    t.model.setStatusLines(1000);
    t.open();
    const qint64 start = t.rt.nowNs();
    t.rt.advance(3050);
    ASSERT_EQ(t.chunks.size(), 3u);
    const QRegularExpression line(QStringLiteral("^PCU AZ[ 0-9.]{6} EL[ 0-9.-]{5} AGC \\d{3} [A-Z]+\\r\\n$"));
    for (size_t i = 0; i < t.chunks.size(); ++i) {
        EXPECT_EQ(t.chunks[i].timeNs - start, qint64(i + 1) * 1000000000);
        EXPECT_TRUE(line.match(QString::fromLatin1(t.chunks[i].bytes)).hasMatch()) << t.chunks[i].bytes.constData();
    }
}
