#pragma once

#include "ConnectionProfile.h"
#include "ReceiverMode.h"

#include <QString>
#include <QStringList>

class OverlaySettingsStore;
class SettingsStore;

// Korvex's persisted settings: the four connection profiles, the selected antenna and the
// two view preferences, in application "multQVRRemote", section "Properties".
// A stored value that does not convert gives the key's default.
class KorvexSettings {
public:
    static const QString kApp;     // "multQVRRemote"
    static const QString kSection; // "Properties"

    explicit KorvexSettings(SettingsStore& store) : m_store(store) {}

    SettingsStore& store() const { return m_store; }

    // A TCP port that is not one (1 to 65535) gives the key's default and a message for
    // takeLoadProblems().
    ConnectionProfiles loadProfiles() const;
    // The messages of the last loads, once.
    QStringList takeLoadProblems();
    // 1..4; anything else stored gives 1.
    int loadSelected() const;
    bool loadShowQuery() const;
    ReceiverMode loadReceiverMode() const;

    // The 28 profile keys in the dialog's order: Caption1-4, Enabled1-4, Settings1-4,
    // CommPort1-4, Address1-4, Port1-4, Serial1-4.
    void saveProfiles(const ConnectionProfiles& profiles);
    void saveSelected(int antenna);
    void saveOnExit(bool showQuery, ReceiverMode mode);

    // The device COM<com> maps to (section "Ports"), and its change.
    QString comDevice(int com) const;
    void setComDevice(int com, const QString& device);

    // A link chosen for this run only (the command line): antenna 1, selected and enabled,
    // on the serial device (at baud, when not 0) or at host:port. Pinned in the overlay, so
    // the stored profiles are neither read for it nor changed by it.
    static void pinRunLink(OverlaySettingsStore& store, bool serial, const QString& device, int baud,
                           const QString& host, int port);

private:
    QString text(const QString& key, const QString& defaultValue) const;
    void write(const QString& key, const QString& value);

    SettingsStore& m_store;
    mutable QStringList m_loadProblems;
};
