#pragma once

#include <QByteArray>

#include <array>
#include <utility>

// The commands sent, in order, so that each reply line can be paired with the command
// that asked for it: the line answers the slot at receiveIndex. The markers say which
// entries' replies go elsewhere than the panel (a one-shot command's reply to the
// diagnostics window, a parameter dump's replies to its formatter).
struct QueryRing {
    static constexpr int kSlots = 32;

    std::array<QByteArray, kSlots> entries;
    int sendIndex = 0;
    int receiveIndex = 0;
    int oneShotSlot = -1;
    int dumpStart = -1;
    int dumpFormatting = -1; // -1 off; 0 or more: replies go to the dump formatter
    bool timedOut = false;   // the reply watchdog ran out since the last line came

    // Opening a link: both indexes start over (receive one behind on TCP, so that a
    // greeting line is consumed by an empty slot) and no marker is set. The entries are
    // emptied too, so that nothing from the previous link is taken as a query.
    void reset(int receiveStart)
    {
        entries.fill(QByteArray());
        sendIndex = 0;
        receiveIndex = wrap(receiveStart);
        oneShotSlot = -1;
        dumpStart = -1;
        dumpFormatting = -1;
        timedOut = false;
    }
    // Records a sent command at sendIndex; returns the slot it went to.
    int record(const QByteArray& command)
    {
        const int slot = sendIndex;
        entries[slot] = command;
        sendIndex = wrap(sendIndex + 1);
        return slot;
    }
    // Commands sent whose replies have not come yet.
    int outstanding() const { return wrap(sendIndex - receiveIndex); }
    // The query the next reply answers, taken out of its slot: a query answers one reply,
    // so a slot reached again after a shift yields nothing rather than a command sent 32
    // commands ago. A line that comes while nothing is outstanding answers no query and
    // leaves the index where it is, so the next command's reply still meets its own slot.
    QByteArray takeQuery()
    {
        if (outstanding() == 0)
            return {};
        const int slot = receiveIndex;
        receiveIndex = wrap(receiveIndex + 1);
        return std::exchange(entries[slot], QByteArray());
    }
    // A reply was lost: its slot is passed over. Never past the last command sent, or every
    // later reply would meet an empty slot.
    void skip()
    {
        if (outstanding() == 0)
            return;
        entries[receiveIndex].clear();
        receiveIndex = wrap(receiveIndex + 1);
    }

    // No data came for a whole time-out: the replies still awaited were lost (a unit that
    // restarted, a cable pulled). The next line to come answers the newest query, so the
    // older ones are dropped then; left to the skip of one slot per sync error, each would
    // cost an error and could pair a parameter reply with another letter. A parameter dump
    // keeps its slots: it has a time-out of its own.
    void dropAllButNewest()
    {
        if (dumpStart >= 0 || dumpFormatting >= 0)
            return;
        while (outstanding() > 1) {
            if (receiveIndex == oneShotSlot)
                oneShotSlot = -1;
            skip();
        }
    }

    static int wrap(int i) { return ((i % kSlots) + kSlots) % kSlots; }
};
