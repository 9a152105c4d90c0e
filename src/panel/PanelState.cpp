#include "PanelState.h"

PanelSample PanelSample::from(const PanelState& s, qint64 timeMs, QTime timeOfDay)
{
    PanelSample p;
    p.timeMs = timeMs;
    p.timeOfDay = timeOfDay;
    p.elevation = s.elevation;
    p.azimuth = s.azimuth;
    p.crossLevel = s.crossLevel;
    p.relativeAzimuth = s.relativeAzimuth;
    p.heading = s.heading;
    p.agc = s.agc;
    p.latitude = s.latitude;
    p.longitude = s.longitude;
    p.latHemisphere = s.latHemisphere;
    p.lonHemisphere = s.lonHemisphere;
    p.externalAgc = s.externalAgc;
    p.elevationText = s.elevationText;
    p.azimuthText = s.azimuthText;
    p.crossLevelText = s.crossLevelText;
    p.relativeAzimuthText = s.relativeAzimuthText;
    p.headingText = s.headingText;
    p.agcText = s.agcText;
    p.latitudeText = s.latitudeText;
    p.longitudeText = s.longitudeText;
    p.externalAgcText = s.externalAgcText;
    p.polarisationText = s.polarisationText;
    p.acuStatus = s.acuStatus;
    p.extended1 = s.extended1;
    p.extended2 = s.extended2;
    p.pcuStatus = s.pcuStatus;
    p.DispCL = s.DispCL;
    p.DispLV = s.DispLV;
    p.DispAZ = s.DispAZ;
    p.DispPhase = s.DispPhase;
    return p;
}
