#pragma once

#include <QByteArray>
#include <QString>
#include <QTime>

#include <array>

// What the panel knows about the unit, as the reply parser leaves it. Values are 16-bit
// signed as the unit's fields are; angles are tenths of a degree. Texts are kept as the
// displays show them. Every good reply overwrites the values of its type; a bad one
// changes nothing.
struct PanelState {
    static constexpr int kParameterSlots = 256;
    static constexpr int kSpectrumPoints = 1301;

    // Colours of the external AGC box (blue-green-red values).
    static constexpr quint32 kAgcBoxLocked = 8454016;    // light green
    static constexpr quint32 kAgcBoxNotLocked = 8421631; // light red
    static constexpr quint32 kAgcBoxWhite = 16777215;

    // "P": each masked to its low 12 bits (0..4095).
    qint16 elevation = 0;
    qint16 azimuth = 0;
    qint16 crossLevel = 0;
    QString elevationText;  // value / 10, "##.0"
    QString azimuthText;    // "###.0"
    QString crossLevelText; // "##.0"

    // "H"
    qint16 relativeAzimuth = 0;
    qint16 heading = 0;
    QString relativeAzimuthText; // "###.0"
    QString headingText;         // "###.0"

    // "@"
    qint16 latitude = 0;
    qint16 longitude = 0;
    char latHemisphere = 'N';
    char lonHemisphere = 'E';
    QString latitudeText;  // "##.0" + hemisphere letter
    QString longitudeText; // "###.0" + hemisphere letter
    bool gpsValid = false;

    // "q": the first field as received and its value; the second field's display text
    // ("xxx" above "0999", else its last three characters), its value and the symbol
    // rate text (value x 4).
    QString receiverField1Text;
    qint16 receiverField1 = 0;
    QString receiverField2Text;
    qint16 receiverField2 = 0;
    QString symbolRateText;

    // "u"
    QString polarisationText;
    QString externalAgcText;
    qint16 externalAgc = 0;
    quint32 externalAgcColour = kAgcBoxWhite;
    QString thresholdText;
    qint16 threshold = 0;

    // "%" (and the level of a "c" set command)
    QString levelText;
    qint16 level = 0; // level / 3

    // Version texts: "V", "?   V".
    QString acuVersion;
    QString pcuVersion;

    // "S": status bytes 1..4 (byte 4 is 0 when the reply has none), extended bytes E1/E2.
    std::array<int, 4> acuStatus{};
    int extended1 = 0;
    int extended2 = 0;
    QString agcText;
    qint16 agcRaw = 0;     // the AGC number before its division (the tracking LED compares it)
    qint16 agc = 0;        // AGC / 3
    int trackingState = 0; // 8 while tracking (byte 1 bit 3), else 0
    char bandLetter = 'A'; // "B" when E1 bit 5 is set
    // Receiver settings (E2), decoded only when it changes. -1 = never decoded.
    int receiverSettings = -1;
    QString toneText;
    QString voltageText;
    QString fecText;
    bool scpc = false;

    // "?   S": PCU status bytes 1..4 ("@" = 64 when missing).
    std::array<int, 4> pcuStatus{64, 64, 64, 64};

    // PCU sensor queries: the three axis values of the current sensor graph and the
    // pattern phase index.
    qint16 DispCL = 0;
    qint16 DispLV = 0;
    qint16 DispAZ = 0;
    qint16 DispPhase = 0;

    // "m" replies: one value per parameter letter (the letter's byte code is the index).
    std::array<qint16, kParameterSlots> parameters{};
    std::array<bool, kParameterSlots> parameterRead{};
    QString systemTypeCaption; // "System Type    " + three digits

    // "c" replies: the spectrum trace. spectrumNext is where the next level lands; the
    // sweep owner may move it.
    std::array<qint16, kSpectrumPoints> spectrum{};
    int spectrumNext = 0;

    // MODE/SATELLITE page changes set it; each processed reply counts it down to 0.
    int settleCounter = 0;

    qint16 parameter(quint8 letter) const { return parameters[letter]; }
};

// The values the graph engine and the data log read at each plot request.
struct PanelSample {
    qint64 timeMs = 0; // runtime clock
    QTime timeOfDay;   // for the texts written to files
    qint16 elevation = 0, azimuth = 0, crossLevel = 0;
    qint16 relativeAzimuth = 0, heading = 0;
    qint16 agc = 0;
    qint16 latitude = 0, longitude = 0;
    char latHemisphere = 'N', lonHemisphere = 'E';
    qint16 externalAgc = 0;
    QString elevationText, azimuthText, crossLevelText, relativeAzimuthText, headingText, agcText;
    QString latitudeText, longitudeText, externalAgcText, polarisationText;
    std::array<int, 4> acuStatus{};
    int extended1 = 0, extended2 = 0;
    std::array<int, 4> pcuStatus{};
    qint16 DispCL = 0, DispLV = 0, DispAZ = 0, DispPhase = 0;

    static PanelSample from(const PanelState& s, qint64 timeMs, QTime timeOfDay);
};
