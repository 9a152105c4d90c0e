#pragma once

// A simulated unit on a simulated line (serial at 9600 baud, or TCP), in virtual time.
#include <AcuModel.h>
#include <SimByteLink.h>
#include <SimRuntime.h>
#include <TerminalUnit.h>

#include <vector>

template <class Unit> struct OnWire {
    struct Chunk {
        qint64 timeNs;
        QByteArray bytes;
    };

    SimRuntime rt;
    Unit model; // before the link: the link lets go of it when destroyed
    SimByteLink link;
    QByteArray rx;
    std::vector<Chunk> chunks;
    int closedByPeer = 0;
    qint64 closedAtNs = -1;

    explicit OnWire(quint64 seed = 7, ByteLink::Kind kind = ByteLink::Kind::Serial)
        : model(rt, seed), link(rt, kind)
    {
        link.attachPeer(&model);
        if (kind == ByteLink::Kind::Serial)
            link.setBaud(9600);
        model.setHangUp([this] { link.dropFromPeer(); });
        QObject::connect(&link, &ByteLink::received, [this](const QByteArray& bytes) {
            rx += bytes;
            chunks.push_back({rt.nowNs(), bytes});
        });
        QObject::connect(&link, &ByteLink::closedByPeer, [this] {
            ++closedByPeer;
            closedAtNs = rt.nowNs();
        });
    }

    void open()
    {
        link.open();
        rt.waitUntil([this] { return link.isOpen(); }, 100);
    }

    // Sends bytes and returns the first reply line (without its CR) or "" when none comes.
    QByteArray ask(const QByteArray& bytes, int timeoutMs = 300)
    {
        rx.clear();
        link.write(bytes);
        rt.waitUntil([this] { return rx.contains('\r'); }, timeoutMs);
        const qsizetype cr = rx.indexOf('\r');
        return cr < 0 ? QByteArray() : rx.left(cr);
    }

    // A command line as the panel writes it: the command, then CR LF when it is longer
    // than one character.
    QByteArray command(const QByteArray& text, int timeoutMs = 300)
    {
        return ask(text.size() > 1 ? text + "\r\n" : text, timeoutMs);
    }

    // Every reply line received since rx was last cleared.
    QList<QByteArray> lines() const
    {
        QList<QByteArray> out = rx.split('\r');
        out.removeLast(); // what follows the last CR is not a line yet
        return out;
    }
};

using UnitOnWire = OnWire<AcuModel>;
using TerminalOnWire = OnWire<TerminalUnit>;
