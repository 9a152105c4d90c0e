#pragma once

#include <cmath>

// Small angle helpers of the simulated units, in degrees.
namespace acumath {

inline constexpr double kPi = 3.14159265358979323846;

inline double wrap360(double deg)
{
    deg = std::fmod(deg, 360.0);
    return deg < 0 ? deg + 360.0 : deg;
}

// Shortest signed difference a - b.
inline double angleDiff(double a, double b)
{
    const double d = wrap360(a - b);
    return d > 180.0 ? d - 360.0 : d;
}

inline double moveTowards(double value, double target, double maxStep)
{
    const double d = target - value;
    return std::abs(d) <= maxStep ? target : value + (d > 0 ? maxStep : -maxStep);
}

inline int tenths(double deg)
{
    return int(std::lround(deg * 10.0));
}

} // namespace acumath
