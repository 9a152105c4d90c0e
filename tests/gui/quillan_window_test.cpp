// Quillan's window driven by its controls, on simulated links in virtual time.
#include "quillan_rig.h"

#include "CancelWindow.h"
#include "LampLabel.h"
#include "LineStateStrip.h"
#include "ModuleTable.h"
#include "PanelDisplay.h"
#include "SessionTrace.h"
#include "UploadHistoryWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "SRecordBuilder.h"

namespace {

QAction* action(QuillanRig& rig, const QString& name)
{
    QAction* a = rig.window->findChild<QAction*>(name);
    EXPECT_NE(a, nullptr) << name.toStdString();
    return a;
}

QToolButton* button(QuillanRig& rig, const QString& key)
{
    QToolButton* b = rig.window->findChild<QToolButton*>(key);
    EXPECT_NE(b, nullptr) << key.toStdString();
    return b;
}

QString panelText(QuillanRig& rig, const QString& key)
{
    return rig.window->statusPanel(key)->text();
}

QStringList menuTexts(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            out << a->text();
    }
    return out;
}

} // namespace

TEST(QuillanWindow, StartsConnectedWithCaptionStatusPanelsAndMinimumWidth)
{
    QuillanRig rig;
    rig.runtime.advance(3000);
    rig.settle();
    EXPECT_EQ(rig.window->windowTitle(), QStringLiteral("Vantrel Program Terminal"));
    EXPECT_EQ(rig.window->minimumWidth(), 7200 * rig.window->logicalDpiY() / 96 / 15);
    EXPECT_TRUE(panelText(rig, QStringLiteral("Status")).startsWith(QStringLiteral("Status: ")));
    EXPECT_EQ(panelText(rig, QStringLiteral("Settings")),
              QStringLiteral("Settings: Com1: 9600,N,8,1, Echo Off     DATA Terminal mode"));
    EXPECT_EQ(panelText(rig, QStringLiteral("ConnectTime")), QStringLiteral("00:00:03 "));
    EXPECT_TRUE(action(rig, QStringLiteral("mnuPortOpen"))->isChecked());
    EXPECT_TRUE(button(rig, QStringLiteral("SendGPS"))->isEnabled());
}

TEST(QuillanWindow, ModuleMenuListsEveryRowAndFollowsTheSelection)
{
    QuillanRig rig;
    QMenu* modules =
        action(rig, QStringLiteral("mnuData"))->associatedObjects().isEmpty()
            ? nullptr
            : qobject_cast<QMenu*>(action(rig, QStringLiteral("mnuData"))->associatedObjects().first());
    ASSERT_NE(modules, nullptr);
    const QStringList expected{"Data Terminal               (9600)",
                               "KT-4000 Direct            (9600)",
                               "Shorvel PCU Direct       (9600)",
                               "Shorvel PCU to DVB      (9600)",
                               "Shorvel PCU to Panel    (9600)",
                               "DiSEqC ACP / Switch     (9600)",
                               "VT PCU via KVMP          (9600)",
                               "Qvr 30 to ACU              (4800)",
                               "Qvr 30 to PCU              (4800)",
                               "Qvr 30 to DVB              (4800)",
                               "Qvr 5K to ACU              (9600)",
                               "Qvr 5K to PCU              (9600)",
                               "Qvr 5K to DVB              (9600)",
                               "Qvr 5K to BDE Modem  (9600)",
                               "Qvr 5K to ADE Modem  (9600)",
                               "Qvr 5K to G2 MDE         (9600)",
                               "Service Port to PCU      (9600)",
                               "USB to G2 PCU",
                               "USB to G2 MDE",
                               "USB to 470 Modem",
                               "USB to KVMP Auto Update",
                               "USB to KVMP App",
                               "USB to KVMP NMEA"};
    EXPECT_EQ(menuTexts(modules), expected);

    action(rig, QStringLiteral("mnuQVR2a"))->trigger();
    rig.settle();
    for (const ModuleRow& row : ModuleTable::rows())
        EXPECT_EQ(action(rig, QString::fromLatin1(row.menuName))->isChecked(), row.module == Module::QVR2a);
    EXPECT_FALSE(button(rig, QStringLiteral("Start"))->isVisible());
    EXPECT_FALSE(button(rig, QStringLiteral("Upload"))->isVisible());
    EXPECT_TRUE(button(rig, QStringLiteral("Auto Upload"))->isEnabled()) << "the port is open";
    EXPECT_EQ(rig.store.get(QString::fromLatin1(QuillanRig::kApp), QStringLiteral("Properties"),
                            QStringLiteral("Direct"), QString()),
              QStringLiteral("QVR2a"));

    action(rig, QStringLiteral("mnuData"))->trigger();
    rig.settle();
    EXPECT_TRUE(button(rig, QStringLiteral("Start"))->isVisible());
    EXPECT_TRUE(button(rig, QStringLiteral("Erase"))->isVisible());
    EXPECT_FALSE(button(rig, QStringLiteral("Auto Upload"))->isEnabled());
    EXPECT_TRUE(action(rig, QStringLiteral("mnuData"))->isChecked());
}

