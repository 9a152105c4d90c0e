// The service commands: find the satellite, reset errors, save and reboot, port lock, and
// the versions of the boards behind the ACU.
#include "AcuRows.h"
#include "AcuUnit.h"

#include <CommandVocabulary.h>

using namespace vocab;
using Reply = AcuVocabulary::Reply;
using Match = AcuVocabulary::Match;

namespace acurows {

void addToolRows(AcuVocabulary& v)
{
    // The satellite number after "F" is the one the unit has loaded anyway.
    v.addLine("F", Match::Prefix, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.findSatellite();
        return "F SEARCHING";
    });
    // Taken the moment it arrives, like the polled commands: the diagnostics menu sends a
    // bare "&", the panel "&" and four blanks, and the blanks after it start no command.
    v.addSingle('&', [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.update();
        unit.resetAcuErrors();
        return "& ACU ERRORS RESET";
    });
    v.addLine(kSaveAcu.toByteArray(), Match::Exact, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.saveParameters();
        return "\\ PARAMETERS SAVED";
    });
    v.addLine(kRebootAcu.toByteArray(), Match::Exact, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.reboot();
        return "\\ REBOOTING";
    });
    v.addLine("[L", Match::Prefix, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.setPortLocked(true);
        return "[L PORT LOCKED";
    });
    v.addLine("[M", Match::Prefix, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.setPortLocked(false);
        return "[M PORT UNLOCKED";
    });
    v.addLine("[V", Match::Prefix,
              [](const QByteArray&, AcuUnit& unit) -> Reply { return unit.commIfVersion(); });
    // The DVB receiver answers into the ACU's buffer; the panel collects it on its next tick.
    v.addLine(kNoReplyPrefix.toByteArray(), Match::Prefix, [](const QByteArray&, AcuUnit& unit) -> Reply {
        unit.askDvbVersion();
        return std::nullopt;
    });
    v.addLine(kDvbVersionFollowUp.toByteArray(), Match::Exact, [](const QByteArray&, AcuUnit& unit) -> Reply {
        const QByteArray answer = unit.takeDvbAnswer();
        return answer.isEmpty() ? QByteArray("w! NO DATA") : answer;
    });
}

} // namespace acurows
