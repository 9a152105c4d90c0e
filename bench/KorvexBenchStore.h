#pragma once
// The settings the Korvex benchmarks run with: antenna 1 is the unit on 127.0.0.1 over TCP,
// held in memory so that no benchmark reads or writes anyone's settings file.
#include "KorvexSettings.h"
#include "SettingsStore.h"

inline void pointAntennaOneAt(MemorySettingsStore& store, int port)
{
    const QString& app = KorvexSettings::kApp;
    const QString& section = KorvexSettings::kSection;
    store.set(app, section, "Serial1", "False");
    store.set(app, section, "Address1", "127.0.0.1");
    store.set(app, section, "Port1", QString::number(port));
    store.set(app, section, "Select", "1");
}
