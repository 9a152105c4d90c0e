#include "CaptureBuffer.h"

#include "PanelState.h"

#include <gtest/gtest.h>

namespace {
const QTime kNoon(12, 0, 0);

// One live sample in a sensor mode: plot position first, then advance, as the engine does.
// DispCL carries the sample's number so the tests can tell samples apart.
struct Plotted {
    int slot;
    int column;
    bool redraw;
};

Plotted takeSample(CaptureBuffer& buffer, GraphMode mode, int number)
{
    PanelSample s;
    s.DispCL = qint16(number);
    const int column = buffer.xPos();
    const int slot = buffer.record(mode, s, AdmcTraceSources{}, kNoon);
    return {slot, column, buffer.advance(mode)};
}

void takeSamples(CaptureBuffer& buffer, GraphMode mode, int count, int firstNumber = 1)
{
    for (int i = 0; i < count; ++i)
        takeSample(buffer, mode, firstNumber + i);
}
} // namespace

TEST(CaptureBufferColumns, FullPlotScrollsLeftTenColumnsWithARedraw)
{
    CaptureBuffer buffer;
    takeSamples(buffer, GraphMode::DispV, 639);
    EXPECT_EQ(buffer.xPos(), 639);

    const Plotted p640 = takeSample(buffer, GraphMode::DispV, 640);
    EXPECT_EQ(p640.column, 639);
    EXPECT_EQ(p640.slot, 639);
    EXPECT_TRUE(p640.redraw);
    EXPECT_EQ(buffer.xPos(), 630);

    // The redraw shows the last 630 samples (numbers 11 to 640) at columns 0 to 629.
    const std::vector<int> replayed = buffer.stripReplaySlots();
    ASSERT_EQ(replayed.size(), 630u);
    EXPECT_EQ(replayed.front(), 10);
    EXPECT_EQ(replayed.back(), 639);
    EXPECT_EQ(buffer.value(1, replayed.front()), 11);
    EXPECT_EQ(buffer.value(1, replayed.back()), 640);

    const Plotted p641 = takeSample(buffer, GraphMode::DispV, 641);
    EXPECT_EQ(p641.column, 630);
    EXPECT_EQ(p641.slot, 0);
    EXPECT_FALSE(p641.redraw);

    // From now on every tenth sample scrolls again.
    int redraws = 0;
    for (int n = 642; n <= 671; ++n) {
        const Plotted p = takeSample(buffer, GraphMode::DispV, n);
        if (p.redraw) {
            ++redraws;
            EXPECT_EQ(p.column, 639);
        }
    }
    EXPECT_EQ(redraws, 3);
}

TEST(CaptureBufferColumns, OnlyStripChartModesAskForTheScrollRedraw)
{
    const bool expected[] = {true, true, true, true, true, false, false};
    for (int m = 0; m < 7; ++m) {
        CaptureBuffer buffer;
        takeSamples(buffer, GraphMode(m), 639);
        EXPECT_EQ(takeSample(buffer, GraphMode(m), 640).redraw, expected[m]) << m;
        EXPECT_EQ(buffer.xPos(), 630) << m;
    }
}

TEST(CaptureBufferRing, FoldsAt1280WithoutASlotJump)
{
    CaptureBuffer buffer;
    takeSamples(buffer, GraphMode::DispIvc, 1279);
    EXPECT_EQ(buffer.sampleCount(), 1279);
    EXPECT_EQ(buffer.nextSlot(), 639);

    EXPECT_EQ(takeSample(buffer, GraphMode::DispIvc, 1280).slot, 639);
    EXPECT_EQ(buffer.sampleCount(), 640);
    EXPECT_EQ(buffer.nextSlot(), 0);

    // Over several folds each sample lands in the slot after the previous one.
    int previous = 639;
    for (int n = 1281; n <= 3300; ++n) {
        const int slot = takeSample(buffer, GraphMode::DispIvc, n).slot;
        ASSERT_EQ(slot, (previous + 1) % 640) << "sample " << n;
        previous = slot;
        ASSERT_GE(buffer.sampleCount(), 640);
        ASSERT_LT(buffer.sampleCount(), 1280);
    }
}