TEST(QuillanWindow, ReceivedTextIsAppendedAndTheTrimIsFollowed)
{
    QuillanRig rig;
    rig.receive("QVR-5030 ACU\r\n>");
    EXPECT_EQ(rig.shown(), QStringLiteral("QVR-5030 ACU\n>"));

    // Past the screen limit the model drops its oldest part; the view must show the same.
    QByteArray line(78, 'x');
    line += "\r\n";
    for (int i = 0; i < 450; ++i)
        rig.unit.say(line);
    rig.runtime.advance(5000);
    rig.settle();
    QString model = rig.session->screen().text();
    model.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_LT(model.size(), 32500 + 81);
    EXPECT_EQ(rig.shown(), model);
}

TEST(QuillanWindow, KeysOnTheTerminalGoOutThroughTheSession)
{
    QuillanRig rig;
    TerminalView* term = rig.window->terminal();
    QTest::keyClicks(term, QStringLiteral("V"));
    QTest::keyClick(term, Qt::Key_Return);
    QTest::keyClick(term, Qt::Key_Left);
    QTest::keyClick(term, Qt::Key_Insert);
    rig.runtime.advance(10);
    EXPECT_EQ(rig.unit.heard, QByteArray("V\r\n\x1b[D"));
    // Echo is off: typing leaves the screen as the unit left it.
    EXPECT_EQ(rig.shown(), QString());

    rig.window->lineStates()->led()->clicked();
    rig.unit.heard.clear();
    QTest::keyClicks(term, QStringLiteral("ab"));
    rig.runtime.advance(10);
    EXPECT_TRUE(rig.unit.heard.isEmpty());
    EXPECT_EQ(rig.shown(), QStringLiteral("ab"));
}

TEST(QuillanWindow, LedClickTogglesTheLinkAndTheCommandsThatNeedIt)
{
    QuillanRig rig;
    LampLabel* led = rig.window->lineStates()->led();
    QTest::mouseClick(led, Qt::LeftButton);
    rig.settle();
    EXPECT_FALSE(rig.session->isPortOpen());
    EXPECT_EQ(panelText(rig, QStringLiteral("Settings")), QStringLiteral("Settings: "));
    EXPECT_FALSE(action(rig, QStringLiteral("mnuPortOpen"))->isChecked());
    for (const char* key : {"SendGPS", "SendHDG", "Status", "ModVer", "CheckSum", "ChkOff", "Start"})
        EXPECT_FALSE(button(rig, QString::fromLatin1(key))->isEnabled()) << key;

    action(rig, QStringLiteral("mnuPortOpen"))->trigger();
    rig.settle();
    EXPECT_TRUE(rig.session->isPortOpen());
    EXPECT_TRUE(action(rig, QStringLiteral("mnuPortOpen"))->isChecked());
    EXPECT_TRUE(button(rig, QStringLiteral("Start"))->isEnabled());
}

