#include "CaptureLine.h"

#include "NumberFormat.h"
#include "PanelState.h"

#include <QStringList>

namespace capture {

namespace {
constexpr int kPrintableBit = 64;

// A status byte that would be a control character (0 before the first status reply, or
// a CR or LF) would break the line apart in the file; it gets the printable bit the unit
// itself sets on its status characters, which keeps its flag bits readable.
QChar statusChar(int byte)
{
    int code = byte & 0xFF;
    if (code < 32)
        code |= kPrintableBit;
    return QChar(code);
}

QString sensorFields(const PanelSample& s)
{
    return numfmt::leadingSpace(int(s.DispCL)) + QLatin1Char(',') + numfmt::leadingSpace(int(s.DispLV)) +
           QLatin1Char(',') + numfmt::leadingSpace(int(s.DispAZ)) + QLatin1Char(',') + s.relativeAzimuthText;
}
} // namespace

QString timeText(const QTime& timeOfDay)
{
    return timeOfDay.toString(QStringLiteral("HH:mm:ss"));
}

QString statusField(const PanelSample& sample)
{
    QString field;
    for (int i = 0; i < 3; ++i)
        field += statusChar(sample.acuStatus[size_t(i)]);
    field += QLatin1Char(' ');
    field += QChar((sample.extended1 | kPrintableBit) & 0xFF);
    field += QChar((sample.extended2 | kPrintableBit) & 0xFF);
    return field;
}

QString composeLine(GraphMode mode, const PanelSample& s, const QTime& timeOfDay)
{
    const QString time = timeText(timeOfDay);
    switch (mode) {
    case GraphMode::Admc:
        return QStringList{
            time,          s.elevationText, s.azimuthText,  s.crossLevelText, s.relativeAzimuthText,
            s.headingText, s.agcText,       s.latitudeText, s.longitudeText,  s.externalAgcText,
            statusField(s)}
            .join(QLatin1Char(','));
    case GraphMode::DispIvc:
    case GraphMode::NutaraXy:
        return time + QLatin1Char(',') + sensorFields(s) + QLatin1Char(',') +
               numfmt::leadingSpace(int(s.DispPhase)) + QLatin1Char(',') + s.agcText;
    case GraphMode::DispV:
    case GraphMode::DispW:
    case GraphMode::DispTc:
    case GraphMode::Spectrum:
        return time + QLatin1Char(',') + sensorFields(s);
    }
    return QString();
}

} // namespace capture
