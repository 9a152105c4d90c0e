#pragma once

#include "DeviceLink.h"
#include "KorvexSession.h"
#include "KorvexSettings.h"
#include "Prompter.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "SimPeer.h"
#include "SimRuntime.h"

#include <gtest/gtest.h>

#include <vector>

// A unit that answers every command it hears with one line, and may greet on connect
// the way some serial servers do.
class AnsweringPeer : public SimPeer {
public:
    void peerReceived(const QByteArray& bytes) override
    {
        heard += bytes;
        sendToHost("ACK " + bytes.trimmed() + "\r");
    }
    void peerConnected() override
    {
        ++connects;
        if (!greeting.isEmpty())
            sendToHost(greeting);
    }
    void peerDisconnected() override { ++disconnects; }

    QByteArray heard;
    QByteArray greeting;
    int connects = 0;
    int disconnects = 0;
};

inline QString S(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

// A Korvex session over two simulated links (a serial port and a TCP client), with a
// settings store and a prompter the test scripts. Times are virtual milliseconds.
class LinkRig : public ::testing::Test {
protected:
    LinkRig()
    {
        serial.attachPeer(&serialPeer);
        serial.setBaud(9600);
        tcp.attachPeer(&tcpPeer);
        QObject::connect(&link(), &DeviceLink::received, [this](const QByteArray& d) { received += d; });
        QObject::connect(&link(), &DeviceLink::matchingReset, [this](int r) { resets.push_back(r); });
        QObject::connect(&link(), &DeviceLink::waitStarted, [this](int ms) { waits.push_back(ms); });
        QObject::connect(&link(), &DeviceLink::selectedAntennaChanged,
                         [this](int a) { selections.push_back(a); });
        QObject::connect(&link(), &DeviceLink::portOpenChanged, [this](bool o) { checkMarks.push_back(o); });
    }

    void put(const QString& key, const QString& value)
    {
        store.set(KorvexSettings::kApp, KorvexSettings::kSection, key, value);
    }
    // Antenna n on TCP at 127.0.0.1 (the factory addresses are never dialled, not even
    // in simulation), enabled.
    void tcpAntenna(int n, int port)
    {
        const QString k = QString::number(n);
        put("Serial" + k, "False");
        put("Enabled" + k, "True");
        put("Address" + k, "127.0.0.1");
        put("Port" + k, QString::number(port));
    }

    // Starts the session and forgets what start-up wrote or showed.
    void startSession()
    {
        session.start();
        store.clearWrites();
    }

    DeviceLink& link() { return session.link(); }
    qint64 now() const { return rt.now(); }
    QStringList writtenKeys() const
    {
        QStringList keys;
        for (const auto& w : store.writes())
            keys << w.key;
        return keys;
    }

    SimRuntime rt;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    AnsweringPeer serialPeer;
    AnsweringPeer tcpPeer;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    KorvexSession session{store, prompter, rt, serial, tcp};

    QByteArray received;
    std::vector<int> resets;
    std::vector<int> waits;
    std::vector<int> selections;
    std::vector<bool> checkMarks;
};
