#include "ReplyDecoders.h"

#include "CommandVocabulary.h"
#include "NumberFormat.h"
#include "ReplyParser.h"

#include <cmath>

using namespace vocab;

namespace decoders {

namespace {
QString text(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QString tenths(qint16 value, const char* pattern)
{
    return numfmt::formatPattern(value / 10.0, QLatin1String(pattern));
}

// A third of a number, as the AGC and level displays show it.
qint16 third(double value)
{
    return toInt16(value / 3.0);
}
} // namespace

void Context::plot() const
{
    if (hooks && hooks->plot)
        hooks->plot();
}

double number(QByteArrayView field)
{
    return numfmt::leadingNumber(text(field));
}

qint16 toInt16(double value)
{
    if (!std::isfinite(value))
        return 0;
    // Bring far-out values into range first, so that they wrap as 16-bit integers
    // instead of saturating in the 64-bit conversion.
    if (std::fabs(value) >= 1e15)
        value = std::fmod(value, 65536.0);
    return numfmt::wrap16(numfmt::roundHalfEven(value));
}

qint16 hex16(QByteArrayView field)
{
    return toInt16(numfmt::leadingNumber(QStringLiteral("&H") + text(field)));
}

int parameter(QByteArrayView reply, QByteArrayView query, const Context& c)
{
    const int k = locateKey(reply, ParameterShape::key);
    if (k == 0)
        return ParameterShape::syncError;
    if (query.size() < 2)
        return 0;
    const quint8 letter = quint8(query[1]);
    const qint16 value = toInt16(number(fieldAt(reply, k, ParameterShape::value)));
    c.state.parameters[letter] = value;
    c.state.parameterRead[letter] = true;
    if (letter == 'N') {
        c.state.systemTypeCaption = QStringLiteral("System Type    ") + numfmt::afmtINT3(value);
        if (c.view)
            c.view->setCheckSys(value);
    } else if (letter == 'P' && c.view) {
        c.view->setCheckPol(value);
    }
    return 0;
}

int gps(QByteArrayView reply, const Context& c)
{
    int k = locateKey(reply, GpsShape::east);
    if (k == 0)
        k = locateKey(reply, GpsShape::west);
    if (k == 0)
        return GpsShape::syncError;
    PanelState& s = c.state;
    s.latHemisphere = char(charAt(reply, k + GpsShape::latHemisphere.offset));
    s.latitude = toInt16(number(fieldAt(reply, k, GpsShape::latitude)));
    s.lonHemisphere = char(charAt(reply, k));
    s.longitude = toInt16(number(fieldAt(reply, k, GpsShape::longitude)));
    s.latitudeText = tenths(s.latitude, "##.0") + QLatin1Char(s.latHemisphere);
    s.longitudeText = tenths(s.longitude, "###.0") + QLatin1Char(s.lonHemisphere);
    s.gpsValid = true;
    return 0;
}

int heading(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, HeadingShape::key);
    if (k == 0)
        return HeadingShape::syncError;
    PanelState& s = c.state;
    s.relativeAzimuth = toInt16(number(fieldAt(reply, k, HeadingShape::relativeAzimuth)));
    s.heading = toInt16(number(fieldAt(reply, k, HeadingShape::heading)));
    s.relativeAzimuthText = tenths(s.relativeAzimuth, "###.0");
    s.headingText = tenths(s.heading, "###.0");
    if (c.graphMode == 0)
        c.plot();
    return 0;
}

int receiver(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, ReceiverShape::key);
    if (k == 0)
        return ReceiverShape::syncError;
    PanelState& s = c.state;
    const QByteArrayView first = fieldAt(reply, k, ReceiverShape::first);
    const QByteArrayView second = fieldAt(reply, k, ReceiverShape::second);
    s.receiverField1Text = text(first);
    s.receiverField1 = toInt16(number(first));
    s.receiverField2 = toInt16(number(second));
    s.symbolRateText = QString::number(qint64(s.receiverField2) * 4);
    // The fraction shows three digits; a field beyond "0999" cannot be one.
    s.receiverField2Text = second > QByteArrayView("0999")
                               ? QStringLiteral("xxx")
                               : text(second.last(qMin<qsizetype>(3, second.size())));
    return 0;
}

