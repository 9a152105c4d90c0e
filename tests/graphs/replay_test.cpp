#include "Replay.h"

#include "FakeGraph.h"
#include "Prompter.h"
#include "SimRuntime.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
struct ReplayRig {
    QTemporaryDir dir;
    SimRuntime runtime;
    ScriptedPrompter prompter;
    FakeGraph graph;
    Replay replay{prompter, graph, runtime};

    QString write(const QByteArray& bytes)
    {
        const QString path = dir.filePath("capture.csv");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    bool load(const QByteArray& bytes)
    {
        prompter.fileNames = {write(bytes)};
        replay.load();
        return replay.isLoaded();
    }
};

const QByteArray kDump = "'ACU Parameter Dump - Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n"
                         "V\t\t'ACU 1.0\r\nParameter Dump Canceled\r\n\r\n";
} // namespace

TEST(Replay, AdmcLogInLowerCaseReplaysOnlyTheFieldsItHolds)
{
    ReplayRig rig;
    rig.graph.current = GraphMode::DispV;
    rig.graph.live.crossLevel = 77;
    rig.graph.live.latitude = 377;
    rig.graph.live.longitude = -1222;
    ASSERT_TRUE(rig.load("time,el,az,cl,rel,hdd,agc,lat,lon,extagc,stat123 rl,Notes,korvex admc (antenna "
                         "position) log file\r\n"
                         "12:00:00,45.3,180.25,0.5,-90.0,270.0,123,37.7N,122.2W,250,ABC AB\r\n"
                         "12:00:01,45.4,180.1,0.6,-89.9,270.1,124,37.7N,122.2W,251,ABC AB\r\n" +
                         kDump));
    EXPECT_EQ(rig.prompter.fileRequests[0].filter,
              "Data (*.csv, *.txt) |*.csv;*.txt|Text (*.txt, *.prn) |*.txt;*.prn|All files (*.*)|*.*");
    EXPECT_EQ(rig.graph.selected, std::vector<GraphMode>{GraphMode::Admc});
    EXPECT_TRUE(rig.graph.stop);
    EXPECT_EQ(rig.graph.centers, 1);
    ASSERT_EQ(rig.graph.plotted.size(), 2u); // the dump rows are not samples
    const PanelSample& s = rig.graph.plotted[0];
    EXPECT_EQ(s.elevation, 453);
    EXPECT_EQ(s.azimuth, 1802); // 1802.5 rounds to even
    EXPECT_EQ(s.relativeAzimuth, -900);
    EXPECT_EQ(s.heading, 2700);
    EXPECT_EQ(s.agc, 123);
    EXPECT_EQ(s.externalAgcText, " 250");
    EXPECT_EQ(s.crossLevel, 77);
    EXPECT_EQ(s.latitude, 377);
    EXPECT_EQ(s.longitude, -1222);
    EXPECT_EQ(rig.graph.plotted[1].azimuth, 1801);
    EXPECT_TRUE(rig.prompter.messages.isEmpty());

    rig.replay.unload();
    EXPECT_FALSE(rig.replay.isLoaded());
    EXPECT_FALSE(rig.graph.stop);
    EXPECT_FALSE(rig.replay.progressVisible());
}

TEST(Replay, PagesOverlapByOneLineAndStopAtBothEnds)
{
    // A loop-error capture of 1300 samples; DispCL is the line's number.
    QByteArray file = "Time,Cl,Lv,Az,Rel,Phase,AGC,Notes,Korvex Disp ivc (Loop Error) Screen Capture\r\n";
    for (int n = 1; n <= 1300; ++n)
        file += "12:00:00, " + QByteArray::number(n) + ",65535,-2,3.5, 9,99\r\n";
    const qint64 firstPageEnd = file.indexOf("12:00:00, 642,");
    file += kDump;

    ReplayRig rig;
    ASSERT_TRUE(rig.load(file));
    EXPECT_EQ(rig.replay.progressMaximum(), file.size());
    EXPECT_EQ(rig.replay.progressValue(), firstPageEnd);
    ASSERT_EQ(rig.graph.plotted.size(), 641u);
    const PanelSample& first = rig.graph.plotted.front();
    EXPECT_EQ(first.DispCL, 1);
    EXPECT_EQ(first.DispLV, -1);
    EXPECT_EQ(first.DispAZ, -2);
    EXPECT_EQ(first.DispPhase, -32);
    EXPECT_EQ(first.relativeAzimuthText, " 3.5");
    EXPECT_EQ(rig.graph.plotted.back().DispCL, 641);

    rig.replay.pageForward();
    EXPECT_EQ(rig.replay.pageStart(), 640);
    ASSERT_EQ(rig.graph.plotted.size(), 641u);
    EXPECT_EQ(rig.graph.plotted.front().DispCL, 641);
    EXPECT_EQ(rig.graph.plotted.back().DispCL, 1281);

    rig.replay.pageForward();
    ASSERT_EQ(rig.graph.plotted.size(), 20u);
    EXPECT_EQ(rig.graph.plotted.front().DispCL, 1281);
    EXPECT_EQ(rig.graph.plotted.back().DispCL, 1300);
    EXPECT_EQ(rig.graph.centers, 1);

    // Past the last data line the dump follows: the end, not an empty page.
    rig.replay.pageForward();
    ASSERT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_EQ(rig.prompter.messages[0].text, "Reached the end of the Capture");
    EXPECT_EQ(rig.prompter.messages[0].title, "End of Capture");
    EXPECT_EQ(rig.replay.pageStart(), 1280);
    EXPECT_EQ(rig.graph.plotted.size(), 20u);

    rig.replay.pageBack();
    rig.replay.pageBack();
    EXPECT_EQ(rig.replay.pageStart(), 0);
    EXPECT_EQ(rig.graph.plotted.front().DispCL, 1);
    EXPECT_EQ(rig.graph.centers, 2);
    rig.replay.pageBack();
    ASSERT_EQ(rig.prompter.messages.size(), 2);
    EXPECT_EQ(rig.prompter.messages[1].text, "Reached the begining of the Capture");
    EXPECT_EQ(rig.prompter.messages[1].title, "Begining of Capture");
    EXPECT_EQ(rig.replay.progressValue(), firstPageEnd);
}

TEST(Replay, UnknownTitleLoadsNothingAndRefusalComesFirst)
{
    ReplayRig rig;
    EXPECT_FALSE(rig.load("Freq, AGC,,,Notes,Korvex Spectrum Analyzer Screen Capture\r\n 937, 12\r\n"));
    EXPECT_EQ(rig.prompter.texts(),
              QStringList{"Unable to load capture file.  This file type may not yet be supported."});
    EXPECT_EQ(rig.prompter.messages[0].icon, Prompter::Icon::Exclamation);
    EXPECT_TRUE(rig.graph.plotted.empty());
    EXPECT_FALSE(rig.graph.stop);
    EXPECT_FALSE(rig.replay.progressVisible());

    rig.replay.setRefusal([] { return QStringLiteral("busy"); });
    rig.prompter.fileRequests.clear();
    rig.replay.load();
    EXPECT_EQ(rig.prompter.lastText(), "busy");
    EXPECT_TRUE(rig.prompter.fileRequests.isEmpty());
}
