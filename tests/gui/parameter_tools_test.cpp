// The dump's and upload's place in the main window: the Tools entries, the progress window
// `frmMsg` that follows the dump and whose Cancel reaches it, the entries greyed meanwhile.
#include "KorvexWindowRig.h"

#include <DataFile.h>
#include <ParameterDump.h>
#include <ParameterTools.h>
#include <ProgressWindow.h>

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

using ParameterToolsWindow = KorvexWindowRig;

TEST_F(ParameterToolsWindow, TheProgressWindowFollowsTheDumpAndItsCancelEndsIt)
{
    start();
    runtime.advance(3000);
    auto* tools = window->menuBar()->findChild<QMenu*>("mnuTools");
    ASSERT_TRUE(tools);
    QStringList captions;
    for (QAction* a : tools->actions())
        captions << a->text();
    EXPECT_EQ(captions.mid(0, 2),
              (QStringList{"Parameter Dump (mA999, nA999, [?)", "Parameter Upload (Send Param.txt)"}));
    EXPECT_EQ(window->menuBar()->actions().last()->text(), "&Help");

    QTemporaryDir dir;
    ParameterTools& t = *window->parameterTools();
    ASSERT_TRUE(window->dataFile().open(dir.filePath("p.txt"), DataFile::Slot::Capture));
    ASSERT_TRUE(t.dump().start(window->dataFile()));
    ProgressWindow* frm = t.window();
    EXPECT_TRUE(frm->isVisible());
    EXPECT_FALSE(frm->isModal());
    EXPECT_EQ(frm->label()->text(), "Reading QVR Parameters");
    EXPECT_EQ(frm->bar()->maximum(), 100);
    EXPECT_EQ(frm->cancelButton()->text(), "Cancel");
    EXPECT_FALSE(t.dumpAction()->isEnabled());
    EXPECT_FALSE(t.uploadAction()->isEnabled());

    frm->cancelButton()->click();
    // Nothing answers on this line: the dump ends at the watchdog, never hangs.
    runtime.advance(4000);
    EXPECT_FALSE(t.dump().running());
    EXPECT_FALSE(frm->isVisible());
    EXPECT_FALSE(window->dataFile().isOpen());
    EXPECT_TRUE(t.dumpAction()->isEnabled());
}

} // namespace
