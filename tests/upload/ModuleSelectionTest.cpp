#include "ModuleSelection.h"
#include "TerminalPropertiesEditor.h"
#include "TerminalRig.h"

#include <gtest/gtest.h>

namespace {

struct Selection : ::testing::Test {
    TerminalRig rig;
    ModuleSelection selection{*rig.session};
    const ModuleSelection::MenuState& state() const { return selection.state(); }
    std::vector<QString> writes() const
    {
        std::vector<QString> out;
        for (const auto& w : rig.store.writes())
            out.push_back(w.key + "=" + w.value);
        return out;
    }
};

TEST_F(Selection, Qvr30ToAcuReopensAnOpenPortAt4800AndStoresIt)
{
    rig.session->start();
    rig.store.clearWrites();
    int notices = 0;
    QObject::connect(&selection, &ModuleSelection::stateChanged, [&] { ++notices; });
    selection.select(Module::QVRa);
    EXPECT_EQ(notices, 1) << "the window sees the finished selection only";
    EXPECT_EQ(rig.serial.openCount(), 2);
    EXPECT_EQ(rig.serial.endpoint().settings, "4800,N,8,1");
    EXPECT_EQ(writes(), (std::vector<QString>{"Direct=QVRa", "Settings=4800,N,8,1"}));
}

TEST_F(Selection, ModuleChangeKeepsTheDtrTheUserRaised)
{
    rig.session->start();
    rig.session->setDtr(true);
    selection.select(Module::QVRa);
    EXPECT_EQ(rig.serial.openCount(), 2);
    EXPECT_TRUE(rig.serial.dtr());
    EXPECT_TRUE(rig.session->lineStates().dtr);
}

TEST_F(Selection, SpeedChangeKeepsParityDataAndStopBits)
{
    rig.put("Settings", "9600,E,7,1");
    rig.session->start();
    rig.store.clearWrites();
    rig.screen().showText("old text");
    selection.select(Module::QVRa);

    EXPECT_EQ(rig.serial.openCount(), 2);
    EXPECT_TRUE(rig.session->isPortOpen());
    EXPECT_EQ(rig.serial.endpoint().settings, "4800,E,7,1");
    EXPECT_EQ(writes(), (std::vector<QString>{"Direct=QVRa", "Settings=4800,E,7,1"}));
    EXPECT_EQ(rig.session->moduleDescription(), "   QVR-30 Translation ACU");
    EXPECT_EQ(rig.session->settingsText(), "Settings: Com1: 4800,E,7,1, Echo Off     QVR-30 Translation ACU");
    EXPECT_TRUE(selection.isChecked(Module::QVRa));
    EXPECT_EQ(selection.checkedModule(), Module::QVRa);
    EXPECT_FALSE(state().manualButtonsVisible);
    EXPECT_TRUE(state().autoUploadEnabled);
    EXPECT_EQ(rig.screen().text(), "");
}

TEST_F(Selection, RestoringSlcdAtStartLeavesTheStoredSettingsAlone)
{
    rig.put("Direct", "SLCD");
    rig.put("Settings", "19200,N,8,1");
    rig.store.clearWrites();
    rig.session->start();
    EXPECT_TRUE(rig.store.writes().empty());
    EXPECT_EQ(rig.serial.endpoint().settings, "19200,N,8,1") << "the speed of the row is not applied";
    EXPECT_EQ(selection.checkedModule(), Module::SLCD);
    EXPECT_FALSE(state().startItemEnabled);
    EXPECT_FALSE(state().eraseItemEnabled);
    EXPECT_FALSE(state().uploadS19ItemEnabled);
    EXPECT_FALSE(state().manualButtonsVisible);
    EXPECT_TRUE(state().autoUploadEnabled) << "the port opened after the restore";
    EXPECT_EQ(rig.session->settingsText(),
              "Settings: Com1: 19200,N,8,1, Echo Off    KVMP Auto Update via USB");
}

TEST_F(Selection, DataTerminalShowsTheManualButtonsAndKeepsLineEnds)
{
    rig.put("Direct", "nonsense");
    rig.session->start();
    EXPECT_EQ(selection.checkedModule(), Module::Data);
    EXPECT_TRUE(state().manualButtonsVisible);
    EXPECT_TRUE(state().manualButtonsEnabled);
    EXPECT_FALSE(state().autoUploadEnabled);
    EXPECT_TRUE(rig.screen().dataMode());
    selection.select(Module::KT4000);
    EXPECT_FALSE(rig.screen().dataMode());
    EXPECT_TRUE(state().phonePowerVisible);
}

TEST_F(Selection, AutoUploadFollowsThePort)
{
    selection.select(Module::SPG2pcu);
    EXPECT_FALSE(rig.session->isPortOpen());
    EXPECT_FALSE(state().manualButtonsVisible);
    EXPECT_FALSE(state().autoUploadEnabled);
    EXPECT_FALSE(state().acuDumpEnabled);
    EXPECT_FALSE(state().pcuDumpEnabled);
    rig.session->openOrCloseLink();
    EXPECT_TRUE(state().autoUploadEnabled);
    rig.session->openOrCloseLink();
    EXPECT_FALSE(state().autoUploadEnabled);
    EXPECT_FALSE(state().manualButtonsEnabled);
}

TEST_F(Selection, PanelModulesTurnOnPanelFramesAndResetClearsHexView)
{
    rig.screen().setHexView(true);
    selection.select(Module::SPCU);
    EXPECT_FALSE(rig.screen().hexView());
    EXPECT_EQ(state().topMarginTwips, 1600);
    EXPECT_EQ(rig.session->topMarginTwips(), 1600);
    EXPECT_TRUE(rig.screen().panelFrames());
    selection.select(Module::QVRp);
    EXPECT_EQ(rig.session->topMarginTwips(), 800);
    EXPECT_FALSE(rig.screen().panelFrames());
    EXPECT_TRUE(state().acuResetEnabled);
}

TEST_F(Selection, TcpIpIsRefusedForUsbPcu)
{
    rig.session->start();
    selection.select(Module::USBpcu);
    TerminalPropertiesEditor editor(*rig.session);
    EXPECT_FALSE(editor.chooseTcp());
    EXPECT_EQ(rig.prompter.texts(), QStringList{"TCP/IP not allowed for the present module selection"});
    EXPECT_TRUE(editor.form.serial);
    EXPECT_FALSE(rig.session->isPortOpen());

    selection.select(Module::QVR2mdb);
    EXPECT_TRUE(editor.chooseTcp());
    EXPECT_FALSE(editor.form.serial);
}

} // namespace
