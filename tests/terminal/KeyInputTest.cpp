#include "TerminalRig.h"

#include <gtest/gtest.h>

namespace {

struct OpenTerminal : ::testing::Test {
    void SetUp() override
    {
        rig.session->start();
        ASSERT_TRUE(rig.session->isPortOpen());
        rig.serial.clearTranscript();
    }
    bool press(int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        return rig.session->handleKey(key, mods, text);
    }
    TerminalRig rig;
};

TEST_F(OpenTerminal, ArrowsAndDeleteSendEscapeSequencesEachInOneWrite)
{
    EXPECT_TRUE(press(Qt::Key_Up));
    EXPECT_TRUE(press(Qt::Key_Down));
    EXPECT_TRUE(press(Qt::Key_Right));
    EXPECT_TRUE(press(Qt::Key_Left));
    EXPECT_TRUE(press(Qt::Key_Delete, QStringLiteral("\x7f")));
    const std::vector<QByteArray> expected{"\x1b[A", "\x1b[B", "\x1b[C", "\x1b[D", "\x1b[3~"};
    EXPECT_EQ(rig.sends(rig.serial), expected);
    EXPECT_EQ(rig.screen().text(), QString());
}

TEST_F(OpenTerminal, SelectPrintExecuteInsertAreSwallowed)
{
    for (int key : {Qt::Key_Select, Qt::Key_Print, Qt::Key_Execute, Qt::Key_Insert})
        EXPECT_TRUE(press(key));
    EXPECT_TRUE(rig.serial.transcript().empty());
    EXPECT_TRUE(rig.prompter.messages.isEmpty());
}

TEST_F(OpenTerminal, ArrowWithModifierIsNotTheTerminals)
{
    EXPECT_FALSE(press(Qt::Key_Left, QString(), Qt::ShiftModifier));
    EXPECT_FALSE(press(Qt::Key_Up, QString(), Qt::ControlModifier));
    EXPECT_TRUE(rig.serial.transcript().empty());
}

TEST_F(OpenTerminal, CharactersAreSentAndEchoDecidesWhetherTheyShow)
{
    press(Qt::Key_A, "a");
    press(Qt::Key_Return, "\r");
    EXPECT_EQ(rig.screen().text(), QString());
    rig.session->setEcho(true);
    press(Qt::Key_B, "b");
    press(Qt::Key_C, "c");
    press(Qt::Key_Backspace, "\b");
    press(Qt::Key_Enter, "\r");
    const std::vector<QByteArray> expected{"a", "\r\n", "b", "c", "\b", "\r\n"};
    EXPECT_EQ(rig.sends(rig.serial), expected);
    EXPECT_EQ(rig.screen().text(), QStringLiteral("b\r\n"));
    EXPECT_EQ(rig.screen().shownCount(), 0) << "typing is not received text";
}

TEST_F(OpenTerminal, TypingStartsTheConnectTimeDisplay)
{
    rig.session->stopConnectTimer();
    press(Qt::Key_Left);
    EXPECT_FALSE(rig.session->connectTimerRunning()) << "only character keys start it";
    press(Qt::Key_X, "x");
    EXPECT_TRUE(rig.session->connectTimerRunning());
}

TEST(ClosedTerminal, KeysOnlyEditTheScreen)
{
    TerminalRig rig;
    TerminalSession& s = *rig.session;
    EXPECT_TRUE(s.handleKey(Qt::Key_X, Qt::NoModifier, "x"));
    EXPECT_TRUE(s.handleKey(Qt::Key_Y, Qt::NoModifier, "y"));
    EXPECT_TRUE(s.handleKey(Qt::Key_Backspace, Qt::NoModifier, "\b"));
    EXPECT_TRUE(s.handleKey(Qt::Key_Return, Qt::NoModifier, "\r"));
    EXPECT_FALSE(s.handleKey(Qt::Key_Left, Qt::NoModifier, QString()));
    EXPECT_EQ(rig.screen().text(), QStringLiteral("x\r\n"));
    EXPECT_TRUE(rig.prompter.messages.isEmpty()) << "no closed-port message for local editing";
    EXPECT_EQ(s.abortCode(), 0);
}

} // namespace
