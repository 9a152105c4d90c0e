#include "SerialPorts.h"

#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <unistd.h>

#include <algorithm>

namespace {
const QString kPortsSection = QStringLiteral("Ports");

QString comKey(int comNumber)
{
    return QStringLiteral("COM%1").arg(comNumber);
}
} // namespace

QString comDevice(const SettingsStore& store, const QString& app, int comNumber)
{
    const QString fallback = QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
    const QString mapped = store.get(app, kPortsSection, comKey(comNumber), QString()).trimmed();
    return mapped.isEmpty() ? fallback : mapped;
}

void setComDevice(SettingsStore& store, const QString& app, int comNumber, const QString& device)
{
    store.set(app, kPortsSection, comKey(comNumber), device);
}

QStringList systemSerialPorts()
{
    QStringList out;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        out << info.systemLocation();
    out.sort();
    return out;
}

QString SerialPortEntry::label() const
{
    return description.isEmpty() ? device : device + QStringLiteral(" - ") + description;
}

QList<SerialPortEntry> systemSerialPortEntries()
{
    QList<SerialPortEntry> out;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        QString text = info.description();
        if (!info.manufacturer().isEmpty() && !text.contains(info.manufacturer()))
            text += QStringLiteral(" (%1)").arg(info.manufacturer());
        out.push_back({info.systemLocation(), text.trimmed()});
    }
    std::sort(out.begin(), out.end(),
              [](const SerialPortEntry& a, const SerialPortEntry& b) { return a.device < b.device; });
    return out;
}

QStringList processesUsing(const QString& device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    QStringList out;
    if (target.isEmpty())
        return out;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        bool numeric = false;
        pid.toInt(&numeric);
        if (!numeric)
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        const QStringList entries = fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& fd : entries) {
            if (QFileInfo(fds.filePath(fd)).symLinkTarget() != target)
                continue;
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            const QString name =
                comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed() : QString();
            out << QStringLiteral("%1 (pid %2)").arg(name.isEmpty() ? QStringLiteral("?") : name, pid);
            break;
        }
    }
    return out;
}

QString serialOpenAdvice(const QString& device, bool permissionError)
{
    if (device.isEmpty())
        return {};
    const QFileInfo info(device);
    if (!info.exists()) {
        if (info.isSymLink())
            return QStringLiteral("%1 points at a device that is gone - is the adapter plugged in?").arg(device);
        return QStringLiteral("%1 does not exist - is the adapter plugged in?").arg(device);
    }
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return QStringLiteral("This user may not open %1: add it to the \"dialout\" group "
                              "(sudo usermod -aG dialout $USER) and log in again.")
            .arg(device);
    if (!permissionError)
        return {};
    const QStringList users = processesUsing(device);
    if (!users.isEmpty())
        return QStringLiteral("%1 is in use by %2.").arg(device, users.join(QStringLiteral(", ")));
    return QStringLiteral("%1 is in use by another program.").arg(device);
}
