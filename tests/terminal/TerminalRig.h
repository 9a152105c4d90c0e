#pragma once

#include "Prompter.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "SimPeer.h"
#include "SimRuntime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"

#include <functional>
#include <memory>

// A unit at the far end of a simulated link: records what it hears and answers
// through a handler the test sets.
class TestPeer : public SimPeer {
public:
    QByteArray heard;
    std::function<void(const QByteArray&)> onHeard;

    void peerReceived(const QByteArray& bytes) override
    {
        heard += bytes;
        if (onHeard)
            onHeard(bytes);
    }
    void say(const QByteArray& bytes) { sendToHost(bytes); }
};

// A terminal session joined to simulated serial and TCP links, in virtual time.
struct TerminalRig {
    explicit TerminalRig(int instance = 1)
    {
        serial.attachPeer(&serialPeer);
        tcp.attachPeer(&tcpPeer);
        session = std::make_unique<TerminalSession>(rt, prompter, store, serial, tcp, instance);
    }

    QString app() const { return session->profileName(); }
    void put(const QString& key, const QString& value) { store.set(app(), "Properties", key, value); }
    void putTcp(quint16 port = 2000)
    {
        put("Type", "False");
        put("Address", "127.0.0.1");
        put("PortNumber", QString::number(port));
    }
    TerminalScreen& screen() { return session->screen(); }
    // Times (ms) of the writes to the unit, in order.
    std::vector<double> sendTimesMs(const SimByteLink& link) const
    {
        std::vector<double> out;
        for (const auto& r : link.transcript())
            if (r.direction == SimByteLink::Direction::ToUnit)
                out.push_back(double(r.timeNs) / 1e6);
        return out;
    }
    std::vector<QByteArray> sends(const SimByteLink& link) const
    {
        std::vector<QByteArray> out;
        for (const auto& r : link.transcript())
            if (r.direction == SimByteLink::Direction::ToUnit)
                out.push_back(r.bytes);
        return out;
    }

    // Peers before links: a link lets go of its peer when it is destroyed.
    SimRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    TestPeer serialPeer;
    TestPeer tcpPeer;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    std::unique_ptr<TerminalSession> session;
};
