#include "TcpPort.h"

#include <algorithm>

namespace tcpport {

std::optional<int> parse(const QString& text)
{
    const QString t = text.trimmed();
    // Digits only: toInt would take "+80" or "0x50" as well.
    if (t.isEmpty() || t.size() > 5 ||
        !std::all_of(t.cbegin(), t.cend(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    const int port = t.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

QString storedValueText(const QString& key, const QString& text, const QString& file, int fallback)
{
    return QStringLiteral("Error,\r") + key + QLatin1Char('=') + text + QStringLiteral(" in ") + file +
           QStringLiteral(" is not a TCP port (1 to 65535).\rUsing ") + QString::number(fallback) +
           QLatin1Char('.');
}

QString enteredValueText(const QString& key, const QString& text)
{
    return QStringLiteral("Error,\r") + key + QLatin1Char('=') + text +
           QStringLiteral(" is not a TCP port (1 to 65535).\rEnter a port number from 1 to 65535.");
}

} // namespace tcpport
