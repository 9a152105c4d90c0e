#include "SessionTrace.h"
#include "Prompter.h"
#include "SimRuntime.h"
#include "TraceFile.h"
#include "TracingPrompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

TEST(SessionTraceFormat, WireBytesAreEscapedSoThatOneEventStaysOneLine)
{
    EXPECT_EQ(SessionTrace::escape("E0123A1234C0012\r"), "E0123A1234C0012\\r");
    EXPECT_EQ(SessionTrace::escape("a\tb\nc\\d"), "a\\tb\\nc\\\\d");
    EXPECT_EQ(SessionTrace::escape(QByteArray("\x00\x01\x1a\x7f\x80\xa6\xff", 7)),
              "\\x00\\x01\\x1A\\x7F\\x80\\xA6\\xFF");
    EXPECT_EQ(SessionTrace::escape(" ~"), " ~");
}

TEST(SessionTraceFormat, TimesCountFromTheTraceObjectsCreation)
{
    SimRuntime rt;
    rt.wait(250);
    SessionTrace trace(rt);
    QTemporaryDir dir;
    const QString path = dir.filePath("t.txt");
    rt.wait(1234);
    ASSERT_TRUE(trace.start(path));
    trace.recordBytes(SessionTrace::Kind::Send, QByteArray("\x83", 1));
    rt.wait(6);
    // A text is escaped from its UTF-8 form.
    trace.record(SessionTrace::Kind::Status, QString::fromUtf8("Status: 30\u00b0"));
    trace.stop();
    trace.record(SessionTrace::Kind::Status, "after the stop");
    EXPECT_EQ(traceFileBytes(path), "1234\ttrace\tstarted\n"
                                    "1234\tsend\t\\x83\n"
                                    "1240\tstatus\tStatus: 30\\xC2\\xB0\n"
                                    "1240\ttrace\tstopped\n");
}

TEST(SessionTraceFile, AFileThatCannotBeOpenedIsNamedInTheMessage)
{
    SimRuntime rt;
    SessionTrace trace(rt);
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    // A folder where the file should be: refused even for root.
    const QString path = dir.filePath("folder");
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_FALSE(trace.start(path, prompter));
    EXPECT_FALSE(trace.isActive());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.lastText().startsWith("Error,\rCannot write the session trace to " + path + "\r"))
        << prompter.lastText().toStdString();
    EXPECT_TRUE(prompter.lastText().endsWith("."));
    EXPECT_GT(prompter.lastText().section('\r', 2).size(), 1) << "the platform's reason";
}

TEST(SessionTraceFile, AFileThatTakesNothingIsNoTrace)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    SimRuntime rt;
    SessionTrace trace(rt);
    ScriptedPrompter prompter;
    std::vector<bool> active;
    QObject::connect(&trace, &SessionTrace::activeChanged, [&](bool on) { active.push_back(on); });
    EXPECT_FALSE(trace.start("/dev/full", prompter));
    EXPECT_FALSE(trace.isActive());
    EXPECT_TRUE(active.empty());
    EXPECT_EQ(prompter.texts(),
              QStringList{"Error,\rCannot write the session trace to /dev/full\rNo space left on device."});
    trace.record(SessionTrace::Kind::Status, "nothing happens");
    rt.wait(10);
    EXPECT_EQ(prompter.texts().size(), 1);
}

// A trace that runs out of room mid-session stops, and says so once the event that hit
// the limit is done with.
TEST(SessionTraceFile, ATraceThatCannotGoOnStopsAndSaysSo)
{
    SimRuntime rt;
    SessionTrace trace(rt);
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    const QString path = dir.filePath("t.txt");
    ASSERT_TRUE(trace.start(path, prompter));
    std::vector<bool> active;
    QObject::connect(&trace, &SessionTrace::activeChanged, [&](bool on) { active.push_back(on); });

    // Files of this process may not grow past 60 bytes for a moment.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 60;
    setrlimit(RLIMIT_FSIZE, &small);
    trace.record(SessionTrace::Kind::Status, "Status: Port Open");
    trace.record(SessionTrace::Kind::Status, "Status: TimeOut");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);

    EXPECT_FALSE(trace.isActive());
    EXPECT_EQ(active, std::vector<bool>({false}));
    EXPECT_TRUE(prompter.texts().isEmpty()) << "not from inside the event";
    rt.wait(0);
    EXPECT_EQ(prompter.texts(),
              QStringList{"Error,\rThe session trace to " + path + " stopped\rFile too large."});
    // Only the line being written is cut.
    EXPECT_EQ(traceFileBytes(path).toStdString(),
              "0\ttrace\tstarted\n0\tstatus\tStatus: Port Open\n0\tstatus\tStatus: ");
}

TEST(TracingPrompter, RecordsQuestionsAndAnswersAndForwardsThem)
{
    SimRuntime rt;
    SessionTrace trace(rt);
    ScriptedPrompter inner;
    TracingPrompter prompter(inner, trace);
    QTemporaryDir dir;
    const QString path = dir.filePath("p.txt");
    ASSERT_TRUE(trace.start(path));

    inner.answers = {Prompter::Answer::No};
    EXPECT_EQ(prompter.ask("WARNING:\rUpload anyway?\rYes or No", Prompter::Buttons::YesNo),
              Prompter::Answer::No);
    inner.fileNames = {"/tmp/acu.s19"};
    EXPECT_EQ(prompter.openFileName({"Upload S19 File", "S19 (*.s19)|*.s19", {}, {}}), "/tmp/acu.s19");
    EXPECT_EQ(prompter.saveFileName({"Save Log", "Log (*.LOG)|*.LOG", {}, {}}), "");
    prompter.openUrl("file:///help.html");
    trace.stop();

    EXPECT_EQ(inner.texts(), QStringList{"WARNING:\rUpload anyway?\rYes or No"});
    EXPECT_EQ(inner.openedUrls, QStringList{"file:///help.html"});
    EXPECT_EQ(traceFileBytes(path), "0\ttrace\tstarted\n"
                                    "0\tbox\tWARNING:\\rUpload anyway?\\rYes or No\n"
                                    "0\tanswer\tNo\n"
                                    "0\tfile\tUpload S19 File\n"
                                    "0\tanswer\t/tmp/acu.s19\n"
                                    "0\tfile\tSave Log\n"
                                    "0\tanswer\t\n"
                                    "0\turl\tfile:///help.html\n"
                                    "0\ttrace\tstopped\n");
}

} // namespace
