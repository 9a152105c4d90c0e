// The parameter dump on real time over a pseudo-terminal, against the qvrsim program playing
// the ACU at 9600 baud: every question answered, no time-out, the file complete.
#include "ModuleSelection.h"
#include "ParameterDump.h"

#include <Prompter.h>
#include <QtRuntime.h>
#include <SerialByteLink.h>
#include <SerialPorts.h>
#include <SettingsStore.h>
#include <TcpByteLink.h>
#include <TerminalScreen.h>
#include <TerminalSession.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "QvrsimPath.h"

#include <cstdio>

TEST(DumpPty, FullDumpAgainstQvrsimOverAPseudoTerminal)
{
    QTemporaryDir dir;
    const QString tty = dir.filePath("tty");
    QProcess sim;
    sim.start(qvrsimPath(), {"--pty-link", tty, "--unit", "acu", "--no-tcp"});
    ASSERT_TRUE(sim.waitForStarted(3000));
    QByteArray out;
    for (QDeadlineTimer up(5000); !out.contains("qvrsim: pty ") && !up.hasExpired();) {
        sim.waitForReadyRead(100);
        out += sim.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("qvrsim: pty ")) << out.constData();

    QtRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    SerialByteLink serial{rt};
    TcpByteLink tcp{rt};
    const QString app = QStringLiteral("QuillanUniv1");
    setComDevice(store, app, 1, tty);
    store.set(app, TerminalSession::kSection, QStringLiteral("CommPort"), QStringLiteral("1"));
    store.set(app, TerminalSession::kSection, QStringLiteral("Direct"), QStringLiteral("QVR2a"));
    TerminalSession session(rt, prompter, store, serial, tcp, 1);
    ModuleSelection selection(session);
    ParameterDump dump(session, selection);
    session.start();
    ASSERT_TRUE(session.isPortOpen()) << prompter.lastText().toStdString();

    QElapsedTimer clock;
    clock.start();
    const QString path = dir.filePath("dump.txt");
    EXPECT_TRUE(dump.dumpTo(path));
    const qint64 ms = clock.elapsed();
    stopQvrsim(sim);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    EXPECT_FALSE(session.screen().text().contains(QStringLiteral("Timed Out"))) << session.screen().text().toStdString();
    EXPECT_TRUE(file.startsWith("'QVR-100 ACU VER 3.14 SIM\r\n"));
    EXPECT_TRUE(file.contains("\r\nn0\t003\t'Model Index\r\n"));
    EXPECT_TRUE(file.endsWith("[B\t4800\t\t'Baud Rate NMEA (B)\r\n"));
    EXPECT_EQ(file.count("\r\n"), 2 + 2 + 74 + 2 + 2 + 12 + 6 + 2 + 9);
    std::printf("[pty dump] 95 questions at 9600 baud in %lld ms\n", (long long)ms);
}