TEST(QuillanWindow, LineStateBoxesShowInputsAndDriveOutputs)
{
    QuillanRig rig(QStringLiteral("DATA"), false);
    rig.serial.setLineStates({true, true, false, true, false});
    rig.session->start();
    rig.settle();
    LineStateStrip* strip = rig.window->lineStates();
    EXPECT_TRUE(strip->box(QStringLiteral("CTS"))->isChecked());
    EXPECT_FALSE(strip->box(QStringLiteral("DSR"))->isChecked());
    EXPECT_TRUE(strip->box(QStringLiteral("DCD"))->isChecked());

    // The inputs only show the lines.
    QTest::mouseClick(strip->box(QStringLiteral("CTS")), Qt::LeftButton);
    EXPECT_TRUE(strip->box(QStringLiteral("CTS"))->isChecked());

    QTest::mouseClick(strip->box(QStringLiteral("DTR")), Qt::LeftButton);
    QTest::mouseClick(strip->box(QStringLiteral("RTS")), Qt::LeftButton);
    EXPECT_TRUE(rig.serial.dtr());
    EXPECT_TRUE(rig.serial.rts());
    QTest::mouseClick(strip->box(QStringLiteral("DTR")), Qt::LeftButton);
    EXPECT_FALSE(rig.serial.dtr());
    EXPECT_FALSE(strip->box(QStringLiteral("DTR"))->isChecked());
}

TEST(QuillanWindow, PanelModulesShowTheDisplayLinesAndLegends)
{
    QuillanRig rig(QStringLiteral("SPCU"));
    PanelDisplay* panel = rig.window->panelDisplay();
    EXPECT_TRUE(panel->isVisible());
    rig.receive("\x01 SHORVEL PCU\r\n\x02 AZ 181.2\r\n\x03"
                "0A\x04"
                "0128\x06\x0cready\r\n");
    EXPECT_EQ(panel->line(1), QStringLiteral(" SHORVEL PCU"));
    EXPECT_EQ(panel->line(2), QStringLiteral(" AZ 181.2"));
    EXPECT_EQ(panel->line(3), QStringLiteral("0A"));
    EXPECT_EQ(panel->line(4), QStringLiteral("0128"));
    EXPECT_EQ(panel->unwrapLegend(), QStringLiteral("UNWRAP"));
    EXPECT_EQ(panel->trackingLegend(), QStringLiteral("TRACKING"));
    EXPECT_EQ(rig.shown(), QStringLiteral("ready\n"));
    rig.receive("\x06");
    rig.receive(QByteArray(1, '\0'));
    EXPECT_EQ(panel->unwrapLegend(), QString());
    EXPECT_EQ(panel->trackingLegend(), QString());

    action(rig, QStringLiteral("mnuData"))->trigger();
    rig.settle();
    EXPECT_FALSE(panel->isVisible());
}

TEST(QuillanWindow, PacingHexAndLoopMenusFollowTheSession)
{
    QuillanRig rig;
    QStringList checked;
    for (int ms : QuillanActions::pacingChoices()) {
        if (action(rig, QStringLiteral("mnuPacing%1").arg(ms))->isChecked())
            checked << QString::number(ms);
    }
    EXPECT_EQ(checked, QStringList{QStringLiteral("200")});
    action(rig, QStringLiteral("mnuPacing0"))->trigger();
    EXPECT_EQ(rig.session->sendPacing(), 0);
    EXPECT_FALSE(action(rig, QStringLiteral("mnuPacing200"))->isChecked());
    EXPECT_EQ(action(rig, QStringLiteral("mnuPacing0"))->text(), QStringLiteral("0 ms"));

    action(rig, QStringLiteral("mnuLoopSend"))->trigger();
    EXPECT_TRUE(rig.session->loopSend());

    QAction* hex = action(rig, QStringLiteral("mnuHex"));
    hex->trigger();
    EXPECT_TRUE(rig.session->screen().hexView());
    rig.receive("A\r");
    EXPECT_EQ(rig.shown(), QStringLiteral("<41><0D>"));
    // Every module selection starts from a plain screen.
    action(rig, QStringLiteral("mnuSPCU"))->trigger();
    EXPECT_FALSE(hex->isChecked());
    EXPECT_FALSE(rig.session->screen().hexView());
}

