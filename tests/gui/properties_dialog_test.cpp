#include "KorvexWindowRig.h"

#include "ConnectionProfile.h"
#include "PropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

namespace {

class PropertiesDialogTest : public KorvexWindowRig {
protected:
    void openDialog()
    {
        dialog = std::make_unique<PropertiesDialog>(session, window.get());
        dialog->show();
    }
    // Replaces a box's text the way a user does: select all, type.
    static void retype(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    QPushButton* button(const char* name) { return dialog->findChild<QPushButton*>(name); }

    std::unique_ptr<PropertiesDialog> dialog;
};

} // namespace

TEST_F(PropertiesDialogTest, OpensOnTheSelectedAntennaWithTheCaptionsOnTheTabs)
{
    put("Caption3", "Mast B");
    start();
    openDialog();
    EXPECT_EQ(dialog->windowTitle(), "CommPort Properties");
    ASSERT_EQ(dialog->tabs()->count(), 4);
    EXPECT_EQ(dialog->tabs()->tabText(2), "Mast B");
    EXPECT_EQ(dialog->tabs()->currentIndex(), 0);
    EXPECT_TRUE(dialog->serialOption()->isChecked());
    EXPECT_FALSE(dialog->tcpFrame()->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->portList()->count(), 20);
    EXPECT_EQ(dialog->portList()->currentText(), "Com1");
    EXPECT_EQ(dialog->baudList()->currentText(), "9600");
    EXPECT_EQ(dialog->deviceList()->currentText(), "/dev/ttyS0");

    dialog->tabs()->setCurrentIndex(1);
    EXPECT_TRUE(dialog->tcpOption()->isChecked());
    EXPECT_TRUE(dialog->tcpFrame()->isVisibleTo(dialog.get()));
    EXPECT_EQ(dialog->tcpFrame()->title(), "TCP/IP Settings");
    EXPECT_EQ(dialog->addressBox()->text(), ConnectionProfile::defaults(2).address);
    EXPECT_EQ(dialog->portNumberBox()->text(), "2001");
    EXPECT_FALSE(dialog->enabledBox()->isChecked());
}

TEST_F(PropertiesDialogTest, EditsApplyAtOnceAndReachTheAntennaKeys)
{
    start();
    openDialog();
    dialog->tabs()->setCurrentIndex(1);
    retype(dialog->captionBox(), "Mast A");
    EXPECT_EQ(link().profile(2).caption, "Mast A");
    EXPECT_EQ(antennaKey(1).text(), "Mast A");
    EXPECT_EQ(dialog->tabs()->tabText(1), "Mast A");

    dialog->enabledBox()->click();
    EXPECT_TRUE(link().profile(2).enabled);
    EXPECT_TRUE(antennaKey(1).isEnabled());

    retype(dialog->addressBox(), "127.0.0.1");
    EXPECT_EQ(link().profile(2).address, "127.0.0.1");

    // Each keystroke counts; a text that is not a TCP port is ignored but stays as typed.
    retype(dialog->portNumberBox(), "7000");
    EXPECT_EQ(link().profile(2).tcpPort, 7000);
    QTest::keyClicks(dialog->portNumberBox(), "0");
    EXPECT_EQ(link().profile(2).tcpPort, 7000);
    EXPECT_EQ(dialog->portNumberBox()->text(), "70000");
}

TEST_F(PropertiesDialogTest, SerialListsChangeOnlyWhatTheyOwn)
{
    put("Settings1", "4800,E,7,2");
    start();
    openDialog();
    EXPECT_EQ(dialog->baudList()->currentText(), "4800");

    dialog->baudList()->setFocus();
    QTest::keyClick(dialog->baudList(), Qt::Key_Down);
    EXPECT_EQ(link().profile(1).settings, "9600,N,8,1");
    dialog->portList()->setFocus();
    QTest::keyClick(dialog->portList(), Qt::Key_Down);
    EXPECT_EQ(link().profile(1).commPort, 2);
    EXPECT_EQ(dialog->deviceList()->currentText(), "/dev/ttyS1");

    // The reference lists are not offered: the settings always go out as N,8,1.
    for (const char* name : {"cboParity", "cboDataBits", "cboStopBits", "cboFlow"})
        EXPECT_FALSE(dialog->findChild<QComboBox*>(name)->isEnabled()) << name;
    EXPECT_EQ(dialog->findChild<QComboBox*>("cboParity")->currentText(), "None");
}

TEST_F(PropertiesDialogTest, OkStoresTheProfilesAndTheDeviceThenReopens)
{
    start();
    const int opensBefore = serial.openCount();
    openDialog();
    dialog->deviceList()->setFocus();
    dialog->deviceList()->lineEdit()->selectAll();
    QTest::keyClicks(dialog->deviceList(), "/dev/pts/7");
    QTest::keyClick(dialog->deviceList(), Qt::Key_Return);
    button("cmdOK")->click();

    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_GE(store.writes().size(), 28u);
    EXPECT_EQ(store.writes()[0].key, "Caption1");
    EXPECT_EQ(store.writes()[27].key, "Serial4");
    EXPECT_EQ(store.get(KorvexSettings::kApp, "Ports", "COM1", ""), "/dev/pts/7");
    EXPECT_EQ(serial.openCount(), opensBefore + 1);
    EXPECT_EQ(serial.endpoint().device, "/dev/pts/7");
    EXPECT_TRUE(window->portOpenAction()->isChecked());
}

TEST_F(PropertiesDialogTest, OkWithAPortTextThatIsNoPortSaysSoAndStaysOpen)
{
    start();
    openDialog();
    dialog->tabs()->setCurrentIndex(1);
    retype(dialog->portNumberBox(), "70000");
    button("cmdOK")->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(
        prompter.texts(),
        QStringList{
            "Error,\rPort2=70000 is not a TCP port (1 to 65535).\rEnter a port number from 1 to 65535."});
    EXPECT_TRUE(store.writes().empty());

    retype(dialog->portNumberBox(), "40000");
    button("cmdOK")->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(store.get(KorvexSettings::kApp, "Properties", "Port2", ""), "40000");
}

TEST_F(PropertiesDialogTest, CancelWritesNothingButEditsStayForTheRun)
{
    start();
    openDialog();
    retype(dialog->captionBox(), "Bridge");
    button("cmdCancel")->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(store.writes().empty());
    EXPECT_EQ(antennaKey(0).text(), "Bridge");
    EXPECT_TRUE(link().portOpen());
}

TEST_F(PropertiesDialogTest, ChoosingTcpForTheOpenAntennaClosesItFirst)
{
    start();
    openDialog();
    ASSERT_TRUE(link().portOpen());
    dialog->tcpOption()->click();
    EXPECT_FALSE(link().portOpen());
    EXPECT_FALSE(link().profile(1).serial);
    EXPECT_FALSE(window->portOpenAction()->isChecked());
    EXPECT_TRUE(dialog->tcpFrame()->isVisibleTo(dialog.get()));
}

TEST_F(PropertiesDialogTest, F1OpensTheDialogsHelpPage)
{
    start();
    openDialog();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    EXPECT_EQ(prompter.openedUrls, QStringList{PropertiesEditor::kHelpUrl});
}
