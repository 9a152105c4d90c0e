#include "KorvexWindowRig.h"

#include "AboutBox.h"
#include "LampLabel.h"
#include "SessionTrace.h"
#include "VfdDisplay.h"
#include "WaitWindow.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {
class MainWindowTest : public KorvexWindowRig {};

QStringList checkedOf(const std::initializer_list<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions) {
        if (a->isChecked())
            out << a->text();
    }
    return out;
}
} // namespace

TEST_F(MainWindowTest, LinkLampFollowsTheLinkAndAClosedPortSaysSo)
{
    start();
    LedWidget* lamp = panel().lamp(FrontPanel::kLinkLamp)->led();
    EXPECT_TRUE(link().portOpen());
    EXPECT_TRUE(window->portOpenAction()->isChecked());
    EXPECT_EQ(window->statusPanel()->text(), "Status: Port Open");
    EXPECT_EQ(window->settingsPanel()->text(), "Settings: Com1: 9600,N,8,1");
    EXPECT_FALSE(lamp->isLit());

    link().setLinkLed(LedState::Green);
    EXPECT_EQ(lamp->color(), QColor(0, 255, 0));
    link().setLinkLed(LedState::Yellow);
    EXPECT_EQ(lamp->color(), QColor(255, 255, 0));
    link().setLinkLed(LedState::Cyan);
    EXPECT_EQ(lamp->color(), QColor(0, 255, 255));
    // The status labels answer clicks once the start timer has run.
    runtime.advance(1000);

    window->portOpenAction()->trigger();
    EXPECT_FALSE(link().portOpen());
    EXPECT_FALSE(window->portOpenAction()->isChecked());
    EXPECT_FALSE(lamp->isLit());
    EXPECT_EQ(panel().display()->line(0), "Check Comm Port");
    EXPECT_EQ(window->statusPanel()->text(), "Status: Port Closed");

    // The Port Status caption is the other way to the same toggle.
    QTest::mouseClick(panel().lamp(FrontPanel::kPortStatusLamp), Qt::LeftButton);
    EXPECT_TRUE(link().portOpen());
    EXPECT_TRUE(window->portOpenAction()->isChecked());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(MainWindowTest, AFailedOpenLeavesThePortUncheckedAndShowsThePlatformText)
{
    serial.setOpenFailure("Permission denied");
    start();
    EXPECT_FALSE(window->portOpenAction()->isChecked());
    EXPECT_EQ(prompter.lastText(), "Permission denied\rCom1: /dev/ttyS0");
    EXPECT_EQ(panel().display()->line(0), "Check Comm Port");

    // Clicking the menu item when the link cannot open keeps the mark off.
    window->portOpenAction()->trigger();
    EXPECT_FALSE(window->portOpenAction()->isChecked());
}

TEST_F(MainWindowTest, AntennaKeysCarryTheProfilesCaptionsAndEnabledState)
{
    put("Caption3", "Mast B");
    put("Enabled3", "True");
    start();
    EXPECT_EQ(antennaKey(0).text(), "Antenna 1");
    EXPECT_EQ(antennaKey(2).text(), "Mast B");
    EXPECT_TRUE(antennaKey(0).isEnabled());
    EXPECT_FALSE(antennaKey(1).isEnabled());
    EXPECT_TRUE(antennaKey(2).isEnabled());
    EXPECT_FALSE(antennaKey(3).isEnabled());
    EXPECT_TRUE(antennaKey(0).isChecked());

    link().setProfileCaption(4, "Spare");
    link().setProfileEnabled(4, true);
    EXPECT_EQ(antennaKey(3).text(), "Spare");
    EXPECT_TRUE(antennaKey(3).isEnabled());
}

TEST_F(MainWindowTest, ACancelledSwitchKeepsThePreviousKeyDown)
{
    tcpAntenna(2);
    start();
    prompter.answers = {Prompter::Answer::Cancel};
    QTest::mouseClick(&antennaKey(1), Qt::LeftButton);
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.lastText(), "Close Port for Antenna 1\rand\rOpen Port for Antenna 2?");
    EXPECT_EQ(link().selectedAntenna(), 1);
    EXPECT_TRUE(antennaKey(0).isChecked());
    EXPECT_FALSE(antennaKey(1).isChecked());
    EXPECT_TRUE(link().portOpen());

    // The next real click asks again: nothing was left armed by the re-selection.
    prompter.answers = {Prompter::Answer::Ok};
    QTest::mouseClick(&antennaKey(1), Qt::LeftButton);
    EXPECT_EQ(prompter.messages.size(), 2);
    EXPECT_EQ(link().selectedAntenna(), 2);
    EXPECT_TRUE(antennaKey(1).isChecked());
    EXPECT_FALSE(antennaKey(0).isChecked());
    EXPECT_EQ(window->settingsPanel()->text(), "Settings: IP  127.0.0.1 : 2000");
    EXPECT_EQ(window->statusPanel()->text(), "Status: Port Open");
    EXPECT_TRUE(window->portOpenAction()->isChecked());
    EXPECT_EQ(stored("Select"), "2");
}