TEST(CaptureBufferRing, ReplayAfterTheFoldRunsOldestFirstAcrossSlotZero)
{
    CaptureBuffer buffer;
    takeSamples(buffer, GraphMode::DispTc, 1285);
    EXPECT_EQ(buffer.sampleCount(), 645);
    EXPECT_EQ(buffer.xPos(), 635);

    const std::vector<int> replayed = buffer.stripReplaySlots();
    ASSERT_EQ(replayed.size(), 635u);
    EXPECT_EQ(replayed[0], 10);
    EXPECT_EQ(replayed[629], 639);
    EXPECT_EQ(replayed[630], 0);
    EXPECT_EQ(replayed[634], 4);
    // Samples 651 to 1285, oldest at column 0.
    EXPECT_EQ(buffer.value(1, replayed[0]), 651);
    for (size_t i = 1; i < replayed.size(); ++i)
        ASSERT_EQ(buffer.value(1, replayed[i]), buffer.value(1, replayed[i - 1]) + 1) << "column " << i;
    EXPECT_EQ(buffer.value(1, replayed.back()), 1285);
}

TEST(CaptureBufferRing, XyReplayCoversTheStoredSlotsAndClearEmptiesThem)
{
    CaptureBuffer buffer;
    takeSamples(buffer, GraphMode::NutaraXy, 5);
    EXPECT_EQ(buffer.xyReplaySlots(), (std::vector<int>{0, 1, 2, 3, 4}));
    takeSamples(buffer, GraphMode::NutaraXy, 700);
    const std::vector<int> all = buffer.xyReplaySlots();
    ASSERT_EQ(all.size(), 640u);
    EXPECT_EQ(all.back(), 639);

    buffer.clear();
    EXPECT_TRUE(buffer.stripReplaySlots().empty());
    EXPECT_TRUE(buffer.xyReplaySlots().empty());
    const Plotted first = takeSample(buffer, GraphMode::NutaraXy, 1);
    EXPECT_EQ(first.slot, 0);
    EXPECT_EQ(first.column, 0);
}

namespace {
PanelSample admcValues()
{
    PanelSample s;
    s.crossLevel = -5;
    s.elevation = 352;
    s.azimuth = 1234;
    s.relativeAzimuth = 100;
    s.heading = 2703;
    s.agc = 170;
    s.polarisationText = QStringLiteral(" 45");
    s.externalAgcText = QStringLiteral("1234");
    return s;
}

qint16 thirdTrace(ThirdTraceSource source, const PanelSample& s)
{
    CaptureBuffer buffer;
    const int slot =
        buffer.record(GraphMode::Admc, s, AdmcTraceSources{AxisSource::CL, AxisSource::CL, source}, kNoon);
    return buffer.value(3, slot);
}
} // namespace

TEST(CaptureBufferStore, AdmcTracesFollowTheirSources)
{
    CaptureBuffer buffer;
    const PanelSample s = admcValues();
    int slot = buffer.record(GraphMode::Admc, s, AdmcTraceSources{}, kNoon);
    // Choosing ADMC shows LV, AZ and REL; the fourth trace is always the signal.
    EXPECT_EQ(buffer.value(1, slot), 352);
    EXPECT_EQ(buffer.value(2, slot), 1234);
    EXPECT_EQ(buffer.value(3, slot), 100);
    EXPECT_EQ(buffer.value(4, slot), 170);

    buffer.advance(GraphMode::Admc);
    slot = buffer.record(GraphMode::Admc, s,
                         AdmcTraceSources{AxisSource::CL, AxisSource::LV, ThirdTraceSource::AZ}, kNoon);
    EXPECT_EQ(buffer.value(1, slot), -5);
    EXPECT_EQ(buffer.value(2, slot), 352);
    EXPECT_EQ(buffer.value(3, slot), 1234);

    EXPECT_EQ(thirdTrace(ThirdTraceSource::HDG, s), 2703);
    EXPECT_EQ(thirdTrace(ThirdTraceSource::HdgPlusRel, s), 2803);
    EXPECT_EQ(thirdTrace(ThirdTraceSource::POL, s), 45);
    // Ext AGC in volts: 1234 hundredths.
    EXPECT_EQ(thirdTrace(ThirdTraceSource::ExtAgc, s), 12);
}

