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
// The record a --boot-fault corrupt or drop-line spoils (counting every record received).
constexpr int kFaultyRecord = 3;

struct UnitName {
    const char* name;
    Options::Unit unit;
};
constexpr UnitName kUnits[] = {{"acu", Options::Unit::Acu},       {"terminal", Options::Unit::Terminal},
                               {"usbpcu", Options::Unit::UsbPcu}, {"sppcu", Options::Unit::SpPcu},
                               {"usbmdb", Options::Unit::UsbMdb}, {"spcu", Options::Unit::Spcu},
                               {"spanel", Options::Unit::Spanel}, {"kvmp", Options::Unit::Kvmp}};

} // namespace

BootTarget Options::moduleTarget() const
{
    switch (unit) {
    case Unit::UsbPcu:
        return BootTarget::UsbPcu;
    case Unit::SpPcu:
        return BootTarget::ServicePortPcu;
    case Unit::UsbMdb:
        return BootTarget::UsbMdb;
    case Unit::Spcu:
        return BootTarget::ShorvelPcu;
    case Unit::Spanel:
        return BootTarget::ShorvelPanel;
    case Unit::Kvmp:
        return BootTarget::Kvmp;
    default:
        return BootTarget::Acu;
    }
}

int Options::ownLineSpeed(Unit unit)
{
    switch (unit) {
    case Unit::Acu:
    case Unit::SpPcu:
    case Unit::Spcu:
    case Unit::Spanel:
        return 9600;
    // USB has no line speed, and the console stands for whatever module a test has in mind.
    case Unit::UsbPcu:
    case Unit::UsbMdb:
    case Unit::Kvmp:
    case Unit::Terminal:
        return 0;
    }
    return 0;
}

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
        "  usbpcu    USB PCU bootloader: \"^0080\" starts it, \"^0578\" erases, S-record lines program it;\n"
        "            after the termination record the board restarts (its port goes and comes back).\n"
        "  sppcu     service-port PCU: as usbpcu, echoes every line, does not restart its port.\n"
        "  usbmdb    USB motor driver board: as usbpcu with \"]0080\" and \"]0578\".\n"
        "  spcu      Shorvel PCU: \"^0080\" and 0xA6, bare \"^0578\", records sent bare then CR LF.\n"
        "  spanel    Shorvel panel: bytes 5 7 8, bare \"S119\", bare records, \"^0090\" ends.\n"
        "  kvmp      KVMP board: \"verA\", status text, \"^BL\" restarts into the bootloader (\"verB\");\n"
        "            \"^NM\" reaches the NMEA board (\"bootloader\"), \"$\" the VT PCU (\"^B\", \"%\" "
        "ends).\n"
        "The acu unit also plays the bootloaders of the ACU and of the PCU, DVB receiver, modems and\n"
        "motor driver behind it, reached by five-character pass-through pieces.\n"
        "Module units are served on the pseudo-terminal only (--pty or --pty-link).\n"
        "\n"
        "Faults apply to every line served. Ctrl+C or SIGTERM stops the simulator cleanly.");
    p.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
    p.addOption(version);

    const QCommandLineOption unit(
        "unit", "Unit to simulate: acu (default), terminal, usbpcu, sppcu, usbmdb, spcu, spanel or kvmp.",
        "UNIT", "acu");
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

    const QCommandLineOption babble("babble",
                                    "Fault: over TCP, send valid reply lines without pause, as fast as the "
                                    "client takes them, besides the answers (load tests; not in the "
                                    "transcript).");

    const QCommandLineOption referenceForm("reference-form",
                                           "acu: form of the PCU reference sensor reply to \"?   v\": v "
                                           "(scaled counts, default) or V (raw angles).",
                                           "v|V", "v");
    const QCommandLineOption noMotion("no-motion",
                                      "acu: readings without the tracking jitter, course changes, sensor "
                                      "noise and Nutara circle of a live antenna (the ship still rolls).");
    const QCommandLineOption noEcho("no-echo", "terminal: do not echo received characters.");
    const QCommandLineOption panelFrames(
        "panel-frames", "terminal: send front-panel frames (display lines 1 and 2, bargraph, "
                        "brightness, code 5, UNWRAP/TRACKING flags) periodically.");
    const QCommandLineOption panelInterval(
        "panel-interval",
        QStringLiteral("terminal: milliseconds between panel frames (default %1; implies --panel-frames).")
            .arg(kDefaultPanelIntervalMs),
        "MS");
    const QCommandLineOption statusLines("status-lines",
                                         "terminal: print a status line about the antenna (\"PCU AZ ... EL ... AGC "
                                         "... SEARCHING\") every MS milliseconds, as a live console does.",
                                         "MS");
    const QCommandLineOption stream("stream",
                                    "terminal: stream numbered lines of printable text (CR LF) at RATE bytes "
                                    "per second, paced evenly, for load tests.",
                                    "RATE");

    const QCommandLineOption returnAfter(
        "return-after",
        "USB modules: milliseconds a restarting board stays away before its port comes back on the same "
        "path (default 3000; -1 never).",
        "MS", "3000");
    const QCommandLineOption bootFault(
        "boot-fault",
        QStringLiteral("Bootloader fault, repeatable or comma-separated: corrupt (record %1 arrives with a "
                       "digit changed), drop-line (record %1 never arrives), refuse-erase, never-return "
                       "(a restarting USB board never comes back).")
            .arg(kFaultyRecord),
        "FAULT");
    const QCommandLineOption imageOut(
        "image-out",
        "Whenever a module's programming completes (and at exit if something was programmed), write its "
        "image (lowest to highest address, holes 0xFF) as raw binary to PATH and print \"qvrsim: programmed "
        "<target> base 0x<hex> length N bytes, records good G bad B, overruns O\".",
        "PATH");
    const QCommandLineOption noStatus("no-status", "kvmp: the application sends no status text.");
    const QCommandLineOption lineSpeed(
        "line-speed",
        "Pseudo-terminal: read the program's bytes at BAUD bits per second, ten bits a byte, as the unit's "
        "serial line delivers them (default the unit's own: 9600 for acu, sppcu, spcu and spanel; none "
        "for the USB boards and the terminal; 0 for none). The bootloaders then count a piece that "
        "arrives before the pause they need as an overrun, and lose it.",
        "BAUD");

    p.addOptions({unit,   port,        noTcp,         pty,         ptyLink,  greeting,   transcript,
                  seed,   quiet,       dropEvery,     delay,       split,    splitGap,   join,
                  garble, noCr,        prompt,        hangUpAfter, hangUpAt, hangUpOnce, referenceForm,
                  noEcho, panelFrames, panelInterval, stream, statusLines});
    const QCommandLineOption discovery(
        "discovery",
        "Answer the discovery request on UDP port N of 127.0.0.1 (3000 is the programs' default), "
        "so their \"Find QVRs\" window can be shown working without a network.",
        "N");
    const QCommandLineOption discoveryAnswers("discovery-answers",
                                              "Datagrams sent back for each discovery request (default 1).", "N",
                                              "1");
    p.addOptions({returnAfter, bootFault, imageOut, noStatus, babble, lineSpeed, noMotion});
    p.addOptions({discovery, discoveryAnswers});
    // Mistakes end with exit code 2 and one line, as the other programs' do.
    if (!p.parse(app.arguments()))
        usageError(p.errorText());
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(p.helpText()), stdout);
        std::exit(0);
    }
    if (p.isSet(version)) {
        std::printf("qvrsim %s\n", QVRSIM_VERSION);
        std::exit(0);
    }
    if (!p.positionalArguments().isEmpty())
        usageError(QStringLiteral("unexpected argument \"%1\" (see --help)").arg(p.positionalArguments().constFirst()));

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
    bool known = false;
    for (const UnitName& u : kUnits) {
        if (unitName == QLatin1String(u.name)) {
            o.unit = u.unit;
            known = true;
        }
    }
    if (!known)
        usageError(QStringLiteral(
                       "--unit wants acu, terminal, usbpcu, sppcu, usbmdb, spcu, spanel or kvmp, not \"%1\"")
                       .arg(unitName));

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
    o.liveMotion = !p.isSet(noMotion);
    if (p.isSet(discovery))
        o.discoveryPort = quint16(integer(discovery, 1, 65535));
    o.discoveryAnswers = int(integer(discoveryAnswers, 1, 10));

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
    o.babble = p.isSet(babble);

    const QString form = p.value(referenceForm);
    if (form == QLatin1String("V"))
        o.referenceForm = AcuUnit::ReferenceForm::Raw;
    else if (form != QLatin1String("v"))
        usageError(QStringLiteral("--reference-form wants v or V"));
    o.echo = !p.isSet(noEcho);
    if (p.isSet(panelFrames) || p.isSet(panelInterval))
        o.panelIntervalMs =
            p.isSet(panelInterval) ? int(integer(panelInterval, 10, 3600000)) : kDefaultPanelIntervalMs;
    if (p.isSet(statusLines))
        o.statusIntervalMs = int(integer(statusLines, 10, 3600000));
    if (p.isSet(stream))
        o.streamBytesPerSecond = int(integer(stream, 1, 100000000));

    if (o.unit != Options::Unit::Terminal &&
        (p.isSet(noEcho) || o.panelIntervalMs > 0 || o.streamBytesPerSecond > 0))
        usageError(QStringLiteral(
            "--no-echo, --panel-frames, --panel-interval and --stream are for --unit terminal"));
    o.returnAfterMs = int(integer(returnAfter, -1, 86400000));
    for (const QString& list : p.values(bootFault)) {
        for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString fault = name.trimmed();
            if (fault == QLatin1String("corrupt"))
                o.bootFaults.corruptRecord = kFaultyRecord;
            else if (fault == QLatin1String("drop-line"))
                o.bootFaults.dropRecord = kFaultyRecord;
            else if (fault == QLatin1String("refuse-erase"))
                o.bootFaults.refuseErase = true;
            else if (fault == QLatin1String("never-return"))
                o.bootFaults.neverReturn = true;
            else
                usageError(
                    QStringLiteral("--boot-fault wants corrupt, drop-line, refuse-erase or never-return, "
                                   "not \"%1\"")
                        .arg(fault));
        }
    }
    o.imageOut = p.value(imageOut);
    o.lineSpeed = p.isSet(lineSpeed) ? int(integer(lineSpeed, 0, 4000000)) : Options::ownLineSpeed(o.unit);
    o.statusStream = !p.isSet(noStatus);
    if (o.unit != Options::Unit::Kvmp && p.isSet(noStatus))
        usageError(QStringLiteral("--no-status is for --unit kvmp"));

    if (o.isModule()) {
        // A board on a USB or service port has no TCP side.
        if (p.isSet(port))
            usageError(QStringLiteral("--port: module units are served on a pseudo-terminal only"));
        if (!o.pty)
            usageError(
                QStringLiteral("module units are served on a pseudo-terminal: add --pty or --pty-link"));
        o.tcp = false;
    }
    if (!o.tcp && !o.pty)
        usageError(QStringLiteral("nothing to serve: --no-tcp without --pty"));
    return o;
}
