#pragma once

// An ACU model on a simulated serial line at 9600 baud, in virtual time.
#include <AcuModel.h>
#include <SimByteLink.h>
#include <SimRuntime.h>

#include <vector>

struct UnitOnWire {
    struct Chunk {
        qint64 timeNs;
        QByteArray bytes;
    };

    SimRuntime rt;
    AcuModel model; // before the link: the link lets go of it when destroyed
    SimByteLink link;
    QByteArray rx;
    std::vector<Chunk> chunks;

    explicit UnitOnWire(quint64 seed = 7, ByteLink::Kind kind = ByteLink::Kind::Serial)
        : model(rt, seed), link(rt, kind)
    {
        link.attachPeer(&model);
        link.setBaud(9600);
        QObject::connect(&link, &ByteLink::received, [this](const QByteArray& bytes) {
            rx += bytes;
            chunks.push_back({rt.nowNs(), bytes});
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

    // Every reply line received since rx was last cleared.
    QList<QByteArray> lines() const
    {
        QList<QByteArray> out = rx.split('\r');
        out.removeLast(); // what follows the last CR is not a line yet
        return out;
    }
};
