// korvex with --trace and --data-log against qvrsim over TCP on 127.0.0.1: the option reaches
// the trace, and the lines come in the order things happened.
#include "QvrsimPath.h"
#include "TraceFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

// qvrsim on a free port of 127.0.0.1, stopped by its pid at the end.
struct Simulator {
    QProcess process;
    quint16 port = 0;

    Simulator()
    {
        process.start(qvrsimPath(), {"--port", "0"});
        QByteArray out;
        port = qvrsimTcpPort(process, &out);
    }
    ~Simulator() { stopQvrsim(process); }
};

// Runs a program offscreen with its own settings and runtime folders until it quits.
int runProgram(const QString& exe, const QStringList& args, const QString& home, QByteArray* errors)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_RUNTIME_DIR", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(exe, args);
    if (!program.waitForFinished(20000)) {
        ::kill(pid_t(program.processId()), SIGKILL);
        program.waitForFinished(2000);
        return -1;
    }
    *errors = program.readAllStandardError();
    return program.exitCode();
}

void writeSettings(const QString& home, const QString& app, const QByteArray& text)
{
    QDir().mkpath(home + "/config/Vantrel");
    QFile f(home + "/config/Vantrel/" + app + ".ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "<ms>\t<kind>\t<text>" with ms never going back.
void expectWellFormed(const std::vector<std::string>& lines)
{
    const QRegularExpression shape(
        "^(\\d+)\\t(trace|open|close|send|recv|sync|status|box|file|color|url|answer)\\t"
        "[\\x20-\\x7e]*$");
    qint64 last = 0;
    for (const std::string& line : lines) {
        const auto m = shape.match(QString::fromStdString(line));
        ASSERT_TRUE(m.hasMatch()) << line;
        EXPECT_GE(m.captured(1).toLongLong(), last) << line;
        last = m.captured(1).toLongLong();
    }
}

std::vector<std::string> kinds(const std::vector<std::string>& lines, const char* kind)
{
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (QString::fromStdString(line).section('\t', 1, 1) == kind)
            out.push_back(QString::fromStdString(line).section('\t', 2).toStdString());
    return out;
}

TEST(TraceProcess, KorvexTracesItsPollingOfTheUnit)
{
    Simulator sim;
    ASSERT_NE(sim.port, 0);
    QTemporaryDir home;
    // A free port is usually above 32767: the file carries it as it is.
    writeSettings(home.path(), "multQVRRemote",
                  "[Properties]\nSerial1=False\nAddress1=127.0.0.1\nPort1=" + QByteArray::number(sim.port) +
                      "\n");
    const QString trace = home.filePath("korvex-trace.txt");
    QByteArray errors;
    ASSERT_EQ(runProgram(KORVEX_EXE, {"--trace", trace, "--quit-after", "3"}, home.path(), &errors), 0)
        << errors.constData();

    const std::vector<std::string> lines = traceFileLines(trace);
    expectWellFormed(lines);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(kinds(lines, "trace"), std::vector<std::string>({"started", "stopped"}));
    EXPECT_EQ(kinds(lines, "open"), std::vector<std::string>({"tcp 127.0.0.1:" + std::to_string(sim.port)}));
    EXPECT_EQ(kinds(lines, "box"), std::vector<std::string>());
    EXPECT_EQ(kinds(lines, "sync"), std::vector<std::string>());
    // The start timer waits 1.5 s, then a command each 200 ms.
    EXPECT_GE(kinds(lines, "send").size(), 3u);
    EXPECT_GE(kinds(lines, "recv").size(), kinds(lines, "send").size());
}

// korvex --data-log: an old file is kept unless --replace says otherwise; a new one gets
// the title line of the chosen mode once the link is open.
TEST(DataLogProcess, KorvexStartsAnUnattendedLogOnTheLink)
{
    Simulator sim;
    ASSERT_NE(sim.port, 0);
    QTemporaryDir home;
    writeSettings(home.path(), "multQVRRemote",
                  "[Properties]\nSerial1=False\nAddress1=127.0.0.1\nPort1=" + QByteArray::number(sim.port) +
                      "\n");
    const QString old = home.filePath("old.csv");
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("last night");
    f.close();
    QByteArray errors;
    EXPECT_EQ(runProgram(KORVEX_EXE, {"--data-log", old}, home.path(), &errors), 2);
    EXPECT_EQ(errors, "korvex: " + old.toUtf8() + " exists; add --replace to overwrite it\n");
    EXPECT_EQ(fileBytes(old), "last night");

    ASSERT_EQ(runProgram(KORVEX_EXE,
                         {"--data-log", old, "--replace", "--graph-mode", "2", "--quit-after", "2"},
                         home.path(), &errors),
              0)
        << errors.constData();
    EXPECT_TRUE(fileBytes(old).startsWith(
        "Time,CL,LV,AZ,Rel,Phase,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex DISP v (Reference) Log File\r\n"));

    // Stopped by SIGTERM, as an overnight log is: the program ends normally.
    const QString stopped = home.filePath("stopped.csv");
    QProcess korvex;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    korvex.setProcessEnvironment(env);
    korvex.start(KORVEX_EXE, {"--data-log", stopped, "--graph-mode", "1"});
    for (QDeadlineTimer opened(10000); !opened.hasExpired() && fileBytes(stopped).isEmpty();)
        korvex.waitForFinished(50);
    ASSERT_EQ(::kill(pid_t(korvex.processId()), SIGTERM), 0);
    ASSERT_TRUE(korvex.waitForFinished(10000));
    EXPECT_EQ(korvex.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(korvex.exitCode(), 0);
    EXPECT_TRUE(fileBytes(stopped).startsWith("Time,CL,LV,AZ,Rel,Phase,AGC,LAT,LON,ExtAGC,Stat123 "
                                              "RL,Notes,Korvex DISP ivc (Loop Error) Log File\r\n"));
}

} // namespace
