// Times a manual firmware upload through the ACU over a real pseudo-terminal, where the
// line adds no delay of its own: what is left is the prescribed pauses (6 ms after each
// piece, 15 ms and, behind the ACU, 12 ms after each line, and the tail) plus whatever
// the program adds. Prints the lines and pieces sent, the measured duration, the sum of
// the prescribed pauses and their ratio.
//
//   upload_pty_bench DEVICE FILE.s19 [IDENTIFIER]   (default identifier QVR2a)
#include "ManualUpload.h"
#include "ModuleSelection.h"
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
    double pausesMs = 0;
};

// The pauses the transfer is told to make, counted from the file on its own.
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
        p.pausesMs += 6.0 * double(pieces) + 15.0 + (behindAcu ? 6.0 + 12.0 : 0.0);
    }
    p.pausesMs += 1000.0 + (behindAcu ? 200.0 : 0.0);
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
    const bool behindAcu = module && *module != Module::QVRa && *module != Module::QVR2a;

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

    std::printf("module %s: %lld lines, %lld pieces\n", qPrintable(identifier), p.lines, p.pieces);
    std::printf("measured %.1f ms, prescribed pauses %.1f ms, ratio %.4f (%s)\n", ms, p.pausesMs,
                ms / p.pausesMs, outcome == S19Transfer::Outcome::Completed ? "completed" : "NOT completed");
    return outcome == S19Transfer::Outcome::Completed ? 0 : 1;
}
