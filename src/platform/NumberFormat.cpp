#include "NumberFormat.h"

#include <cmath>

namespace numfmt {

qint64 roundHalfEven(double value)
{
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

qint16 aH2I(const QString& hexText)
{
    QString t = hexText.trimmed();
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) || t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        t = t.mid(2);
    quint64 v = 0;
    int digits = 0;
    for (QChar c : t) {
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (d < 0)
            break;
        v = (v << 4) | quint64(d);
        ++digits;
    }
    return digits ? wrap16(qint64(v)) : qint16(0);
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
    QString body = QString::number(std::fabs(value), 'g', 15);
    if (body.startsWith(QLatin1String("0.")))
        body = body.mid(1);  // the legacy form writes .5, not 0.5
    return value < 0 ? QLatin1Char('-') + body : QLatin1Char(' ') + body;
}

double leadingNumber(const QString& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QString num;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        num += text[i++];
    bool digits = false, dot = false;
    for (; i < n; ++i) {
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
    return digits ? num.toDouble() : 0.0;
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
