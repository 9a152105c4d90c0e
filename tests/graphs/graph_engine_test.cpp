#include "GraphEngine.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

namespace {
// The colours the engine starts with.
constexpr quint32 kBack = 2039583, kGrid = 5197646, kHome = 255;
constexpr quint32 kT1 = 65535, kT2 = 65280, kT3 = 16776960, kT4 = 16777215;

PanelSample sensor(int cl, int lv, int az, int phase = 0)
{
    PanelSample s;
    s.DispCL = qint16(cl);
    s.DispLV = qint16(lv);
    s.DispAZ = qint16(az);
    s.DispPhase = qint16(phase);
    return s;
}

struct EngineTest : ::testing::Test {
    EngineTest() { engine.setCanvas(&canvas); }
    GraphEngine engine;
    RecordingCanvas canvas;
};
} // namespace

TEST_F(EngineTest, FullStripRedrawsTheLast630ThenPlotsOnFrom630)
{
    QStringList lines;
    engine.onCaptureLine = [&lines](const QString& line) { lines << line; };
    engine.selectMode(GraphMode::DispV);
    auto sample = [](int n) { return sensor(n % 50, -(n % 20), 3); };
    for (int n = 1; n <= 639; ++n)
        engine.plot(sample(n));
    canvas.ops.clear();

    engine.plot(sample(640));
    // Baselines 70, 150, 230 with no centres; the signal trace is not shown in this mode.
    ASSERT_GE(canvas.ops.size(), 4u);
    EXPECT_EQ(std::vector<DrawOp>(canvas.ops.begin(), canvas.ops.begin() + 4),
              (std::vector<DrawOp>{pointOp(639, 30, kT1), pointOp(639, 150, kT2), pointOp(639, 227, kT3),
                                   DrawOp{DrawOp::Clear, 0, 0, 0, 0, kBack}}));
    const std::vector<DrawOp> redraw = canvas.lastRedraw();
    const std::vector<DrawOp> gridAndHome = canvas.ofKind(DrawOp::Line, redraw);
    ASSERT_EQ(gridAndHome.size(), 65u + 49u + 3u);
    EXPECT_EQ(gridAndHome[0], lineOp(0, 1, 0, 480, kGrid));
    EXPECT_EQ(gridAndHome[64], lineOp(640, 1, 640, 480, kGrid));
    EXPECT_EQ(gridAndHome[65], lineOp(0, 0, 639, 0, kGrid));
    EXPECT_EQ(gridAndHome[113], lineOp(0, 480, 639, 480, kGrid));
    EXPECT_EQ(gridAndHome[114], lineOp(0, 70, 639, 70, kHome));
    EXPECT_EQ(gridAndHome[115], lineOp(0, 150, 639, 150, kHome));
    EXPECT_EQ(gridAndHome[116], lineOp(0, 230, 639, 230, kHome));
    const std::vector<DrawOp> points = canvas.ofKind(DrawOp::Point, redraw);
    ASSERT_EQ(points.size(), 630u * 3);
    // Samples 11 to 640 at columns 0 to 629.
    EXPECT_EQ(points[0], pointOp(0, 59, kT1));
    EXPECT_EQ(points[1], pointOp(0, 161, kT2));
    EXPECT_EQ(points[1887], pointOp(629, 30, kT1));

    canvas.ops.clear();
    engine.plot(sample(641));
    EXPECT_EQ(canvas.ops.front(), pointOp(630, 29, kT1));
    EXPECT_EQ(lines.size(), 641);
    EXPECT_EQ(lines.last(), QStringLiteral(", 41,-1, 3,"));

    for (int n = 642; n <= 1280; ++n)
        engine.plot(sample(n));
    EXPECT_EQ(engine.buffer().sampleCount(), 640);
    EXPECT_EQ(engine.buffer().xPos(), 630);
}

TEST_F(EngineTest, AdmcTracesCentreOnTheirFirstValueAndExtAgcIsInVolts)
{
    engine.selectMode(GraphMode::Admc);
    engine.selectTrace(2, 6);
    EXPECT_EQ(engine.layout().scales[2].caption, QStringLiteral("2 Volts / Div"));
    PanelSample s;
    s.elevation = 352;
    s.azimuth = 1234;
    s.agc = 170;
    s.externalAgcText = QStringLiteral("1234");
    engine.plot(s);
    s.elevation = 362;
    s.externalAgcText = QStringLiteral("1534");
    s.agc = 160;
    canvas.ops.clear();
    engine.plot(s);
    EXPECT_EQ(canvas.ops, (std::vector<DrawOp>{pointOp(1, 60, kT1), pointOp(1, 150, kT2),
                                               pointOp(1, 227, kT3), pointOp(1, 310, kT4)}));
    EXPECT_EQ(engine.centres(), (std::array<qint16, 4>{352, 1234, 12, 170}));

    engine.selectTrace(2, 2);
    EXPECT_EQ(engine.layout().scales[2].caption, QStringLiteral("10 Deg / Div"));
    engine.selectTrace(2, 3);
    EXPECT_EQ(engine.layout().scales[2].caption, QStringLiteral("1 Deg / Div"));
    EXPECT_EQ(engine.centres()[2], 0);
}

