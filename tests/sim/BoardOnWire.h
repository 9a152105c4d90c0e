#pragma once

// A module attached straight to the terminal, on a simulated USB (no wire delay) or serial
// line, plugged in so that a restarting board takes its port away.
#include <ModuleUnit.h>
#include <SimByteLink.h>
#include <SimRuntime.h>
#include <SimUsbAttachment.h>

struct BoardOnWire {
    SimRuntime rt;
    ModuleUnit board; // before the link: the link lets go of it when destroyed
    SimByteLink link;
    SimUsbAttachment usb;
    QByteArray rx;
    int drops = 0;

    explicit BoardOnWire(BootTarget target, int baud = 0)
        : board(rt, target, 5), link(rt, ByteLink::Kind::Serial), usb(board, link)
    {
        link.attachPeer(&board);
        link.setBaud(baud);
        QObject::connect(&link, &ByteLink::received, [this](const QByteArray& b) { rx += b; });
        QObject::connect(&link, &ByteLink::closedByPeer, [this] { ++drops; });
        link.open();
    }

    // Text and CR LF, then a wait once the bytes have crossed the line, as the terminal
    // pauses.
    void send(const QByteArray& text, int waitMs = 10) { bare(text + "\r\n", waitMs); }
    void bare(const QByteArray& bytes, int waitMs = 10)
    {
        link.write(bytes);
        link.drain(10000);
        rt.advance(waitMs);
    }
    // Sends and returns what came back meanwhile.
    QByteArray ask(const QByteArray& text, int waitMs = 100)
    {
        rx.clear();
        send(text, waitMs);
        return rx;
    }
};
