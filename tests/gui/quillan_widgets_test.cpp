// The terminal text area, its printing and how it keeps up with a fast line.
#include "CommLog.h"
#include "PanelDisplay.h"
#include "Prompter.h"
#include "TerminalPrinter.h"
#include "TerminalScreen.h"
#include "TerminalView.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <ctime>

TEST(TerminalView, LineEndsBreakOnceEvenWhenSplitAcrossChunks)
{
    TerminalView v;
    v.appendText(QStringLiteral("one\r"));
    v.appendText(QStringLiteral("\ntwo\nthree\rfour\x1b[D\x7f"));
    EXPECT_EQ(v.shownText(), QStringLiteral("one\ntwo\nthree\nfour\u241b[D\u2421"));
    v.resetText(QStringLiteral("fresh\r\n"));
    v.appendText(QStringLiteral("\nx"));
    EXPECT_EQ(v.shownText(), QStringLiteral("fresh\n\nx"));

    // A line that never ends is broken after a hex group, so each batch lays out little.
    v.clearText();
    QString hex;
    for (int i = 0; i < 600; ++i)
        hex += QStringLiteral("<41>");
    v.appendText(hex);
    const QStringList lines = v.shownText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[0].size(), 256);
    EXPECT_TRUE(lines[0].endsWith(QLatin1Char('>')));
    EXPECT_EQ(lines.join(QString()), hex);
}

TEST(TerminalView, ChopFollowsTheModelOrAsksForTheWholeText)
{
    TerminalView v;
    v.appendText(QStringLiteral("abc\r\ndef"));
    v.flush();
    v.appendText(QStringLiteral("gh"));
    // Two from the pending batch and one from the screen.
    EXPECT_TRUE(v.chopText(3));
    EXPECT_EQ(v.shownText(), QStringLiteral("abc\nde"));
    // A line end cannot be mapped back: the window then renders the model's text.
    EXPECT_FALSE(v.chopText(3));
    EXPECT_EQ(v.shownText(), QStringLiteral("abc\nde"));
}

TEST(TerminalView, KeyHandlerDecidesWhetherTheTextAreaEdits)
{
    TerminalView v;
    QList<int> keys;
    v.setKeyHandler([&](QKeyEvent* e) {
        keys << e->key();
        return e->key() != Qt::Key_PageUp;
    });
    v.appendText(QStringLiteral("x"));
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(&v, &a);
    QKeyEvent page(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
    QApplication::sendEvent(&v, &page);
    EXPECT_EQ(keys, (QList<int>{Qt::Key_A, Qt::Key_PageUp}));
    EXPECT_EQ(v.shownText(), QStringLiteral("x"));
}

TEST(TerminalPrinter, PrintsTheTextOverAsManyPagesAsItNeeds)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("screen.pdf")));
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("PT:  line %1\r\n").arg(i);
    const int pages = terminalprint::printText(printer, QStringLiteral("Vantrel Program Terminal"), text);
    EXPECT_GE(pages, 3);
    EXPECT_LE(pages, 8);
    EXPECT_GT(QFileInfo(printer.outputFileName()).size(), 1000);
}

// A minute of a unit talking at 115200 baud, in the chunks a serial port delivers, put
// through the screen model into the text area at the rate the window shows batches.
// The window must need only a small part of that minute of processor time (measured as
// processor time, so a busy machine does not fail the test).
TEST(TerminalView, KeepsUpWithAMinuteAt115200Baud)
{
    for (const bool hex : {false, true}) {
        ScriptedPrompter prompter;
        CommLog log(prompter);
        TerminalScreen screen(log);
        screen.setHexView(hex);
        TerminalView view;
        view.resize(900, 500);
        view.show();
        QObject::connect(&screen, &TerminalScreen::textAppended, &view, &TerminalView::appendText);
        QObject::connect(&screen, &TerminalScreen::textReset, &view, [&] { view.resetText(screen.text()); });
        QObject::connect(&screen, &TerminalScreen::frontRemoved, &view, &TerminalView::removeFront);

        constexpr int kBytes = 11520 * 60;
        constexpr int kChunk = 48;
        // 25 ms of line time between batches.
        constexpr int kBatchBytes = 288;
        QByteArray chunk;
        for (int i = 0; chunk.size() < kChunk; ++i)
            chunk += (i % 40 == 39) ? '\r' : char('A' + i % 26);
        const std::clock_t started = std::clock();
        int sinceBatch = 0;
        for (int sent = 0; sent < kBytes; sent += kChunk) {
            screen.showReceived(chunk);
            sinceBatch += kChunk;
            if (sinceBatch >= kBatchBytes) {
                sinceBatch = 0;
                view.flush();
                view.viewport()->repaint();
            }
        }
        view.flush();
        const qint64 ms = qint64(std::clock() - started) * 1000 / CLOCKS_PER_SEC;
        QTextStream(stdout) << (hex ? "hex" : "text") << " view: 60 s at 115200 baud took " << ms
                            << " ms of processor time\n";
        EXPECT_LT(ms, 15000) << (hex ? "hex view" : "text view");
        EXPECT_EQ(view.toPlainText().size() > 1000, true);
        EXPECT_LT(view.toPlainText().size(), 32500 + 32500 / 200) << "the view keeps to the screen's limit";
    }
}

// A TCP flood hands over chunks far larger than the screen. The view follows the model's
// trims by dropping its own oldest part; it never lays the whole text out again.
TEST(TerminalView, FollowsTrimsOfAFloodWithoutResettingItsText)
{
    ScriptedPrompter prompter;
    CommLog log(prompter);
    TerminalScreen screen(log);
    TerminalView view;
    view.resize(900, 500);
    view.show();
    QObject::connect(&screen, &TerminalScreen::textAppended, &view, &TerminalView::appendText);
    QObject::connect(&screen, &TerminalScreen::frontRemoved, &view, &TerminalView::removeFront);
    int resets = 0;
    QObject::connect(view.document(), &QTextDocument::contentsChange,
                     [&](int, int removed, int added) { resets += removed > 0 && added > 0; });

    QByteArray line = QByteArray(70, 'q') + "\r\n";
    for (int round = 0; round < 30; ++round) {
        QByteArray chunk;
        while (chunk.size() < 3000 + round * 700)
            chunk += QByteArray::number(round) + line;
        screen.showReceived(chunk);
        if (round % 3 == 0)
            view.flush();
        if (round == 20)
            screen.showReceived("\x7f\x01 no line end here, then a long one: " + QByteArray(600, 'w') + "\r");
    }
    view.flush();
    QString model = screen.text();
    model.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(view.toPlainText(), model);
    EXPECT_EQ(resets, 0);

    screen.showReceived(QByteArray(40000, 'F'));
    view.flush();
    QString shown = view.toPlainText();
    EXPECT_EQ(shown.remove(QLatin1Char('\n')), QString(32500, 'F')) << "only the newest part of the chunk";
    EXPECT_EQ(resets, 0);
}