TEST_F(EngineTest, SixteenBitOverflowOfTracesAndCentresWraps)
{
    engine.selectMode(GraphMode::Admc);
    engine.selectTrace(2, 4); // HDG+REL
    PanelSample s;
    s.heading = 32000;
    s.relativeAzimuth = 767;
    engine.plot(s); // centre 32767
    s.heading = 32767;
    s.relativeAzimuth = 1; // the sum wraps to -32768
    canvas.ops.clear();
    engine.plot(s);
    ASSERT_EQ(canvas.ops.size(), 4u);
    EXPECT_EQ(canvas.ops[2], pointOp(1, 229, kT3));
}

TEST_F(EngineTest, CenterAllTouchesOnlyItsModesTraces)
{
    PanelSample now = sensor(5, 6, 40);
    now.agc = 90;
    engine.hooks().currentSample = [&now] { return now; };
    for (GraphMode mode :
         {GraphMode::DispIvc, GraphMode::DispV, GraphMode::DispW, GraphMode::DispTc, GraphMode::Spectrum}) {
        engine.selectMode(mode);
        engine.undoCenterAll(); // nothing to undo yet: the copy is all zero
        engine.centerAll();
        const std::array<qint16, 4> expected = mode == GraphMode::DispV ? std::array<qint16, 4>{0, 0, 40, 0}
                                                                        : std::array<qint16, 4>{0, 0, 0, 90};
        EXPECT_EQ(engine.centres(), expected) << int(mode);
        engine.undoCenterAll();
        EXPECT_EQ(engine.centres(), (std::array<qint16, 4>{0, 0, 0, 0})) << int(mode);
    }

    engine.selectMode(GraphMode::Admc);
    PanelSample s;
    s.elevation = 100;
    s.azimuth = 200;
    s.relativeAzimuth = 300;
    s.agc = 50;
    engine.plot(s);
    engine.centerAll();
    EXPECT_EQ(engine.centres(), (std::array<qint16, 4>{0, 0, 0, 0}));
    engine.undoCenterAll();
    EXPECT_EQ(engine.centres(), (std::array<qint16, 4>{100, 200, 300, 50}));
}

TEST_F(EngineTest, XyPatternCentresOnTheMeanUnlessAutoCenterIsOn)
{
    engine.selectMode(GraphMode::NutaraXy);
    engine.centerAll(); // no samples yet: no mean, offsets stay
    EXPECT_EQ(engine.xyOffsets(), (std::array<int, 3>{0, 0, 0}));
    engine.plot(sensor(10, 20, 30));
    engine.plot(sensor(20, 40, 50));
    engine.plot(sensor(400, 0, 0)); // 2000 units across: never drawn
    engine.centerAll();
    // Means of 143.33, 20 and 26.67 plot units, times five.
    EXPECT_EQ(engine.xyOffsets(), (std::array<int, 3>{717, 100, 133}));
    EXPECT_TRUE(engine.showPhase());

    const std::vector<DrawOp> redraw = canvas.lastRedraw();
    const std::vector<DrawOp> lines = canvas.ofKind(DrawOp::Line, redraw);
    ASSERT_EQ(lines.size(), 65u + 49u + 2u + 9u + 7u);
    EXPECT_EQ(lines[114], lineOp(0, 180, 639, 180, kHome));
    EXPECT_EQ(lines[115], lineOp(320, 1, 320, 430, kHome));
    EXPECT_EQ(lines[116], lineOp(140, 175, 140, 185, kHome));
    EXPECT_EQ(lines[124], lineOp(500, 175, 500, 185, kHome));
    EXPECT_EQ(lines[125], lineOp(315, 45, 325, 45, kHome));
    EXPECT_EQ(lines[131], lineOp(315, 315, 325, 315, kHome));
    EXPECT_EQ(canvas.ofKind(DrawOp::Arc, redraw),
              (std::vector<DrawOp>{{DrawOp::Arc, 320, 180, 35, 0, kHome, 5.78, 0.5},
                                   {DrawOp::Arc, 320, 180, 45, 0, kHome, 5.78, 0.5}}));
    // A = 150 - 133, V = 100 - 100; then A = 117, V = 100. Pattern points in colour T4,
    // each followed by its phase point on the circle of 40 in colour T1.
    EXPECT_EQ(canvas.ofKind(DrawOp::Point, redraw),
              (std::vector<DrawOp>{pointOp(337, 180, kT4), pointOp(360, 180, kT1), pointOp(437, 80, kT4),
                                   pointOp(350, 154, kT1)}));

    engine.toggleAutoCenter();
    EXPECT_TRUE(engine.autoCenter());
    EXPECT_EQ(canvas.ofKind(DrawOp::Point, canvas.lastRedraw()),
              (std::vector<DrawOp>{pointOp(470, 80, kT4), pointOp(353, 158, kT1), pointOp(570, -20, kT4),
                                   pointOp(351, 155, kT1)}));

    engine.toggleAutoCenter();
    engine.moveXy(GraphEngine::XyMove::Up);
    engine.moveXy(GraphEngine::XyMove::Left);
    EXPECT_EQ(engine.xyOffsets(), (std::array<int, 3>{717, 90, 143}));
}

