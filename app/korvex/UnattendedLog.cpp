#include "UnattendedLog.h"

#include "DataLogs.h"
#include "DeviceLink.h"
#include "GraphTarget.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

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
    *connection = QObject::connect(&link, &DeviceLink::portOpenChanged, &logs, [connection, begin](bool open) {
        if (!open)
            return;
        QObject::disconnect(*connection);
        begin();
    });
}
