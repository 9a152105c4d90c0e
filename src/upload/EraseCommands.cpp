// Erase and Bulk Erase of every family.
#include "BootloaderCommands.h"

namespace {
constexpr char kPassThroughEnd[] = "#!   ";
constexpr char kRouteClear[] = "?    ";
constexpr char kDvbEnd[] = "w!   ";
} // namespace

void BootloaderCommands::eraseModule()
{
    SequenceSteps::Sequence sequence(m_steps);
    auto& s = m_steps;
    if (s.anyChecked({Module::QVRa, Module::QVR2a, Module::Dpanel, Module::KVMP, Module::NMEA})) {
        s.send("^0578");
    } else if (s.checked(Module::Spanel)) {
        s.sendBare("S119");
    } else if (s.anyChecked({Module::USBpcu, Module::SPG2pcu})) {
        s.sendCr("^0578");
    } else if (s.checked(Module::VTPCU)) {
        eraseVtPcu();
    } else if (s.checked(Module::USBmdb)) {
        s.send("]0578");
    } else if (s.anyChecked({Module::QVRp, Module::QVR2p})) {
        s.send(kRouteClear);
        s.pause(10);
        s.send("#^057");
        s.pause(10);
        s.send("#8   ");
        s.pause(500);
        s.send(kPassThroughEnd);
    } else if (s.checked(Module::QVR2mdb)) {
        s.send(kRouteClear);
        s.pause(10);
        s.send("#]057");
        s.pause(10);
        s.send("#8   ");
        s.pause(10);
        s.send(QByteArray("#") + char(11) + "  ");
        s.pause(1000);
        s.send(kPassThroughEnd);
    } else if (s.anyChecked({Module::QVR2m1, Module::QVR2m2})) {
        // The erase names the modem as the route does ("<" BDE, ">" ADE); naming the BDE modem
        // while the ADE one is being programmed would wipe the wrong board.
        s.send(kRouteClear);
        s.pause(10);
        s.send(s.checked(Module::QVR2m1) ? "#<057" : "#>057");
        s.pause(10);
        s.send("#8   ");
        s.pause(250);
        s.send(kPassThroughEnd);
    } else if (s.anyChecked({Module::QVRd, Module::QVR2d, Module::SPdvb})) {
        s.send("w^057");
        s.pause(50);
        s.send("w8   ");
        s.pause(500);
        s.send(kDvbEnd);
        s.pause(10);
        s.send(kDvbEnd);
        s.send("w^578");
        s.pause(500);
        s.send(kDvbEnd);
    } else if (s.checked(Module::SLCD)) {
        s.send("^378");
    } else {
        s.sendBare("^0578");
    }
}

void BootloaderCommands::eraseVtPcu()
{
    auto& s = m_steps;
    s.captureOn();
    for (int attempt = 1; attempt <= 3; ++attempt) {
        s.show(QStringLiteral("PT:  Erase attempt ") + QString::number(attempt));
        s.clearReply();
        s.sendCr("^0578");
        s.wait(2000);
        if (!s.replyContains(QStringLiteral("Erasing")))
            continue;
        // The flash erase takes a while after the loader acknowledged it.
        s.wait(2000);
        if (s.replyContains(QStringLiteral("OK")))
            break;
    }
    s.captureOff();
}

void BootloaderCommands::bulkErase()
{
    SequenceSteps::Sequence sequence(m_steps);
    auto& s = m_steps;
    if (s.anyChecked({Module::QVRa, Module::QVR2a})) {
        s.send("^0577");
    } else if (s.anyChecked({Module::QVRp, Module::QVR2p})) {
        s.send(kRouteClear);
        s.pause(10);
        s.send("#^057");
        s.pause(10);
        s.send("#7!  ");
    } else if (s.anyChecked({Module::QVRd, Module::QVR2d, Module::SPdvb})) {
        s.send("w^057");
        s.pause(10);
        s.send("w7   ");
        s.pause(500);
        s.send(kDvbEnd);
    } else {
        s.sendBare("^0577");
    }
}
