#include "SessionTrace.h"
#include "Prompter.h"
#include "SimRuntime.h"
#include "TraceFile.h"
#include "TracingPrompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
