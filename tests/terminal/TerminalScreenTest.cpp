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
    int trims = 0;
    QObject::connect(&screen, &TerminalScreen::frontRemoved, [&](const QString& removed) {
        ++trims;
        EXPECT_EQ(removed, QString(16383, 'x'));
    });
    show("de");
    EXPECT_EQ(trims, 1);
    EXPECT_EQ(screen.text().size(), 32503 - 16383 + 2);
    EXPECT_TRUE(screen.text().endsWith("abcde"));
    EXPECT_EQ(screen.shownCount() - mark, 2) << "the display grew by what was received";
    EXPECT_EQ(screen.receivedSince(mark), "de");
    EXPECT_EQ(screen.shownCount(), 32505);
}

// TCP delivers chunks far bigger than the part a trim drops: the screen must still keep to
// its limit, and the newest text must be what remains.
TEST_F(Screen, ChunksLargerThanTheTrimKeepTheScreenAtTheLimit)
{
    screen.setDataMode(true);
    std::vector<QString> removed;
    QObject::connect(&screen, &TerminalScreen::frontRemoved, [&](const QString& r) { removed.push_back(r); });
    show("old text");
    QByteArray chunk;
    for (int i = 0; chunk.size() < 100 * 1024; ++i)
        chunk += QByteArray::number(i).rightJustified(7, '0') + ' ';
    show(chunk);
    EXPECT_EQ(screen.text().size(), 32500);
    EXPECT_EQ(screen.text(), QString::fromLatin1(chunk.right(32500)));
    EXPECT_EQ(removed, std::vector<QString>{"old text"});

    // Chunks a little bigger than the trim step: the screen stays bounded.
    const QByteArray twenty(20000, 'y');
    for (int i = 0; i < 10; ++i) {
        show(twenty);
        EXPECT_LE(screen.text().size(), 32500 + 20000);
    }
    EXPECT_EQ(screen.text().size(), 32500 + 20000) << "trimmed down to the limit, then the chunk added";
    EXPECT_EQ(screen.shownCount(), 8 + chunk.size() + 200000);
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

// A stray line introducer with no CR after it must not swallow everything that follows.
TEST_F(PanelFrames, ALineRunningPastTheCapIsShownAsPlainText)
{
    show("ok\x01");
    const QByteArray flood(300, 'z');
    show(flood);
    EXPECT_EQ(screen.text(), QString("ok\x01") + QString(300, 'z'));
    EXPECT_EQ(screen.panelLine(1), "");

    // At the cap a line is still a line, also split across events; past it, plain text, and
    // the next frame is read again.
    screen.clear();
    show("\x02");
    show(QByteArray(255, 'a'));
    show("b\r\n");
    EXPECT_EQ(screen.panelLine(2), QString(255, 'a') + "b");
    EXPECT_EQ(screen.text(), "");
    show("\x02" + QByteArray(257, 'c') + "\r\n\x02L2\r\n");
    EXPECT_EQ(screen.text(), "\x02" + QString(257, 'c') + "\r\n");
    EXPECT_EQ(screen.panelLine(2), "L2");
}

} // namespace
