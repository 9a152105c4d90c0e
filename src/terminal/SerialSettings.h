#pragma once

#include <QString>

// The serial line settings text, "9600,N,8,1": baud, parity letter, data bits, stop bits.
// The port accepts exactly what SerialByteLink can apply, so a text that would only fail
// later at open is refused when it is set, with the port's own message.
struct SerialSettings {
    int baud = 9600;
    QChar parity = QLatin1Char('N'); // N, E, O, M or S
    int dataBits = 8;
    QString stopBits = QStringLiteral("1");

    static constexpr const char* kDefault = "9600,N,8,1";
    // The port's text for a settings string it cannot apply.
    static constexpr const char* kInvalidText = "Invalid property value";

    // Empty parity/data/stop parts are not accepted; blanks around parts are.
    static bool parse(const QString& text, SerialSettings* out);
    QString toString() const;
};
