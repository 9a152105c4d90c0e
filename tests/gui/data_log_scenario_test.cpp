// The data log, the screen capture and the exit path as the program joins them: the real
// graph of the window, the real data logs and the window's own parameter dump, against a
// simulated ACU that holds still, in virtual time. What lands in the file, byte for byte.
#include "KorvexWindowRig.h"

#include "AcuModel.h"
#include "DataLogMenus.h"
#include "DataLogs.h"
#include "GraphSession.h"
#include "Replay.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

class DataLogScenario : public KorvexWindowRig {
protected:
    DataLogScenario()
    {
        serial.attachPeer(&acu);
        acu.unit().setBlockagesEnabled(false);
        runtime.setTimeOfDayOrigin(QTime(9, 30, 0));
    }
    // The window first: its menus and dump hold on to the logs.
    ~DataLogScenario() override { window.reset(); }

    // Up, joined as the program joins them, and tracking long enough for the readings to
    // have settled.
    void startJoined(GraphMode mode)
    {
        start();
        GraphSession& graph = window->graphSession();
        replay = std::make_unique<Replay>(prompter, graph, runtime);
        logs = std::make_unique<DataLogs>(window->dataFile(), prompter, graph,
                                          DataLogs::Hooks{[this] { return session.link().portOpen(); },
                                                          {},
                                                          [this] { return replay->isLoaded(); }});
        graph.engine().onCaptureLine = [this](const QString& line) { logs->appendCaptureLine(line); };
        menus = window->attachDataLogs(*logs, *replay);
        graph.selectMode(mode);
        runtime.advance(60000);
    }

    QList<QByteArray> rowsOf(const QString& name) const
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> rows = f.readAll().split('\n');
        EXPECT_EQ(rows.takeLast(), "") << "the file ends with its last line's CR LF";
        return rows;
    }

    // Index of the dump's header row, -1 when there is none.
    static qsizetype dumpStart(const QList<QByteArray>& rows)
    {
        return rows.indexOf("'ACU Parameter Dump - Legacy Mode\r");
    }

    // The dump's part of a file: the header pair, 91 rows, and a few of them exactly.
    static void expectDump(const QList<QByteArray>& rows, qsizetype at)
    {
        ASSERT_GE(at, 0);
        ASSERT_EQ(rows.size() - at, 2 + 91);
        EXPECT_EQ(rows[at + 1], "'CMD\tValue\tResult\tDescription\r");
        EXPECT_EQ(rows[at + 2], "'QVR-100 ACU VER 3.14 SIM\r");
        EXPECT_EQ(rows[at + 5], "mB\t025\t'002.5\tEl Trim\r");
        EXPECT_EQ(rows[at + 45], "mj\t016\t'W\tSat E/W\r");
        EXPECT_EQ(rows[at + 80], "n0\t003\t'003\tSystyp\r");
        EXPECT_EQ(rows[at + 92], "'QVR COMMIF VER 1.05 SIM\r");
    }

    void logFor(const QString& name, int ms)
    {
        prompter.fileNames = {dir.filePath(name)};
        menus->logAction()->trigger();
        ASSERT_TRUE(logs->isLogging());
        runtime.advance(ms);
        menus->logAction()->trigger();
        runtime.advance(91 * 80 + 2000);
    }

    AcuModel acu{runtime};
    QTemporaryDir dir;
    std::unique_ptr<Replay> replay;
    std::unique_ptr<DataLogs> logs;
    DataLogMenus* menus = nullptr;
};

} // namespace

