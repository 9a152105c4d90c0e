#include "UnattendedLog.h"

#include "DataLogs.h"
#include "DeviceLink.h"
#include "GraphTarget.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>

#include <memory>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The signal handler may only write to a pipe; the event loop reads it and quits.
int g_signalPipe[2] = {-1, -1};

void onTerminate(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}
} // namespace

bool UnattendedLog::setMode(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < int(GraphMode::Admc) || n > int(GraphMode::NutaraXy))
        return false;
    mode = GraphMode(n);
    return true;
}

QString UnattendedLog::check() const
{
    // Nobody is there to answer the replace question: an old log is only replaced when
    // the command line says so.
    if (!replace && QFileInfo::exists(path))
        return QStringLiteral("korvex: %1 exists; add --replace to overwrite it").arg(path);
    return QString();
}

void UnattendedLog::arm(DeviceLink& link, GraphTarget& graph, DataLogs& logs) const
{
    auto begin = [&graph, &logs, path = path, mode = mode] {
        if (graph.mode() != mode)
            graph.selectMode(mode);
        QString error;
        if (!logs.startLogAt(path, &error)) {
            QTextStream(stderr) << "korvex: cannot write the data log " << path << ": " << error << '\n';
            QCoreApplication::exit(2);
        }
    };
    if (link.portOpen()) {
        begin();
        return;
    }
    // Only the first opening starts it; later ones (a unit restarted, a cable replugged)
    // find the log open and it simply goes on.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        QObject::connect(&link, &DeviceLink::portOpenChanged, &logs, [connection, begin](bool open) {
            if (!open)
                return;
            QObject::disconnect(*connection);
            begin();
        });
}

void UnattendedLog::quitOnTerminate(QObject* context)
{
    if (g_signalPipe[0] >= 0 || ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [] {
        char c = 0;
        while (::read(g_signalPipe[0], &c, 1) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}
