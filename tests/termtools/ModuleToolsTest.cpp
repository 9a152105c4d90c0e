// The Tools menu's commands, the factory defaults, the toolbar's module buttons, the
// resets that close and reopen the link, the KVMP stop and the DTR box's phone power.
#include "ToolsRig.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct Expected {
    const char* caption;
    QByteArray bytes;
};

} // namespace

TEST(ModuleTools, EveryMenuCommandGoesOutWithItsFraming)
{
    const std::vector<Expected> table = {
        {"ACU Version                 (V  )", "\x1bV"},
        {"ACU ReStart Boot Ld   (S9 )", "S9\r\n"},
        {"ACU Reset                   (\\0090)", "\x1b\\0090\r\n"},
        {"ACU Param Dump        ([?A    )", "\x1b[?A  \r\n"},
        {"ACU Param Save         (\\0087)", "\x1b\\0087\r\n"},
        {"PCU Version                 (?V      )", "\x1b?V\r\n"},
        {"PCU ReStart Boot Ld   (?S?9)", "?S\r\n?9\r\n"},
        {"PCU Param Save         (^0087)", "\x1b^0087\r\n"},
        {"PCU Param Dump        ([?P      )", "\x1b[?P  \r\n"},
        {"Comm IF Version            ([V   )", "\x1b[V   \r\n"},
        {"Comm IF Lock Ports       ([L   )", "[L\r\n"},
        {"Comm IF Param Dump   ([?   )", "\x1b[?\r\n"},
        {"Comm IF Param Save    ([W   )", "[W   \r\n"},
        {"DVB Version                 (wV   , w!)", "wV   \r\nw!   \r\n"},
        {"DVB ReStart Boot Ld   (wS9   )", "wS9  \r\n"},
        {"Version                  (<0411)", "<0411\r\n"},
        {"Status                   (<0000)", "<0000\r\n"},
        {"Temperature         (<0273)", "<0273\r\n"},
        {"Serial Number        (<1234)", "<1234\r\n"},
        {"Version                  (>0411)", ">0411\r\n"},
        {"Status                   (>0000)", ">0000\r\n"},
        {"Temperature         (>0273)", ">0273\r\n"},
        {"Serial Number        (>1234)", ">1234\r\n"},
        {"MDE Version             (]0411)", "]0411\r\n"},
        {"MDE Status              (]6000)", "]6000\r\n"},
        {"MDE Temperature    (]0273)", "]0273\r\n"},
        {"MDE Relative-USB    (]6008)", "]6008\r\n"},
        {"Start KVMP Communications", "%"},
        {"Stop KVMP Communications", "$"},
        {"DVB Reset                   (w0090)", ""},
        {"PCU Checksum Off", ""},
    };
    ToolsRig r;
    r.open();
    for (const Expected& e : table) {
        r.serial.clearTranscript();
        r.tools->runTool(QString::fromLatin1(e.caption));
        EXPECT_EQ(r.sent(r.serial), e.bytes) << e.caption;
    }
    // Two-command tools drain and pause between their commands.
    r.serial.clearTranscript();
    r.tools->runTool(QStringLiteral("DVB Version                 (wV   , w!)"));
    ASSERT_EQ(r.sends(r.serial).size(), 2u);
    // 7 bytes at 9600 baud take 7.3 ms; the pause follows them.
    EXPECT_GE(r.timesOf("w!   \r\n")[0] - r.timesOf("wV   \r\n")[0], 57);
    EXPECT_TRUE(r.prompter.messages.isEmpty());
}

TEST(ModuleTools, FactoryDefaultsSendTheListAndSaveOrNothing)
{
    ToolsRig r;
    r.open();
    r.prompter.answers = {Prompter::Answer::Cancel};
    EXPECT_FALSE(r.tools->loadFactoryDefaults());
    EXPECT_TRUE(r.sent(r.serial).isEmpty());
    ASSERT_EQ(r.prompter.messages.size(), 1);
    EXPECT_EQ(r.prompter.messages[0].text, "Are you sure you want to re-set ALL QVR NVRAM parameters?");
    EXPECT_EQ(r.prompter.messages[0].title, "Load Factory Defaults");
    EXPECT_EQ(r.prompter.messages[0].buttons, Prompter::Buttons::OkCancel);

    r.prompter.answers = {Prompter::Answer::Ok};
    const qint64 start = r.rt.now();
    EXPECT_TRUE(r.tools->loadFactoryDefaults());
    const std::vector<QByteArray> expected = {
        "mA000\r\n", "mB001\r\n", "mC000\r\n", "mD002\r\n", "mF100\r\n", "X0000\r\n", "X0000\r\n", "mG000\r\n",
        "Y0000\r\n", "Y0000\r\n", "mH000\r\n", "mJ010\r\n", "mK100\r\n", "mL030\r\n", "mM000\r\n", "mN077\r\n",
        "mO002\r\n", "mP009\r\n", "mQ030\r\n", "mR090\r\n", "mS000\r\n", "mT000\r\n", "mU000\r\n", "mV000\r\n",
        "mW002\r\n", "mb001\r\n", "mc125\r\n", "md078\r\n", "me004\r\n", "mf197\r\n", "mg087\r\n", "T1010\r\n",
        "c1047\r\n", "d5000\r\n", "mu002\r\n", "t0000\r\n", "W", "W"};
    EXPECT_EQ(r.sends(r.serial), expected);
    // 36 lines of 7 bytes (7.3 ms each) with 200 ms after each, then two saves a second apart.
    EXPECT_GE(r.rt.now() - start, 36 * 207 + 2000);
    EXPECT_LT(r.rt.now() - start, 36 * 207 + 2000 + 100);
    EXPECT_TRUE(r.screen().endsWith("SAVING PARAMETERS, PLEASE WAIT\r\n PARAMETERS SAVED\r\n>"));

    // Port closed: one refusal, nothing saved, nothing claimed.
    r.session->openOrCloseLink();
    r.prompter.messages.clear();
    r.prompter.answers = {Prompter::Answer::Ok};
    EXPECT_FALSE(r.tools->loadFactoryDefaults());
    EXPECT_EQ(r.prompter.messages.size(), 2); // the question, then the one refusal
    EXPECT_FALSE(r.screen().endsWith(">"));
}

