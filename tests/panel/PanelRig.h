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

#include <QMap>

#include <functional>
#include <optional>
#include <set>
#include <vector>

// A unit that frames what it hears the way the ACU does (a known single-character
// command at once, anything else up to its CR; the LF after it is ignored) and answers
// from a script. It can leave chosen replies out and greet on connect.
class ScriptedUnit : public SimPeer {
public:
    ScriptedUnit()
    {
        replies = {
            {"S", "SH@@@L0300 @@"}, {"P", "E0123A1234C0012"},  {"H", "R0100H0200"}, {"u", "G0045V0500T0250"},
            {"q", "Q1234 0567"},    {"@", " N0377W1222"},      {"%", "L0150"},      {"V", "ACU VER 2.11"},
            {"?   S", "S@@@@"},     {"?   V", "PCU VER 1.07"}, {"mN999", "mN130"},  {"mI999", "mI001"},
            {"mP999", "mP066"},     {"w!123", "DVB VER 3.0"},
        };
    }

    void peerReceived(const QByteArray& bytes) override
    {
        for (char c : bytes) {
            if (m_line.isEmpty() && (c == '\r' || c == '\n'))
                continue;
            if (m_line.isEmpty() && QByteArrayView("SPH@uqV%CD").contains(c)) {
                heardCommand(QByteArray(1, c));
                continue;
            }
            if (c == '\r') {
                heardCommand(m_line);
                m_line.clear();
                continue;
            }
            m_line += c;
        }
    }
    // Bytes the unit sends unasked.
    void say(const QByteArray& bytes) { sendToHost(bytes); }
    void peerConnected() override
    {
        if (!greeting.isEmpty())
            sendToHost(greeting);
    }

    // Commands as the unit framed them, in order.
    QList<QByteArray> commands;
    QMap<QByteArray, QByteArray> replies;
    // Index (into commands) of commands left unanswered.
    std::set<int> drop;
    QByteArray greeting;
    // Commands taken without a reply, as the unit does.
    QList<QByteArray> silent{"C", "D", "wV   "};

private:
    void heardCommand(const QByteArray& command)
    {
        const int index = int(commands.size());
        commands << command;
        if (silent.contains(command) || drop.count(index))
            return;
        sendToHost(replies.value(command, "OK " + command) + "\r");
    }

    QByteArray m_line;
};

// What the front panel would do with the parser's calls.
class RecordingView : public PanelView {
public:
    void refreshPage() override
    {
        ++refreshes;
        if (cost)
            cost();
    }
    // What a refresh costs the program (a test spends virtual time here).
    std::function<void()> cost;
    void statusDecoded() override { ++statuses; }
    void pcuStatusDecoded() override { ++pcuStatuses; }
    void setCheckSys(int value) override { sys << value; }
    void setCheckPol(int value) override { pol << value; }

    int refreshes = 0;
    int statuses = 0;
    int pcuStatuses = 0;
    QList<int> sys;
    QList<int> pol;
};

struct Sent {
    qint64 ms;
    QByteArray bytes;
    bool operator==(const Sent& o) const { return ms == o.ms && bytes == o.bytes; }
};
inline std::ostream& operator<<(std::ostream& os, const Sent& s)
{
    return os << s.ms << "ms:" << s.bytes.toStdString();
}

// A Korvex session joined to scripted units over a simulated serial line (9600 baud) and a
// simulated TCP link, in virtual time. No front panel: the test plays the screen keys.
class PanelRig : public ::testing::Test {
protected:
    static constexpr const char* kAntenna = "SPHuSPHqSPH@SPH!?   S%SPH!mN999";

    PanelRig()
    {
        serial.attachPeer(&unit);
        serial.setBaud(9600);
        tcp.attachPeer(&tcpUnit);
        session.setPanelView(&view);
        QObject::connect(&session, &KorvexSession::queryTextChanged,
                         [this](const QString& t) { queries << t; });
        QObject::connect(&session.link(), &DeviceLink::statusTextChanged,
                         [this](const QString& t) { statuses << t; });
        QObject::connect(&session.link(), &DeviceLink::linkLedChanged,
                         [this](LedState s) { leds.push_back(s); });
        QObject::connect(&poll(), &PollCycle::statusLedsIdle, [this] { ++idleLeds; });
        // Every report counts, also one that repeats the text already shown.
        ParserHooks& hooks = session.parser().hooks();
        hooks.statusText = [this, shown = hooks.statusText](const QString& t) {
            if (t.startsWith("Status: Sync Error"))
                ++syncErrors;
            shown(t);
        };
    }

    void put(const QString& key, const QString& value)
    {
        store.set(KorvexSettings::kApp, KorvexSettings::kSection, key, value);
    }
    // Antenna 1 on TCP at 127.0.0.1 (never a factory address, not even simulated).
    void useTcp()
    {
        put("Serial1", "False");
        put("Address1", "127.0.0.1");
        put("Port1", "2000");
    }

    // Start-up with the screen key the front panel presses when the link opens.
    void startOn(const QByteArray& sequence)
    {
        session.start();
        showScreen(sequence);
    }
    void showScreen(const QByteArray& sequence)
    {
        poll().setStopOption(false);
        poll().setPollSequence(sequence);
        poll().rearmStart();
    }

    PollCycle& poll() { return session.pollCycle(); }
    PanelState& state() { return session.panelState(); }
    QueryRing& ring() { return session.queryRing(); }
    DeviceLink& link() { return session.link(); }

    // What went to the unit on the active link, with virtual times in ms.
    std::vector<Sent> sent(const SimByteLink& l) const
    {
        std::vector<Sent> out;
        for (const auto& r : l.transcript())
            if (r.direction == SimByteLink::Direction::ToUnit)
                out.push_back({r.timeNs / 1000000, r.bytes});
        return out;
    }
    std::vector<Sent> sent() const { return sent(serial); }
    QList<QByteArray> sentBytesList() const
    {
        QList<QByteArray> out;
        for (const Sent& s : sent())
            out << s.bytes;
        return out;
    }

    SimRuntime rt;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    ScriptedUnit unit;
    ScriptedUnit tcpUnit;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    KorvexSession session{store, prompter, rt, serial, tcp};
    RecordingView view;

    QStringList queries;
    QStringList statuses;
    std::vector<LedState> leds;
    int idleLeds = 0;
    int syncErrors = 0;
};