TEST_F(MainWindowTest, OptionMenusCheckExactlyTheChosenItem)
{
    start();
    QAction* dvb = window->receiverModeAction(ReceiverMode::Dvb);
    QAction* mhz = window->receiverModeAction(ReceiverMode::Mhz70);
    EXPECT_EQ(dvb->text(), "LBand DVB / SCPC receiver mode");
    EXPECT_EQ(mhz->text(), "70 / 140 MHz SCPC receiver mode");
    const auto timeouts = {window->timeoutAction(1000), window->timeoutAction(2000),
                           window->timeoutAction(3000)};
    const auto paces = {window->pacingAction(50), window->pacingAction(100), window->pacingAction(200),
                        window->pacingAction(500)};
    EXPECT_EQ(checkedOf({dvb, mhz}), QStringList{"LBand DVB / SCPC receiver mode"});
    EXPECT_EQ(checkedOf(timeouts), QStringList{"3000 ms"});
    EXPECT_EQ(checkedOf(paces), QStringList{"200 ms  (8 Sec/Div)"});

    mhz->trigger();
    window->timeoutAction(1000)->trigger();
    window->pacingAction(50)->trigger();
    EXPECT_EQ(session.receiverMode(), ReceiverMode::Mhz70);
    EXPECT_EQ(session.timeoutMs(), 1000);
    EXPECT_EQ(session.pacingMs(), 50);
    EXPECT_EQ(checkedOf({dvb, mhz}), QStringList{"70 / 140 MHz SCPC receiver mode"});
    EXPECT_EQ(checkedOf(timeouts), QStringList{"1000 ms"});
    EXPECT_EQ(checkedOf(paces), QStringList{"50 ms    (2 Sec/Div)"});

    EXPECT_FALSE(window->queryPanel()->isVisibleTo(window.get()));
    window->showQueryAction()->trigger();
    EXPECT_TRUE(session.showQuery());
    EXPECT_TRUE(window->queryPanel()->isVisibleTo(window.get()));

    session.shutdown();
    EXPECT_EQ(stored("Query"), "True");
    EXPECT_EQ(stored("Mode"), "70MHz");
}

TEST_F(MainWindowTest, StoredViewOptionsComeBackChecked)
{
    put("Query", "True");
    put("Mode", "70MHz");
    start();
    EXPECT_TRUE(window->receiverModeAction(ReceiverMode::Mhz70)->isChecked());
    EXPECT_FALSE(window->receiverModeAction(ReceiverMode::Dvb)->isChecked());
    EXPECT_TRUE(window->showQueryAction()->isChecked());
    EXPECT_TRUE(window->queryPanel()->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, AboutAndHelpGoThroughThePrompter)
{
    start();
    window->findChild<QAction*>("mnuAbout")->trigger();
    ASSERT_EQ(prompter.messages.size(), 1);
    const Prompter::Message& m = prompter.messages.first();
    EXPECT_EQ(m.title, "About");
    EXPECT_EQ(m.icon, Prompter::Icon::Information);
    EXPECT_TRUE(m.text.startsWith("QVR Remote Panel Interface    \r"));
    EXPECT_TRUE(m.text.endsWith("\rBuild 25.Jun.2013 "));
    EXPECT_TRUE(m.text.contains("\rVersion "));

    QAction* help = window->findChild<QAction*>("mnuHelp");
    EXPECT_EQ(help->shortcut(), QKeySequence(Qt::Key_F1));
    help->trigger();
    EXPECT_EQ(prompter.openedUrls, QStringList{"index.html"});
}

TEST_F(MainWindowTest, TheWaitWindowIsUpForTheLengthOfAWait)
{
    start();
    auto* wait = window->findChild<WaitWindow*>();
    ASSERT_NE(wait, nullptr);
    bool upDuring = false;
    bool modal = false;
    runtime.singleShot(500, nullptr, [&] {
        upDuring = wait->isVisible();
        modal = wait->isModal();
    });
    link().wait(1000);
    EXPECT_TRUE(upDuring);
    EXPECT_TRUE(modal);
    EXPECT_FALSE(wait->isVisible());
    // One pixel is 15 twips: the window hangs 1000 twips below the main window's top.
    EXPECT_EQ(wait->pos(), window->frameGeometry().topLeft() + QPoint(0, 66));
}

TEST_F(MainWindowTest, TheQueryPanelShowsThePollSequenceInUse)
{
    start();
    Q_EMIT session.queryTextChanged("Query: SPHu");
    EXPECT_EQ(window->queryPanel()->text(), "Query: SPHu");
    EXPECT_FALSE(window->queryPanel()->isVisibleTo(window.get()));
    window->showQueryAction()->trigger();
    EXPECT_TRUE(window->queryPanel()->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, SessionTraceItemAsksForAFileAndShowsWhetherATraceRuns)
{
    start();
    SessionTrace trace(runtime);
    QAction* item = window->addSessionTrace(trace);
    EXPECT_EQ(item->text(), "Session &Trace...");
    EXPECT_TRUE(qobject_cast<QMenu*>(item->parent())->title() == "Comm &Port");

    item->trigger(); // the file dialog is cancelled
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(trace.isActive());

    QTemporaryDir dir;
    prompter.fileNames = {dir.filePath("k.txt")};
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(trace.isActive());
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(trace.isActive());
    ASSERT_EQ(prompter.fileRequests.size(), 2);
    EXPECT_EQ(prompter.fileRequests[1].title, "Session Trace");
}
