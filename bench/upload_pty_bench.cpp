// Times a manual firmware upload through the ACU over a real pseudo-terminal, which qvrsim
// reads at the module's line speed: the transfer must last the wire time of what it sends
// plus the prescribed pauses (6 ms after each piece, 15 ms and, behind the ACU, 6 ms after
// the route reset and 12 ms after each line, and the tail), and little more. Prints the
// lines, pieces and bytes sent, the measured duration, the wire time, the pauses and the
// ratio of the duration to their sum.
//
//   upload_pty_bench DEVICE FILE.s19 [IDENTIFIER]   (default identifier QVR2a)
#include "ManualUpload.h"
#include "ModuleSelection.h"
#include "ModuleTable.h"
#include "Prompter.h"
#include "QtRuntime.h"
#include "SerialByteLink.h"
#include "SerialPorts.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "TerminalSession.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

struct Prescribed {
    qint64 lines = 0;
    qint64 pieces = 0;
    qint64 bytes = 0; // on the wire, with the line ends
    double pausesMs = 0;
};

// What the transfer is told to send and to wait, counted from the file on its own.
Prescribed prescribed(const QString& path, bool behindAcu)
{
    Prescribed p;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return p;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        if (line.isEmpty() || line.startsWith("S0"))
            continue;
        const qint64 pieces = (line.size() + 3) / 4;
        ++p.lines;
        p.pieces += pieces;
        // "#xxxx" CR LF per piece; behind the ACU "?    " CR before and "#!   " CR LF after.
        p.bytes += 7 * pieces + (behindAcu ? 6 + 7 : 0);
        p.pausesMs += 6.0 * double(pieces) + 15.0 + (behindAcu ? 6.0 + 12.0 : 0.0);
    }
    p.pausesMs += 1000.0 + (behindAcu ? 200.0 : 0.0);
    p.bytes += behindAcu ? 2 * 7 : 0;
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: upload_pty_bench DEVICE FILE.s19 [IDENTIFIER]\n");
        return 2;
    }
    const QString device = QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    const QString identifier = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("QVR2a");

    QtRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    SerialByteLink serial(rt);
    TcpByteLink tcp(rt);
    const QString profile = QStringLiteral("QuillanUniv1");
    setComDevice(store, profile, 1, device);
    store.set(profile, QStringLiteral("Properties"), QStringLiteral("Direct"), identifier);
    TerminalSession session(rt, prompter, store, serial, tcp, 1);
    ModuleSelection selection(session);
    session.start();
    if (!session.isPortOpen()) {
        std::fprintf(stderr, "could not open %s: %s\n", qPrintable(device), qPrintable(prompter.lastText()));
        return 1;
    }
    const std::optional<Module> module = selection.checkedModule();
    if (!module) {
        std::fprintf(stderr, "no module for identifier %s\n", qPrintable(identifier));
        return 2;
    }
    const bool behindAcu = *module != Module::QVRa && *module != Module::QVR2a;

    ManualUpload upload(session, selection);
    upload.bootloader().startBootloader();
    upload.bootloader().eraseModule();
    rt.wait(2000);

    const Prescribed p = prescribed(file, behindAcu);
    const qint64 t0 = rt.nowNs();
    const S19Transfer::Outcome outcome = upload.transfer().sendS19File(file);
    const double ms = double(rt.nowNs() - t0) / 1e6;
    upload.bootloader().RebootACU();
    rt.wait(1000);

    // Ten bits a byte: start, eight data bits, stop.
    const int baud = ModuleTable::row(*module).speed;
    const double wireMs = double(p.bytes) * 10.0 * 1000.0 / baud;
    std::printf("module %s at %d baud: %lld lines, %lld pieces, %lld bytes\n", qPrintable(identifier), baud,
                p.lines, p.pieces, p.bytes);
    std::printf(
        "measured %.1f ms, wire time %.1f ms + prescribed pauses %.1f ms = %.1f ms, ratio %.4f (%s)\n", ms,
        wireMs, p.pausesMs, wireMs + p.pausesMs, ms / (wireMs + p.pausesMs),
        outcome == S19Transfer::Outcome::Completed ? "completed" : "NOT completed");
    return outcome == S19Transfer::Outcome::Completed ? 0 : 1;
}
