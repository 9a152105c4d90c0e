#include "ProgramOptions.h"

#include "TcpPort.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace programoptions {

std::optional<int> parse(QCommandLineParser& parser, int argc, char** argv, const Program& program)
{
    // A core application only for the parse (the parser reads the program name from it);
    // the program makes its own, with or without windows, once this one is gone.
    int count = argc;
    QCoreApplication core(count, argv);
    QCoreApplication::setApplicationName(program.name);
    QCoreApplication::setApplicationVersion(program.version);
    parser.setApplicationDescription(program.description);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(program, parser.errorText());
    if (parser.isSet(help)) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << program.name << ' ' << program.version << '\n';
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(program, QStringLiteral("unexpected argument \"%1\" (see --help)")
                                       .arg(parser.positionalArguments().constFirst()));
    return std::nullopt;
}

int usageError(const Program& program, const QString& text)
{
    QTextStream(stderr) << program.name << ": " << text << '\n';
    return 2;
}

bool displayAvailable(const Program& program)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    QTextStream(stderr) << program.name << ": no display; set DISPLAY or use QT_QPA_PLATFORM=offscreen\n";
    return false;
}

std::optional<int> readSeconds(const QCommandLineParser& parser, const QCommandLineOption& option,
                               const Program& program, std::optional<double>& seconds)
{
    if (!parser.isSet(option))
        return std::nullopt;
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    if (!ok || value < 0)
        return usageError(program, QStringLiteral("--%1 wants a number of seconds, not \"%2\"")
                                       .arg(option.names().constFirst(), parser.value(option)));
    seconds = value;
    return std::nullopt;
}

std::optional<int> readLink(const QCommandLineParser& parser, const QCommandLineOption& serial,
                            const QCommandLineOption& tcp, const Program& program, std::optional<LinkChoice>& link)
{
    if (parser.isSet(serial) && parser.isSet(tcp))
        return usageError(program, QStringLiteral("--serial and --tcp exclude each other"));
    QString error;
    if (parser.isSet(serial) && !(link = parseSerial(parser.value(serial), &error)))
        return usageError(program, error);
    if (parser.isSet(tcp) && !(link = parseTcp(parser.value(tcp), &error)))
        return usageError(program, error);
    return std::nullopt;
}

std::optional<LinkChoice> parseSerial(const QString& text, QString* error)
{
    LinkChoice link;
    link.serial = true;
    link.device = text;
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && !QFileInfo::exists(text)) {
        bool ok = false;
        const int baud = text.mid(colon + 1).toInt(&ok);
        if (ok) {
            if (baud < 50 || baud > 4000000) {
                *error = QStringLiteral("--serial: %1 is not a baud rate").arg(text.mid(colon + 1));
                return std::nullopt;
            }
            link.device = text.left(colon);
            link.baud = baud;
        }
    }
    if (link.device.isEmpty()) {
        *error = QStringLiteral("--serial wants a device, e.g. /dev/ttyUSB0 or /dev/ttyUSB0:9600");
        return std::nullopt;
    }
    return link;
}

std::optional<LinkChoice> parseTcp(const QString& text, QString* error)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    const std::optional<int> port = colon > 0 ? tcpport::parse(text.mid(colon + 1)) : std::nullopt;
    if (!port) {
        *error = QStringLiteral("--tcp wants HOST:PORT with a port from 1 to 65535, not \"%1\"").arg(text);
        return std::nullopt;
    }
    LinkChoice link;
    link.serial = false;
    link.host = text.left(colon);
    link.port = *port;
    return link;
}

} // namespace programoptions
