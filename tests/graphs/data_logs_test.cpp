#include "DataLogs.h"

#include "FakeGraph.h"
#include "Prompter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
const char kPortClosed[] =
    "Error,\rOperation not allowed while port is closed\rClick LED or 'CommPort / Port Open' to connect.";

// A data log with the graph feeding it and a dump that writes one marker row and closes
// the file, as the real one ends every data file.
struct LogRig {
    QTemporaryDir dir;
    DataFile file;
    ScriptedPrompter prompter;
    FakeGraph graph;
    bool portOpen = true;
    int dumps = 0;
    DataLogs logs{file, prompter, graph,
                  DataLogs::Hooks{[this] { return portOpen; },
                                  [this](DataFile& f) {
                                      ++dumps;
                                      f.write("'ACU Parameter Dump - Legacy Mode\r\n");
                                      f.close();
                                  },
                                  [] { return false; }}};

    LogRig()
    {
        graph.onCaptureLine = [this](const QString& line) { logs.appendCaptureLine(line); };
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

PanelSample loggedAdmcSample()
{
    PanelSample s;
    s.elevationText = "45.3";
    s.azimuthText = "180.0";
    s.crossLevelText = "0.5";
    s.relativeAzimuthText = "90.0";
    s.headingText = "270.0";
    s.agcText = "123";
    s.latitudeText = "37.7N";
    s.longitudeText = "122.2W";
    s.externalAgcText = "250";
    s.acuStatus = {65, 66, 67, 0};
    s.extended1 = 1;
    s.extended2 = 2;
    return s;
}

PanelSample sensorSample(int cl)
{
    PanelSample s;
    s.DispCL = qint16(cl);
    s.DispLV = -3;
    s.DispAZ = 0;
    s.DispPhase = 7;
    s.relativeAzimuthText = "12.5";
    s.agcText = "99";
    return s;
}
} // namespace

TEST(DataLog, FileHoldsTitleCaptureLinesAndDumpInEachMode)
{
    struct Case {
        GraphMode mode;
        PanelSample sample;
        const char* expected;
    };
    const Case cases[] = {
        {GraphMode::Admc, loggedAdmcSample(),
         "Time,El,Az,CL,Rel,Hdd,AGC,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex ADMC (Antenna Position) Log "
         "File\r\n"
         "12:00:00,45.3,180.0,0.5,90.0,270.0,123,37.7N,122.2W,250,ABC AB\r\n"
         "12:00:00,45.3,180.0,0.5,90.0,270.0,123,37.7N,122.2W,250,ABC AB\r\n"
         "'ACU Parameter Dump - Legacy Mode\r\n"},
        {GraphMode::DispIvc, sensorSample(5),
         "Time,CL,LV,AZ,Rel,Phase,AGC,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP ivc (Loop Error) Log "
         "File\r\n"
         "12:00:00, 5,-3, 0,12.5, 7,99\r\n"
         "12:00:00, 5,-3, 0,12.5, 7,99\r\n"
         "'ACU Parameter Dump - Legacy Mode\r\n"},
        {GraphMode::DispV, sensorSample(-5),
         "Time,CL,LV,AZ,Rel,Phase,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP v (Reference) Log File\r\n"
         "12:00:00,-5,-3, 0,12.5\r\n"
         "12:00:00,-5,-3, 0,12.5\r\n"
         "'ACU Parameter Dump - Legacy Mode\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        LogRig rig;
        rig.graph.current = c.mode;
        rig.graph.plot(c.sample); // before the log: not written
        rig.prompter.fileNames = {rig.path("log.csv")};
        rig.logs.toggleLog();
        ASSERT_EQ(rig.prompter.fileRequests.size(), 1);
        EXPECT_EQ(rig.prompter.fileRequests[0].filter,
                  "Data (*.csv) |*.csv|Text (*.txt, *.prn) |*.txt;*.prn|All files (*.*)|*.*");
        EXPECT_EQ(rig.logs.menuCaption(), "Close Data Log");
        EXPECT_EQ(rig.logs.logPath(), rig.path("log.csv"));
        rig.graph.plot(c.sample);
        rig.graph.plot(c.sample);
        rig.logs.toggleLog();
        // The dump has closed the file but not yet said so: the log still looks open.
        EXPECT_EQ(rig.logs.buttonCaption(), "Close Data Log");
        rig.graph.plot(c.sample); // a late sample must not land in the dump
        rig.logs.dumpEnded(false);
        EXPECT_EQ(rig.logs.menuCaption(), "Start Data &Log");
        EXPECT_EQ(rig.logs.buttonCaption(), "Start Data Log");
        EXPECT_TRUE(rig.logs.logPath().isEmpty());
        EXPECT_EQ(fileBytes(rig.path("log.csv")), QByteArray(c.expected));
        EXPECT_TRUE(rig.prompter.messages.isEmpty());
    }
}

TEST(DataLog, SpectrumLogHasNoTitleAndClosedPortOpensNothing)
{
    LogRig rig;
    rig.portOpen = false;
    rig.logs.toggleLog();
    rig.logs.saveScreen();
    EXPECT_EQ(rig.prompter.texts(), QStringList({kPortClosed, kPortClosed}));
    EXPECT_TRUE(rig.prompter.fileRequests.isEmpty());
    EXPECT_FALSE(rig.file.isOpen());

    rig.portOpen = true;
    rig.graph.current = GraphMode::Spectrum;
    QString error;
    ASSERT_TRUE(rig.logs.startLogAt(rig.path("spectrum.csv"), &error)) << error.toStdString();
    rig.graph.plot(sensorSample(1));
    rig.logs.closeLog();
    rig.logs.dumpEnded(false);
    EXPECT_EQ(fileBytes(rig.path("spectrum.csv")),
              "12:00:00, 1,-3, 0,12.5\r\n'ACU Parameter Dump - Legacy Mode\r\n");
}

TEST(DataLog, ReplacePromptNoAsksAgainAndOpenFailureShowsTheSystemText)
{
    LogRig rig;
    QFile old(rig.path("old.csv"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep me");
    old.close();
    rig.prompter.fileNames = {rig.path("old.csv"), rig.path("new.csv")};
    rig.prompter.answers = {Prompter::Answer::No};
    rig.logs.startLog();
    ASSERT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_EQ(rig.prompter.messages[0].text, "Replace existing file - " + rig.path("old.csv") + "?");
    // That question is the only one: the dialog does not ask it again.
    EXPECT_FALSE(rig.prompter.fileRequests.constFirst().confirmOverwrite);
    EXPECT_EQ(rig.prompter.messages[0].icon, Prompter::Icon::Question);
    EXPECT_EQ(rig.prompter.messages[0].buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(rig.logs.logPath(), rig.path("new.csv"));
    EXPECT_EQ(fileBytes(rig.path("old.csv")), "keep me");
    rig.logs.closeLog();
    rig.logs.dumpEnded(true);

    // A folder cannot be opened as a file: the system's own reason is shown.
    rig.prompter.messages.clear();
    rig.prompter.fileNames = {rig.dir.path()};
    rig.prompter.answers = {Prompter::Answer::Yes};
    rig.logs.startLog();
    ASSERT_EQ(rig.prompter.messages.size(), 2);
    EXPECT_EQ(rig.prompter.messages[1].icon, Prompter::Icon::Exclamation);
    EXPECT_FALSE(rig.prompter.messages[1].text.isEmpty());
    EXPECT_FALSE(rig.logs.isLogging());
    EXPECT_FALSE(rig.file.isOpen());
}

TEST(ScreenCapture, WritesTheShownSamplesOldestFirstThenTheDump)
{
    LogRig rig;
    rig.graph.current = GraphMode::DispV;
    for (int n = 1; n <= 645; ++n)
        rig.graph.plot(sensorSample(n));
    rig.prompter.fileNames = {rig.path("screen.csv")};
    rig.logs.saveScreen();
    EXPECT_EQ(rig.prompter.fileRequests[0].filter,
              "Data (*.csv, *.txt) |*.csv;*.txt|Text (*.txt, *.prn) |*.txt;*.prn|All files (*.*)|*.*");
    EXPECT_EQ(rig.dumps, 1);
    rig.logs.dumpEnded(false);
    const QList<QByteArray> lines = fileBytes(rig.path("screen.csv")).split('\n');
    // Title, the 635 samples on the plot (11 to 645), the dump row, and the empty rest.
    ASSERT_EQ(lines.size(), 638);
    EXPECT_EQ(lines[0], "Time,Cl,Lv,Az,Rel,Notes,Korvex Disp v (Reference) Screen Capture\r");
    EXPECT_EQ(lines[1], "12:00:00, 11,-3, 0,12.5\r");
    EXPECT_EQ(lines[635], "12:00:00, 645,-3, 0,12.5\r");
    EXPECT_EQ(lines[636], "'ACU Parameter Dump - Legacy Mode\r");
}

TEST(ScreenCapture, RefusedWhileALogIsOpenAndTheLogGoesOn)
{
    LogRig rig;
    rig.graph.current = GraphMode::DispV;
    rig.prompter.fileNames = {rig.path("log.csv"), rig.path("screen.csv")};
    rig.logs.startLog();
    rig.graph.plot(sensorSample(1));
    rig.logs.saveScreen();
    EXPECT_EQ(rig.prompter.lastText(),
              "Error,\rSave Screen Data is not supported while a log file is currently "
              "open\rClose the data log first.");
    EXPECT_EQ(rig.prompter.fileRequests.size(), 1);
    EXPECT_EQ(rig.dumps, 0);
    EXPECT_TRUE(rig.logs.isLogging());
    rig.graph.plot(sensorSample(2));
    EXPECT_EQ(fileBytes(rig.path("log.csv")),
              "Time,CL,LV,AZ,Rel,Phase,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP v (Reference) Log File\r\n"
              "12:00:00, 1,-3, 0,12.5\r\n12:00:00, 2,-3, 0,12.5\r\n");
    EXPECT_FALSE(QFile::exists(rig.path("screen.csv")));
}
