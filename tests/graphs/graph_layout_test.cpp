#include "GraphEngine.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

TEST(GraphLayout, EachModeSetsItsControlsAndPollSequence)
{
    GraphEngine engine;
    QByteArray sequence;
    int resumed = 0;
    engine.hooks().setPollSequence = [&sequence](const QByteArray& s) { sequence = s; };
    engine.hooks().resumePolling = [&resumed] { ++resumed; };

    struct Expected {
        GraphMode mode;
        const char* sequence;
        const char* scales[4];
        bool scaleShown[4];
        bool listShown[4];
        bool legendShown[4];
    };
    const Expected table[] = {
        {GraphMode::Admc,
         "SPHuSPHqSPH@SPH!?   S",
         {"1 Deg /Div", "1 Deg /Div", "1 Deg /Div", "~1 dB /Div"},
         {true, true, true, true},
         {true, true, true, true},
         {true, true, true, true}},
        {GraphMode::DispIvc,
         "!?   x!?   xS!?   x!?   xP!?   x!?   xH!?   x!?   x@!?   x!?   xu!?   x!?   x!?   S",
         {"0.05 Deg /Div", "0.05 Deg /Div", "0.05 Deg /Div", "~1 dB /Div"},
         {true, true, true, false},
         {true, true, true, false},
         {true, true, true, false}},
        {GraphMode::DispV,
         "S!?   v!?   vH!?   vu!?   vP!?   S!?   v",
         {"1 Deg /Div", "1 Deg /Div", "5 Deg /Div ", "~1 dB /Div"},
         {true, true, true, false},
         {true, true, true, false},
         {true, true, true, false}},
        {GraphMode::DispW,
         "S!?   wP!?   wH!?   wu!?   w!?   S!?   w",
         {"2 Deg /Sec /Div", "2 Deg /Sec /Div", "2 Deg /Sec /Div ", "~1 dB /Div"},
         {true, true, true, false},
         {true, true, true, false},
         {true, true, true, false}},
        {GraphMode::DispTc,
         "S!?   yP!?   yH!?   yu!?   y!?   S!?   y",
         {"0.195 Amp /Div", "0.195 Amp /Div", "0.195 Amp /Div", "~1 dB /Div"},
         {true, true, true, false},
         {true, true, true, false},
         {true, true, true, false}},
        {GraphMode::Spectrum,
         "", // keeps the previous mode's sequence: the sweep owns the poll tick
         {"1 Deg /Div", "1 Deg /Div", "1 Deg /Div", "~1 dB /Div"},
         {false, false, false, true},
         {false, false, false, true},
         {false, false, false, true}},
        {GraphMode::NutaraXy,
         "!?   x!?   xS!?   x!?   xP!?   x!?   xH!?   x!?   x@!?   x!?   x!?   x!?   xu!?   S",
         {"1 Deg /Div", "0.011 Deg /Div\n0.05 Deg Tic Marks", "0.011 Deg /Div\n0.05 Deg Tic Marks",
          "~1 dB /Div"},
         {false, true, true, false},
         {false, true, true, false},
         {false, false, false, false}},
    };
    for (const Expected& e : table) {
        sequence.clear();
        engine.selectMode(e.mode);
        const GraphLayout& l = engine.layout();
        const int m = int(e.mode);
        EXPECT_EQ(sequence, QByteArray(e.sequence)) << m;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(l.scales[i].caption, QString::fromLatin1(e.scales[i])) << m << " scale " << i;
            EXPECT_EQ(l.scales[i].visible, e.scaleShown[i]) << m << " scale " << i;
            EXPECT_EQ(l.lists[i].visible, e.listShown[i]) << m << " list " << i;
            EXPECT_EQ(l.legendVisible[i], e.legendShown[i]) << m << " legend " << i;
        }
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(l.modeChecked[k], k == m) << m;
        // Only the position graph offers its trace lists and the double-click.
        EXPECT_EQ(l.lists[0].enabled, e.mode == GraphMode::Admc) << m;
        EXPECT_EQ(l.plotToolTip.isEmpty(), e.mode != GraphMode::Admc) << m;
        EXPECT_EQ(engine.sweepRunning(), e.mode == GraphMode::Spectrum) << m;
    }
    EXPECT_EQ(resumed, 7);
    EXPECT_EQ(graphtext::modeListText(GraphMode::DispV), QStringLiteral("Disp V   (Ref)"));
    EXPECT_EQ(graphtext::modeMenuText(GraphMode::DispV), QStringLiteral("Disp v      Graph"));
    EXPECT_EQ(graphtext::modeToolTip(GraphMode::NutaraXy), QStringLiteral("Nutara X-Y pattern display"));
}

