#include "NumberFormat.h"

#include <cmath>
#include <limits>

namespace numfmt {

qint64 roundHalfEven(double value)
{
    // Text from a unit or a file can hold anything; out-of-range values saturate instead
    // of being undefined behaviour in the conversion below.
    if (std::isnan(value))
        return 0;
    if (value >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (value <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    // Settle representation noise first (0.1 * 25 = 2.5000000000000004) so that a value
    // that is meant to be a half is treated as one.
    const double settled = std::round(value * 1e9) / 1e9;
    const double floor = std::floor(settled);
    const double diff = settled - floor;
    qint64 result = qint64(floor);
    if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0)))
        ++result;
    return result;
}

qint16 wrap16(qint64 value)
{
    return qint16(quint16(quint64(value) & 0xFFFF));
}

namespace {
QString zeroPadded(double value, int digits)
{
    const qint64 v = roundHalfEven(value);
    const QString body = QString::number(v < 0 ? -v : v).rightJustified(digits, QLatin1Char('0'));
    return v < 0 ? QLatin1Char('-') + body : body;
}
} // namespace

QString afmtINT3(double value)
{
    return zeroPadded(value, 3);
}

QString afmtINT4(double value)
{
    return zeroPadded(value, 4);
}

namespace {
// The legacy number reader ignores blanks, tabs and line feeds wherever they are.
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

void skipBlanks(const QString& t, int& i)
{
    while (i < t.size() && isBlank(t[i]))
        ++i;
}

// Reads digits of the radix from i on (blanks skipped), keeping the low 64 bits.
int readRadixDigits(const QString& t, int& i, int radix, quint64* value)
{
    int digits = 0;
    for (skipBlanks(t, i); i < t.size(); skipBlanks(t, ++i)) {
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(t[i].toUpper());
        if (d < 0 || d >= radix)
            break;
        *value = *value * quint64(radix) + quint64(d);
        ++digits;
    }
    return digits;
}

// A "&H"/"&O" literal is a 16-bit value when it fits in 16 bits ("&HFFFF" is -1), else 32-bit.
qint64 radixLiteralValue(quint64 v)
{
    if (v <= 0xFFFF)
        return wrap16(qint64(v));
    return qint32(quint32(v & 0xFFFFFFFFu));
}
} // namespace

qint16 aH2I(const QString& hexText)
{
    int i = 0;
    skipBlanks(hexText, i);
    if (hexText.mid(i, 2).compare(QLatin1String("&H"), Qt::CaseInsensitive) == 0 ||
        hexText.mid(i, 2).compare(QLatin1String("0x"), Qt::CaseInsensitive) == 0)
        i += 2;
    quint64 v = 0;
    return readRadixDigits(hexText, i, 16, &v) ? wrap16(qint64(v)) : qint16(0);
}

double dTan2(double x, double y)
{
    constexpr double pi = 3.14159;
    if (x == 0)
        return y > 0 ? pi / 2 : -pi / 2;
    double r = std::atan(y / x);
    if (x < 0)
        r += pi;
    return r;
}

QString formatPattern(double value, const QString& pattern)
{
    const int dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? pattern : pattern.left(dot);
    const QString fracPart = dot < 0 ? QString() : pattern.mid(dot + 1);
    const int decimals = int(fracPart.count(QLatin1Char('0')) + fracPart.count(QLatin1Char('#')));
    const int minIntDigits = int(intPart.count(QLatin1Char('0')));

    qint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const qint64 scaled = roundHalfEven(value * double(scale));
    const bool negative = scaled < 0;
    const quint64 magnitude = quint64(negative ? -scaled : scaled);

    QString intDigits = QString::number(magnitude / quint64(scale));
    if (intDigits == QLatin1String("0") && minIntDigits == 0)
        intDigits.clear();
    intDigits = intDigits.rightJustified(minIntDigits, QLatin1Char('0'));
    QString out = intDigits;
    if (decimals > 0) {
        QString frac = QString::number(magnitude % quint64(scale)).rightJustified(decimals, QLatin1Char('0'));
        // Optional ("#") places drop trailing zeros.
        const int required = int(fracPart.count(QLatin1Char('0')));
        while (frac.size() > required && frac.endsWith(QLatin1Char('0')))
            frac.chop(1);
        if (!frac.isEmpty() || dot >= 0)
            out += QLatin1Char('.') + frac;
    }
    return negative && magnitude != 0 ? QLatin1Char('-') + out : out;
}

QString leadingSpace(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString leadingSpace(double value)
{
    QString body = QString::number(std::fabs(value), 'g', 15).toUpper();
    if (body.startsWith(QLatin1String("0.")))
        body = body.mid(1); // the legacy form writes .5, not 0.5
    return value < 0 ? QLatin1Char('-') + body : QLatin1Char(' ') + body;
}

double leadingNumber(const QString& text)
{
    const int n = int(text.size());
    int i = 0;
    skipBlanks(text, i);
    if (i + 1 < n && text[i] == QLatin1Char('&')) {
        const QChar r = text[i + 1].toUpper();
        if (r == QLatin1Char('H') || r == QLatin1Char('O')) {
            i += 2;
            quint64 v = 0;
            return readRadixDigits(text, i, r == QLatin1Char('H') ? 16 : 8, &v) ? double(radixLiteralValue(v))
                                                                                : 0.0;
        }
    }
    QString num;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        num += text[i++];
    bool digits = false, dot = false;
    for (skipBlanks(text, i); i < n; skipBlanks(text, ++i)) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            num += c;
            digits = true;
        } else if (c == QLatin1Char('.') && !dot) {
            num += c;
            dot = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    // An exponent ("1.5E3", or "D" as the legacy reader also takes) counts only when digits
    // follow it; "12E" is 12.
    if (i < n && QStringLiteral("EeDd").contains(text[i])) {
        int j = i + 1;
        QString exp = QStringLiteral("e");
        skipBlanks(text, j);
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            exp += text[j++];
        bool expDigits = false;
        for (skipBlanks(text, j); j < n && text[j].isDigit() && text[j].unicode() < 128;
             skipBlanks(text, ++j)) {
            exp += text[j];
            expDigits = true;
        }
        if (expDigits)
            num += exp;
    }
    bool ok = false;
    const double v = num.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

std::optional<int> toInt16(const QString& text)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    const qint64 v = roundHalfEven(d);
    if (v < -32768 || v > 32767)
        return std::nullopt;
    return int(v);
}

std::optional<bool> toBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok)
        return d != 0;
    return std::nullopt;
}

} // namespace numfmt
