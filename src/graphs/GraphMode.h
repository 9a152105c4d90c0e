#pragma once

// The seven graph modes; the value is the index of the mode list.
enum class GraphMode {
    Admc = 0,     // antenna position
    DispIvc = 1,  // servo loop error
    DispV = 2,    // reference sensor
    DispW = 3,    // rate sensor
    DispTc = 4,   // torque command
    Spectrum = 5, // spectrum analyser
    NutaraXy = 6, // X-Y pattern
};

// Sources of the first two ADMC traces; the value is the index of their lists.
enum class AxisSource { CL = 0, LV = 1, AZ = 2 };

// Sources of the third ADMC trace; the value is the index of its list.
enum class ThirdTraceSource { AZ = 0, REL = 1, RelDiv10 = 2, HDG = 3, HdgPlusRel = 4, POL = 5, ExtAgc = 6 };

// What the three selectable ADMC traces show. The defaults are what choosing the ADMC
// mode sets: LV, AZ and REL.
struct AdmcTraceSources {
    AxisSource trace1 = AxisSource::LV;
    AxisSource trace2 = AxisSource::AZ;
    ThirdTraceSource trace3 = ThirdTraceSource::REL;
};
