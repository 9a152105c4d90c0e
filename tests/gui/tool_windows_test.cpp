// The Tools menu and its windows, driven by their controls offscreen.
#include "DiagWindow.h"
#include "FindQvrWindow.h"
#include "KorvexTools.h"
#include "KorvexWindowRig.h"
#include "LosWindow.h"
#include "N7Window.h"
#include "ScanWindow.h"
#include "ToolMenus.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QShortcut>
#include <QTest>

namespace {

class ToolWindowsTest : public KorvexWindowRig {
protected:
    void SetUp() override
    {
        start();
        menus = new ToolMenus(*window, tools, QStringLiteral("127.0.0.1"));
    }

    KorvexTools tools{session, front};
    ToolMenus* menus = nullptr;
};

TEST_F(ToolWindowsTest, ToolsMenuOpensTheWindowsAndTicksWhileShown)
{
    QStringList captions;
    for (QAction* a : menus->menu()->actions())
        if (!a->isSeparator())
            captions << a->text();
    EXPECT_EQ(captions,
              (QStringList{"Parameter Dump (mA999, nA999, [?)", "Parameter Upload (Send Param.txt)",
                           "&Comm Diagnostics", "&LOS Pointing", "Pattern &Scan", "N7 Parameter Tool",
                           "Burn-In Room Excersise", "Find Local and Remote QVRs (UDP Broadcast)"}));
    // The dump and the upload stand apart from the tool windows.
    EXPECT_TRUE(menus->menu()->actions().value(2)->isSeparator());
    QAction* los = menus->action("mnuLOS");
    los->trigger();
    EXPECT_TRUE(menus->losWindow()->isVisible());
    EXPECT_TRUE(los->isChecked());
    menus->losWindow()->close();
    EXPECT_FALSE(los->isChecked());

    QAction* n7 = menus->action("mnuN7Par");
    n7->trigger();
    EXPECT_TRUE(menus->n7Window()->isVisible());
    QTest::keyClick(menus->n7Window()->valueBox(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_FALSE(menus->n7Window()->isVisible());
    EXPECT_FALSE(n7->isChecked());
}

TEST_F(ToolWindowsTest, CommandBoxSendsItsEntryAndF1OpensHelp)
{
    runtime.advance(3000);
    DiagWindow* diag = menus->diagWindow();
    diag->show();
    QTest::keyClicks(diag->commandBox(), "?x");
    QTest::keyClick(diag->commandBox(), Qt::Key_Return);
    EXPECT_EQ(diag->commandBox()->text(), "");
    EXPECT_EQ(session.pollCycle().oneShot(), "?   x\r\n");
    EXPECT_EQ(diag->findChild<QLineEdit*>("Text1")->text(), "?   x");
    // Offscreen windows never become active, so each window's shortcut is triggered as a
    // key would.
    for (QWidget* w : std::initializer_list<QWidget*>{diag, menus->losWindow(), menus->scanWindow(),
                                                      menus->findQvrWindow()}) {
        auto* f1 = w->findChild<QShortcut*>();
        ASSERT_TRUE(f1) << w->objectName().toStdString();
        EXPECT_EQ(f1->key(), QKeySequence(Qt::Key_F1));
        Q_EMIT f1->activated();
    }
    EXPECT_EQ(prompter.openedUrls, (QStringList{"html\\comm_diagonistics.html", "html\\los_pointing.html",
                                                "html\\pattern_scan.html", "html\\find_qvr.html"}));
}

TEST_F(ToolWindowsTest, LosHemisphereBoxesAndN7OptionsFollowTheKeys)
{
    LosWindow* los = menus->losWindow();
    los->show();
    auto* hemisphere = los->findChild<QLineEdit*>("Text2");
    QTest::keyClick(hemisphere, Qt::Key_P);
    EXPECT_EQ(hemisphere->text(), "S");
    EXPECT_EQ(tools.losInputs.targetLatHemisphere, "S");
    QTest::keyClick(los->findChild<QLineEdit*>("Text4"), Qt::Key_A);
    EXPECT_EQ(tools.losInputs.targetLonHemisphere, "E");
    EXPECT_FALSE(los->findChild<QLineEdit*>("Text10")->isEnabled());

    N7Window* n7 = menus->n7Window();
    n7->show();
    n7->valueBox()->setText("255");
    QTest::keyClick(n7->valueBox(), Qt::Key_Return);
    for (int g = 0; g < 4; ++g)
        EXPECT_TRUE(n7->option(g, 3)->isChecked()) << g;
    n7->option(0, 0)->click();
    EXPECT_EQ(n7->valueBox()->text(), "63");
}

} // namespace