int auxiliary(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, AuxiliaryShape::key);
    if (k == 0)
        return AuxiliaryShape::syncError;
    PanelState& s = c.state;
    s.polarisationText = text(fieldAt(reply, k, AuxiliaryShape::polarisation));
    if (!reply.contains(AuxiliaryShape::extendedMarker))
        return 0;
    const QByteArrayView agc = fieldAt(reply, k, AuxiliaryShape::externalAgc);
    s.externalAgcText = text(agc);
    s.externalAgc = toInt16(number(agc));
    const QByteArrayView threshold = fieldAt(reply, k, AuxiliaryShape::threshold);
    s.thresholdText = text(threshold);
    s.threshold = toInt16(number(threshold));

    // System Type bit 1 ("Ext Modem Lock") says a modem lock signal comes in on the
    // external AGC input; bit 7 ("Modem Lock In = Hi") inverts its sense.
    const int systemType = s.parameters['N'];
    if (systemType & 2) {
        bool locked = s.externalAgc < 800;
        if (systemType & 128)
            locked = !locked;
        s.externalAgcColour = locked ? PanelState::kAgcBoxLocked : PanelState::kAgcBoxNotLocked;
    } else {
        s.externalAgcColour = PanelState::kAgcBoxWhite;
    }
    return 0;
}

int level(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, LevelShape::key);
    if (k == 0)
        return LevelShape::syncError;
    const QByteArrayView field = fieldAt(reply, k, LevelShape::level);
    c.state.levelText = text(field);
    c.state.level = third(number(field));
    return 0;
}

int version(QByteArrayView reply, const Context& c)
{
    if (locateKey(reply, VersionShape::key) == 0)
        return VersionShape::syncError;
    c.state.acuVersion = text(reply);
    return 0;
}

int position(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, PositionShape::key);
    if (k == 0)
        return PositionShape::syncError;
    PanelState& s = c.state;
    s.elevation = qint16(toInt16(number(fieldAt(reply, k, PositionShape::elevation))) & 0x0FFF);
    s.azimuth = qint16(toInt16(number(fieldAt(reply, k, PositionShape::azimuth))) & 0x0FFF);
    s.crossLevel = qint16(toInt16(number(fieldAt(reply, k, PositionShape::crossLevel))) & 0x0FFF);
    s.elevationText = tenths(s.elevation, "##.0");
    s.azimuthText = tenths(s.azimuth, "###.0");
    s.crossLevelText = tenths(s.crossLevel, "##.0");
    return 0;
}

int status(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, StatusShape::key);
    if (k == 0 || reply.size() - k < StatusShape::minAfterKey)
        return StatusShape::syncError;
    PanelState& s = c.state;
    s.acuStatus[0] = charAt(reply, k + StatusShape::byte1);
    s.acuStatus[1] = charAt(reply, k + StatusShape::byte2);
    s.acuStatus[2] = charAt(reply, k + StatusShape::byte3);
    s.acuStatus[3] = reply.size() > k + StatusShape::byte4 ? charAt(reply, k + StatusShape::byte4) : 0;
    if (reply.size() > k + StatusShape::extended1) {
        s.extended1 = charAt(reply, k + StatusShape::extended1);
        s.extended2 = charAt(reply, k + StatusShape::extended2);
    } else {
        s.extended1 = 0;
        s.extended2 = 0;
    }
    s.bandLetter = (s.extended1 & 32) ? 'B' : 'A';
    s.trackingState = (s.acuStatus[0] & 8) ? 8 : 0;
    if (s.extended2 != s.receiverSettings)
        receiverSettings(s.extended2, s);
    if (charAt(reply, k + StatusShape::agcMarkerOffset) == StatusShape::agcMarker) {
        const QByteArrayView agc = fieldAt(reply, k, StatusShape::agc);
        s.agcText = text(agc);
        const double n = number(agc);
        s.agcRaw = toInt16(n);
        s.agc = third(n);
    }
    if (c.view)
        c.view->statusDecoded();
    return 0;
}

void receiverSettings(int byte, PanelState& s)
{
    s.receiverSettings = byte;
    if (byte == 0) {
        s.toneText.clear();
        s.voltageText.clear();
        s.fecText.clear();
        s.scpc = false;
        return;
    }
    static const char* const kFec[] = {" AUTO", " 1/2", " 2/3", " 3/4", " 5/6", " 6/7", " 7/8", " SCPC"};
    s.toneText = QLatin1String((byte & 16) ? "  ON" : " OFF");
    s.voltageText = QLatin1String((byte & 32) ? " 18V" : " 13V");
    const int fec = byte & 7;
    s.scpc = fec == 7;
    QString t = QLatin1String(kFec[fec]);
    if (byte & 8)
        t += QLatin1Char('*');
    // The front panel has room for five characters: "SCPC*" is its L-band SCPC mode.
    s.fecText = t == QLatin1String(" SCPC*") ? QStringLiteral(" LSCP") : t;
}

