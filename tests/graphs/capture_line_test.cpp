#include "CaptureLine.h"
#include "CaptureTitles.h"

#include "PanelState.h"

#include <gtest/gtest.h>

namespace {
PanelSample admcTexts()
{
    PanelSample s;
    s.elevationText = QStringLiteral("35.2");
    s.azimuthText = QStringLiteral("123.4");
    s.crossLevelText = QStringLiteral("-1.5");
    s.relativeAzimuthText = QStringLiteral("10.0");
    s.headingText = QStringLiteral("270.3");
    s.agcText = QStringLiteral("512");
    s.latitudeText = QStringLiteral("37.8N");
    s.longitudeText = QStringLiteral("122.4W");
    s.externalAgcText = QStringLiteral("1234");
    s.acuStatus = {'A', 'B', 'C', 'D'};
    s.extended1 = 0x25;
    s.extended2 = 0x11;
    return s;
}

PanelSample sensorSample()
{
    PanelSample s;
    s.DispCL = -12;
    s.DispLV = 0;
    s.DispAZ = 345;
    s.DispPhase = -32;
    s.relativeAzimuthText = QStringLiteral("10.0");
    s.agcText = QStringLiteral("512");
    // Fields that the sensor lines leave out.
    s.latitudeText = QStringLiteral("37.8N");
    s.externalAgcText = QStringLiteral("1234");
    return s;
}
} // namespace

TEST(CaptureLine, AdmcLineWritesTheTextFieldsAndTheStatusCharacters)
{
    EXPECT_EQ(capture::composeLine(GraphMode::Admc, admcTexts(), QTime(9, 5, 7)),
              QStringLiteral("09:05:07,35.2,123.4,-1.5,10.0,270.3,512,37.8N,122.4W,1234,ABC eQ"));
}

TEST(CaptureLine, StatusCharactersNeverBreakTheLine)
{
    PanelSample s = admcTexts();
    // No status reply yet (0) and a CR among the bytes would cut the line in the file.
    s.acuStatus = {0, 13, 'D', 0};
    s.extended1 = 0;
    s.extended2 = 0x40;
    EXPECT_EQ(capture::statusField(s), QStringLiteral("@MD @@"));
    s.acuStatus = {'z', 0xE9, 10, 0};
    s.extended1 = 0x88;
    s.extended2 = 0x7F;
    EXPECT_EQ(capture::statusField(s), QStringLiteral("z\u00e9J \u00c8\u007f"));
}

TEST(CaptureLine, SensorLinesPerMode)
{
    const QTime t(13, 0, 59);
    EXPECT_EQ(capture::composeLine(GraphMode::DispIvc, sensorSample(), t),
              QStringLiteral("13:00:59,-12, 0, 345,10.0,-32,512"));
    EXPECT_EQ(capture::composeLine(GraphMode::NutaraXy, sensorSample(), t),
              QStringLiteral("13:00:59,-12, 0, 345,10.0,-32,512"));
    for (GraphMode mode : {GraphMode::DispV, GraphMode::DispW, GraphMode::DispTc, GraphMode::Spectrum})
        EXPECT_EQ(capture::composeLine(mode, sensorSample(), t), QStringLiteral("13:00:59,-12, 0, 345,10.0"))
            << int(mode);
}

TEST(CaptureLine, NumbersKeepTheirLeadingSpaceAtTheSixteenBitLimits)
{
    PanelSample s = sensorSample();
    s.DispCL = -32768;
    s.DispLV = 32767;
    s.DispAZ = -1;
    s.DispPhase = 7;
    EXPECT_EQ(capture::composeLine(GraphMode::DispIvc, s, QTime(0, 0, 0)),
              QStringLiteral("00:00:00,-32768, 32767,-1,10.0, 7,512"));
}

TEST(CaptureTitles, DataLogTitleLines)
{
    const QString notes = QStringLiteral("Notes");
    EXPECT_EQ(capture::dataLogTitleLine(GraphMode::Admc, notes),
              QStringLiteral("Time,El,Az,CL,Rel,Hdd,AGC,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex ADMC (Antenna "
                             "Position) Log File"));
    EXPECT_EQ(
        capture::dataLogTitleLine(GraphMode::DispIvc, notes),
        QStringLiteral("Time,CL,LV,AZ,Rel,Phase,AGC,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP ivc (Loop "
                       "Error) Log File"));
    EXPECT_EQ(capture::dataLogTitleLine(GraphMode::NutaraXy, notes),
              capture::dataLogTitleLine(GraphMode::DispIvc, notes));
    EXPECT_EQ(
        capture::dataLogTitleLine(GraphMode::DispV, QStringLiteral("deck 3, port side")),
        QStringLiteral("Time,CL,LV,AZ,Rel,Phase,LAT,LON,ExtAGC,Stat123 RL,deck 3, port side,Korvex DISP v "
                       "(Reference) Log File"));
    EXPECT_FALSE(capture::dataLogTitleLine(GraphMode::Spectrum, notes).has_value());
}

TEST(CaptureTitles, ScreenCaptureTitleLines)
{
    const QString notes = QStringLiteral("Notes");
    EXPECT_EQ(
        capture::screenCaptureTitleLine(GraphMode::Admc, notes),
        QStringLiteral("Time,El,Az,CLevel,Rel,Hdd,AGC,LAT,LON,ExtAGC,STAT123 RL,Notes, Korvex ADMC (Antenna "
                       "Position) Screen Capture"));
    EXPECT_EQ(
        capture::screenCaptureTitleLine(GraphMode::DispIvc, notes),
        QStringLiteral("Time,Cl,Lv,Az,Rel,Phase,AGC,Notes,Korvex Disp ivc (Loop Error) Screen Capture"));
    EXPECT_EQ(capture::screenCaptureTitleLine(GraphMode::DispV, notes),
              QStringLiteral("Time,Cl,Lv,Az,Rel,Notes,Korvex Disp v (Reference) Screen Capture"));
    EXPECT_EQ(capture::screenCaptureTitleLine(GraphMode::Spectrum, notes),
              QStringLiteral("Freq, AGC,,,Notes,Korvex Spectrum Analyzer Screen Capture"));
    EXPECT_EQ(capture::screenCaptureTitleLine(GraphMode::NutaraXy, notes),
              QStringLiteral("Time,Cl,Lv,Az,Rel,Phase,Notes,Korvex Nutara X-Y / Phase Screen Capture"));
}
