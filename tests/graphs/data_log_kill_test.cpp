#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>

// A data log written by a process that is killed outright holds every line whose write
// had returned, each one whole, and at most one partial line at its end.
TEST(DataLogKill, EveryWrittenLineSurvivesSigkill)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("killed.csv");
    QProcess writer;
    writer.start(QStringLiteral(DATA_LOG_WRITER_EXE), {path});
    ASSERT_TRUE(writer.waitForStarted(5000));
    QFile log(path);
    QByteArray output; // read as it comes, so that its pipe never fills and stops it
    QElapsedTimer clock;
    clock.start();
    while (log.size() < 200000 && clock.elapsed() < 20000) {
        writer.waitForReadyRead(20);
        output += writer.readAllStandardOutput();
    }
    ASSERT_GT(log.size(), 200000);
    ASSERT_EQ(::kill(pid_t(writer.processId()), SIGKILL), 0);
    ASSERT_TRUE(writer.waitForFinished(5000));
    EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);

    output += writer.readAllStandardOutput();
    QList<QByteArray> reported = output.split('\n');
    reported.removeLast(); // an unfinished number, or the empty rest after the last one
    ASSERT_FALSE(reported.isEmpty());
    const long lastReported = reported.last().toLong();

    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = log.readAll().split('\n');
    const QByteArray partial = lines.takeLast();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0],
              "Time,CL,LV,AZ,Rel,Phase,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP v (Reference) Log File\r");
    const long complete = long(lines.size()) - 1;
    EXPECT_GE(complete, lastReported);
    for (long n = 1; n <= complete; ++n) {
        const QByteArray expected = "12:00:00, 0, 0, 0," + QByteArray::number(qlonglong(n)) + "\r";
        ASSERT_EQ(lines[int(n)], expected) << "line " << n;
    }
    const QByteArray next = "12:00:00, 0, 0, 0," + QByteArray::number(qlonglong(complete + 1)) + "\r";
    EXPECT_TRUE(next.startsWith(partial)) << partial.toStdString();
}
