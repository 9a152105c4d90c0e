#include "ScreenPages.h"

#include "CommandVocabulary.h"
#include "NumberFormat.h"
#include "PanelState.h"
#include "PanelTexts.h"
#include "ParameterPages.h"

namespace screens {

namespace {
const QByteArray kShipSequence = "SPH@SPHqSPHuSPH!?   S%";
const QByteArray kSatelliteSequence = "SPHqSPHuSPH!mh999SPH!mi999SPH!mj999SPH!?   S%";
const QByteArray kSatelliteLaterSequence =
    "SPHq!m" + QByteArray(1, char(vocab::kSkew)) + "999SPHuSPH!m}999SPH!m~999SPH!?   S%";
const QByteArray kAntennaSequence = "SPHuSPHqSPH@SPH!?   S%SPH!mN999";
const QByteArray kModeSequence = "!mI999!mN999!mP999SPHu";
const QByteArray kAcuVersionSequence = "SPHuVSPHuV!?   S";
const QByteArray kPcuVersionSequence = "SPHu!?   VSPHu!?   S";
const QByteArray kStatusSequence = "SPHu";

// The ACU reports its second search pattern in extended byte E1, bit 0.
constexpr int kSearch2Bit = 0x01;

// A line the page leaves as it is.
constexpr std::nullopt_t keep = std::nullopt;

QString lit(const char* text)
{
    return QLatin1String(text);
}

Lines shipLines(int code, const PanelState& s)
{
    switch (code) {
    case kShip:
        return {lit("LAT ") + s.latitudeText, lit("LON ") + s.longitudeText, lit("HDG ") + s.headingText,
                QString()};
    case 17:
        return Lines{s.latitudeText, keep, keep, keep};
    case 18:
        return Lines{keep, s.longitudeText, keep, keep};
    case 19:
        return Lines{keep, keep, s.headingText, keep};
    }
    return Lines{};
}

QString satelliteValue(int code, const PanelState& s, bool mhz70)
{
    switch (code) {
    case 35:
        if (mhz70 || s.scpc)
            return lit("FREQ ") + s.receiverField1Text + QLatin1Char('.') + s.receiverField2Text +
                   lit("MHZ  ");
        return lit("FREQ ") + s.receiverField1Text + lit("MHZ  ");
    case 36:
        return lit("BAUD ") + s.symbolRateText + lit("KHZ  ");
    case 37:
        return lit("TONE ") + s.toneText;
    case 38:
        return lit("VOLT ") + s.voltageText;
    case 39:
        return lit("FEC ") + s.fecText;
    case 40:
        return lit("SKEW ") + skewText(s);
    case 41:
        return lit("NID  ") + networkIdText(s);
    }
    return {};
}

Lines satelliteLines(int code, const PanelState& s, const View& v)
{
    if (code == kSatellite) {
        const QString line0 = lit("SAT ") + satelliteLongitude(s);
        // A 70 MHz or SCPC receiver tunes an IF with a fraction; the L-band one whole MHz.
        if (v.mhz70 || s.scpc)
            return {line0, lit(" THRS ") + s.thresholdText,
                    lit("IF ") + s.receiverField1Text + QLatin1Char('.') + s.receiverField2Text,
                    lit(" AGC  ") + s.agcText};
        return {line0, lit("THRS ") + s.thresholdText, lit("FREQ ") + s.receiverField1Text,
                lit("AGC  ") + s.agcText};
    }
    Lines lines;
    if (code == 33) {
        if (v.refreshValue)
            lines[0] = satelliteLongitude(s);
    } else if (code == 34) {
        if (v.refreshValue)
            lines[1] = s.thresholdText;
    } else if (code >= 35 && code <= kSatelliteLast) {
        if (v.refreshValue)
            lines[2] = satelliteValue(code, s, v.mhz70);
        lines[3] = s.agcText;
    }
    return lines;
}

Lines antennaLines(int code, const PanelState& s)
{
    switch (code) {
    case kAntenna:
        return {lit("AZ  ") + s.azimuthText, lit("EL  ") + s.elevationText,
                lit("REL ") + s.relativeAzimuthText, lit("AGC ") + s.agcText};
    case 65:
        return Lines{s.azimuthText, keep, keep, s.agcText};
    case 66:
        return Lines{keep, s.elevationText, keep, s.agcText};
    case 67:
        return Lines{keep, keep, s.relativeAzimuthText, s.agcText};
    case 68:
        return Lines{keep, keep, lit("POL ") + s.polarisationText, keep};
    case 69:
        return Lines{keep, keep, lit("REFLECT ") + QLatin1Char(s.bandLetter), s.agcText};
    }
    return Lines{};
}

Lines modeLines(int code, const PanelState& s, const View& v)
{
    Lines lines;
    switch (code) {
    case kAcuVersionPage:
        lines[2] = s.acuVersion;
        break;
    case kPcuVersionPage:
        lines[2] = s.pcuVersion;
        break;
    case kSearchStatusPage:
        lines[1] = lit("SEARCH 2 ") + lit(search2(s) ? "ON" : "OFF");
        break;
    default:
        if (const ParameterPage* page = pages::parameterPage(code); page && v.refreshValue)
            lines[2] = pages::valueLine(*page, s);
        break;
    }
    return lines;
}
} // namespace

int base(Screen screen)
{
    switch (screen) {
    case Screen::Ship:
        return kShip;
    case Screen::Satellite:
        return kSatellite;
    case Screen::Antenna:
        return kAntenna;
    case Screen::Mode:
        return kMode;
    }
    return kNone;
}

std::optional<Screen> screenOf(int code)
{
    if (code >= kMode && code <= kModeLast)
        return Screen::Mode;
    if (code >= kAntenna && code <= kAntennaLast)
        return Screen::Antenna;
    if (code >= kSatellite && code <= kSatelliteLast)
        return Screen::Satellite;
    if (code >= kShip && code <= kShipLast)
        return Screen::Ship;
    return std::nullopt;
}

QString title(Screen screen)
{
    switch (screen) {
    case Screen::Ship:
        return lit(paneltext::kShipTitle);
    case Screen::Satellite:
        return lit(paneltext::kSatelliteTitle);
    case Screen::Antenna:
        return lit(paneltext::kAntennaTitle);
    case Screen::Mode:
        return lit(paneltext::kModeTitle);
    }
    return {};
}

QString modeTitle(int code)
{
    if (code == kAcuVersionPage)
        return lit(paneltext::kAcuVersionTitle);
    if (code == kPcuVersionPage)
        return lit(paneltext::kPcuVersionTitle);
    if (code > kPcuVersionPage && code < pages::kFirstParameterPage)
        return lit(paneltext::kStatusTitle);
    if (code >= pages::kFirstParameterPage)
        return lit(paneltext::kSetupTitle);
    return lit(paneltext::kModeTitle);
}

QByteArray pollSequence(int code)
{
    switch (screenOf(code).value_or(Screen::Ship)) {
    case Screen::Ship:
        return code ? kShipSequence : QByteArray();
    case Screen::Satellite:
        return code >= kSatelliteLaterPages ? kSatelliteLaterSequence : kSatelliteSequence;
    case Screen::Antenna:
        return kAntennaSequence;
    case Screen::Mode:
        break;
    }
    if (code == kMode)
        return kModeSequence;
    if (code == kAcuVersionPage)
        return kAcuVersionSequence;
    if (code == kPcuVersionPage)
        return kPcuVersionSequence;
    if (const ParameterPage* page = pages::parameterPage(code))
        return pages::pollSequence(*page);
    return kStatusSequence;
}

Lines pageLines(int code, const PanelState& state, const View& view)
{
    switch (screenOf(code).value_or(Screen::Ship)) {
    case Screen::Ship:
        return code ? shipLines(code, state) : Lines{};
    case Screen::Satellite:
        return satelliteLines(code, state, view);
    case Screen::Antenna:
        return antennaLines(code, state);
    case Screen::Mode:
        return modeLines(code, state, view);
    }
    return Lines{};
}

QString satelliteLongitude(const PanelState& s)
{
    const int tenths = (s.parameter('h') & 0xFF) * 256 + s.parameter('i');
    const bool west = s.parameter('j') & 16;
    return numfmt::formatPattern((tenths + 0.1) / 10, QStringLiteral("##0.0")) +
           QLatin1Char(west ? 'W' : 'E');
}

QString skewText(const PanelState& s)
{
    // Written with 256 added to a negative value: the byte's upper half is negative.
    int v = s.parameter(vocab::kSkew);
    if (v > 127 && v < 256)
        v -= 256;
    return QString::number(v);
}

QString networkIdText(const PanelState& s)
{
    const int v = (s.parameter('}') & 0xFF) * 256 + (s.parameter('~') & 0xFF);
    return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper();
}

bool search2(const PanelState& s)
{
    return s.extended1 & kSearch2Bit;
}

} // namespace screens