TEST(CaptureBufferStore, DividedTracesRoundHalvesToEven)
{
    PanelSample s = admcValues();
    const std::pair<qint16, qint16> relTenths[] = {{15, 2}, {25, 2}, {35, 4}, {-25, -2}, {-26, -3}, {4, 0}};
    for (const auto& [rel, expected] : relTenths) {
        s.relativeAzimuth = rel;
        EXPECT_EQ(thirdTrace(ThirdTraceSource::RelDiv10, s), expected) << rel;
    }
    const std::pair<const char*, qint16> extAgc[] = {{"1250", 12}, {"1350", 14}, {"-150", -2}, {"", 0}};
    for (const auto& [text, expected] : extAgc) {
        s.externalAgcText = QString::fromLatin1(text);
        EXPECT_EQ(thirdTrace(ThirdTraceSource::ExtAgc, s), expected) << text;
    }
}

TEST(CaptureBufferStore, SixteenBitOverflowWrapsInsteadOfStopping)
{
    PanelSample s = admcValues();
    s.heading = 32000;
    s.relativeAzimuth = 1000;
    EXPECT_EQ(thirdTrace(ThirdTraceSource::HdgPlusRel, s), -32536);
    s.heading = -32768;
    s.relativeAzimuth = -1;
    EXPECT_EQ(thirdTrace(ThirdTraceSource::HdgPlusRel, s), 32767);

    // Numbers read from text that do not fit 16 bits wrap as well.
    s.polarisationText = QStringLiteral("70000");
    EXPECT_EQ(thirdTrace(ThirdTraceSource::POL, s), 4464);
    s.externalAgcText = QStringLiteral("99999999");
    EXPECT_EQ(thirdTrace(ThirdTraceSource::ExtAgc, s), 16960);
    s.polarisationText = QStringLiteral("1E400");
    thirdTrace(ThirdTraceSource::POL, s); // must simply not crash
}

TEST(CaptureBufferStore, SensorModesStoreTheDisplayAxes)
{
    PanelSample s;
    s.DispCL = -7;
    s.DispLV = 8;
    s.DispAZ = 9;
    s.DispPhase = -32;
    s.agc = 55;
    CaptureBuffer buffer;
    buffer.record(GraphMode::Admc, s, AdmcTraceSources{}, kNoon); // slot 0 holds the signal 55
    const int slot = buffer.record(GraphMode::DispW, s, AdmcTraceSources{}, kNoon);
    const qint16 stored[] = {buffer.value(1, slot), buffer.value(2, slot), buffer.value(3, slot)};
    EXPECT_EQ(std::vector<qint16>(stored, stored + 3), (std::vector<qint16>{-7, 8, 9}));
    // The fourth trace is not part of these modes and keeps what it held.
    EXPECT_EQ(buffer.value(4, slot), 55);
    EXPECT_EQ(buffer.value(4, buffer.record(GraphMode::DispIvc, s, AdmcTraceSources{}, kNoon)), -32);
    EXPECT_EQ(buffer.value(4, buffer.record(GraphMode::NutaraXy, s, AdmcTraceSources{}, kNoon)), -32);
}

TEST(CaptureBufferStore, EachSlotHoldsItsOwnSamplesLine)
{
    CaptureBuffer buffer;
    PanelSample s;
    s.DispCL = 3;
    s.relativeAzimuthText = QStringLiteral("10.0");
    buffer.record(GraphMode::DispV, s, AdmcTraceSources{}, QTime(8, 30, 15));
    buffer.advance(GraphMode::DispV);
    s.DispCL = -4;
    buffer.record(GraphMode::DispV, s, AdmcTraceSources{}, QTime(8, 30, 16));
    EXPECT_EQ(buffer.line(0), QStringLiteral("08:30:15, 3, 0, 0,10.0"));
    EXPECT_EQ(buffer.line(1), QStringLiteral("08:30:16,-4, 0, 0,10.0"));
}
