#include "TerminalScreen.h"
#include "CommLog.h"
#include "Prompter.h"

#include <gtest/gtest.h>

namespace {

struct Screen : ::testing::Test {
    ScriptedPrompter prompter;
    CommLog log{prompter};
    TerminalScreen screen{log};
    void show(const QByteArray& bytes) { screen.showReceived(bytes); }
};

TEST_F(Screen, BackspaceBlankBackspaceErasesOneCharacterEvenAcrossChunks)
{
    show("abc\b \b");
    EXPECT_EQ(screen.text(), "ab");
    screen.clear();
    show("abc\b");
    show(" \b");
    EXPECT_EQ(screen.text(), "ab");
    show("\b\b\b\bz");
    EXPECT_EQ(screen.text(), "z") << "backspaces on an empty screen do nothing";
}

TEST_F(Screen, LineEndsAreNormalisedExceptInDataMode)
{
    show("a\r\nb\nc\r");
    EXPECT_EQ(screen.text(), "a\r\nbc\r\n");
    screen.clear();
    screen.setDataMode(true);
    show("a\r\nb\nc\r");
    EXPECT_EQ(screen.text(), "a\r\nb\nc\r");
}

TEST_F(Screen, HexViewShowsEveryCodeInAngleBrackets)
{
    screen.setDataMode(true);
    screen.setHexView(true);
    show(QByteArray("\rA\x01\xff", 4));
    EXPECT_EQ(screen.text(), "<0D><41><01><FF>");
    EXPECT_EQ(screen.shownCount(), 16);
}

TEST_F(Screen, TrimDropsTheOldestTextButTheShownCountOnlyGrows)
{
    screen.setDataMode(true);
    show(QByteArray(TerminalScreen::kTrimLimit, 'x'));
    show("abc");
    EXPECT_EQ(screen.text().size(), 32503) << "the limit is checked before the text is added";
    const qint64 mark = screen.shownCount();
    int resets = 0;
    QObject::connect(&screen, &TerminalScreen::textReset, [&] { ++resets; });
    show("de");
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(screen.text().size(), 32503 - 16383 + 2);
    EXPECT_TRUE(screen.text().endsWith("abcde"));
    EXPECT_EQ(screen.shownCount() - mark, 2) << "the display grew by what was received";
    EXPECT_EQ(screen.receivedSince(mark), "de");
    EXPECT_EQ(screen.shownCount(), 32505);
}

TEST_F(Screen, OwnMessagesAreShownButNotCountedAsReceived)
{
    const qint64 mark = screen.shownCount();
    screen.showLine("PT:  Waiting");
    EXPECT_EQ(screen.text(), "PT:  Waiting\r\n");
    EXPECT_EQ(screen.shownCount(), mark);
    EXPECT_EQ(screen.receivedSince(mark), QString());
}

struct PanelFrames : Screen {
    void SetUp() override
    {
        screen.setPanelFrames(true);
        QObject::connect(&screen, &TerminalScreen::legendsChanged,
                         [this](const QString& u, const QString& t) { legends.push_back(u + "|" + t); });
    }
    std::vector<QString> legends;
};

TEST_F(PanelFrames, LegendFlagsSetAndClearBothLegends)
{
    show("\x06\x0c");
    EXPECT_EQ(screen.unwrapLegend(), "UNWRAP");
    EXPECT_EQ(screen.trackingLegend(), "TRACKING");
    show(QByteArray("\x06\x00", 2));
    EXPECT_EQ(screen.unwrapLegend(), "");
    EXPECT_EQ(screen.trackingLegend(), "");
    show("\x06");
    show("\x08");
    EXPECT_EQ(screen.unwrapLegend(), "");
    EXPECT_EQ(screen.trackingLegend(), "TRACKING");
    EXPECT_EQ(legends, (std::vector<QString>{"UNWRAP|TRACKING", "|", "|TRACKING"}));
    EXPECT_EQ(screen.text(), "");
}

TEST_F(PanelFrames, FourDisplayLinesAndPlainTextBetweenThem)
{
    show("ab\x01Line one\r\ncd\x02Two\r\x03"
         "12\x04"
         "BRIGx\x05y");
    EXPECT_EQ(screen.panelLine(1), "Line one");
    EXPECT_EQ(screen.panelLine(2), "Two");
    EXPECT_EQ(screen.panelLine(3), "12");
    EXPECT_EQ(screen.panelLine(4), "BRIG");
    EXPECT_EQ(screen.text(), "abcdxy");
}

TEST_F(PanelFrames, FramesSpanReceiveEvents)
{
    for (const char* piece : {"pre\x01Li", "ne ", "one", "\r", "\nmid\x03", "9", "8\x04", "12", "34", "post"})
        show(piece);
    EXPECT_EQ(screen.panelLine(1), "Line one");
    EXPECT_EQ(screen.panelLine(3), "98");
    EXPECT_EQ(screen.panelLine(4), "1234");
    EXPECT_EQ(screen.text(), "premidpost");
    EXPECT_EQ(screen.shownCount(), 10);
}

} // namespace
