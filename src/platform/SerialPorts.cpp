#include "SerialPorts.h"

#include "SettingsStore.h"

#include <QSerialPortInfo>

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
