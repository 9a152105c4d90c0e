// The unit's panel frames, read by the programming terminal's own screen model: what the
// simulator sends is what the terminal expects, even in pieces.
#include "UnitOnWire.h"

#include <CommLog.h>
#include <PanelFrames.h>
#include <Prompter.h>
#include <TerminalScreen.h>

#include <gtest/gtest.h>

TEST(TerminalFramesCross, TheTerminalShowsTheUnitsPanelLinesAndLegends)
{
    for (const int piece : {0, 3}) {
        TerminalOnWire t(3, ByteLink::Kind::Tcp);
        ScriptedPrompter prompter;
        CommLog log(prompter);
        TerminalScreen screen(log);
        screen.setPanelFrames(true);
        QObject::connect(&t.link, &ByteLink::received,
                         [&](const QByteArray& bytes) { screen.showReceived(bytes); });

        t.model.setSplit(piece, 5);
        t.model.setPanelFrames(500);
        t.model.unit().setBlockagesEnabled(false);
        t.open();
        t.rt.advance(60000);
        t.link.write("V\r\n");
        t.rt.advance(600);

        const PanelFrame now = PanelFrame::of(t.model.unit());
        EXPECT_EQ(screen.panelLine(1), QString::fromLatin1(now.line1.leftJustified(PanelFrame::kLineWidth)));
        EXPECT_EQ(screen.panelLine(2), QString::fromLatin1(now.line2.leftJustified(PanelFrame::kLineWidth)));
        EXPECT_EQ(screen.panelLine(3), QString::fromLatin1(now.bargraph));
        EXPECT_EQ(screen.panelLine(4), QStringLiteral("0075"));
        EXPECT_EQ(screen.trackingLegend(), QStringLiteral("TRACKING"));
        EXPECT_EQ(screen.unwrapLegend(), QString());
        // Only the echo and the answer reach the text, on lines of their own.
        EXPECT_EQ(screen.text(), QStringLiteral("V\r\nQVR TERMINAL UNIT VER 1.00 SIM\r\n"))
            << "pieces of " << piece;
    }
}