TEST(ModuleTools, ResetsReopenTheLinkAndRestartTheConnectTime)
{
    for (const char* caption : {"PCU Reset                   (^0090)", "Comm IF Reset              ([Z   )"}) {
        ToolsRig r;
        r.open();
        r.rt.wait(10000);
        std::vector<bool> states;
        QObject::connect(r.session.get(), &TerminalSession::linkStateChanged,
                         [&states](bool open) { states.push_back(open); });
        const qint64 start = r.rt.now();
        EXPECT_TRUE(r.tools->runTool(QString::fromLatin1(caption)));
        const bool pcu = QByteArray(caption).startsWith("PCU");
        EXPECT_EQ(r.sent(r.serial), pcu ? QByteArray("\x1b^0090\r\n") : QByteArray("[Z   \r\n")) << caption;
        EXPECT_GE(r.rt.now() - start, pcu ? 3000 : 5000) << caption;
        EXPECT_EQ(states, (std::vector<bool>{false, true})) << caption;
        EXPECT_TRUE(r.session->isPortOpen());
        EXPECT_TRUE(r.session->connectTimerRunning());
        r.rt.wait(1000);
        EXPECT_EQ(r.session->connectTimeText(), "00:00:01 ") << caption;
    }
}

TEST(ModuleTools, VersionAndStatusButtonsFollowTheModule)
{
    struct Row {
        Module module;
        QByteArray version, status;
    };
    const std::vector<Row> rows = {
        {Module::QVR2a, "\x1bV", "\x1bS"},
        {Module::Data, "\x1bV", "AT$QCSTATUS\r\n"},
        {Module::KT4000, "\x1bV", "AT$QCSTATUS\r\n"},
        {Module::QVR2p, "?V\r\n", "?S\r\n"},
        {Module::QVRp, "?V\r\n", "?S\r\n"},
        {Module::USBpcu, "*\r\n", "\x1bS"},
        {Module::QVRd, "wV   \r\nw!   \r\n", "w!   \r\n"},
        {Module::SPdvb, "wV   \r\nw!   \r\n", "w!   \r\n"},
        {Module::QVR2m1, "<0411\r\n", "<0000\r\n"},
        {Module::QVR2m2, ">0411\r\n", ">0000\r\n"},
        {Module::QVR2mdb, "]0411\r\n", "]6000\r\n"},
        {Module::USBmdb, "]0411\r\n", "]6000\r\n"},
        {Module::VTPCU, "V\r\n", "$\r\n"},
        {Module::KVMP, "verA\r", ""},
    };
    ToolsRig r;
    r.open();
    for (const Row& row : rows) {
        r.selection->select(row.module);
        r.serial.clearTranscript();
        r.tools->moduleVersion();
        EXPECT_EQ(r.sent(r.serial), row.version) << int(row.module);
        r.serial.clearTranscript();
        r.tools->moduleStatus();
        EXPECT_EQ(r.sent(r.serial), row.status) << int(row.module);
    }
}

TEST(ModuleTools, KvmpStopWaitsForTheEndOfAMessage)
{
    ToolsRig r;
    r.open(Module::KVMP);
    qint64 start = r.rt.now();
    r.tools->kvmpCommsOff();
    EXPECT_EQ(r.sent(r.serial), "$");
    EXPECT_EQ(r.timesOf("$")[0] - start, 1000);

    r.serial.clearTranscript();
    start = r.rt.now();
    r.rt.singleShot(100, nullptr, [&r] { r.unit.say("STATUS 12"); });
    r.rt.singleShot(400, nullptr, [&r] { r.unit.say(" OK\r\n>"); });
    r.tools->kvmpCommsOff();
    EXPECT_EQ(r.sent(r.serial), "$");
    EXPECT_GE(r.timesOf("$")[0] - start, 400);
    EXPECT_LT(r.timesOf("$")[0] - start, 420);
    EXPECT_FALSE(r.session->replyCapture());
}

TEST(ModuleTools, PhonePowerAndInstructions)
{
    ToolsRig r;
    r.open(Module::KT4000);
    r.tools->dtrClicked(true);
    r.tools->dtrClicked(false);
    EXPECT_TRUE(r.screen().endsWith("Phone Power is ON\r\nPhone Power is OFF\r\n"));
    r.selection->select(Module::Data);
    r.tools->dtrClicked(true);
    EXPECT_FALSE(r.screen().contains("Phone Power"));
    EXPECT_TRUE(r.session->lineStates().dtr);

    r.tools->openInstructions();
    EXPECT_EQ(r.prompter.openedUrls, QStringList{"\\Program Files\\Quillan\\ACU-PCU_Update.pdf"});
}
