#pragma once

#include <QByteArray>
#include <QString>

struct PanelState;

// Azimuth, elevation and range from the antenna to a fixed target (a shore station for a
// line-of-sight link), on a locally flat earth of the WGS84 shape, and whether the target
// is above the radio horizon of the two altitudes.
namespace los {

inline constexpr double kPi = 3.141593625;
inline constexpr double kRadiansPerDegree = kPi / 180.0;
inline constexpr double kFlattening = 1.0 / 298.257223563;
inline constexpr double kEarthRadiusNm = 3438.0;
inline constexpr double kFeetPerNm = 6087.0;
inline constexpr double kHorizonFactor = 1.2;
inline constexpr double kMarginalBandNm = 25.0;

inline const QString kViewable = QStringLiteral("Viewable");
inline const QString kMarginal = QStringLiteral("Marginal");
inline const QString kNotViewable = QStringLiteral("Not Viewable");
// Antenna and target at one spot: there is no direction to point in.
inline const QString kSamePosition = QStringLiteral("Same Position");

// "38:30", "38:30:00", "38:30.5" and "38.5" forms to decimal degrees; text that is not a
// number reads as 0. Minutes and seconds add to the degrees whatever their sign.
double dInput(const QString& text);

// A key typed into a hemisphere box: the letter the box then holds alone ("N"/"S" for a
// latitude, "E"/"W" for a longitude), or an empty text for a key that is not a letter
// (it passes unchanged).
QString hemisphereKey(QChar key, bool latitude);

// The window's boxes.
struct Inputs {
    QString targetLatitude = QStringLiteral("38:01"), targetLatHemisphere = QStringLiteral("N");
    QString targetLongitude = QStringLiteral("122.00"), targetLonHemisphere = QStringLiteral("W");
    QString targetAltitude;
    QString antennaLatitude = QStringLiteral("38:00"), antennaLatHemisphere = QStringLiteral("N");
    QString antennaLongitude = QStringLiteral("122:00"), antennaLonHemisphere = QStringLiteral("W");
    QString antennaAltitude;
};

struct Result {
    double azimuth = 0;   // degrees, 0..360
    double elevation = 0; // degrees
    double range = 0;     // nautical miles
    double viewableRange = 0;
    QString azimuthText, elevationText, rangeText, viewableRangeText, status;
    bool coincident = false;
};

Result calculate(const Inputs& in);
// "Viewable" up to the viewable range, "Marginal" within 25 nautical miles beyond it.
QString viewStatus(double range, double viewableRange);

// "A" + azimuth tenths + CR LF + "E" + elevation tenths + CR LF from the shown texts (a
// negative value goes as "0000"); empty for coincident positions.
QByteArray targetCommand(const Result& result);

// The antenna boxes from the panel's position, when it holds a valid one.
bool fillAntennaPosition(Inputs& in, const PanelState& panel);

} // namespace los
