// Live values where the simulated unit moves them (the position graph, the spectrum
// sweep); the sensor graphs get samples shaped like a stabilised antenna's on a ship in a
// swell, since the simulated PCU's sensors sit still. Live polling is paused for those,
// as it is while a data log is replayed.
#include "GraphShots.h"

#include "GraphArea.h"
#include "GraphController.h"
#include "GraphEngine.h"
#include "GraphPainter.h"
#include "KorvexSession.h"
#include "MainWindow.h"
#include "PollCycle.h"

#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979;

// Repeatable noise.
double noise(int n, int salt)
{
    const unsigned h = unsigned(n) * 2654435761u ^ unsigned(salt) * 40503u;
    return double((h >> 8) % 2001) / 1000.0 - 1.0;
}

PanelSample sensorSample(GraphMode mode, int n)
{
    PanelSample s;
    const double t = n * 0.2; // seconds at the 200 ms pace
    const double roll = std::sin(2 * kPi * t / 9.0), pitch = std::sin(2 * kPi * t / 6.5 + 1.0);
    double cl = 0, lv = 0, az = 0;
    switch (mode) {
    case GraphMode::DispIvc:
        cl = 4 * roll + 2 * noise(n, 1);
        lv = 5 * pitch + 2 * noise(n, 2);
        az = 3 * std::sin(2 * kPi * t / 14.0) + 2 * noise(n, 3);
        s.DispPhase = qint16(n % 64);
        break;
    case GraphMode::DispV:
        cl = 45 * roll + noise(n, 1);
        lv = 30 * pitch + noise(n, 2);
        az = 8 * std::sin(2 * kPi * t / 20.0) + noise(n, 3);
        break;
    case GraphMode::DispW:
        cl = 25 * std::cos(2 * kPi * t / 9.0) + 1.5 * noise(n, 1);
        lv = 28 * std::cos(2 * kPi * t / 6.5 + 1.0) + 1.5 * noise(n, 2);
        az = 6 * std::cos(2 * kPi * t / 20.0) + 1.5 * noise(n, 3);
        break;
    default: // torque commands follow the rates with the motors' lag
        cl = 30 * std::cos(2 * kPi * t / 9.0 - 0.4) + 4 * noise(n, 1);
        lv = 34 * std::cos(2 * kPi * t / 6.5 + 0.6) + 4 * noise(n, 2);
        az = 12 * std::cos(2 * kPi * t / 20.0 - 0.4) + 4 * noise(n, 3);
        break;
    }
    s.DispCL = qint16(std::lround(cl));
    s.DispLV = qint16(std::lround(lv));
    s.DispAZ = qint16(std::lround(az));
    s.relativeAzimuthText = QStringLiteral("123.4");
    return s;
}

// The conical scan of the Nutara pattern: a circle that the ship's motion smears a little.
PanelSample nutaraSample(int n)
{
    PanelSample s;
    const int phase = n % 64;
    const double a = phase * kPi / 32;
    s.DispAZ = qint16(std::lround(30 * std::cos(a) + 3 + 1.5 * noise(n, 4)));
    s.DispLV = qint16(std::lround(30 * std::sin(a) - 2 + 1.5 * noise(n, 5)));
    s.DispCL = qint16(std::lround(3 * noise(n, 6)));
    s.DispPhase = qint16(phase);
    return s;
}

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

void renderGraphShots(MainWindow& window, KorvexSession& session, const GraphShotTools& tools)
{
    GraphEngine& engine = window.graphEngine();
    GraphController& graph = *window.graphController();
    PollCycle& poll = session.pollCycle();

    // The position graph over the live unit.
    engine.selectMode(GraphMode::Admc);
    tools.run(400000);
    tools.save(QStringLiteral("korvex-graph-admc.png"), nullptr);

    const std::pair<GraphMode, const char*> sensors[] = {{GraphMode::DispIvc, "korvex-graph-ivc.png"},
                                                         {GraphMode::DispV, "korvex-graph-ref.png"},
                                                         {GraphMode::DispW, "korvex-graph-rate.png"},
                                                         {GraphMode::DispTc, "korvex-graph-torque.png"}};
    for (const auto& [mode, name] : sensors) {
        engine.selectMode(mode);
        poll.setStopOption(true);
        for (int n = 0; n < 900; ++n)
            engine.plot(sensorSample(mode, n));
        tools.save(QString::fromLatin1(name), nullptr);
    }

    engine.selectMode(GraphMode::NutaraXy);
    poll.setStopOption(true);
    for (int n = 0; n < 640; ++n)
        engine.plot(nutaraSample(n));
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
    poll.setStopOption(true);
    for (int n = 0; n < 700; ++n)
        engine.plot(sensorSample(GraphMode::DispV, n));
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
