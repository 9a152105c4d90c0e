#pragma once

#include "BootModule.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <memory>

// The ACU's own bootloader and the modules reached through it (PCU, DVB receiver, BDE and
// ADE modems, motor driver), with the pass-through router in front of them.
//
// Pass-through messages are five characters: "?x" picks the module for what follows ("<"
// BDE, ">" ADE, "]" motor driver, "^" PCU); "?    " ends the route, and the first
// character of the next message may then name the module for that message alone (the erase
// goes out as "#^057" "#8   "), else it goes where the route pointed last; "#" hands four
// characters to the module and "#!   " ends a burst; the DVB receiver takes "w" pieces. A
// module's last piece may be shorter ("#X00"). While the ACU's own bootloader runs (after
// "\0080"), every "#" piece is its own, and "^0578"/"^0577" erase it.
class AcuBootModules {
public:
    struct Outcome {
        bool taken = false;      // the command was the router's; the vocabulary does not see it
        QList<QByteArray> lines; // what the modules printed meanwhile
    };

    AcuBootModules();
    ~AcuBootModules();

    // One command line as the ACU's command reader delivers it (without its line end), and
    // how long the line was quiet before it (-1: unknown, as on TCP).
    //
    // While records stream through, the pass-through needs its pauses: after a piece
    // (longer when the piece finished a record, which the module then writes), after a
    // burst end and after a route reset. A message that starts arriving sooner overruns the
    // ACU: it is counted on the module being programmed and lost; a piece's record ends bad.
    //
    // earlyNs: the command may have begun up to this much before its stamp. qvrsim stamps
    // bytes when it reads them from its pseudo-terminal, and on a busy machine a read can
    // come late: by 0.2 ms typically, by 3 to 5 ms one read in a hundred, by 100 ms and more
    // now and then on two cores shared with compilers, when several pieces are read at once.
    // A late read makes the pause before the command look longer and the one after it
    // shorter by the same amount; so what the pause before it had beyond its need, up to
    // earlyNs, is given back to the pause after it. A sender that does not keep its pauses
    // leaves nothing beyond the need and is still caught.
    Outcome handle(const QByteArray& command, qint64 quietNs = -1, qint64 earlyNs = 0);

    BootModule& module(BootTarget target);
    BootModule& acu() { return module(BootTarget::Acu); }
    BootModule& pcu() { return module(BootTarget::Pcu); }
    BootModule& dvb() { return module(BootTarget::Dvb); }
    QList<BootModule*> all() const;
    void setFaults(const BootFaults& faults);

    // The module the route points at.
    BootTarget route() const { return m_route; }

private:
    bool route(const QByteArray& command, bool late);
    void piece(const QByteArray& payload, bool late);
    void dvbPiece(const QByteArray& payload, bool late);
    // Feeds a piece's text to a module and notes the pause the pass-through needs after it.
    void feedPiece(BootModule& target, const QByteArray& text, bool late);
    // The message belongs to the stream under way, which then needs this pause.
    void keepStream(qint64 requiredQuietNs);

    std::array<std::unique_ptr<BootModule>, 6> m_modules;
    BootTarget m_route = BootTarget::Pcu;
    BootModule* m_messageTarget = nullptr; // the module of the message under way
    bool m_messageStart = true;
    QList<QByteArray> m_lines;
    // Records are streaming to this module (null: no pauses are needed).
    BootModule* m_streaming = nullptr;
    qint64 m_requiredQuietNs = 0;
    qint64 m_creditNs = 0; // how much earlier the last message may have arrived than stamped
    bool m_keepStream = false;
};
