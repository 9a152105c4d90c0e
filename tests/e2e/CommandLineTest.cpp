// The three programs' command lines, run as a user runs them: without a display for
// --help and --version, with a link chosen for one run against qvrsim on 127.0.0.1 or on
// a pseudo-terminal, each in a settings folder of its own.
#include "QvrsimPath.h"
#include "TraceFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out, err;
};

// Runs a program to its end with its own settings; `display` false takes every way to a
// window system away, as on a server or in a bare ssh session.
Outcome run(const QString& exe, const QStringList& args, const QString& home, bool display)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_RUNTIME_DIR", home);
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    if (display)
        env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(exe, args);
    Outcome r;
    if (!program.waitForFinished(20000)) {
        ::kill(pid_t(program.processId()), SIGKILL);
        program.waitForFinished(2000);
        return r;
    }
    r.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    r.out = program.readAllStandardOutput();
    r.err = program.readAllStandardError();
    return r;
}

std::vector<std::string> lines(const QByteArray& text)
{
    std::vector<std::string> out;
    for (const QByteArray& l : text.split('\n'))
        if (!l.isEmpty())
            out.push_back(l.toStdString());
    return out;
}

TEST(CommandLine, HelpVersionAndMistakesNeedNoDisplay)
{
    QTemporaryDir home;
    const struct {
        const char* name;
        QString exe;
    } programs[] = {{"korvex", KORVEX_EXE}, {"quillan", QUILLAN_EXE}, {"qvrsim", QVRSIM_EXE}};
    for (const auto& p : programs) {
        SCOPED_TRACE(p.name);
        const Outcome version = run(p.exe, {"--version"}, home.path(), false);
        EXPECT_EQ(version.exitCode, 0) << version.err.constData();
        EXPECT_EQ(version.out, QByteArray(p.name) + " " + QVR_VERSION + "\n");

        const Outcome help = run(p.exe, {"--help"}, home.path(), false);
        EXPECT_EQ(help.exitCode, 0) << help.err.constData();
        EXPECT_TRUE(help.out.contains("--version")) << help.out.constData();

        for (const QStringList& bad : {QStringList{"--no-such-option"}, QStringList{"stray"}}) {
            const Outcome r = run(p.exe, bad, home.path(), false);
            EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString();
            ASSERT_EQ(lines(r.err).size(), 1u) << r.err.constData();
            EXPECT_EQ(lines(r.err)[0].rfind(std::string(p.name) + ": ", 0), 0u) << r.err.constData();
        }
    }
    const Outcome quit = run(KORVEX_EXE, {"--quit-after", "abc"}, home.path(), false);
    EXPECT_EQ(quit.exitCode, 2);
    EXPECT_EQ(quit.err, "korvex: --quit-after wants a number of seconds, not \"abc\"\n");
    const Outcome pace = run(KORVEX_EXE, {"--pacing", "30"}, home.path(), false);
    EXPECT_EQ(pace.exitCode, 2);
    EXPECT_EQ(pace.err, "korvex: --pacing wants 50, 100, 200 or 500, not \"30\"\n");
    EXPECT_EQ(run(QUILLAN_EXE, {"--tcp", "127.0.0.1:0"}, home.path(), false).exitCode, 2);
    const Outcome module = run(QUILLAN_EXE, {"--module", "NOPE"}, home.path(), false);
    EXPECT_EQ(module.exitCode, 2);
    EXPECT_TRUE(module.err.contains("SPCU")) << module.err.constData();

    // A good command line without a display: one line that says what to do.
    const Outcome noDisplay = run(KORVEX_EXE, {}, home.path(), false);
    EXPECT_EQ(noDisplay.exitCode, 1);
    EXPECT_EQ(noDisplay.err, "korvex: no display; set DISPLAY or use QT_QPA_PLATFORM=offscreen\n");
}

// A link given on the command line is used for the run; the stored settings stay as they
// were (here: none at all, so nothing is written for the link either).
TEST(CommandLine, KorvexTcpLinkForOneRunLeavesTheStoredProfileAlone)
{
    QProcess sim;
    sim.start(qvrsimPath(), {"--port", "0"});
    QByteArray simOut;
    const quint16 port = qvrsimTcpPort(sim, &simOut);
    ASSERT_NE(port, 0) << simOut.constData();
    QTemporaryDir home;
    const QString trace = home.filePath("trace.txt");
    const Outcome r = run(KORVEX_EXE, {"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--trace", trace,
                                   "--quit-after", "2.5"},
                      home.path(), true);
    stopQvrsim(sim);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    int opened = 0, received = 0;
    for (const std::string& line : traceFileLines(trace)) {
        opened += line.find("\topen\ttcp 127.0.0.1:" + std::to_string(port)) != std::string::npos;
        received += line.find("\trecv\t") != std::string::npos;
    }
    EXPECT_EQ(opened, 1);
    EXPECT_GT(received, 0);
    QFile ini(home.path() + "/config/Vantrel/multQVRRemote.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray stored = ini.readAll();
    for (const char* key : {"Address1", "Port1", "Serial1", "Select", "COM1"})
        EXPECT_FALSE(stored.contains(key)) << key << " was stored:\n" << stored.constData();
}

// Quillan on a pseudo-terminal as the SPCU: the module choice and the device reach the
// session (the trace names the device opened) and neither is stored.
TEST(CommandLine, QuillanSerialAndModuleForOneRun)
{
    QTemporaryDir home;
    const QString link = home.filePath("ttyUNIT");
    QProcess sim;
    sim.start(qvrsimPath(), {"--unit", "terminal", "--no-tcp", "--pty-link", link});
    QByteArray simOut;
    ASSERT_TRUE(sim.waitForReadyRead(5000));
    for (int i = 0; i < 50 && !QFile::exists(link); ++i)
        ::usleep(100000);
    ASSERT_TRUE(QFile::exists(link));
    const QString trace = home.filePath("trace.txt");
    const Outcome r = run(QUILLAN_EXE, {"--serial", link, "--module", "SPCU", "--trace", trace, "--quit-after", "1.5"},
                      home.path(), true);
    stopQvrsim(sim);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    bool opened = false;
    for (const std::string& line : traceFileLines(trace))
        opened = opened || (line.find("\topen\t") != std::string::npos && line.find(link.toStdString()) != std::string::npos);
    EXPECT_TRUE(opened);
    QFile ini(home.path() + "/config/Vantrel/QuillanUniv1.ini");
    if (ini.open(QIODevice::ReadOnly)) {
        const QByteArray stored = ini.readAll();
        EXPECT_FALSE(stored.contains("COM1")) << stored.constData();
        EXPECT_FALSE(stored.contains("Direct=SPCU")) << stored.constData();
    }
}

} // namespace