TEST(GraphLayout, DoubleClickInThePositionGraphShowsClLvAz)
{
    GraphEngine engine;
    engine.selectMode(GraphMode::Admc);
    EXPECT_EQ(engine.layout().plotToolTip, QStringLiteral("Double Click to change format to CL, LV, AZ"));
    PanelSample s;
    s.crossLevel = -5;
    s.elevation = 352;
    s.azimuth = 1234;
    engine.plot(s);
    engine.doubleClickPlot();
    EXPECT_EQ(engine.buffer().sampleCount(), 0);
    EXPECT_TRUE(engine.layout().plotToolTip.isEmpty());
    engine.plot(s);
    EXPECT_EQ(engine.buffer().value(1, 0), -5);
    EXPECT_EQ(engine.buffer().value(2, 0), 352);
    EXPECT_EQ(engine.buffer().value(3, 0), 1234);
}

TEST(GraphLayout, ExpandCollapseAndTheFrameAllowance)
{
    const std::pair<int, int> allowances[] = {{-5, 0},   {0, 0},    {100, 100}, {269, 269}, {270, 0},
                                              {330, 60}, {331, 41}, {500, 210}, {501, 186}, {900, 585}};
    for (const auto& [measured, allowance] : allowances)
        EXPECT_EQ(frameAllowance(measured), allowance) << measured;

    GraphEngine engine;
    int moved = 0;
    engine.hooks().firstExpansion = [&moved] { ++moved; };
    engine.selectMode(GraphMode::DispW);
    engine.setFrameAllowance(330);
    EXPECT_EQ(engine.layout().heightTwips, 8970);

    engine.toggleExpanded();
    const GraphLayout& l = engine.layout();
    EXPECT_FALSE(l.expanded);
    EXPECT_EQ(l.heightTwips, 2640);
    EXPECT_TRUE(l.panelOnly);
    EXPECT_FALSE(l.statusBarVisible);
    EXPECT_EQ(l.modeChecked, (std::array<bool, 7>{}));
    EXPECT_EQ(l.expandToolTip(), QStringLiteral("Expand Graph"));

    engine.toggleExpanded();
    EXPECT_EQ(l.heightTwips, 8970);
    EXPECT_FALSE(l.panelOnly);
    EXPECT_TRUE(l.modeChecked[3]);
    EXPECT_EQ(l.expandToolTip(), QStringLiteral("Collapse Graph"));
    engine.toggleExpanded();
    engine.toggleExpanded();
    EXPECT_EQ(moved, 1);
}

TEST(GraphColors, DefaultSetsAndTheSettingsStore)
{
    const GraphColors dos = GraphColors::dos();
    EXPECT_EQ(dos.back, 2039583u);
    EXPECT_EQ(dos.grid, 5197647u);
    EXPECT_EQ(dos.trace[2], 16776960u);
    const GraphColors win = GraphColors::win();
    EXPECT_EQ(win.back, 14737632u);
    EXPECT_EQ(win.grid, 12632256u);
    EXPECT_EQ(win.trace[2], 8388608u);
    EXPECT_EQ(GraphColors::dos().forPrint().back, 16777215u);
    EXPECT_EQ(GraphColors::dos().forPrint().grid, 12632256u);

    MemorySettingsStore store;
    const QString app = QStringLiteral("multQVRRemote");
    // Nothing saved: the defaults of "Reload Saved Colors", grid 5197646.
    const GraphColors fresh = GraphColors::load(store, app);
    EXPECT_EQ(fresh.grid, 5197646u);
    EXPECT_EQ(fresh.back, 2039583u);
    EXPECT_EQ(fresh.trace[3], 16777215u);

    win.save(store, app);
    QStringList written;
    for (const auto& w : store.writes())
        written << w.section + "/" + w.key + "=" + w.value;
    EXPECT_EQ(written,
              (QStringList{"Colors/Back=14737632", "Colors/Grid=12632256", "Colors/Home=255",
                           "Colors/T1=65535", "Colors/T2=65280", "Colors/T3=8388608", "Colors/T4=16777215"}));
    EXPECT_EQ(GraphColors::load(store, app), win);

    // A damaged value falls back to its default alone.
    store.set(app, "Colors", "T3", "blue");
    store.set(app, "Colors", "Back", "99999999");
    const GraphColors damaged = GraphColors::load(store, app);
    EXPECT_EQ(damaged.trace[2], 16776960u);
    EXPECT_EQ(damaged.back, 2039583u);
    EXPECT_EQ(damaged.grid, 12632256u);
}
