#pragma once

#include "ModuleSelection.h"
#include "ModuleTools.h"
#include "NavigationSim.h"
#include "ParameterDump.h"

#include <Prompter.h>
#include <SettingsStore.h>
#include <SimByteLink.h>
#include <SimPeer.h>
#include <SimRuntime.h>
#include <TerminalScreen.h>
#include <TerminalSession.h>

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A unit that reads command lines (a leading escape dropped) and answers each one the way
// the test says, a few milliseconds later, as a unit does.
class ScriptedUnit : public SimPeer {
public:
    std::function<std::optional<QByteArray>(const QByteArray& line)> answer;
    std::vector<QByteArray> lines;
    int delayMs = 5;
    int split = 0;
    SimRuntime* rt = nullptr;

    void say(const QByteArray& bytes) { sendToHost(bytes); }

    void peerReceived(const QByteArray& bytes) override
    {
        for (const char c : bytes) {
            if (c == '\r' || c == '\n') {
                if (!m_line.isEmpty())
                    take(std::exchange(m_line, {}));
            } else if (c != 27) {
                m_line += c;
            }
        }
    }

private:
    void take(const QByteArray& line)
    {
        lines.push_back(line);
        if (!answer)
            return;
        const auto reply = answer(line);
        if (!reply)
            return;
        // A split answer comes as its first bytes, then the rest a little later, as a
        // slow unit's line does.
        const QByteArray head = split > 0 ? reply->left(split) : *reply;
        rt->singleShot(delayMs, nullptr, [this, head] { sendToHost(head); });
        if (split > 0 && reply->size() > split)
            rt->singleShot(delayMs + 30, nullptr, [this, rest = reply->mid(split)] { sendToHost(rest); });
    }
    QByteArray m_line;
};

// Quillan's session, module selection and tools on simulated links in virtual time.
struct ToolsRig {
    ToolsRig()
    {
        unit.rt = &rt;
        serial.attachPeer(&unit);
        tcp.attachPeer(&tcpUnit);
        tcpUnit.rt = &rt;
        serial.setBaud(9600);
        session = std::make_unique<TerminalSession>(rt, prompter, store, serial, tcp, 1);
        selection = std::make_unique<ModuleSelection>(*session);
        dump = std::make_unique<ParameterDump>(*session, *selection);
        tools = std::make_unique<ModuleTools>(*session, *selection);
        nav = std::make_unique<NavigationSim>(*session);
    }

    void open(Module module = Module::QVR2a)
    {
        selection->select(module);
        session->start();
        serial.clearTranscript();
        tcp.clearTranscript();
    }
    std::vector<QByteArray> sends(const SimByteLink& link) const
    {
        std::vector<QByteArray> out;
        for (const auto& r : link.transcript())
            if (r.direction == SimByteLink::Direction::ToUnit)
                out.push_back(r.bytes);
        return out;
    }
    QByteArray sent(const SimByteLink& link) const
    {
        QByteArray all;
        for (const QByteArray& b : sends(link))
            all += b;
        return all;
    }
    // Times (ms, virtual) of the writes that carried these bytes.
    std::vector<qint64> timesOf(const QByteArray& bytes) const
    {
        std::vector<qint64> out;
        for (const auto& r : serial.transcript())
            if (r.direction == SimByteLink::Direction::ToUnit && r.bytes == bytes)
                out.push_back(r.timeNs / 1000000);
        return out;
    }
    QString screen() const { return session->screen().text(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    SimRuntime rt;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    QTemporaryDir dir;
    ScriptedUnit unit;
    ScriptedUnit tcpUnit;
    SimByteLink serial{rt, ByteLink::Kind::Serial};
    SimByteLink tcp{rt, ByteLink::Kind::Tcp};
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<ModuleSelection> selection;
    std::unique_ptr<ParameterDump> dump;
    std::unique_ptr<ModuleTools> tools;
    std::unique_ptr<NavigationSim> nav;
};

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
