#include "PromptConversions.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

namespace promptconv {

namespace {
QString qtPatterns(const QString& legacyPatterns)
{
    QStringList out;
    for (QString p : legacyPatterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QLatin1String("*.*"))
            p = QStringLiteral("*");
        if (!p.isEmpty() && !out.contains(p))
            out << p;
    }
    return out.isEmpty() ? QStringLiteral("*") : out.join(QLatin1Char(' '));
}
} // namespace

QString qtFilter(const QString& legacyFilter)
{
    if (legacyFilter.trimmed().isEmpty())
        return QString();
    const QStringList parts = legacyFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = qtPatterns(i + 1 < parts.size() ? parts[i + 1] : description);
        // Qt reads the patterns from the last parenthesis of the description, so the
        // one written there is replaced by the pattern half that really filters.
        static const QRegularExpression trailingParens(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        description.remove(trailingParens);
        if (description.isEmpty())
            description = patterns;
        filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString displayText(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

quint32 bgrFromColor(const QColor& color)
{
    const QColor c = color.toRgb();
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

} // namespace promptconv
