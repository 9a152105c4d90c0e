// Quillan's window on a TCP link to 127.0.0.1 while the far end sends as fast as it can:
// how long a click on the menu bar takes to open the File menu, and how much memory the
// window needs. bench/quillan_flood.sh runs it.
//
//   quillan_flood_probe PORT SECONDS
//
// Every second a helper thread queues a mouse press on the "File" title of the menu bar,
// as the window system does for a click that arrives while the window is busy; the time
// from queueing it to the menu's first paint is one sample. The window, session and links
// are the program's own; only the settings live in memory and the boxes are answered by a
// script, so the run needs no one at the screen.
#include "ModuleSelection.h"
#include "Prompter.h"
#include "QtRuntime.h"
#include "QuillanWindow.h"
#include "SerialByteLink.h"
#include "SettingsStore.h"
#include "TcpByteLink.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Notes the first paint of the menu after each press.
class PaintWatch : public QObject {
public:
    std::atomic<qint64> pressedNs{0};
    std::vector<double> samplesMs;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && pressedNs.load() != 0) {
            const qint64 now = Clock::now().time_since_epoch().count();
            samplesMs.push_back(double(now - pressedNs.exchange(0)) / 1e6);
            // Closed again a moment later, as a user glancing at the menu would.
            QTimer::singleShot(50, static_cast<QWidget*>(watched), &QWidget::hide);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: quillan_flood_probe PORT SECONDS\n");
        return 2;
    }
    const QString port = QString::fromLocal8Bit(argv[1]);
    const int seconds = QString::fromLocal8Bit(argv[2]).toInt();

    QtRuntime runtime;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    SerialByteLink serial(runtime);
    TcpByteLink tcp(runtime);
    const QString app1 = QStringLiteral("QuillanUniv1");
    for (const auto& [key, value] : {std::pair{"Type", "False"},
                                     {"Address", "127.0.0.1"},
                                     {"PortNumber", port.toLatin1().constData()},
                                     {"Direct", "QVR2a"}})
        store.set(app1, QStringLiteral("Properties"), QString::fromLatin1(key), QString::fromLatin1(value));

    TerminalSession session(runtime, prompter, store, serial, tcp, 1);
    ModuleSelection selection(session);
    QuillanWindow window(session, selection);
    window.show();
    session.start();
    if (!session.isPortOpen()) {
        std::fprintf(stderr, "quillan_flood_probe: no connection to 127.0.0.1:%s\n", qPrintable(port));
        return 1;
    }

    QMenuBar* bar = window.menuBar();
    QMenu* file = bar->actions().first()->menu();
    PaintWatch watch;
    file->installEventFilter(&watch);
    const QPoint title = bar->actionGeometry(file->menuAction()).center();

    std::atomic<bool> done{false};
    std::thread clicker([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        while (!done.load()) {
            if (watch.pressedNs.load() == 0) {
                watch.pressedNs = Clock::now().time_since_epoch().count();
                QCoreApplication::postEvent(bar,
                                            new QMouseEvent(QEvent::MouseButtonPress, QPointF(title),
                                                            bar->mapToGlobal(QPointF(title)), Qt::LeftButton,
                                                            Qt::LeftButton, Qt::NoModifier));
            }
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    });
    QTimer::singleShot(seconds * 1000, &app, [&] {
        done = true;
        QCoreApplication::quit();
    });
    app.exec();
    clicker.join();

    std::printf("menu samples (ms):");
    for (double ms : watch.samplesMs)
        std::printf(" %.1f", ms);
    std::printf("\n");
    std::vector<double> s = watch.samplesMs;
    std::sort(s.begin(), s.end());
    const auto at = [&](double q) { return s.empty() ? 0.0 : s[size_t(q * double(s.size() - 1) + 0.5)]; };
    std::printf("menu opened %zu times: median %.1f ms, p90 %.1f ms, max %.1f ms\n", s.size(), at(0.5),
                at(0.9), s.empty() ? 0.0 : s.back());
    std::printf("received %lld characters in %d s; screen holds %lld; peak rss %ld kB\n",
                static_cast<long long>(session.screen().shownCount()), seconds,
                static_cast<long long>(session.screen().text().size()), peakRssKb());
    session.shutdown();
    return 0;
}
