#pragma once

// A Quillan window on simulated links in virtual time: the far end is a unit that says
// what the test tells it to, the settings live in memory and the prompts are scripted.
#include "ModuleSelection.h"
#include "Prompter.h"
#include "QuillanWindow.h"
#include "SettingsStore.h"
#include "SimByteLink.h"
#include "SimPeer.h"
#include "SimRuntime.h"
#include "TerminalScreen.h"
#include "TerminalSession.h"
#include "TerminalView.h"

#include <QApplication>

#include <memory>

class QuillanScriptedUnit : public SimPeer {
public:
    void peerReceived(const QByteArray& bytes) override { heard += bytes; }
    void say(const QByteArray& bytes) { sendToHost(bytes); }
    QByteArray heard;
};

struct QuillanRig {
    static constexpr const char* kApp = "QuillanUniv1";

    SimRuntime runtime;
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    SimByteLink serial{runtime, ByteLink::Kind::Serial};
    SimByteLink tcp{runtime, ByteLink::Kind::Tcp};
    QuillanScriptedUnit unit;
    std::unique_ptr<TerminalSession> session;
    std::unique_ptr<ModuleSelection> selection;
    std::unique_ptr<QuillanWindow> window;

    explicit QuillanRig(const QString& direct = QStringLiteral("DATA"), bool start = true)
    {
        setting(QStringLiteral("Direct"), direct);
        serial.setBaud(115200);
        serial.attachPeer(&unit);
        session = std::make_unique<TerminalSession>(runtime, prompter, store, serial, tcp, 1);
        selection = std::make_unique<ModuleSelection>(*session);
        window = std::make_unique<QuillanWindow>(*session, *selection);
        window->show();
        if (start)
            session->start();
        settle();
    }

    void setting(const QString& key, const QString& value)
    {
        store.set(QString::fromLatin1(kApp), QStringLiteral("Properties"), key, value);
    }

    // Lets queued layout and paint requests run, and the terminal show its batch.
    void settle()
    {
        QApplication::processEvents();
        window->terminal()->flush();
    }

    void receive(const QByteArray& bytes)
    {
        unit.say(bytes);
        runtime.advance(50);
        settle();
    }

    QString shown() { return window->terminal()->shownText(); }
};
