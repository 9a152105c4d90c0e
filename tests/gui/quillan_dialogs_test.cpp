// The "CommPort Properties" dialog and the send window.
#include "quillan_rig.h"

#include "CancelWindow.h"
#include "CommPortDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList items(QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QString stored(QuillanRig& rig, const QString& section, const QString& key)
{
    return rig.store.get(QString::fromLatin1(QuillanRig::kApp), section, key, QString());
}

} // namespace

TEST(CommPortDialog, ListsTheChoicesAndSelectsTheCurrentSettings)
{
    QuillanRig rig(QStringLiteral("DATA"), false);
    rig.setting(QStringLiteral("Settings"), QStringLiteral("4800,E,7,2"));
    rig.setting(QStringLiteral("CommPort"), QStringLiteral("3"));
    rig.session->start();
    CommPortDialog dialog(*rig.session, rig.window.get());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("CommPort Properties"));

    QComboBox* port = dialog.combo(QStringLiteral("Port"));
    EXPECT_EQ(port->count(), 16);
    EXPECT_EQ(port->itemText(15), QStringLiteral("Com16"));
    EXPECT_EQ(port->currentText(), QStringLiteral("Com3"));
    EXPECT_TRUE(items(dialog.combo(QStringLiteral("Baud"))).contains(QStringLiteral("115200")));
    EXPECT_EQ(dialog.combo(QStringLiteral("Baud"))->currentText(), QStringLiteral("4800"));
    EXPECT_EQ(items(dialog.combo(QStringLiteral("DataBits"))), QStringList({"4", "5", "6", "7", "8"}));
    EXPECT_EQ(dialog.combo(QStringLiteral("DataBits"))->currentText(), QStringLiteral("7"));
    EXPECT_EQ(dialog.combo(QStringLiteral("Parity"))->currentText(), QStringLiteral("Even"));
    EXPECT_EQ(items(dialog.combo(QStringLiteral("StopBits"))), QStringList({"1", "1.5", "2"}));
    EXPECT_EQ(dialog.combo(QStringLiteral("StopBits"))->currentText(), QStringLiteral("2"));
    // Com3 means the third built-in port unless the profile maps it elsewhere.
    EXPECT_EQ(dialog.combo(QStringLiteral("Device"))->currentText(), QStringLiteral("/dev/ttyS2"));
    // Echo shows the same on both pages.
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("SerialEchoOff"))->isChecked());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("TcpEchoOff"))->isChecked());
    dialog.findChild<QRadioButton*>(QStringLiteral("TcpEchoOn"))->click();
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("SerialEchoOn"))->isChecked());
}

TEST(CommPortDialog, RefusesTcpForModulesOffTheAcuPort)
{
    QuillanRig rig(QStringLiteral("USBpcu"));
    CommPortDialog dialog(*rig.session, rig.window.get());
    dialog.findChild<QRadioButton*>(QStringLiteral("TCPIP"))->click();
    EXPECT_EQ(rig.prompter.lastText(), QStringLiteral("TCP/IP not allowed for the present module selection"));
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("Serial"))->isChecked());
    EXPECT_EQ(dialog.findChild<QStackedWidget*>()->currentIndex(), 0);
    EXPECT_FALSE(rig.session->isPortOpen());
}

TEST(CommPortDialog, OkStoresTheSettingsAndTheDeviceAndReopens)
{
    QuillanRig rig(QStringLiteral("QVR2a"));
    CommPortDialog dialog(*rig.session, rig.window.get());
    dialog.combo(QStringLiteral("Port"))->setCurrentIndex(4);
    dialog.combo(QStringLiteral("Device"))->setEditText(QStringLiteral("/dev/pts/7"));
    dialog.combo(QStringLiteral("Baud"))->setCurrentText(QStringLiteral("115200"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(stored(rig, QStringLiteral("Ports"), QStringLiteral("COM5")), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(stored(rig, QStringLiteral("Properties"), QStringLiteral("CommPort")), QStringLiteral("5"));
    EXPECT_EQ(stored(rig, QStringLiteral("Properties"), QStringLiteral("Settings")),
              QStringLiteral("115200,N,8,1"));
    EXPECT_EQ(rig.session->serialDevice(), QStringLiteral("/dev/pts/7"));
    EXPECT_TRUE(rig.session->isPortOpen());

    // The TCP/IP page for a module on the ACU's port.
    CommPortDialog again(*rig.session, rig.window.get());
    again.findChild<QRadioButton*>(QStringLiteral("TCPIP"))->click();
    EXPECT_EQ(again.findChild<QStackedWidget*>()->currentIndex(), 1);
    again.findChild<QLineEdit*>(QStringLiteral("Address"))->setText(QStringLiteral("127.0.0.1"));
    again.findChild<QLineEdit*>(QStringLiteral("PortNumber"))->setText(QStringLiteral("2001"));
    again.accept();
    rig.runtime.advance(100);
    EXPECT_EQ(stored(rig, QStringLiteral("Properties"), QStringLiteral("Type")), QStringLiteral("False"));
    EXPECT_EQ(stored(rig, QStringLiteral("Properties"), QStringLiteral("Address")),
              QStringLiteral("127.0.0.1"));
    EXPECT_EQ(stored(rig, QStringLiteral("Properties"), QStringLiteral("PortNumber")),
              QStringLiteral("2001"));
    EXPECT_FALSE(rig.session->linkIsSerial());
}

TEST(CancelWindow, ShowsTheTextProgressAndOnlyCancelEndsIt)
{
    CancelWindow w;
    QSignalSpy cancelled(&w, &CancelWindow::cancelClicked);
    w.present(QStringLiteral("Send Text"), QStringLiteral("Send Text File - Pacing: 200,  Loop\r/tmp/a.txt"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Send Text"));
    EXPECT_EQ(w.text(), QStringLiteral("Send Text File - Pacing: 200,  Loop\n/tmp/a.txt"));
    w.setProgress(25, 100, 10000);
    EXPECT_EQ(w.progressText(),
              QStringLiteral("Lines sent: 25 of 100    Elapsed: 00:00:10    Left: 00:00:30"));

    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(cancelled.count(), 0);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
}
