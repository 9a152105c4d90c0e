// Writes a data log the way Korvex does, one capture line per sample as fast as it can,
// and prints the number of each sample once its line has been written. The kill test
// ends it with SIGKILL in the middle of this.
//
//   data_log_writer FILE
#include "DataLogs.h"
#include "FakeGraph.h"
#include "Prompter.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    DataFile file;
    ScriptedPrompter prompter;
    FakeGraph graph;
    graph.current = GraphMode::DispV;
    DataLogs logs(file, prompter, graph, DataLogs::Hooks{});
    graph.onCaptureLine = [&logs](const QString& line) { logs.appendCaptureLine(line); };
    QString error;
    if (!logs.startLogAt(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    for (long n = 1;; ++n) {
        PanelSample s;
        s.relativeAzimuthText = QString::number(n);
        graph.plot(s);
        std::printf("%ld\n", n);
        std::fflush(stdout);
    }
}