TEST_F(EngineTest, SpectrumSweepAsksEachThirdPointAndDrawsWhatArrived)
{
    engine.selectMode(GraphMode::Spectrum);
    ASSERT_TRUE(engine.sweepRunning());
    EXPECT_EQ(engine.sweepTick(), QByteArray("c0937\r\n"));
    EXPECT_EQ(engine.sweepIndex(), 0);
    EXPECT_EQ(engine.sweepTick(), QByteArray("c0940\r\n"));
    EXPECT_EQ(engine.sweepIndex(), 3);
    canvas.ops.clear();
    engine.spectrumPoint(0, 80);
    engine.spectrumPoint(3, 95);
    EXPECT_EQ(canvas.ops, (std::vector<DrawOp>{lineOp(0, 160, 3, 145, kT4)}));

    // Clear starts the sweep over at its first frequency.
    engine.clear();
    EXPECT_EQ(engine.sweepFrequency(), 937);
    QByteArray last;
    int commands = 0;
    while (std::optional<QByteArray> c = engine.sweepTick()) {
        last = *c;
        ++commands;
    }
    EXPECT_EQ(commands, 200);
    EXPECT_EQ(last, QByteArray("c1534\r\n"));
    EXPECT_FALSE(engine.sweepRunning());
    engine.spectrumPoint(0, 80);
    engine.spectrumPoint(3, 95);
    engine.spectrumPoint(6, 70);
    engine.redraw();
    EXPECT_EQ(canvas.ofKind(DrawOp::Line, canvas.lastRedraw()).back(), lineOp(3, 145, 6, 170, kT4));
}

// The previous mode's last sample, answered after the spectrum was chosen, must not put the
// sweep's points off their steps of three.
TEST_F(EngineTest, ALateSampleDoesNotShiftTheSweep)
{
    engine.selectMode(GraphMode::DispIvc);
    engine.selectMode(GraphMode::Spectrum);
    PanelSample late;
    late.DispCL = 5;
    engine.plot(late);
    EXPECT_EQ(engine.sweepTick(), QByteArray("c0937\r\n"));
    EXPECT_EQ(engine.sweepIndex(), 0);
    EXPECT_EQ(engine.sweepTick(), QByteArray("c0940\r\n"));
    EXPECT_EQ(engine.sweepIndex(), 3);
    canvas.ops.clear();
    engine.spectrumPoint(0, 80);
    engine.spectrumPoint(3, 95);
    EXPECT_EQ(canvas.ops, (std::vector<DrawOp>{lineOp(0, 160, 3, 145, kT4)}));
}

TEST_F(EngineTest, StripRedrawOfEachModeDrawsItsBaselinesAndTraces)
{
    PanelSample s = sensor(5, -5, 10, 3);
    s.elevation = 352;
    s.azimuth = 1234;
    s.relativeAzimuth = 100;
    s.agc = 170;
    // The position graph centres each trace on its first value and shows the signal.
    const std::vector<DrawOp> admc{lineOp(0, 70, 639, 70, kHome),
                                   lineOp(0, 150, 639, 150, kHome),
                                   lineOp(0, 230, 639, 230, kHome),
                                   lineOp(0, 300, 639, 300, kHome),
                                   pointOp(0, 70, kT1),
                                   pointOp(0, 150, kT2),
                                   pointOp(0, 230, kT3),
                                   pointOp(0, 300, kT4)};
    const std::vector<DrawOp> sensors{lineOp(0, 70, 639, 70, kHome),
                                      lineOp(0, 150, 639, 150, kHome),
                                      lineOp(0, 230, 639, 230, kHome),
                                      pointOp(0, 65, kT1),
                                      pointOp(0, 155, kT2),
                                      pointOp(0, 220, kT3)};
    for (GraphMode mode :
         {GraphMode::Admc, GraphMode::DispIvc, GraphMode::DispV, GraphMode::DispW, GraphMode::DispTc}) {
        engine.selectMode(mode);
        engine.plot(s);
        engine.redraw();
        const std::vector<DrawOp> redraw = canvas.lastRedraw();
        ASSERT_GT(redraw.size(), 115u) << int(mode);
        EXPECT_EQ(redraw.front(), (DrawOp{DrawOp::Clear, 0, 0, 0, 0, kBack})) << int(mode);
        // After the background and the 114 grid lines.
        EXPECT_EQ(std::vector<DrawOp>(redraw.begin() + 115, redraw.end()),
                  mode == GraphMode::Admc ? admc : sensors)
            << int(mode);
    }
}
