#pragma once

// Where a geostationary satellite stands in the sky of a ship, in degrees: azimuth from
// true north (0..360), elevation above the horizon (negative below it).
struct LookAngles {
    double azimuth = 0;
    double elevation = 0;
};

// Latitude north positive, longitudes east positive, all in degrees (spherical earth).
LookAngles lookAngles(double latitude, double longitude, double satelliteLongitude);
