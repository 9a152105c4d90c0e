// The window's dump, Tools-menu, toolbar and navigation commands reach the tools.
#include "quillan_rig.h"

#include "CancelWindow.h"
#include "ToolsMenu.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QAction* item(QuillanRig& rig, const QString& name)
{
    return rig.window->findChild<QAction*>(name);
}

} // namespace

TEST(QuillanTools, MenuCaptionsReachTheirCommands)
{
    QuillanRig rig(QStringLiteral("QVR2a"));
    rig.unit.heard.clear();
    // Every Tools item with a command is live; the two without one stay grey.
    const QuillanActions& a = rig.window->actions();
    for (auto it = a.tools.cbegin(); it != a.tools.cend(); ++it) {
        const bool inert = it.key() == QLatin1String("PCU Checksum Off") ||
                           it.key().startsWith(QLatin1String("DVB Reset"));
        EXPECT_EQ(it.value()->isEnabled(), !inert) << it.key().toStdString();
    }
    item(rig, QStringLiteral("mnuAcuVersion"))->trigger();
    item(rig, QStringLiteral("mnuMdeStatus"))->trigger();
    a.moduleVersion->trigger();
    item(rig, QStringLiteral("mnuSendGps"))->trigger();
    rig.runtime.advance(50);
    EXPECT_EQ(rig.unit.heard, "\x1bV]6000\r\n\x1bV$GPGLL,3746.000,N,12213.000,W,0,00000,A\r\n@");

    // The checksum option sits in the Tools menu, off at first.
    QAction* sums = item(rig, QStringLiteral("mnuNmeaChecksums"));
    ASSERT_NE(sums, nullptr);
    EXPECT_FALSE(sums->isChecked());
    sums->trigger();
    rig.unit.heard.clear();
    item(rig, QStringLiteral("mnuSendHdg"))->trigger();
    rig.runtime.advance(50);
    EXPECT_EQ(rig.unit.heard, "$HDHDT,123.4,T*2A\r\nH");
}

TEST(QuillanTools, DumpShowsItsProgressAndCancelEndsIt)
{
    QuillanRig rig(QStringLiteral("QVR2a"));
    QTemporaryDir dir;
    rig.prompter.fileNames = {dir.filePath(QStringLiteral("p.txt"))};
    CancelWindow* cancel = rig.window->cancelWindow();
    QString progress;
    // Cancel once the dump has asked a few questions of the silent unit.
    rig.runtime.singleShot(7000, nullptr, [&] {
        progress = cancel->progressText();
        EXPECT_TRUE(cancel->isVisible());
        cancel->findChild<QPushButton*>(QStringLiteral("Cancel"))->click();
    });
    rig.window->actions().dumpAll->trigger();
    EXPECT_EQ(progress, "Query 4 of 95    Time left (2 s a query): 03:04");
    EXPECT_FALSE(cancel->isVisible());
    QFile f(dir.filePath(QStringLiteral("p.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("'Parameter Dump Canceled\r\n"));
    EXPECT_FALSE(rig.session->isBusy());
}
