#include "SettingsFolder.h"
#include "TerminalPropertiesEditor.h"
#include "TerminalRig.h"

#include <gtest/gtest.h>

namespace {

TEST(PropertiesEditor, FormFollowsTheCurrentSettings)
{
    TerminalRig rig;
    rig.put("Settings", "4800,E,7,2");
    rig.put("CommPort", "3");
    rig.put("Handshaking", "1");
    rig.put("Echo", "True");
    rig.session->start();
    TerminalPropertiesEditor editor(*rig.session);
    const auto& f = editor.form;
    EXPECT_EQ(TerminalPropertiesEditor::ports().value(f.port), "Com3");
    EXPECT_EQ(TerminalPropertiesEditor::baudRates().value(f.baud), "4800");
    EXPECT_EQ(TerminalPropertiesEditor::parities().value(f.parity), "Even");
    EXPECT_EQ(TerminalPropertiesEditor::dataBits().value(f.dataBits), "7");
    EXPECT_EQ(TerminalPropertiesEditor::stopBits().value(f.stopBits), "2");
    EXPECT_EQ(TerminalPropertiesEditor::flowControls().value(f.flowControl), "Xon/Xoff");
    EXPECT_TRUE(f.echo);
    EXPECT_TRUE(f.serial);
    EXPECT_EQ(f.address, TerminalSession::kDefaultAddress);
    EXPECT_EQ(f.portNumber, "2000");
    EXPECT_EQ(editor.settingsString(), "4800,E,7,2");
}

TEST(PropertiesEditor, OkSavesTheSevenKeysInOrderAndReopens)
{
    TerminalRig rig;
    rig.session->start();
    TerminalPropertiesEditor editor(*rig.session);
    editor.form.port = 1;
    editor.form.baud = TerminalPropertiesEditor::baudRates().indexOf("19200");
    editor.form.parity = TerminalPropertiesEditor::parities().indexOf("Odd");
    editor.form.flowControl = 2;
    editor.form.echo = true;
    editor.form.address = "127.0.0.1";
    editor.form.portNumber = "2101";
    ASSERT_TRUE(editor.accept());

    std::vector<QString> written;
    for (const auto& w : rig.store.writes())
        written.push_back(w.app + "/" + w.section + "/" + w.key + "=" + w.value);
    EXPECT_EQ(written, (std::vector<QString>{
                           "QuillanUniv1/Properties/Settings=19200,O,8,1",
                           "QuillanUniv1/Properties/CommPort=2",
                           "QuillanUniv1/Properties/Handshaking=2",
                           "QuillanUniv1/Properties/Address=127.0.0.1",
                           "QuillanUniv1/Properties/PortNumber=2101",
                           "QuillanUniv1/Properties/Echo=True",
                           "QuillanUniv1/Properties/Type=True",
                       }));
    EXPECT_EQ(rig.serial.openCount(), 2);
    EXPECT_EQ(rig.serial.endpoint().device, "/dev/ttyS1");
    EXPECT_EQ(rig.serial.endpoint().settings, "19200,O,8,1");
    EXPECT_EQ(rig.session->settingsText(), "Settings: Com2: 19200,O,8,1, Echo On  ");
}

TEST(PropertiesEditor, SettingsThePortCannotTakeAreRefused)
{
    TerminalRig rig;
    rig.session->start();
    TerminalPropertiesEditor editor(*rig.session);
    editor.form.dataBits = TerminalPropertiesEditor::dataBits().indexOf("4");
    EXPECT_TRUE(editor.accept());
    EXPECT_EQ(rig.prompter.texts(), QStringList{"Invalid property value"});
    EXPECT_EQ(rig.session->serialSettings(), "9600,N,8,1") << "the port keeps what it had";
}

} // namespace

namespace {

// Settings that cannot be saved are told once per run, naming the file, not lost unseen.
TEST(SettingsSaveFailure, QuillanSaysOnceWhereItsSettingsCouldNotBeSaved)
{
    SettingsFolder folder;
    ASSERT_TRUE(folder.blockFile("QuillanUniv1"));
    SimRuntime rt;
    IniSettingsStore ini;
    ScriptedPrompter prompter;
    SimByteLink serial(rt, ByteLink::Kind::Serial);
    SimByteLink tcp(rt, ByteLink::Kind::Tcp);
    TerminalSession session(rt, prompter, ini, serial, tcp, 1);
    session.start();
    EXPECT_TRUE(prompter.texts().isEmpty()) << "reading says nothing";
    TerminalPropertiesEditor editor(session);
    EXPECT_TRUE(editor.accept());
    EXPECT_TRUE(editor.accept());
    EXPECT_EQ(prompter.texts(),
              QStringList{"Error,\rSettings could not be saved to " + folder.path() +
                          "/Vantrel/QuillanUniv1.ini\rA folder of that name is in the way."});
}

} // namespace

namespace {

// A port text that is none is refused by name before anything changes; 1 to 65535 are taken.
TEST(PropertiesEditor, OkRefusesAPortNumberThatIsNotATcpPort)
{
    TerminalRig rig;
    rig.session->start();
    rig.store.clearWrites();
    TerminalPropertiesEditor editor(*rig.session);
    for (const char* text : {"0", "65536", "-1", "", "20 01"}) {
        editor.form.portNumber = text;
        EXPECT_FALSE(editor.accept()) << text;
    }
    EXPECT_EQ(
        rig.prompter.texts().value(1),
        "Error,\rPortNumber=65536 is not a TCP port (1 to 65535).\rEnter a port number from 1 to 65535.");
    EXPECT_EQ(rig.prompter.texts().size(), 5);
    EXPECT_TRUE(rig.store.writes().empty());
    EXPECT_TRUE(rig.session->isPortOpen()) << "the link is left as it was";

    editor.form.portNumber = "65535";
    EXPECT_TRUE(editor.accept());
    EXPECT_EQ(rig.session->tcpPort(), 65535);
    EXPECT_EQ(rig.store.get("QuillanUniv1", "Properties", "PortNumber", "<none>"), "65535");
}

} // namespace
