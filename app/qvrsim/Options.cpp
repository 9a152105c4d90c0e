#include "Options.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

[[noreturn]] void usageError(const QString& line)
{
    std::fprintf(stderr, "qvrsim: %s\n", qPrintable(line));
    std::exit(2);
}

// The panel counts on one line from a unit right after a TCP connection and pairs it with
// no command; a unit that stays silent would cost it a sync error on its first reply.
constexpr char kAcuGreeting[] = "QVR ACU SIMULATOR";
constexpr int kDefaultPanelIntervalMs = 500;

} // namespace

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser p;
    p.setApplicationDescription(
        "Simulated units for Korvex and Quillan, served on 127.0.0.1 only (TCP) and on a pseudo-terminal.\n"
        "Prints one line per endpoint it serves (\"qvrsim: TCP 127.0.0.1:<port>\", \"qvrsim: pty <path>\").\n"
        "\n"
        "Units:\n"
        "  acu       the antenna control unit with its PCU, as Korvex polls it: status, position, heading,\n"
        "            GPS, receiver, parameters, PCU pass-through and modes, targets, spectrum levels.\n"
        "  terminal  a module's service console for Quillan: echoes what it receives, answers lines\n"
        "            (\"V\" gives the version), sends panel frames and streams text when asked.\n"
        "\n"
        "Faults apply to every line served. Ctrl+C or SIGTERM stops the simulator cleanly.");
    p.addHelpOption();

    const QCommandLineOption unit("unit", "Unit to simulate: acu (default) or terminal.", "UNIT", "acu");
    const QCommandLineOption port("port", "TCP port on 127.0.0.1 (default 2000; 0 picks a free one).", "N",
                                  "2000");
    const QCommandLineOption noTcp("no-tcp", "Do not serve TCP.");
    const QCommandLineOption pty("pty", "Also serve on a pseudo-terminal (opened like a serial port).");
    const QCommandLineOption ptyLink("pty-link",
                                     "Serve on a pseudo-terminal and make a symbolic link to it at PATH "
                                     "(removed on exit).",
                                     "PATH");
    const QCommandLineOption greeting(
        "greeting",
        QStringLiteral("Line a TCP client receives when it connects (acu default "
                       "\"%1\", terminal default none; an empty TEXT sends none).")
            .arg(QLatin1String(kAcuGreeting)),
        "TEXT");
    const QCommandLineOption transcript("transcript",
                                        "Write every byte received and sent, with times, to FILE.", "FILE");
    const QCommandLineOption seed("seed", "Seed of the unit's motion and of the random faults (default 1).",
                                  "N", "1");
    const QCommandLineOption quiet("quiet",
                                   "Print only the endpoint lines, not connections coming and going.");

    const QCommandLineOption dropEvery("drop-every", "Fault: never send every Nth reply.", "N");
    const QCommandLineOption delay(
        "delay", "Fault: send every reply (and everything else) MS milliseconds late.", "MS");
    const QCommandLineOption split("split", "Fault: send replies in pieces of at most N bytes.", "N");
    const QCommandLineOption splitGap("split-gap",
                                      "Milliseconds between the pieces of a split reply (default 10).", "MS");
    const QCommandLineOption join("join", "Fault: send replies two at a time in one chunk.");
    const QCommandLineOption garble("garble",
                                    "Fault: change each byte of a reply with probability P (0 to 1).", "P");
    const QCommandLineOption noCr("no-cr", "Fault: send replies without their line end.");
    const QCommandLineOption prompt("prompt",
                                    "Start a reply with the \">\" prompt with probability P (0 to 1).", "P");
    const QCommandLineOption hangUpAfter(
        "hang-up-after", "Fault: close the TCP connection after its Nth reply has been sent.", "N");
    const QCommandLineOption hangUpAt("hang-up-at",
                                      "Fault: close each TCP connection MS milliseconds after it "
                                      "was made.",
                                      "MS");
    const QCommandLineOption hangUpOnce("hang-up-once",
                                        "Hang up only once (the first connection); later ones stay. On a "
                                        "pseudo-terminal a hang-up makes the unit fall silent until the port "
                                        "is opened again.");

    const QCommandLineOption referenceForm("reference-form",
                                           "acu: form of the PCU reference sensor reply to \"?   v\": v "
                                           "(scaled counts, default) or V (raw angles).",
                                           "v|V", "v");
    const QCommandLineOption noEcho("no-echo", "terminal: do not echo received characters.");
    const QCommandLineOption panelFrames(
        "panel-frames", "terminal: send front-panel frames (display lines 1 and 2, bargraph, "
                        "brightness, code 5, UNWRAP/TRACKING flags) periodically.");
    const QCommandLineOption panelInterval(
        "panel-interval",
        QStringLiteral("terminal: milliseconds between panel frames (default %1; implies --panel-frames).")
            .arg(kDefaultPanelIntervalMs),
        "MS");
    const QCommandLineOption stream("stream",
                                    "terminal: stream numbered lines of printable text (CR LF) at RATE bytes "
                                    "per second, paced evenly, for load tests.",
                                    "RATE");

    p.addOptions({unit,   port,        noTcp,         pty,         ptyLink,  greeting,   transcript,
                  seed,   quiet,       dropEvery,     delay,       split,    splitGap,   join,
                  garble, noCr,        prompt,        hangUpAfter, hangUpAt, hangUpOnce, referenceForm,
                  noEcho, panelFrames, panelInterval, stream});
    p.process(app);

    auto integer = [&](const QCommandLineOption& o, qint64 low, qint64 high) {
        bool ok = false;
        const qint64 v = p.value(o).toLongLong(&ok);
        if (!ok || v < low || v > high)
            usageError(QStringLiteral("--%1 wants a whole number from %2 to %3")
                           .arg(o.names().first())
                           .arg(low)
                           .arg(high));
        return v;
    };
    auto probability = [&](const QCommandLineOption& o) {
        bool ok = false;
        const double v = p.value(o).toDouble(&ok);
        if (!ok || v < 0 || v > 1)
            usageError(QStringLiteral("--%1 wants a probability from 0 to 1").arg(o.names().first()));
        return v;
    };

    Options o;
    const QString unitName = p.value(unit);
    if (unitName == QLatin1String("acu"))
        o.unit = Options::Unit::Acu;
    else if (unitName == QLatin1String("terminal"))
        o.unit = Options::Unit::Terminal;
    else
        usageError(QStringLiteral("--unit wants acu or terminal, not \"%1\"").arg(unitName));

    o.tcp = !p.isSet(noTcp);
    o.port = quint16(integer(port, 0, 65535));
    o.pty = p.isSet(pty) || p.isSet(ptyLink);
    o.ptyLink = p.value(ptyLink);
    if (p.isSet(greeting))
        o.greeting = p.value(greeting).toLatin1();
    else if (o.unit == Options::Unit::Acu)
        o.greeting = kAcuGreeting;
    o.transcript = p.value(transcript);
    o.seed = quint64(integer(seed, 0, std::numeric_limits<qint64>::max()));
    o.quiet = p.isSet(quiet);

    if (p.isSet(dropEvery))
        o.faults.dropEvery = int(integer(dropEvery, 0, 1000000));
    if (p.isSet(delay))
        o.faults.delayMs = int(integer(delay, 0, 600000));
    if (p.isSet(split))
        o.faults.splitBytes = int(integer(split, 0, 1000000));
    if (p.isSet(splitGap))
        o.faults.splitGapMs = int(integer(splitGap, 0, 60000));
    o.faults.joinPairs = p.isSet(join);
    if (p.isSet(garble))
        o.faults.garbleProbability = probability(garble);
    o.faults.omitCr = p.isSet(noCr);
    if (p.isSet(prompt))
        o.faults.promptProbability = probability(prompt);
    if (p.isSet(hangUpAfter))
        o.faults.hangUpAfterReplies = int(integer(hangUpAfter, 0, 100000000));
    if (p.isSet(hangUpAt))
        o.faults.hangUpAfterMs = int(integer(hangUpAt, 0, 86400000));
    o.hangUpOnce = p.isSet(hangUpOnce);

    const QString form = p.value(referenceForm);
    if (form == QLatin1String("V"))
        o.referenceForm = AcuUnit::ReferenceForm::Raw;
    else if (form != QLatin1String("v"))
        usageError(QStringLiteral("--reference-form wants v or V"));
    o.echo = !p.isSet(noEcho);
    if (p.isSet(panelFrames) || p.isSet(panelInterval))
        o.panelIntervalMs =
            p.isSet(panelInterval) ? int(integer(panelInterval, 10, 3600000)) : kDefaultPanelIntervalMs;
    if (p.isSet(stream))
        o.streamBytesPerSecond = int(integer(stream, 1, 100000000));

    if (o.unit == Options::Unit::Acu &&
        (p.isSet(noEcho) || o.panelIntervalMs > 0 || o.streamBytesPerSecond > 0))
        usageError(QStringLiteral(
            "--no-echo, --panel-frames, --panel-interval and --stream are for --unit terminal"));
    if (!o.tcp && !o.pty)
        usageError(QStringLiteral("nothing to serve: --no-tcp without --pty"));
    return o;
}
