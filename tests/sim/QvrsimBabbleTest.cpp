// qvrsim --babble: a TCP client gets reply lines without pause, and still its answers.
#include <QDeadlineTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "QvrsimPath.h"

#include <csignal>

TEST(QvrsimProcess, BabbleFloodsATcpClientWithReplyLinesAndStillAnswers)
{
    QTemporaryDir dir;
    const QString transcript = dir.filePath("traffic.log");
    QProcess sim;
    sim.start(qvrsimPath(),
              {"--babble", "--port", "0", "--transcript", transcript, "--greeting", "", "--quiet"});
    ASSERT_TRUE(sim.waitForStarted(3000)) << qPrintable(sim.errorString());
    auto stop = qScopeGuard([&] {
        if (sim.state() != QProcess::NotRunning) {
            ::kill(pid_t(sim.processId()), SIGKILL);
            sim.waitForFinished(2000);
        }
    });
    QByteArray out;
    const quint16 port = qvrsimTcpPort(sim, &out);
    ASSERT_NE(port, 0) << out.constData();

    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(socket.waitForConnected(2000));
    socket.write("mA999\r\n");
    QByteArray in;
    for (QDeadlineTimer reading(500); !reading.hasExpired();)
        if (socket.waitForReadyRead(int(reading.remainingTime())))
            in += socket.readAll();
    socket.disconnectFromHost();

    EXPECT_GT(in.size(), 1000000);
    const QList<QByteArray> lines = in.left(in.lastIndexOf('\r')).split('\r');
    int answers = 0;
    for (const QByteArray& line : lines) {
        answers += line == "mA000";
        EXPECT_TRUE(line == "SH@@@L0300 @@" || line == "E0123A1234C0012" || line == "R0100H0200" ||
                    line == "mA000")
            << line.constData();
        if (HasFailure())
            break;
    }
    EXPECT_EQ(answers, 1);

    ::kill(pid_t(sim.processId()), SIGTERM);
    ASSERT_TRUE(sim.waitForFinished(3000));
    QFile log(transcript);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains(" tcp1 --  babbling\n")) << text.constData();
    EXPECT_TRUE(text.contains(" tcp1 out mA000<0D>\n")) << text.constData();
    EXPECT_LT(text.size(), 1000);
}
