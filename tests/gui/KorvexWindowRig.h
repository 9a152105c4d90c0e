#pragma once

#include "FrontPanel.h"
#include "FrontPanelLogic.h"
#include "KorvexSession.h"
#include "KorvexSettings.h"
#include "MainWindow.h"
#include "PanelKey.h"
#include "Prompter.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "SimRuntime.h"

#include <gtest/gtest.h>

#include <memory>

// Korvex's main window over a session on two simulated links, in virtual time, with a
// scripted prompter and settings in memory. The window is shown offscreen so that
// clicks reach it as they would on a desktop.
class KorvexWindowRig : public ::testing::Test {
protected:
    KorvexWindowRig() { serial.setBaud(9600); }

    void put(const QString& key, const QString& value)
    {
        store.set(KorvexSettings::kApp, KorvexSettings::kSection, key, value);
    }
    QString stored(const QString& key) const
    {
        return store.get(KorvexSettings::kApp, KorvexSettings::kSection, key, QStringLiteral("<none>"));
    }
    // Antenna n on TCP at 127.0.0.1, enabled; the factory addresses are never dialled.
    void tcpAntenna(int n, int port = 2000)
    {
        const QString k = QString::number(n);
        put("Serial" + k, "False");
        put("Enabled" + k, "True");
        put("Address" + k, "127.0.0.1");
        put("Port" + k, QString::number(port));
    }

    // Builds the window, then starts the session as the program does.
    void start()
    {
        window = std::make_unique<MainWindow>(session, front);
        window->resize(1040, 690);
        window->show();
        session.start();
        store.clearWrites();
    }

    FrontPanel& panel() { return *window->frontPanel(); }
    PanelKey& antennaKey(int index) { return *panel().antennaKey(index); }
    DeviceLink& link() { return session.link(); }

    SimRuntime runtime;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    SimByteLink serial{runtime, ByteLink::Kind::Serial};
    SimByteLink tcp{runtime, ByteLink::Kind::Tcp};
    KorvexSession session{store, prompter, runtime, serial, tcp};
    FrontPanelLogic front{session};
    std::unique_ptr<MainWindow> window;
};
