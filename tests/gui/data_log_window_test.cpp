#include "KorvexWindowRig.h"

#include "CaptureWindow.h"
#include "DataLogMenus.h"
#include "DataLogs.h"
#include "FakeGraph.h"
#include "GraphArea.h"
#include "Replay.h"

#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

namespace {
class DataLogWindowTest : public KorvexWindowRig {
protected:
    QTemporaryDir dir;
    DataFile file;
    FakeGraph graph;
    Replay replay{prompter, graph, runtime};
    DataLogs logs{file, prompter, graph,
                  DataLogs::Hooks{[] { return true; }, {}, [this] { return replay.isLoaded(); }}};
};

QStringList visibleTexts(const QList<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->isVisible() ? a->text() : QString());
    return out;
}
} // namespace

TEST_F(DataLogWindowTest, MenusButtonsAndCaptionFollowTheLogAndTheReplay)
{
    start();
    DataLogMenus* m = window->attachDataLogs(logs, replay);
    CaptureWindow* capture = m->captureWindow();
    QList<QAction*> fileActions;
    for (QObject* o : m->logAction()->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(o))
            fileActions = menu->actions();
    EXPECT_EQ(visibleTexts(fileActions),
              QStringList({"Start Data &Log", "Save Screen &Data", "L&oad Data Log", "", "-", "Print &Screen",
                           "&Printer Setup", "-", "Save Graph as PNG...", "Save Graph as PDF...", "-", "E&xit"}));
    // The graph's own entry prints, for the menu and the Capture window alike.
    EXPECT_EQ(m->printAction()->objectName(), "mnuPrint");
    EXPECT_TRUE(m->printAction()->isEnabled());
    EXPECT_FALSE(m->backButton()->isVisible());
    EXPECT_FALSE(m->progressBar()->isVisible());

    window->graphArea()->captureButton()->click();
    EXPECT_TRUE(capture->isVisible());
    EXPECT_EQ(capture->windowTitle(), "Capture");
    EXPECT_FALSE(capture->unloadButton()->isVisible());

    const QString log = dir.filePath("log.csv");
    prompter.fileNames = {log};
    capture->logButton()->click();
    EXPECT_EQ(window->windowTitle(), "QVR Remote Panel - Log " + log);
    EXPECT_EQ(capture->logButton()->text(), "Close Data Log");
    EXPECT_EQ(m->logAction()->text(), "Close Data Log");
    EXPECT_FALSE(m->loadAction()->isEnabled());
    // Closing runs the window's parameter dump; the silent unit lets it time out, and its
    // end closes the log.
    m->logAction()->trigger();
    EXPECT_EQ(window->windowTitle(), "QVR Remote Panel - Log " + log);
    EXPECT_FALSE(m->logAction()->isEnabled());
    runtime.advance(15000);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(window->windowTitle(), "QVR Remote Panel");
    EXPECT_EQ(capture->logButton()->text(), "Start Data Log");

    QFile replayed(dir.filePath("v.csv"));
    ASSERT_TRUE(replayed.open(QIODevice::WriteOnly));
    replayed.write(
        "Time,Cl,Lv,Az,Rel,Notes,Korvex Disp v (Reference) Screen Capture\r\n12:00:00, 1, 2, 3, 4\r\n");
    replayed.close();
    prompter.fileNames = {replayed.fileName()};
    capture->loadButton()->click();
    EXPECT_EQ(window->windowTitle(), "QVR Remote Panel - Log " + replayed.fileName());
    EXPECT_TRUE(m->backButton()->isVisible());
    EXPECT_TRUE(m->forwardButton()->isVisible());
    EXPECT_TRUE(m->progressBar()->isVisible());
    EXPECT_EQ(m->progressBar()->maximum(), 88);
    EXPECT_EQ(m->progressBar()->value(), 88);
    EXPECT_FALSE(capture->saveButton()->isVisible());
    EXPECT_FALSE(m->saveAction()->isEnabled());
    EXPECT_FALSE(m->logAction()->isEnabled());
    EXPECT_FALSE(m->loadAction()->isEnabled());
    EXPECT_TRUE(m->unloadAction()->isVisible());
    EXPECT_TRUE(capture->unloadButton()->isVisible());

    m->unloadAction()->trigger();
    EXPECT_EQ(window->windowTitle(), "QVR Remote Panel");
    EXPECT_FALSE(m->backButton()->isVisible());
    EXPECT_FALSE(m->progressBar()->isVisible());
    EXPECT_TRUE(capture->saveButton()->isVisible());
    EXPECT_TRUE(m->loadAction()->isEnabled());
    EXPECT_FALSE(m->unloadAction()->isVisible());
}

TEST(CaptureWindowPlacement, LowerRightCornerOfTheMainWindow)
{
    // 150 twips above the bottom and 50 twips in from the right, at 15 twips a pixel.
    EXPECT_EQ(CaptureWindow::placement(QRect(100, 50, 1000, 600), QSize(200, 300)), QPoint(897, 340));
}
