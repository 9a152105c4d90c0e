#include "LineOfSight.h"

#include "NumberFormat.h"
#include "PanelState.h"

#include <cmath>

namespace los {

namespace {
double number(const QString& text)
{
    return numfmt::leadingNumber(text);
}

double altitude(const QString& text)
{
    const double feet = number(text);
    return feet <= 0 ? 1.0 : feet;
}

double signedAngle(const QString& value, const QString& hemisphere, QChar negative)
{
    const double degrees = dInput(value);
    return hemisphere.trimmed().startsWith(negative, Qt::CaseInsensitive) ? -degrees : degrees;
}

// atan2 as the calculation has always done it, with its own pi.
double bearing(double east, double north)
{
    double a;
    if (north != 0)
        a = std::atan(east / north);
    else if (east > 0)
        a = kPi / 2;
    else if (east < 0)
        a = -kPi / 2;
    else
        a = 0;
    if (north < 0)
        a += kPi;
    if (a > kPi)
        a -= 2 * kPi;
    double degrees = a / kRadiansPerDegree;
    if (degrees < 0)
        degrees += 360;
    return degrees;
}
} // namespace

double dInput(const QString& text)
{
    const qsizetype first = text.indexOf(QLatin1Char(':'));
    if (first < 0)
        return number(text);
    const double d = number(text.left(first));
    const QString rest = text.mid(first + 1);
    const qsizetype second = rest.indexOf(QLatin1Char(':'));
    if (second >= 0)
        return d + number(rest.left(2)) / 60.0 + number(rest.mid(second + 1, 2)) / 3600.0;
    if (rest.contains(QLatin1Char('.')))
        return d + number(rest) / 60.0;
    return d + number(rest.left(2)) / 60.0;
}

QString hemisphereKey(QChar key, bool latitude)
{
    if (!key.isLetter())
        return {};
    const QChar upper = key.toUpper();
    if (latitude)
        return upper < QLatin1Char('O') ? QStringLiteral("N") : QStringLiteral("S");
    return upper < QLatin1Char('F') ? QStringLiteral("E") : QStringLiteral("W");
}

Result calculate(const Inputs& in)
{
    Result r;
    const double targetLat = signedAngle(in.targetLatitude, in.targetLatHemisphere, QLatin1Char('S'));
    const double targetLon = signedAngle(in.targetLongitude, in.targetLonHemisphere, QLatin1Char('W'));
    const double antennaLat = signedAngle(in.antennaLatitude, in.antennaLatHemisphere, QLatin1Char('S'));
    const double antennaLon = signedAngle(in.antennaLongitude, in.antennaLonHemisphere, QLatin1Char('W'));
    const double phi = antennaLat * kRadiansPerDegree;
    double dLon = targetLon - antennaLon;
    if (dLon > 180)
        dLon -= 360;
    if (dLon < -180)
        dLon += 360;
    const double dLat = (targetLat - antennaLat) * kRadiansPerDegree;
    dLon *= kRadiansPerDegree;

    const double e2 = (2 - kFlattening) * kFlattening;
    const double s = std::pow(std::sin(phi), 2);
    const double m = (1 - e2) / std::pow(1 - e2 * s, 1.5);
    const double n = 1 / std::sqrt(1 - e2 * s);
    const double north = m * dLat;
    const double east = std::cos(phi) * n * dLon;
    r.range = std::sqrt(north * north + east * east) * kEarthRadiusNm;
    r.azimuth = bearing(east, north);
    r.rangeText = numfmt::formatPattern(r.range, QStringLiteral("##0.00"));
    r.azimuthText = numfmt::formatPattern(r.azimuth, QStringLiteral("##0.00"));

    const double ha = altitude(in.antennaAltitude);
    const double ht = altitude(in.targetAltitude);
    r.viewableRange = kHorizonFactor * std::sqrt(ha) + kHorizonFactor * std::sqrt(ht);
    r.viewableRangeText = numfmt::formatPattern(r.viewableRange, QStringLiteral("###0.00"));
    r.status = viewStatus(r.range, r.viewableRange);

    const double r1 = kEarthRadiusNm + ha / kFeetPerNm;
    const double r2 = kEarthRadiusNm + ht / kFeetPerNm;
    const double theta = r.range / kEarthRadiusNm;
    const double below = r2 * std::sin(theta);
    if (below == 0) {
        // Straight up or down, or no direction at all: the formula would divide by zero.
        r.coincident = true;
        r.status = kSamePosition;
        r.elevation = ht > ha ? 90.0 : ht < ha ? -90.0 : 0.0;
    } else {
        r.elevation = std::atan((r2 * std::cos(theta) - r1) / below) / kRadiansPerDegree;
    }
    r.elevationText = numfmt::formatPattern(r.elevation, QStringLiteral("#0.00"));
    return r;
}

QString viewStatus(double range, double viewableRange)
{
    if (range <= viewableRange)
        return kViewable;
    if (range < viewableRange + kMarginalBandNm)
        return kMarginal;
    return kNotViewable;
}

QByteArray targetCommand(const Result& result)
{
    if (result.coincident)
        return {};
    auto tenths = [](const QString& shown) {
        // The shown text has two decimals; 38.5 x 10 must not floor to 384.
        const double v = std::floor(numfmt::leadingNumber(shown) * 10.0 + 1e-9);
        return numfmt::formatPattern(v < 0 ? 0.0 : v, QStringLiteral("0000")).toLatin1();
    };
    return "A" + tenths(result.azimuthText) + "\r\nE" + tenths(result.elevationText) + "\r\n";
}

bool fillAntennaPosition(Inputs& in, const PanelState& panel)
{
    if (!panel.gpsValid)
        return false;
    in.antennaLatitude = QString::number(panel.latitude / 10.0);
    in.antennaLongitude = QString::number(panel.longitude / 10.0);
    in.antennaLatHemisphere = QString(QLatin1Char(panel.latHemisphere));
    in.antennaLonHemisphere = QString(QLatin1Char(panel.lonHemisphere));
    return true;
}

} // namespace los
