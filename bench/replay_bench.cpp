// Replay of a long data log: writes an ADMC log of N lines (default 1,000,000) ended by a
// dump section, loads it (index plus first page), then times page flips at the first and
// at the last page, and one walk over every page.
//
//   replay_bench [lines] [folder]
#include "CaptureBuffer.h"
#include "GraphTarget.h"
#include "PanelState.h"
#include "Prompter.h"
#include "Replay.h"
#include "SimRuntime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {
// Stores and composes every replayed sample as the engine does, and draws nothing.
class BufferGraph : public GraphTarget {
public:
    GraphMode mode() const override { return m_mode; }
    void selectMode(GraphMode mode) override { m_mode = mode; }
    void clear() override { m_buffer.clear(); }
    void plot(const PanelSample& s) override
    {
        m_buffer.record(m_mode, s, AdmcTraceSources{}, QTime(12, 0, 0));
        m_buffer.advance(m_mode);
    }
    void centerAll() override {}
    const CaptureBuffer& buffer() const override { return m_buffer; }
    PanelSample liveSample() const override { return {}; }
    void setStopOption(bool) override {}

private:
    GraphMode m_mode = GraphMode::DispV;
    CaptureBuffer m_buffer;
};

bool writeLog(const QString& path, qint64 lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    chunk += "Time,El,Az,CL,Rel,Hdd,AGC,LAT,LON,ExtAGC,Stat123 RL,Notes,Korvex ADMC (Antenna Position) Log "
             "File\r\n";
    for (qint64 i = 0; i < lines; ++i) {
        const int s = int(i % 86400);
        chunk += QStringLiteral("%1:%2:%3, %4, %5, 0.5, %6, 270.0, %7,37.7N,122.2W, 250,ABC AB\r\n")
                     .arg(s / 3600, 2, 10, QLatin1Char('0'))
                     .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(s % 60, 2, 10, QLatin1Char('0'))
                     .arg(30 + (i % 300) / 10.0, 0, 'f', 1)
                     .arg((i % 3600) / 10.0, 0, 'f', 1)
                     .arg((i % 1800) / 10.0 - 90, 0, 'f', 1)
                     .arg(100 + i % 50)
                     .toLatin1();
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    chunk += "'ACU Parameter Dump - Legacy Mode\r\n'CMD\tValue\tResult\tDescription\r\n";
    return f.write(chunk) == chunk.size();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F> double millis(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qint64 lines = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    QTemporaryDir temp;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();
    const QString path = folder + QStringLiteral("/replay_bench.csv");
    QTextStream out(stdout);

    if (!writeLog(path, lines)) {
        out << "cannot write " << path << '\n';
        return 1;
    }
    out << "file: " << lines << " lines, " << QFile(path).size() << " bytes\n";

    SimRuntime runtime;
    ScriptedPrompter prompter;
    BufferGraph graph;
    Replay replay(prompter, graph, runtime);
    const double load = millis([&] { replay.loadFile(path); });
    if (!replay.isLoaded()) {
        out << "load failed: " << prompter.texts().join(QLatin1Char('|')) << '\n';
        return 1;
    }
    out << "load (index + first page): " << QString::number(load, 'f', 1) << " ms\n";

    const int rounds = 50;
    std::vector<double> first;
    for (int i = 0; i < rounds; ++i) {
        replay.pageForward();
        first.push_back(millis([&] { replay.pageBack(); }));
    }
    qint64 pages = 0;
    const double walk = millis([&] {
        while (prompter.messages.isEmpty()) {
            replay.pageForward();
            ++pages;
        }
    });
    // The last page holds what is left (320 lines of a million); the one before it is a
    // full page as deep in the file.
    std::vector<double> last;
    std::vector<double> deep;
    for (int i = 0; i < rounds; ++i) {
        deep.push_back(millis([&] { replay.pageBack(); }));
        last.push_back(millis([&] { replay.pageForward(); }));
    }
    out << "page flip at the first page: median " << QString::number(median(first), 'f', 2) << " ms\n";
    out << "page flip at the last page (start " << replay.pageStart() << "): median "
        << QString::number(median(last), 'f', 2) << " ms\n";
    out << "page flip to the last full page (start " << replay.pageStart() - 640 << "): median "
        << QString::number(median(deep), 'f', 2) << " ms\n";
    out << "walk over " << pages << " pages: " << QString::number(walk / double(pages), 'f', 2)
        << " ms a page\n";
    QFile::remove(path);
    return 0;
}
