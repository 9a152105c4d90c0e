// Every mode over the live simulated unit, whose motion (tracking jitter, a slow change of
// course, the Nutara scan, sensor noise) is seeded, so the pictures are the same each run.
#include "GraphShots.h"

#include "GraphArea.h"
#include "GraphController.h"
#include "GraphEngine.h"
#include "GraphPainter.h"
#include "MainWindow.h"

#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace {
// Long enough for a graph to fill its width at the sensor modes' pace.
constexpr int kScreenfulMs = 262000;

// The printed page as a picture: from the PDF when pdftoppm is at hand, else the same
// page code on an image.
void printedPage(GraphController& graph, GraphEngine& engine, const QString& folder)
{
    const QString pdf = QDir(folder).filePath(QStringLiteral("korvex-graph-print.pdf"));
    graph.saveGraphPdf(pdf);
    const QString png = QDir(folder).filePath(QStringLiteral("korvex-graph-print.png"));
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (!tool.isEmpty()) {
        const QString stem = QDir(folder).filePath(QStringLiteral("korvex-graph-print"));
        if (QProcess::execute(tool, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("110"),
                                     QStringLiteral("-singlefile"), pdf, stem}) == 0) {
            QTextStream(stdout) << "wrote " << png << '\n';
            return;
        }
    }
    QImage page(1287, 910, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    graphprint::drawPage(p, QRectF(50, 50, 1187, 810), engine, graph.pageHeading());
    p.end();
    QTextStream(stdout) << (page.save(png) ? "wrote " : "FAILED ") << png << '\n';
}
} // namespace

void renderGraphShots(MainWindow& window, const GraphShotTools& tools)
{
    GraphEngine& engine = window.graphEngine();
    GraphController& graph = *window.graphController();

    // The position graph over the live unit: a screenful from a clean graph, begun where
    // the relative azimuth is midway in the ship's zig-zag, so that its trace stays on the
    // chart at one degree a division while the heading swings.
    engine.selectMode(GraphMode::Admc);
    tools.run(760000);
    engine.clear();
    tools.run(540000);
    tools.save(QStringLiteral("korvex-graph-admc.png"), nullptr);

    // The sensor graphs as the unit's pedestal reports them: the loop errors with the
    // Nutara circle in them, the reference sensors' tilt, the ship's rates and the torque
    // commands that answer them. A screenful each, from a clean graph.
    const std::pair<GraphMode, const char*> sensors[] = {{GraphMode::DispIvc, "korvex-graph-ivc.png"},
                                                         {GraphMode::DispV, "korvex-graph-ref.png"},
                                                         {GraphMode::DispW, "korvex-graph-rate.png"},
                                                         {GraphMode::DispTc, "korvex-graph-torque.png"}};
    for (const auto& [mode, name] : sensors) {
        engine.selectMode(mode);
        tools.run(kScreenfulMs);
        tools.save(QString::fromLatin1(name), nullptr);
    }

    // The Nutara scan seen as the pattern it draws: the beam's circle about the satellite.
    engine.selectMode(GraphMode::NutaraXy);
    tools.run(kScreenfulMs);
    engine.centerAll();
    tools.save(QStringLiteral("korvex-graph-xy.png"), nullptr);
    QMenu* xy = graph.xyMenu();
    xy->popup(window.graphArea()->mapToGlobal(window.graphArea()->rect().center()));
    tools.save(QStringLiteral("korvex-graph-xy-menu.png"), xy);
    xy->close();

    // The spectrum sweep walks the band on the live unit: 200 points at 200 ms.
    engine.selectMode(GraphMode::Spectrum);
    tools.run(42000);
    tools.save(QStringLiteral("korvex-graph-spectrum.png"), nullptr);

    engine.selectMode(GraphMode::DispV);
    tools.run(kScreenfulMs);
    QMenu* colours = graph.colorMenu();
    colours->popup(window.graphArea()->mapToGlobal(window.graphArea()->rect().center()));
    tools.save(QStringLiteral("korvex-graph-colors-menu.png"), colours);
    colours->close();
    printedPage(graph, engine, tools.folder);

    engine.setColors(GraphColors::win());
    tools.save(QStringLiteral("korvex-graph-win-colors.png"), nullptr);
    engine.setColors(GraphColors::savedDefaults());
    engine.toggleExpanded();
    tools.run(100);
    tools.save(QStringLiteral("korvex-panel-only.png"), nullptr);
    engine.toggleExpanded();
    tools.run(100);
}
