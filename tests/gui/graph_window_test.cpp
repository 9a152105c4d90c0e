#include "KorvexWindowRig.h"

#include "GraphArea.h"
#include "GraphController.h"
#include "GraphEngine.h"
#include "PlotFrame.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
class GraphWindowTest : public KorvexWindowRig {
protected:
    GraphEngine& engine() { return window->graphEngine(); }
    GraphController& graph() { return *window->graphController(); }
    GraphArea& area() { return *window->graphArea(); }
};

// Pages of a PDF file: its page objects, not the page tree.
int pdfPages(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        pages += pdf.mid(at + 11, 1) != "s";
    return pages;
}
} // namespace

TEST_F(GraphWindowTest, ModeListAndViewMenuShowTheEnginesMode)
{
    start();
    QComboBox* modes = area().modeList();
    EXPECT_TRUE(modes->isEnabled());
    modes->setCurrentIndex(6);
    Q_EMIT modes->activated(6);
    EXPECT_EQ(engine().mode(), GraphMode::NutaraXy);
    EXPECT_EQ(modes->toolTip(), "Nutara X-Y pattern display");
    EXPECT_TRUE(graph().modeAction(GraphMode::NutaraXy)->isChecked());
    EXPECT_FALSE(graph().modeAction(GraphMode::Admc)->isChecked());
    EXPECT_EQ(graph().scaleCaption(1)->text(), "0.011 Deg /Div\n0.05 Deg Tic Marks");
    EXPECT_TRUE(graph().traceList(0)->isHidden());
    EXPECT_TRUE(area().plot()->keepsAspect());
    EXPECT_EQ(session.parser().graphMode(), 6);

    graph().modeAction(GraphMode::Admc)->trigger();
    EXPECT_EQ(modes->currentIndex(), 0);
    EXPECT_EQ(graph().traceList(2)->currentText(), "REL");
    EXPECT_EQ(graph().traceList(2)->toolTip(), "Re-Select to Center Trace");
    EXPECT_EQ(area().plot()->toolTip(), "Double Click to change format to CL, LV, AZ");
}

TEST_F(GraphWindowTest, CenterAllRightClickUndoesAndColoursComeFromTheDialog)
{
    start();
    engine().selectMode(GraphMode::DispIvc);
    session.panelState().agc = 77;
    QTest::mouseClick(area().centerAllButton(), Qt::LeftButton);
    EXPECT_EQ(engine().centres()[3], 77);
    QTest::mouseClick(area().centerAllButton(), Qt::RightButton);
    EXPECT_EQ(engine().centres()[3], 0);

    prompter.colors = {std::optional<quint32>(255)};
    graph().colorMenu()->actions()[0]->trigger(); // Back
    EXPECT_EQ(engine().colors().back, 255u);
    EXPECT_EQ(area().plot()->picture().pixelColor(5, 5), QColor(255, 0, 0));
    graph().colorMenu()->actions()[0]->trigger(); // cancelled: nothing changes
    EXPECT_EQ(engine().colors().back, 255u);
    for (QAction* a : graph().colorMenu()->actions())
        if (a->text() == "Save Settings")
            a->trigger();
    EXPECT_EQ(store.get(KorvexSettings::kApp, "Colors", "Back", "-"), "255");
}

TEST_F(GraphWindowTest, ExpandButtonCollapsesToThePanelAndBack)
{
    start();
    QPushButton* expand = area().expandButton();
    expand->click();
    EXPECT_FALSE(area().plot()->isVisible());
    EXPECT_TRUE(expand->isVisible());
    EXPECT_FALSE(window->statusBar()->isVisible());
    EXPECT_TRUE(graph().panelOnlyAction()->isChecked());
    EXPECT_EQ(expand->toolTip(), "Expand Graph");
    expand->click();
    EXPECT_TRUE(area().plot()->isVisible());
    EXPECT_FALSE(graph().panelOnlyAction()->isChecked());
    EXPECT_EQ(expand->toolTip(), "Collapse Graph");
}

TEST_F(GraphWindowTest, PrintAndPdfMakeOnePage)
{
    start();
    engine().selectMode(GraphMode::DispV);
    for (int n = 0; n < 100; ++n) {
        PanelSample s;
        s.DispCL = qint16(n % 20);
        engine().plot(s);
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath("graph.pdf");
    ASSERT_TRUE(graph().saveGraphPdf(pdf));
    EXPECT_GT(QFile(pdf).size(), 1000);
    EXPECT_EQ(pdfPages(pdf), 1);
    EXPECT_FALSE(graph().saveGraphPdf(dir.filePath("no/such/folder/graph.pdf")));

    // "Print Screen" through the dialog seam: cancelled prints nothing.
    const QString printed = dir.filePath("printed.pdf");
    graph().setPrintDialogs({[&](QPrinter& p) {
                                 p.setOutputFileName(printed);
                                 return false;
                             },
                             {}});
    graph().printScreen();
    EXPECT_FALSE(QFile::exists(printed));
    graph().setPrintDialogs({[&](QPrinter& p) {
                                 p.setOutputFileName(printed);
                                 return true;
                             },
                             {}});
    graph().printAction()->trigger();
    EXPECT_EQ(pdfPages(printed), 1);
}
