#include "EntryCommands.h"

#include "CommandVocabulary.h"
#include "NumberFormat.h"
#include "PanelState.h"
#include "ParameterPages.h"

#include <cmath>

namespace entry {

namespace {
const QByteArray kCrLf = vocab::kCrLf.toByteArray();

bool hasDigit(const QString& text)
{
    for (QChar c : text)
        if (c.isDigit())
            return true;
    return false;
}

// What is sent as typed must stay one command: a control character (CR, LF, ...) would
// end it early and start another one the user never asked for.
bool isSendable(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

QByteArray digits(int value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

QByteArray receiverCode(int code)
{
    return *fourDigits('c', code);
}
} // namespace

std::optional<double> decimalNumber(const QString& entry)
{
    if (!hasDigit(entry))
        return std::nullopt;
    const double v = numfmt::leadingNumber(entry);
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int> wholeNumber(const QString& entry)
{
    const std::optional<double> v = decimalNumber(entry);
    if (!v || std::fabs(*v) > 1e9)
        return std::nullopt;
    return int(numfmt::roundHalfEven(*v));
}

std::optional<QByteArray> parameterWrite(quint8 letter, int value)
{
    if (value < 0 || value > 999)
        return std::nullopt;
    return QByteArray(1, vocab::kParameter) + char(letter) + digits(value, 3) + kCrLf;
}

std::optional<QByteArray> twoByteWrite(quint8 highLetter, quint8 lowLetter, int value)
{
    if (value < -32768 || value > 65535)
        return std::nullopt;
    if (value < 0)
        value += 65536;
    return *parameterWrite(highLetter, value / 256) + *parameterWrite(lowLetter, value % 256);
}

std::optional<QByteArray> asTyped(char letter, const QString& entry)
{
    if (entry.isEmpty() || !isSendable(entry))
        return std::nullopt;
    return QByteArray(1, letter) + entry.toLatin1() + kCrLf;
}

std::optional<QByteArray> fourDigits(char letter, int value)
{
    if (value < 0 || value > 9999)
        return std::nullopt;
    return QByteArray(1, letter) + digits(value, 4) + kCrLf;
}

QByteArray positionSentence(int latTenths, char latHemisphere, int lonTenths, char lonHemisphere)
{
    const auto coordinate = [](int tenths) {
        tenths = std::abs(tenths);
        const int degrees = tenths / 10;
        const int minutes = tenths * 6 - degrees * 60;
        return digits(degrees, 2) + digits(minutes, 2) + ".00,";
    };
    return "$GPGLL," + coordinate(latTenths) + latHemisphere + ',' + coordinate(lonTenths) + lonHemisphere +
           kCrLf;
}

std::optional<Coordinate> coordinate(const QString& entry, char positive, char negative, int maxDegrees)
{
    Coordinate c;
    QString number;
    for (QChar ch : entry) {
        const char up = ch.toUpper().toLatin1();
        if (up == positive || up == negative) {
            if (c.hemisphere)
                return std::nullopt;
            c.hemisphere = up;
        } else {
            number += ch;
        }
    }
    const std::optional<double> degrees = decimalNumber(number);
    if (!degrees || *degrees < 0 || *degrees > maxDegrees)
        return std::nullopt;
    c.tenths = int(numfmt::roundHalfEven(*degrees * 10));
    return c;
}

std::optional<QByteArray> fec(const QString& entry, int receiverSettings)
{
    int code = 0;
    if (entry.trimmed().isEmpty()) {
        code = ((receiverSettings < 0 ? 0 : receiverSettings) & 15) + 1;
        if (code > 15)
            code = 0;
    } else {
        QString rest = entry.trimmed();
        const bool star = rest.contains(QLatin1Char('*'));
        rest.remove(QLatin1Char('*'));
        rest = rest.trimmed();
        if (rest.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0) {
            code = 7;
        } else if (rest.compare(QLatin1String("L"), Qt::CaseInsensitive) == 0) {
            code = 15;
        } else {
            const std::optional<int> n = wholeNumber(rest);
            if (!n || *n < 0 || *n > 15)
                return std::nullopt;
            code = *n;
        }
        if (star)
            code |= 8;
    }
    return parameterWrite('u', code * 16);
}

std::optional<QByteArray> skew(const QString& entry)
{
    std::optional<int> v = wholeNumber(entry);
    if (!v)
        return std::nullopt;
    if (*v < 0)
        *v += 256;
    return parameterWrite(vocab::kSkew, *v);
}

std::optional<QByteArray> networkId(const QString& entry)
{
    const QString hex = entry.trimmed();
    if (hex.isEmpty() || hex.size() > 4)
        return std::nullopt;
    for (QChar c : hex)
        if (!QStringLiteral("0123456789abcdefABCDEF").contains(c))
            return std::nullopt;
    const int value = quint16(numfmt::aH2I(hex.rightJustified(4, QLatin1Char('0'))));
    return twoByteWrite('}', '~', value);
}

std::optional<QByteArray> frequency(const QString& entry)
{
    const std::optional<double> mhz = decimalNumber(entry);
    if (!mhz || *mhz < 0 || *mhz >= 10000)
        return std::nullopt;
    int whole = int(std::floor(*mhz));
    int thousandths = int(numfmt::roundHalfEven((*mhz - whole) * 1000));
    if (thousandths >= 1000) {
        ++whole;
        thousandths -= 1000;
    }
    const std::optional<QByteArray> c = fourDigits('c', whole);
    if (!c)
        return std::nullopt;
    return *c + *fourDigits('d', thousandths);
}

std::optional<QByteArray> tone(const QString& entry, bool toneOn)
{
    const QString e = entry.trimmed();
    bool on = !toneOn;
    if (e.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0)
        on = true;
    else if (e.compare(QLatin1String("OFF"), Qt::CaseInsensitive) == 0)
        on = false;
    else if (!e.isEmpty())
        return std::nullopt;
    return receiverCode(on ? vocab::kToneOn : vocab::kToneOff);
}

std::optional<QByteArray> voltage(const QString& entry, bool is18V)
{
    const QString e = entry.trimmed();
    bool to18 = !is18V;
    if (e == QLatin1String("13"))
        to18 = false;
    else if (e == QLatin1String("18"))
        to18 = true;
    return receiverCode(to18 ? vocab::kLnb18V : vocab::kLnb13V);
}

std::optional<QByteArray> band(const QString& entry)
{
    const QString e = entry.trimmed();
    if (e.compare(QLatin1String("a"), Qt::CaseInsensitive) == 0)
        return receiverCode(vocab::kBandA);
    if (e.compare(QLatin1String("b"), Qt::CaseInsensitive) == 0)
        return receiverCode(vocab::kBandB);
    return std::nullopt;
}

namespace {
std::optional<QByteArray> parameterPageCommand(const ParameterPage& page, const QString& entry)
{
    const std::optional<int> v = wholeNumber(entry);
    if (!v)
        return std::nullopt;
    switch (page.kind) {
    case ParameterPage::Kind::Blank:
        return std::nullopt;
    case ParameterPage::Kind::Single:
        return parameterWrite(page.first, *v);
    case ParameterPage::Kind::TwoByte:
        return twoByteWrite(page.first, page.second, *v);
    case ParameterPage::Kind::StepSize:
        return fourDigits(char(page.second), *v);
    }
    return std::nullopt;
}

std::optional<Outcome> command(std::optional<QByteArray> bytes)
{
    if (!bytes)
        return std::nullopt;
    return Outcome{*bytes, std::nullopt, std::nullopt};
}
} // namespace

std::optional<Outcome> forPage(int screenCode, const QString& entry, const PanelState& state)
{
    switch (screenCode) {
    case 17: {
        const std::optional<Coordinate> lat = coordinate(entry, 'N', 'S', 90);
        if (!lat)
            return std::nullopt;
        const char hemisphere = lat->hemisphere.value_or(state.latHemisphere);
        return Outcome{positionSentence(lat->tenths, hemisphere, state.longitude, state.lonHemisphere), lat,
                       std::nullopt};
    }
    case 18: {
        const std::optional<Coordinate> lon = coordinate(entry, 'E', 'W', 180);
        if (!lon)
            return std::nullopt;
        const char hemisphere = lon->hemisphere.value_or(state.lonHemisphere);
        return Outcome{positionSentence(state.latitude, state.latHemisphere, lon->tenths, hemisphere),
                       std::nullopt, lon};
    }
    case 19:
        return command(asTyped('B', entry));
    case 33:
        return command(asTyped('T', entry));
    case 34: {
        const std::optional<int> v = wholeNumber(entry);
        return command(v ? twoByteWrite('o', 'p', *v) : std::nullopt);
    }
    case 35:
    case 42:
        return command(frequency(entry));
    case 36: {
        const std::optional<int> v = wholeNumber(entry);
        return command(v ? fourDigits('d', *v) : std::nullopt);
    }
    case 37:
        return command(tone(entry, state.toneText == QLatin1String("  ON")));
    case 38:
        return command(voltage(entry, state.voltageText == QLatin1String(" 18V")));
    case 39:
        return command(fec(entry, state.receiverSettings));
    case 40:
        return command(skew(entry));
    case 41:
        return command(networkId(entry));
    case 65:
        return command(asTyped('A', entry));
    case 66:
        return command(asTyped('E', entry));
    case 67:
        return command(asTyped('J', entry));
    case 69:
        return command(band(entry));
    default:
        break;
    }
    if (const ParameterPage* page = pages::parameterPage(screenCode))
        return command(parameterPageCommand(*page, entry));
    return std::nullopt;
}

} // namespace entry
