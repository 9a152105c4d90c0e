#include "SendFile.h"
#include "TerminalRig.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Sending : ::testing::Test {
    void SetUp() override
    {
        rig.session->start();
        rig.serial.clearTranscript();
        QObject::connect(&sender, &SendFile::cancelWindowShown,
                         [this](const QString& caption, const QString& text) {
                             windowCaption = caption;
                             windowText = text;
                             windowVisible = true;
                         });
        QObject::connect(&sender, &SendFile::cancelWindowHidden, [this] { windowVisible = false; });
    }
    QString file(const QByteArray& content)
    {
        const QString path = dir.filePath("send.txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
    QTemporaryDir dir;
    TerminalRig rig;
    SendFile sender{*rig.session};
    QString windowCaption, windowText;
    bool windowVisible = false;
};

TEST_F(Sending, SemicolonsSplitALineAndThePacingFollowsTheLineOnce)
{
    const QString path = file("A;B;C\r\nD\r\n");
    rig.prompter.fileNames << path;
    sender.run(200);
    EXPECT_EQ(rig.prompter.fileRequests[0].title, "Send Text File");
    EXPECT_EQ(rig.prompter.fileRequests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    const std::vector<QByteArray> sent{"A\r\n", "B\r\n", "C\r\n", "D\r\n"};
    EXPECT_EQ(rig.sends(rig.serial), sent);
    EXPECT_EQ(rig.sendTimesMs(rig.serial), (std::vector<double>{0, 0, 0, 200}));
    EXPECT_EQ(rig.rt.now(), 400);
    EXPECT_EQ(windowCaption, "Send Text");
    EXPECT_EQ(windowText, "Send Text File - Pacing: 200,  No Loop\r" + path);
    EXPECT_FALSE(windowVisible);
}

TEST_F(Sending, CommentLinesAreOnlyShown)
{
    sender.sendPath(file("'note; not sent\nX\n"), 100);
    EXPECT_EQ(rig.sends(rig.serial), std::vector<QByteArray>{"X\r\n"});
    EXPECT_EQ(rig.screen().text(), "'note; not sent\r\n");
}

TEST_F(Sending, ParameterUploadCutsCommentsAndTabs)
{
    sender.sendPath(file("'ACU Parameter Dump\n>\nmB\t012\t'El Trim\nV  'version\n"),
                    SendFile::kParameterPacing);
    const std::vector<QByteArray> sent{"mB012\r\n", "V  \r\n"};
    EXPECT_EQ(rig.sends(rig.serial), sent);
    EXPECT_EQ(rig.sendTimesMs(rig.serial), (std::vector<double>{160, 240}));
    EXPECT_EQ(rig.rt.now(), 320);
    EXPECT_EQ(rig.screen().text(), "'ACU Parameter Dump\r\n>\r\n");
}

TEST_F(Sending, LoopSendRepeatsUntilCancel)
{
    rig.session->setLoopSend(true);
    rig.rt.singleShot(1050, nullptr, [this] {
        EXPECT_TRUE(rig.session->isBusy());
        sender.cancel();
        EXPECT_FALSE(windowVisible) << "Cancel hides the window at once";
    });
    sender.sendPath(file("X\n"), 200);
    EXPECT_EQ(rig.sendTimesMs(rig.serial), (std::vector<double>{0, 200, 400, 600, 800, 1000}));
    EXPECT_EQ(rig.rt.now(), 1200);
    EXPECT_TRUE(rig.session->cancelRequested());
    EXPECT_FALSE(rig.session->isBusy());
    EXPECT_TRUE(windowText.contains(",  Loop\r"));
}

TEST_F(Sending, MissingFileAndClosedPort)
{
    sender.sendPath(dir.filePath("gone.txt"), 200);
    EXPECT_EQ(rig.prompter.lastText(), dir.filePath("gone.txt") + " not found!");

    rig.session->openOrCloseLink();
    rig.prompter.messages.clear();
    sender.sendPath(file("A;B\nC\n"), 0);
    EXPECT_EQ(rig.prompter.messages.size(), 3) << "every send refuses, the file still runs to its end";
    EXPECT_TRUE(rig.serial.transcript().empty());
}

} // namespace
