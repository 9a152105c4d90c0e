// What the programming terminal's parameter dump asks the ACU beyond the panel's questions:
// the PCU's version, status and parameters in the terminal's short forms, the versions of
// the boards behind the ACU and the comm-interface board's settings listing.
#include "AcuRows.h"
#include "AcuUnit.h"

using Reply = AcuVocabulary::Reply;
using Match = AcuVocabulary::Match;

namespace {

// The comm-interface board lists its settings one "name=value" line each, in this order.
const char* const kCommIfListing = "IP Address=192.168.0.195\r"
                                   "Net Mask=255.255.255.0\r"
                                   "Gateway=192.168.0.1\r"
                                   "TCP Port 0=2000\r"
                                   "TCP Port 1=2001\r"
                                   "UDP Port=2002\r"
                                   "Baud M&C=9600\r"
                                   "Baud NMEA A=4800\r"
                                   "Baud NMEA B=4800";

} // namespace

namespace acurows {

void addDumpRows(AcuVocabulary& v)
{
    v.addLine("?V", Match::Exact, [](const QByteArray&, AcuUnit& unit) -> Reply { return unit.pcuVersion(); });
    v.addLine("?S", Match::Exact, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.update();
        const auto flags = unit.pcuStatus();
        QByteArray hex;
        for (const quint8 f : flags)
            hex += QByteArray::number(f, 16).rightJustified(2, '0').toUpper();
        return "?S PCU STATUS " + hex;
    });
    // The PCU parameters ("n" + code + "999") are answered with the PCU's other replies.
    v.addLine("]0411", Match::Exact, [](const QByteArray&, AcuUnit&) -> Reply { return "] G2 MDE VER 2.10 SIM"; });
    v.addLine("<0411", Match::Exact, [](const QByteArray&, AcuUnit&) -> Reply { return "< BDE MODEM VER 4.02 SIM"; });
    v.addLine(">0411", Match::Exact, [](const QByteArray&, AcuUnit&) -> Reply { return "> ADE MODEM VER 4.02 SIM"; });
    v.addLine("[?", Match::Exact, [](const QByteArray&, AcuUnit&) -> Reply { return kCommIfListing; });
}

} // namespace acurows
