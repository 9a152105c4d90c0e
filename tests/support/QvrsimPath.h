#pragma once
// Where the built qvrsim program lives, for the tests that start it as a process. The path is
// compiled in as QVRSIM_EXE; QVR_BUILD_DIR covers a build tree that has been moved.
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

#include <csignal>
#include <sys/types.h>

inline QString qvrsimPath()
{
    const QString built = QStringLiteral(QVRSIM_EXE);
    if (QFileInfo::exists(built))
        return built;
    return qEnvironmentVariable("QVR_BUILD_DIR") + "/app/qvrsim/qvrsim";
}

// The TCP port a started qvrsim serves on, from its "qvrsim: TCP 127.0.0.1:<port>" line
// (0 when none came within timeoutMs). What it printed meanwhile is added to *output.
inline quint16 qvrsimTcpPort(QProcess& sim, QByteArray* output, int timeoutMs = 5000)
{
    const QRegularExpression line("^qvrsim: TCP 127\\.0\\.0\\.1:(\\d+)$",
                                  QRegularExpression::MultilineOption);
    for (QDeadlineTimer started(timeoutMs); !started.hasExpired();) {
        sim.waitForReadyRead(100);
        *output += sim.readAllStandardOutput();
        if (const auto m = line.match(QString::fromLatin1(*output)); m.hasMatch())
            return quint16(m.captured(1).toUInt());
    }
    return 0;
}

// Ends a qvrsim the test started, by its pid: SIGTERM first (it stops cleanly and removes its
// links), SIGKILL if it does not end.
inline void stopQvrsim(QProcess& sim)
{
    if (sim.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(sim.processId()), SIGTERM);
    if (!sim.waitForFinished(3000)) {
        ::kill(pid_t(sim.processId()), SIGKILL);
        sim.waitForFinished(2000);
    }
}