TEST(QuillanWindow, SendTextFileShowsTheCancelWindowUntilCancelled)
{
    QuillanRig rig;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cmds.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("V\r\nS;P\r\n");
    f.close();
    rig.prompter.fileNames << path;
    action(rig, QStringLiteral("mnuLoopSend"))->trigger();

    CancelWindow* cancel = rig.window->cancelWindow();
    bool shownWhileSending = false;
    rig.runtime.singleShot(1000, nullptr, [&] {
        shownWhileSending = cancel->isVisible() && cancel->windowTitle() == QStringLiteral("Send Text");
        cancel->findChild<QPushButton*>(QStringLiteral("Cancel"))->click();
    });
    action(rig, QStringLiteral("mnuSendText"))->trigger();

    EXPECT_TRUE(shownWhileSending);
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_TRUE(rig.unit.heard.startsWith("V\r\nS\r\nP\r\nV\r\nS\r\nP\r\n")) << rig.unit.heard.toStdString();
    EXPECT_FALSE(rig.session->isBusy());
}

TEST(QuillanWindow, HelpShowsTheAboutBoxAndOpensTheInstructions)
{
    QuillanRig rig;
    action(rig, QStringLiteral("mnuAbout"))->trigger();
    ASSERT_FALSE(rig.prompter.messages.isEmpty());
    EXPECT_EQ(rig.prompter.messages.last().title, QStringLiteral("About"));
    EXPECT_EQ(rig.prompter.lastText(), QStringLiteral("Programming Terminal ") +
                                           QuillanWindow::versionText() +
                                           QStringLiteral("\rBuild 29.March.2018"));
    // The manual goes to the document opener by its name; the installed guide answers it.
    action(rig, QStringLiteral("mnuInstructions"))->trigger();
    EXPECT_EQ(rig.prompter.openedUrls, QStringList{"\\Program Files\\Quillan\\ACU-PCU_Update.pdf"});
}

