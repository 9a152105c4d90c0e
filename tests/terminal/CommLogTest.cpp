#include "CommLog.h"
#include "TerminalRig.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A log medium that refuses the first writes, like a full disk.
class RefusingDevice : public QIODevice {
public:
    explicit RefusingDevice(int refusals) : refusals(refusals)
    {
        open(QIODevice::WriteOnly);
        setErrorString("No space left on device");
    }
    QByteArray written;
    int refusals;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override
    {
        if (refusals != 0) {
            --refusals;
            return -1;
        }
        written.append(data, len);
        return len;
    }
};

struct Logging : ::testing::Test {
    void SetUp() override
    {
        rig.session->start();
        path = dir.filePath("session.log");
        rig.prompter.fileNames << path;
    }
    QTemporaryDir dir;
    QString path;
    TerminalRig rig;
};

TEST_F(Logging, LogHoldsExactlyWhatWasShownAndRepliesAreStillCaptured)
{
    std::vector<QString> captions;
    QObject::connect(rig.session.get(), &TerminalSession::captionChanged,
                     [&](const QString& c) { captions.push_back(c); });
    ASSERT_TRUE(rig.session->log().start());
    EXPECT_EQ(rig.prompter.fileRequests[0].title, "Open Communications Log File");
    EXPECT_EQ(rig.prompter.fileRequests[0].filter, "Log Files (*.LOG)|*.log|All Files (*.*)|*.*");
    EXPECT_EQ(captions.back(), "Vantrel Program Terminal - Logging " + path);

    rig.session->setReplyCapture(true);
    rig.serialPeer.say("VER 1.2\rnext\n");
    rig.rt.advance(10);
    rig.screen().showLine("PT:  note");
    rig.screen().setHexView(true);
    rig.serialPeer.say("\r");
    rig.rt.advance(10);

    EXPECT_EQ(rig.session->replyText(), "VER 1.2\r\nnext\r\n") << "capture goes on while logging";
    EXPECT_EQ(rig.screen().text(), "VER 1.2\r\nnextPT:  note\r\n<0D><0A>");
    rig.session->log().stop();
    EXPECT_EQ(readAll(path), rig.screen().text().toLatin1());
    EXPECT_EQ(captions.back(), "Vantrel Program Terminal");
}

TEST_F(Logging, ReplacePromptYesReplacesNoAsksAgainCancelGivesUp)
{
    writeFile(path, "old");
    rig.prompter.answers << Prompter::Answer::Cancel;
    EXPECT_FALSE(rig.session->log().start());
    EXPECT_EQ(rig.prompter.lastText(), "Replace existing file - " + path + "?");
    EXPECT_EQ(rig.prompter.messages.last().buttons, Prompter::Buttons::YesNoCancel);
    EXPECT_EQ(rig.prompter.messages.last().icon, Prompter::Icon::Question);

    const QString other = dir.filePath("other.log");
    rig.prompter.fileNames << path << other;
    rig.prompter.answers << Prompter::Answer::No;
    ASSERT_TRUE(rig.session->log().start());
    EXPECT_EQ(rig.session->log().path(), other);
    rig.session->log().stop();

    rig.prompter.fileNames << path;
    rig.prompter.answers << Prompter::Answer::Yes;
    ASSERT_TRUE(rig.session->log().start());
    rig.session->log().stop();
    EXPECT_EQ(readAll(path), QByteArray());
}

TEST_F(Logging, FailedWriteAsksRetryCancelAndCancelStopsTheLog)
{
    RefusingDevice* device = nullptr;
    rig.session->log().setDeviceFactory([&](const QString&) {
        auto d = std::make_unique<RefusingDevice>(1);
        device = d.get();
        return d;
    });
    ASSERT_TRUE(rig.session->log().start());
    rig.prompter.answers << Prompter::Answer::Retry;
    rig.screen().showText("one"); // refused once, written on Retry
    EXPECT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_EQ(device->written, "one");
    device->refusals = 2;
    rig.prompter.answers << Prompter::Answer::Retry << Prompter::Answer::Cancel;
    rig.screen().showText("two");
    ASSERT_EQ(rig.prompter.messages.size(), 3);
    const Prompter::Message& m = rig.prompter.messages.last();
    EXPECT_EQ(m.text, "No space left on device");
    EXPECT_EQ(m.buttons, Prompter::Buttons::RetryCancel);
    EXPECT_EQ(m.icon, Prompter::Icon::Critical);
    EXPECT_FALSE(rig.session->log().isOpen());
    EXPECT_EQ(rig.screen().text(), "onetwo");
}

TEST_F(Logging, OpenFailureShowsTheErrorAndLogStaysOff)
{
    rig.prompter.fileNames.clear();
    const QString missing = dir.filePath("no/such/folder/x.log");
    rig.prompter.fileNames << missing;
    EXPECT_FALSE(rig.session->log().start());
    EXPECT_FALSE(rig.session->log().isOpen());
    ASSERT_EQ(rig.prompter.messages.size(), 1);
    EXPECT_EQ(rig.prompter.messages[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(rig.prompter.lastText(),
              "Error,\rCannot open the log file " + missing + "\rNo such file or directory");
}

} // namespace

#include "ScreenFiles.h"

namespace {

TEST(SaveScreen, OverwritePromptThenHeaderAndScreenText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("screen.txt");
    writeFile(path, "old contents that are longer");
    ScriptedPrompter prompter;
    prompter.fileNames << path << path;
    prompter.answers << Prompter::Answer::No << Prompter::Answer::Yes;
    ScreenFiles files(prompter);
    ASSERT_TRUE(files.saveScreen("line 1\r\nline 2", "1.4.0"));
    EXPECT_EQ(prompter.fileRequests.size(), 2) << "No asks for another name";
    EXPECT_EQ(prompter.fileRequests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(prompter.texts(), QStringList(2, "Overwrite existing file - " + path + "?"));
    EXPECT_EQ(readAll(path), "Programming Terminal 1.4.0.  Save Screen text capture:\r\nline 1\r\nline 2");
}

} // namespace
