#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// The command line of the three programs, read before any window system is touched, so
// that --help and --version work on a machine without a display and a mistake costs one
// line on stderr and exit code 2.
namespace programoptions {

struct Program {
    QString name;        // "korvex"
    QString version;     // "0.2.0"
    QString description; // the first line of --help
};

// Adds --help and --version, parses, and handles what ends the run at once: --help prints
// the usage on stdout, --version prints "<name> <version>" (both exit code 0); an unknown
// option, a missing value or a stray argument prints "<name>: <what>" on stderr (exit
// code 2). Nothing when the program should go on.
std::optional<int> parse(QCommandLineParser& parser, int argc, char** argv, const Program& program);

// "<name>: <text>" on stderr, and 2, for a value the program itself finds wrong.
int usageError(const Program& program, const QString& text);

// Whether a window system can be reached: a display, a Wayland socket, or a platform
// chosen with QT_QPA_PLATFORM. Without one, says so on stderr in one line.
bool displayAvailable(const Program& program);

// Reads "--quit-after SECONDS" (none when not given). The exit code of a bad value.
std::optional<int> readSeconds(const QCommandLineParser& parser, const QCommandLineOption& option,
                               const Program& program, std::optional<double>& seconds);

// A link for this run: "--serial DEVICE[:BAUD]" or "--tcp HOST:PORT".
struct LinkChoice {
    bool serial = true;
    QString device;
    int baud = 0; // 0: the stored speed
    QString host;
    int port = 0;
};
// A device path may itself hold colons (/dev/serial/by-path/...): ":BAUD" is split off only
// when the whole text is not an existing file and what follows the last colon is a number.
std::optional<LinkChoice> parseSerial(const QString& text, QString* error);
std::optional<LinkChoice> parseTcp(const QString& text, QString* error);
// Reads the two options (at most one may be given; none: no link). The exit code of a mistake.
std::optional<int> readLink(const QCommandLineParser& parser, const QCommandLineOption& serial,
                            const QCommandLineOption& tcp, const Program& program, std::optional<LinkChoice>& link);

} // namespace programoptions
