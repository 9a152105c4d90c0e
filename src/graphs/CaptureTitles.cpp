#include "CaptureTitles.h"

namespace capture {

namespace {
const char* const kAdmcLogHeader = "Time,El,Az,CL,Rel,Hdd,AGC,LAT,LON,ExtAGC,Stat123 RL,";
const char* const kIvcLogHeader = "Time,CL,LV,AZ,Rel,Phase,AGC,LAT,LON,ExtAGC,Stat123 RL,";
const char* const kSensorLogHeader = "Time,CL,LV,AZ,Rel,Phase,LAT,LON,ExtAGC,Stat123 RL,";
const char* const kSensorScreenHeader = "Time,Cl,Lv,Az,Rel,";

QString line(const char* header, const QString& notes, const char* title)
{
    return QLatin1String(header) + notes + QLatin1String(title);
}
} // namespace

std::optional<QString> dataLogTitleLine(GraphMode mode, const QString& notes)
{
    switch (mode) {
    case GraphMode::Admc:
        return line(kAdmcLogHeader, notes, ",Korvex ADMC (Antenna Position) Log File");
    case GraphMode::DispIvc:
    case GraphMode::NutaraXy:
        return line(kIvcLogHeader, notes, ",Korvex DISP ivc (Loop Error) Log File");
    case GraphMode::DispV:
        return line(kSensorLogHeader, notes, ",Korvex DISP v (Reference) Log File");
    case GraphMode::DispW:
        return line(kSensorLogHeader, notes, ",Korvex DISP w (Rate Sensor) Log File");
    case GraphMode::DispTc:
        return line(kSensorLogHeader, notes, ",Korvex DISP tc (Torque Command) Log File");
    case GraphMode::Spectrum:
        return std::nullopt;
    }
    return std::nullopt;
}

QString screenCaptureTitleLine(GraphMode mode, const QString& notes)
{
    switch (mode) {
    case GraphMode::Admc:
        return line("Time,El,Az,CLevel,Rel,Hdd,AGC,LAT,LON,ExtAGC,STAT123 RL,", notes,
                    ", Korvex ADMC (Antenna Position) Screen Capture");
    case GraphMode::DispIvc:
        return line("Time,Cl,Lv,Az,Rel,Phase,AGC,", notes, ",Korvex Disp ivc (Loop Error) Screen Capture");
    case GraphMode::DispV:
        return line(kSensorScreenHeader, notes, ",Korvex Disp v (Reference) Screen Capture");
    case GraphMode::DispW:
        return line(kSensorScreenHeader, notes, ",Korvex Disp w (Rate Sensor) Screen Capture");
    case GraphMode::DispTc:
        return line(kSensorScreenHeader, notes, ",Korvex Disp tc (Torque Command) Screen Capture");
    case GraphMode::Spectrum:
        return line("Freq, AGC,,,", notes, ",Korvex Spectrum Analyzer Screen Capture");
    case GraphMode::NutaraXy:
        return line("Time,Cl,Lv,Az,Rel,Phase,", notes, ",Korvex Nutara X-Y / Phase Screen Capture");
    }
    return QString();
}

} // namespace capture