TEST_F(DataLogScenario, AnAntennaPositionLogHoldsTitleSamplesAndDumpThenCloses)
{
    startJoined(GraphMode::Admc);
    menus->notesBox()->setText("Deck 3");
    logFor("admc.csv", 3000);
    EXPECT_FALSE(window->dataFile().isOpen());
    EXPECT_FALSE(logs->isLogging());
    EXPECT_EQ(menus->logAction()->text(), "Start Data &Log");
    EXPECT_EQ(window->windowTitle(), "QVR Remote Panel");

    const QList<QByteArray> rows = rowsOf("admc.csv");
    ASSERT_EQ(dumpStart(rows), 5);
    EXPECT_EQ(rows.mid(0, 5),
              (QList<QByteArray>{"Time,El,Az,CL,Rel,Hdd,AGC,LAT,LON,ExtAGC,Stat123 RL,Deck 3,Korvex ADMC "
                                 "(Antenna Position) Log File\r",
                                 "09:31:00,41.0,147.6,.1,305.6,202.0,0629,37.7N,122.2W,0514,HH@ @s\r",
                                 "09:31:01,40.9,147.6,.3,305.7,202.0,0615,37.7N,122.2W,0514,HH@ @s\r",
                                 "09:31:02,40.9,147.7,.3,305.6,202.0,0620,37.7N,122.2W,0514,HH@ @s\r",
                                 "09:31:02,40.9,147.7,.2,305.6,202.0,0610,37.7N,122.2W,0507,HH@ @s\r"}));
    expectDump(rows, 5);
}

// Leaner: the title and the line layout of the sensor modes.
TEST_F(DataLogScenario, LoopErrorAndReferenceLogsHaveTheirTitlesAndLineLayouts)
{
    startJoined(GraphMode::DispIvc);
    logFor("ivc.csv", 1500);
    QList<QByteArray> rows = rowsOf("ivc.csv");
    ASSERT_EQ(dumpStart(rows), 6);
    EXPECT_EQ(rows[0], "Time,CL,LV,AZ,Rel,Phase,AGC,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP ivc (Loop "
                       "Error) Log File\r");
    EXPECT_EQ(rows[1], "09:31:00, 56,-14,-11,305.6, 1,0610\r");
    EXPECT_EQ(rows[4], "09:31:01, 105,-36, 7,305.6, 0,0610\r");
    expectDump(rows, 6);

    window->graphSession().selectMode(GraphMode::DispV);
    runtime.advance(3000);
    logFor("ref.csv", 1500);
    rows = rowsOf("ref.csv");
    ASSERT_EQ(dumpStart(rows), 5);
    EXPECT_EQ(rows[0],
              "Time,CL,LV,AZ,Rel,Phase,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP v (Reference) Log File\r");
    EXPECT_EQ(rows[1], "09:31:13,-2,-1, 0,305.8\r");
    expectDump(rows, 5);
}

TEST_F(DataLogScenario, SaveScreenDataWritesTheShownSamplesOldestFirstThenTheDump)
{
    startJoined(GraphMode::DispV);
    prompter.fileNames = {dir.filePath("screen.csv")};
    menus->saveAction()->trigger();
    EXPECT_TRUE(window->dataFile().isOpen());
    runtime.advance(91 * 80 + 2000);
    EXPECT_FALSE(window->dataFile().isOpen());

    const QList<QByteArray> rows = rowsOf("screen.csv");
    ASSERT_EQ(dumpStart(rows), 1 + 148);
    EXPECT_EQ(rows[0], "Time,Cl,Lv,Az,Rel,Notes,Korvex Disp v (Reference) Screen Capture\r");
    // The first sample came before the unit's first relative azimuth.
    EXPECT_EQ(rows[1], "09:30:01, 2, 1, 0,\r");
    EXPECT_EQ(rows[148], "09:30:59, 0, 0, 0,305.6\r");
    expectDump(rows, 149);
}

TEST_F(DataLogScenario, OnTheWayOutAnOpenLogGetsItsDumpBeforeTheLinkCloses)
{
    startJoined(GraphMode::Admc);
    prompter.fileNames = {dir.filePath("exit.csv")};
    menus->logAction()->trigger();
    runtime.advance(2000);
    logs->finishForExit(runtime, 15000);
    EXPECT_FALSE(window->dataFile().isOpen());
    EXPECT_FALSE(logs->isLogging());
    EXPECT_EQ(window->windowTitle(), "QVR Remote Panel");
    const QList<QByteArray> rows = rowsOf("exit.csv");
    ASSERT_EQ(dumpStart(rows), 3);
    EXPECT_EQ(rows[2], "09:31:01,40.9,147.6,.3,305.7,202.0,0615,37.7N,122.2W,0514,HH@ @s\r");
    expectDump(rows, 3);
}