void spectrumPoint(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, LevelShape::key);
    if (k == 0)
        return;
    PanelState& s = c.state;
    const QByteArrayView field = fieldAt(reply, k, LevelShape::level);
    s.levelText = text(field);
    s.level = third(number(field));
    if (s.spectrumNext < 0 || s.spectrumNext >= PanelState::kSpectrumPoints)
        return;
    const int index = s.spectrumNext++;
    s.spectrum[index] = s.level;
    if (c.hooks && c.hooks->spectrumPoint)
        c.hooks->spectrumPoint(index);
}

namespace {
struct Axes {
    double cl, lv, az;
};

Axes readAxes(QByteArrayView reply, int k)
{
    return {number(fieldAt(reply, k, PcuSensorShape::cl)), number(fieldAt(reply, k, PcuSensorShape::lv)),
            number(fieldAt(reply, k, PcuSensorShape::az))};
}

void storeAxes(PanelState& s, double cl, double lv, double az)
{
    s.DispCL = toInt16(cl);
    s.DispLV = toInt16(lv);
    s.DispAZ = toInt16(az);
}

void pcuStatus(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, PcuStatusShape::key);
    if (k == 0)
        return;
    PanelState& s = c.state;
    for (int i = 0; i < 4; ++i) {
        const int code = charAt(reply, k + PcuStatusShape::byte1 + i);
        const bool present = code >= 0 && (i < 3 || reply.size() >= PcuStatusShape::byte4MinLineLength);
        s.pcuStatus[i] = present ? code : int(PcuStatusShape::missing);
    }
    if (c.view)
        c.view->pcuStatusDecoded();
}

void reference(QByteArrayView reply, const Context& c)
{
    if (const int k = locateKey(reply, PcuSensorShape::reference)) {
        const Axes a = readAxes(reply, k);
        storeAxes(c.state, (a.cl - 2048) * 0.25, (a.lv - 2048) * 0.25, (a.az - 2048) / 2.8);
    } else if (const int k = locateKey(reply, PcuSensorShape::referenceRaw)) {
        Axes a = readAxes(reply, k);
        // Raw angles in tenths from 0 to 3600; the upper half is the negative side.
        if (a.cl > 1800)
            a.cl -= 3600;
        if (a.lv > 1800)
            a.lv -= 3600;
        storeAxes(c.state, a.cl, a.lv, a.az / 5);
    } else {
        return;
    }
    c.plot();
}

void rate(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, PcuSensorShape::rate);
    if (k == 0)
        return;
    const Axes a = readAxes(reply, k);
    storeAxes(c.state, (a.cl - 2048) * 0.25, (a.lv - 2048) * 0.25, (a.az - 2048) * 0.25);
    c.plot();
}

void loop(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, PcuSensorShape::loop);
    if (k == 0)
        return;
    PanelState& s = c.state;
    s.DispCL = hex16(fieldAt(reply, k, PcuSensorShape::cl));
    s.DispLV = hex16(fieldAt(reply, k, PcuSensorShape::lv));
    s.DispAZ = hex16(fieldAt(reply, k, PcuSensorShape::az));
    const int phase = charAt(reply, k + PcuSensorShape::phase.offset);
    s.DispPhase = qint16(phase < 0 ? 0 : phase - PcuSensorShape::phaseZero);
    c.plot();
}

void torque(QByteArrayView reply, const Context& c)
{
    const int k = locateKey(reply, PcuSensorShape::torque);
    if (k == 0)
        return;
    const Axes a = readAxes(reply, k);
    storeAxes(c.state, a.cl - 128, a.lv - 128, a.az - 128);
    c.plot();
}
} // namespace

void pcu(QByteArrayView reply, char letter, const Context& c)
{
    switch (letter) {
    case kPcuStatus:
        pcuStatus(reply, c);
        break;
    case kPcuVersion:
        c.state.pcuVersion = text(reply);
        break;
    case kPcuReference:
        reference(reply, c);
        break;
    case kPcuRate:
        rate(reply, c);
        break;
    case kPcuLoop:
        loop(reply, c);
        break;
    case kPcuTorque:
        torque(reply, c);
        break;
    default:
        break;
    }
}

} // namespace decoders