TEST(QuillanWindow, UploadButtonShowsProgressAndCancelStopsBeforeTheRestart)
{
    QuillanRig rig(QStringLiteral("SPCU"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pcu.s19"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // Forty data records of the Shorvel PCU and its start address F803.
    for (int i = 0; i < 40; ++i)
        f.write(srec::record(1, quint32(i * 2), QByteArray::fromHex("AA55")) + "\r\n");
    f.write("S903F80301\r\n");
    f.close();
    rig.prompter.fileNames << path;

    CancelWindow* cancel = rig.window->cancelWindow();
    QToolButton* upload = button(rig, QStringLiteral("Upload"));
    QString title, progress;
    bool commandsWaited = false;
    // The port stays open under a running upload: the LED and "Port Open" leave it alone.
    bool openAfterClicks = false, portItemOff = false;
    rig.runtime.singleShot(1000, nullptr, [&] {
        QTest::mouseClick(rig.window->lineStates()->led(), Qt::LeftButton);
        action(rig, QStringLiteral("mnuPortOpen"))->trigger();
        openAfterClicks = rig.session->isPortOpen();
        portItemOff = !action(rig, QStringLiteral("mnuPortOpen"))->isEnabled();
    });
    rig.runtime.singleShot(1500, nullptr, [&] {
        title = cancel->windowTitle();
        progress = cancel->progressText();
        commandsWaited = !upload->isEnabled() && !button(rig, QStringLiteral("Start"))->isEnabled();
        cancel->findChild<QPushButton*>(QStringLiteral("Cancel"))->click();
    });
    upload->click();

    EXPECT_EQ(title, QStringLiteral("Upload"));
    EXPECT_TRUE(progress.startsWith(QStringLiteral("Lines sent: "))) << progress.toStdString();
    EXPECT_TRUE(progress.contains(QStringLiteral(" of 41    Elapsed: 00:00:01    Left: 00:00:")))
        << progress.toStdString();
    EXPECT_TRUE(commandsWaited);
    EXPECT_TRUE(openAfterClicks);
    EXPECT_TRUE(portItemOff);
    EXPECT_TRUE(rig.prompter.messages.isEmpty()) << rig.prompter.lastText().toStdString();
    EXPECT_TRUE(action(rig, QStringLiteral("mnuPortOpen"))->isEnabled());
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_TRUE(upload->isEnabled());
    EXPECT_TRUE(rig.unit.heard.startsWith("S1"));
    EXPECT_FALSE(rig.unit.heard.contains("^0090")) << "a cancelled upload does not restart the PCU";
    EXPECT_FALSE(rig.unit.heard.contains("S903F80301"));
}

TEST(QuillanWindow, SessionTraceItemSitsWithTheLogItemsAndStartsAndStopsTheTrace)
{
    QuillanRig rig;
    SessionTrace trace(rig.runtime);
    QAction* item = rig.window->addSessionTrace(trace);
    const QList<QAction*> file = rig.window->actions().fileMenu->actions();
    ASSERT_GE(file.size(), 3);
    EXPECT_EQ(file[0]->text(), "&Start Log File...");
    EXPECT_EQ(file[1]->text(), "S&top Log File");
    EXPECT_EQ(file[2], item);
    EXPECT_EQ(item->text(), "Session &Trace...");

    QTemporaryDir dir;
    rig.prompter.fileNames = {dir.filePath("q.txt")};
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(trace.path(), dir.filePath("q.txt"));
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(trace.isActive());
}

TEST(QuillanWindow, AutoUploadRunsTheJobAndTheHistoryWindowShowsAndExportsIt)
{
    QTemporaryDir dir;
    QuillanRig rig;
    action(rig, QStringLiteral("mnuQVR2a"))->trigger();
    rig.settle();
    const QString file = dir.filePath(QStringLiteral("acu.s19"));
    ASSERT_TRUE(srec::write(file, QList<QByteArray>{srec::record(1, 0x4000, "VER 3.20 ACU"), srec::end(0xF003)}));
    // The unit on the line says nothing: the job ends at the probe, and is recorded.
    rig.prompter.fileNames << file;
    action(rig, QStringLiteral("mnuAutoUpload"))->trigger();
    rig.settle();
    EXPECT_TRUE(rig.shown().contains(
        "PT:  ACU not responding.  Manually reset the ACU and try the Auto Upload function again"));
    EXPECT_TRUE(rig.unit.heard.startsWith("\x1b[L\r\n\x1bS"));

    UploadHistoryWindow* history = rig.window->showUploadHistory();
    ASSERT_EQ(history->table()->rowCount(), 1);
    EXPECT_EQ(history->table()->item(0, 1)->text(), "QVR2a");
    EXPECT_EQ(history->table()->item(0, 2)->text(), "acu.s19");
    EXPECT_EQ(history->table()->item(0, 2)->toolTip(), file);
    EXPECT_EQ(history->table()->item(0, 6)->text(), "no answer");
    EXPECT_EQ(history->table()->item(0, 5)->text(), "1");

    const QString csv = dir.filePath(QStringLiteral("history.csv"));
    rig.prompter.fileNames << csv;
    ASSERT_TRUE(history->exportCsv());
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    EXPECT_EQ(lines[0], "Time,Module,File,SHA-256,Versions before,Retries,Verdict,Duration (s)\r");
    EXPECT_TRUE(lines[1].contains(",QVR2a," + file.toUtf8() + ",")) << lines[1].constData();
    EXPECT_TRUE(lines[1].contains(",1,no answer,")) << lines[1].constData();
}
