// What the graph costs the UI thread: one sample through `Pgraph` (store, capture line,
// four points, and every tenth sample of a full plot the scrolling redraw), and one full
// redraw of 630 columns, both onto the window's picture at the size of an 845 x 380
// plot; and one sample with no picture at all, the engine's own share.
#include "GraphEngine.h"
#include "GraphPainter.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {
PanelSample sample(int n)
{
    PanelSample s;
    s.DispCL = qint16(std::lround(30 * std::sin(n * 0.05)));
    s.DispLV = qint16(std::lround(20 * std::sin(n * 0.08)));
    s.DispAZ = qint16(n % 17 - 8);
    s.elevation = 352;
    s.azimuth = qint16(1200 + n % 40);
    s.relativeAzimuthText = QStringLiteral("123.4");
    s.timeOfDay = QTime(12, 0, 0);
    return s;
}

void fill(GraphEngine& engine, GraphMode mode)
{
    engine.selectMode(mode);
    for (int n = 0; n < 700; ++n)
        engine.plot(sample(n));
}

void BM_PlotSampleOnPicture(benchmark::State& state)
{
    ImageCanvas canvas;
    canvas.resize(QSize(845, 380), 1.0);
    GraphEngine engine;
    engine.setCanvas(&canvas);
    fill(engine, GraphMode(state.range(0)));
    int n = 0;
    for (auto _ : state)
        engine.plot(sample(n++));
    benchmark::DoNotOptimize(canvas.image());
    state.SetItemsProcessed(state.iterations());
}

void BM_PlotSampleNoPicture(benchmark::State& state)
{
    GraphEngine engine;
    fill(engine, GraphMode::Admc);
    int n = 0;
    for (auto _ : state)
        engine.plot(sample(n++));
    state.SetItemsProcessed(state.iterations());
}

void BM_FullRedrawOnPicture(benchmark::State& state)
{
    ImageCanvas canvas;
    canvas.resize(QSize(845, 380), state.range(1) / 10.0);
    GraphEngine engine;
    engine.setCanvas(&canvas);
    fill(engine, GraphMode(state.range(0)));
    for (auto _ : state) {
        engine.redraw();
        benchmark::DoNotOptimize(canvas.image());
    }
}
} // namespace

BENCHMARK(BM_PlotSampleOnPicture)->Arg(0)->Arg(6)->ArgName("mode");
BENCHMARK(BM_PlotSampleNoPicture);
BENCHMARK(BM_FullRedrawOnPicture)->Args({0, 10})->Args({0, 20})->Args({6, 10})->ArgNames({"mode", "dpr_x10"});

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
