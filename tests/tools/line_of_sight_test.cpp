// Line of sight: angle input, the flat-earth look angles and the radio horizon, the target
// commands, hemisphere keys and the antenna position taken from the panel.
#include "ToolRig.h"

namespace {

TEST(LineOfSight, AngleFormsReadAsDecimalDegrees)
{
    EXPECT_DOUBLE_EQ(los::dInput("38:30"), 38.5);
    EXPECT_DOUBLE_EQ(los::dInput("38.5"), 38.5);
    EXPECT_DOUBLE_EQ(los::dInput("38:30:00"), 38.5);
    EXPECT_DOUBLE_EQ(los::dInput("38:30:36"), 38.51);
    EXPECT_DOUBLE_EQ(los::dInput("38:07.5"), 38.125);
    EXPECT_DOUBLE_EQ(los::dInput("-38:30"), -37.5); // minutes add whatever the sign
    EXPECT_DOUBLE_EQ(los::dInput("north"), 0);
}

TEST(LineOfSight, LookAnglesRangeAndHorizon)
{
    los::Inputs in;
    in.targetLatitude = "38:10";
    in.targetLongitude = "121.9";
    in.antennaAltitude = "100";
    in.targetAltitude = "10000";
    const los::Result r = los::calculate(in);
    EXPECT_EQ(r.azimuthText, "25.40");
    EXPECT_EQ(r.elevationText, "8.29");
    EXPECT_EQ(r.rangeText, "11.04");
    EXPECT_EQ(r.viewableRangeText, "132.00");
    EXPECT_EQ(r.status, "Viewable");
    EXPECT_EQ(los::targetCommand(r), "A0254\r\nE0082\r\n");

    // South and east of the equator and the prime meridian.
    in = {};
    in.targetLatitude = "33.9", in.targetLatHemisphere = "S", in.targetLongitude = "18.4",
    in.targetLonHemisphere = "E";
    in.antennaLatitude = "34", in.antennaLatHemisphere = "S", in.antennaLongitude = "18.5",
    in.antennaLonHemisphere = "E";
    in.antennaAltitude = "50", in.targetAltitude = "2000";
    const los::Result south = los::calculate(in);
    EXPECT_EQ(south.azimuthText, "320.21");
    EXPECT_EQ(south.elevationText, "2.29");
    EXPECT_EQ(south.rangeText, "7.78");
    EXPECT_EQ(south.viewableRangeText, "62.15");
}

TEST(LineOfSight, FarSideOfTheDatelineAndNegativeAnglesAndEmptyAltitudes)
{
    los::Inputs in;
    in.antennaLatitude = "0", in.antennaLongitude = "0", in.antennaLonHemisphere = "E";
    in.targetLatitude = "0", in.targetLongitude = "190", in.targetLonHemisphere = "E";
    const los::Result east = los::calculate(in);
    EXPECT_EQ(east.azimuthText, "270.00"); // 170 degrees west of the antenna
    EXPECT_EQ(east.rangeText, "10200.75");
    EXPECT_EQ(east.viewableRangeText, "2.40");
    EXPECT_EQ(east.status, "Not Viewable");
    EXPECT_EQ(east.elevationText, "-85.00");
    EXPECT_EQ(los::targetCommand(east), "A2700\r\nE0000\r\n");

    const los::Result defaults = los::calculate(los::Inputs{});
    EXPECT_EQ(defaults.azimuthText, "0.00");
    EXPECT_EQ(defaults.elevationText, "-0.01");
    EXPECT_EQ(los::targetCommand(defaults), "A0000\r\nE0000\r\n");
}

TEST(LineOfSight, StatusAtTheEdgesOfTheHorizon)
{
    EXPECT_EQ(los::viewStatus(10.0, 10.0), "Viewable");
    EXPECT_EQ(los::viewStatus(34.99, 10.0), "Marginal");
    EXPECT_EQ(los::viewStatus(35.0, 10.0), "Not Viewable");
}

TEST(LineOfSight, CoincidentPositionsGiveADefinedResultAndNoCommand)
{
    los::Inputs in;
    in.targetLatitude = in.antennaLatitude = "38:00";
    in.targetLongitude = in.antennaLongitude = "122:00";
    los::Result r = los::calculate(in);
    EXPECT_EQ(r.rangeText, "0.00");
    EXPECT_EQ(r.elevationText, "0.00");
    EXPECT_EQ(r.status, "Same Position");
    EXPECT_EQ(los::targetCommand(r), "");
    in.targetAltitude = "500";
    EXPECT_EQ(los::calculate(in).elevationText, "90.00");
}

TEST(LineOfSight, HemisphereBoxesHoldTheLastLetterTyped)
{
    EXPECT_EQ(los::hemisphereKey(QChar('a'), true), "N");
    EXPECT_EQ(los::hemisphereKey(QChar('n'), true), "N");
    EXPECT_EQ(los::hemisphereKey(QChar('o'), true), "S");
    EXPECT_EQ(los::hemisphereKey(QChar('e'), false), "E");
    EXPECT_EQ(los::hemisphereKey(QChar('F'), false), "W");
    EXPECT_EQ(los::hemisphereKey(QChar('7'), false), "");
}

class LineOfSightPanel : public ToolRig {};

TEST_F(LineOfSightPanel, AntennaFromThePanelUnlessEnteredByHand)
{
    unit.replies["@"] = " S0339E0184";
    startPolling();
    ASSERT_TRUE(tools.losRefreshAntenna());
    EXPECT_EQ(tools.losInputs.antennaLatitude, "33.9");
    EXPECT_EQ(tools.losInputs.antennaLatHemisphere, "S");
    EXPECT_EQ(tools.losInputs.antennaLongitude, "18.4");
    EXPECT_EQ(tools.losInputs.antennaLonHemisphere, "E");
    tools.losManualEntry = true;
    tools.losInputs.antennaLatitude = "34:00";
    EXPECT_FALSE(tools.losRefreshAntenna());
    EXPECT_EQ(tools.losInputs.antennaLatitude, "34:00");

    // Target Antenna: two commands in two pieces of the long command.
    tools.losInputs = los::Inputs{};
    tools.losInputs.targetLatitude = "38:10", tools.losInputs.targetLongitude = "121.9";
    tools.losInputs.antennaAltitude = "100", tools.losInputs.targetAltitude = "10000";
    const qint64 t = rt.now();
    ASSERT_TRUE(tools.losTargetAntenna());
    rt.advance(600);
    EXPECT_EQ(sentStartingWith("AE", t), (QList<QByteArray>{"A0254\r\n", "E0082\r\n"}));
}

} // namespace
