#include "KorvexSettings.h"

#include "SerialPorts.h"
#include "SettingsStore.h"
#include "TcpPort.h"

#include <utility>

const QString KorvexSettings::kApp = QStringLiteral("multQVRRemote");
const QString KorvexSettings::kSection = QStringLiteral("Properties");

namespace {
QString numbered(const char* key, int antenna)
{
    return QLatin1String(key) + QString::number(antenna);
}
} // namespace

QString KorvexSettings::text(const QString& key, const QString& defaultValue) const
{
    return m_store.get(kApp, kSection, key, defaultValue);
}

void KorvexSettings::write(const QString& key, const QString& value)
{
    m_store.set(kApp, kSection, key, value);
}

// Read field by field, as the stored file lists them. A value that does not convert
// (a hand-edited "CommPort1=abc") gives that field's default rather than stopping the
// program at start-up.
ConnectionProfiles KorvexSettings::loadProfiles() const
{
    ConnectionProfiles out;
    for (int i = 0; i < kAntennaCount; ++i)
        out[i] = ConnectionProfile::defaults(i + 1);
    for (int i = 0; i < kAntennaCount; ++i)
        out[i].settings = text(numbered("Settings", i + 1), out[i].settings);
    for (int i = 0; i < kAntennaCount; ++i)
        out[i].commPort = m_store.getInt16(kApp, kSection, numbered("CommPort", i + 1), out[i].commPort);
    for (int i = 0; i < kAntennaCount; ++i)
        out[i].address = text(numbered("Address", i + 1), out[i].address);
    for (int i = 0; i < kAntennaCount; ++i) {
        // A port the file names but cannot be is said, not swapped silently for another.
        const QString key = numbered("Port", i + 1);
        const QString stored = text(key, QString::number(out[i].tcpPort));
        if (const std::optional<int> port = tcpport::parse(stored))
            out[i].tcpPort = *port;
        else
            m_loadProblems << tcpport::storedValueText(key, stored, m_store.location(kApp), out[i].tcpPort);
    }
    for (int i = 0; i < kAntennaCount; ++i)
        out[i].serial = m_store.getBool(kApp, kSection, numbered("Serial", i + 1), out[i].serial);
    for (int i = 0; i < kAntennaCount; ++i)
        out[i].enabled = m_store.getBool(kApp, kSection, numbered("Enabled", i + 1), out[i].enabled);
    for (int i = 0; i < kAntennaCount; ++i)
        out[i].caption = text(numbered("Caption", i + 1), out[i].caption);
    return out;
}

QStringList KorvexSettings::takeLoadProblems()
{
    return std::exchange(m_loadProblems, {});
}

int KorvexSettings::loadSelected() const
{
    const int n = m_store.getInt16(kApp, kSection, QStringLiteral("Select"), 1);
    // There are only four selector buttons; a number outside them would select nothing.
    return (n >= 1 && n <= kAntennaCount) ? n : 1;
}

bool KorvexSettings::loadShowQuery() const
{
    return m_store.getBool(kApp, kSection, QStringLiteral("Query"), false);
}

ReceiverMode KorvexSettings::loadReceiverMode() const
{
    return text(QStringLiteral("Mode"), QStringLiteral("DVB")) == QLatin1String("70MHz") ? ReceiverMode::Mhz70
                                                                                         : ReceiverMode::Dvb;
}

void KorvexSettings::saveProfiles(const ConnectionProfiles& profiles)
{
    for (int i = 0; i < kAntennaCount; ++i)
        write(numbered("Caption", i + 1), profiles[i].caption);
    for (int i = 0; i < kAntennaCount; ++i)
        write(numbered("Enabled", i + 1), SettingsStore::boolText(profiles[i].enabled));
    for (int i = 0; i < kAntennaCount; ++i)
        write(numbered("Settings", i + 1), profiles[i].settings);
    for (int i = 0; i < kAntennaCount; ++i)
        write(numbered("CommPort", i + 1), QString::number(profiles[i].commPort));
    for (int i = 0; i < kAntennaCount; ++i)
        write(numbered("Address", i + 1), profiles[i].address);
    for (int i = 0; i < kAntennaCount; ++i)
        write(numbered("Port", i + 1), QString::number(profiles[i].tcpPort));
    for (int i = 0; i < kAntennaCount; ++i)
        write(numbered("Serial", i + 1), SettingsStore::boolText(profiles[i].serial));
    m_store.sync();
}

void KorvexSettings::saveSelected(int antenna)
{
    write(QStringLiteral("Select"), QString::number(antenna));
    m_store.sync();
}

void KorvexSettings::saveOnExit(bool showQuery, ReceiverMode mode)
{
    write(QStringLiteral("Query"), SettingsStore::boolText(showQuery));
    write(QStringLiteral("Mode"),
          mode == ReceiverMode::Mhz70 ? QStringLiteral("70MHz") : QStringLiteral("DVB"));
    m_store.sync();
}

QString KorvexSettings::comDevice(int com) const
{
    return ::comDevice(m_store, kApp, com);
}

void KorvexSettings::setComDevice(int com, const QString& device)
{
    ::setComDevice(m_store, kApp, com, device);
    m_store.sync();
}

void KorvexSettings::pinRunLink(OverlaySettingsStore& store, bool serial, const QString& device, int baud,
                                const QString& host, int port)
{
    auto pin = [&](const QString& key, const QString& value) { store.pin(kApp, kSection, key, value); };
    pin(QStringLiteral("Select"), QStringLiteral("1"));
    pin(QStringLiteral("Enabled1"), SettingsStore::boolText(true));
    pin(QStringLiteral("Serial1"), SettingsStore::boolText(serial));
    if (serial) {
        // COM1 stands for the device during this run; its mapping is pinned with it.
        pin(QStringLiteral("CommPort1"), QStringLiteral("1"));
        store.pin(kApp, QStringLiteral("Ports"), QStringLiteral("COM1"), device);
        if (baud > 0)
            pin(QStringLiteral("Settings1"), QStringLiteral("%1,N,8,1").arg(baud));
    } else {
        pin(QStringLiteral("Address1"), host);
        pin(QStringLiteral("Port1"), QString::number(port));
    }
}
