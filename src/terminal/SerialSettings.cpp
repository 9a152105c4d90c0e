#include "SerialSettings.h"

#include <QStringList>

bool SerialSettings::parse(const QString& text, SerialSettings* out)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return false;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NEOMS").contains(parity[0]))
        return false;
    const int data = parts[2].trimmed().toInt(&ok);
    if (!ok || data < 5 || data > 8)
        return false;
    const QString stop = parts[3].trimmed();
    if (stop != QLatin1String("1") && stop != QLatin1String("2"))
        return false;
    if (out) {
        out->baud = baud;
        out->parity = parity[0];
        out->dataBits = data;
        out->stopBits = stop;
    }
    return true;
}

QString SerialSettings::toString() const
{
    return QStringLiteral("%1,%2,%3,%4").arg(baud).arg(parity).arg(dataBits).arg(stopBits);
}
