#include "GraphSession.h"
#include "PanelRig.h"
#include "RecordingCanvas.h"

namespace {
struct GraphSessionTest : PanelRig {
    GraphSessionTest()
    {
        graph.engine().setCanvas(&canvas);
        // The unit's level three times the point's number, so every point differs.
        for (int f = 937, i = 0; f <= 1534; f += 3, ++i)
            unit.replies[QByteArray("c") + QByteArray::number(f).rightJustified(4, '0')] =
                "L" + QByteArray::number(3 * i).rightJustified(4, '0');
    }
    std::vector<Sent> sentFrom(qint64 ms) const
    {
        std::vector<Sent> out;
        for (const Sent& s : sent())
            if (s.ms >= ms)
                out.push_back(s);
        return out;
    }
    GraphSession graph{session};
    RecordingCanvas canvas;
};
} // namespace

TEST_F(GraphSessionTest, SpectrumSweepTakesThePollTickUntil600Points)
{
    startOn(kAntenna);
    rt.advance(3000);
    graph.engine().selectMode(GraphMode::Spectrum);
    rt.advance(1300);
    EXPECT_EQ(sentFrom(3001),
              (std::vector<Sent>{{3800, "c0937\r\n"}, {4000, "c0940\r\n"}, {4200, "c0943\r\n"}}));
    // Each level is drawn as it arrives, joined to the one before, around the signal's
    // centre (100, from the position graph's first sample).
    EXPECT_EQ(canvas.ofKind(DrawOp::Line, canvas.ops).back(), lineOp(3, 339, 6, 338, 16777215));

    rt.advance(200 * 200);
    const std::vector<Sent> all = sentFrom(3001);
    ASSERT_EQ(all.size(), 200u);
    EXPECT_EQ(all.back(), (Sent{3800 + 199 * 200, "c1534\r\n"}));
    EXPECT_FALSE(graph.engine().sweepRunning());
    EXPECT_TRUE(poll().pollSequence().isEmpty());
    EXPECT_EQ(state().spectrum[597], 199);
    graph.engine().redraw();
    EXPECT_EQ(canvas.ofKind(DrawOp::Line, canvas.lastRedraw()).back(), lineOp(594, 142, 597, 141, 16777215));

    // Chosen again, the sweep runs again although the last one left nothing to poll.
    graph.engine().selectMode(GraphMode::Spectrum);
    const qint64 again = rt.now();
    rt.advance(1000);
    ASSERT_EQ(sentFrom(again + 1).size(), 2u);
    EXPECT_EQ(sentFrom(again + 1).front(), (Sent{again + 800, "c0937\r\n"}));
}

TEST_F(GraphSessionTest, PositionGraphPlotsEachHeadingReplyAndHandsOnItsLine)
{
    QStringList lines;
    graph.engine().onCaptureLine = [&lines](const QString& line) { lines << line; };
    startOn(kAntenna);
    graph.engine().selectMode(GraphMode::Admc);
    EXPECT_EQ(poll().pollSequence().text(), QByteArray("SPHuSPHqSPH@SPH!?   S"));
    EXPECT_EQ(session.parser().graphMode(), 0);
    rt.advance(5000);
    // One "H" in each run of four commands after the 600 ms pause.
    EXPECT_GE(graph.engine().buffer().sampleCount(), 5);
    ASSERT_EQ(lines.size(), graph.engine().buffer().sampleCount());
    EXPECT_TRUE(lines.last().contains(QStringLiteral(",12.3,123.4,1.2,10.0,20.0,")))
        << lines.last().toStdString();

    graph.engine().selectMode(GraphMode::DispV);
    EXPECT_EQ(session.parser().graphMode(), 2);
}
