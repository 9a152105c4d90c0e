#include "SatelliteGeometry.h"

#include "AcuMath.h"

#include <cmath>

namespace {
using acumath::kPi;
constexpr double kEarthRadiusKm = 6378.137;
constexpr double kOrbitRadiusKm = 42164.0;

double radians(double deg)
{
    return deg * kPi / 180.0;
}
double degrees(double rad)
{
    return rad * 180.0 / kPi;
}
} // namespace

LookAngles lookAngles(double latitude, double longitude, double satelliteLongitude)
{
    const double lat = radians(latitude), lon = radians(longitude), sat = radians(satelliteLongitude);
    // Earth-centred coordinates of ship and satellite, then the line between them in the
    // ship's east / north / up frame.
    const double dx = kOrbitRadiusKm * std::cos(sat) - kEarthRadiusKm * std::cos(lat) * std::cos(lon);
    const double dy = kOrbitRadiusKm * std::sin(sat) - kEarthRadiusKm * std::cos(lat) * std::sin(lon);
    const double dz = -kEarthRadiusKm * std::sin(lat);
    const double east = -std::sin(lon) * dx + std::cos(lon) * dy;
    const double north =
        -std::sin(lat) * std::cos(lon) * dx - std::sin(lat) * std::sin(lon) * dy + std::cos(lat) * dz;
    const double up =
        std::cos(lat) * std::cos(lon) * dx + std::cos(lat) * std::sin(lon) * dy + std::sin(lat) * dz;
    double azimuth = degrees(std::atan2(east, north));
    if (azimuth < 0)
        azimuth += 360.0;
    return {azimuth, degrees(std::atan2(up, std::hypot(east, north)))};
}
