#include "ModuleTable.h"

namespace {
using F = ModuleFamily;

// Menu texts, identifiers, speeds and descriptions are the ones the technicians know;
// the blanks inside them are part of the texts.
const std::array<ModuleRow, kModuleCount> kRows{{
    {Module::Data, "mnuData", "Data Terminal               (9600)", "DATA", 9600, "   DATA Terminal mode",
     F::TerminalOnly, ExtraNone},
    {Module::KT4000, "mnuKT4000", "KT-4000 Direct            (9600)", "KT4000", 9600, "    KT-4000 Direct",
     F::TerminalOnly, ExtraPhonePower},
    {Module::SPCU, "mnuSPCU", "Shorvel PCU Direct       (9600)", "SPCU", 9600, "   Shorvel PCU Direct",
     F::TerminalOnly, ExtraPanelLines},
    {Module::SPdvb, "mnuSPdvb", "Shorvel PCU to DVB      (9600)", "SPDVB", 9600, "   Shorvel PCU to DVB",
     F::TerminalOnly, ExtraPanelLines},
    {Module::Spanel, "mnuSpanel", "Shorvel PCU to Panel    (9600)", "SPanel", 9600, "  Shorvel PCU to Panel",
     F::TerminalOnly, ExtraPanelLines},
    {Module::Dpanel, "mnuDpanel", "DiSEqC ACP / Switch     (9600)", "DiSEqC", 9600, "  DiSEqC Panel / Switch",
     F::TerminalOnly, ExtraPanelLines},
    {Module::VTPCU, "mnuVTPCU", "VT PCU via KVMP          (9600)", "VTPCU", 9600, "  VT PCU via KVMP",
     F::KvmpRoutedSrec, ExtraNone},
    {Module::QVRa, "mnuQVRa", "Qvr 30 to ACU              (4800)", "QVRa", 4800, "   QVR-30 Translation ACU",
     F::Acu, ExtraNone},
    {Module::QVRp, "mnuQVRp", "Qvr 30 to PCU              (4800)", "QVRp", 4800, "   QVR-30 Translation PCU",
     F::Pcu, ExtraAcuReset},
    {Module::QVRd, "mnuQVRd", "Qvr 30 to DVB              (4800)", "QVRd", 4800, "   QVR-30 Translation DVB",
     F::ManualOnly, ExtraAcuReset},
    {Module::QVR2a, "mnuQVR2a", "Qvr 5K to ACU              (9600)", "QVR2a", 9600,
     "   QVR 5K Translation ACU", F::Acu, ExtraNone},
    {Module::QVR2p, "mnuQVR2p", "Qvr 5K to PCU              (9600)", "QVR2p", 9600,
     "   QVR 5K Translation PCU", F::Pcu, ExtraAcuReset},
    {Module::QVR2d, "mnuQVR2d", "Qvr 5K to DVB              (9600)", "QVR2d", 9600,
     "   QVR 5K Translation DVB", F::ManualOnly, ExtraAcuReset},
    {Module::QVR2m1, "mnuQVR2m1", "Qvr 5K to BDE Modem  (9600)", "QVR2m1", 9600,
     "   QVR 5K Translation BDE Modem", F::ManualOnly, ExtraAcuReset},
    {Module::QVR2m2, "mnuQVR2m2", "Qvr 5K to ADE Modem  (9600)", "QVR2m2", 9600,
     "   QVR 5K Translation ADE Modem", F::ManualOnly, ExtraAcuReset},
    {Module::QVR2mdb, "mnuQVR2mdb", "Qvr 5K to G2 MDE         (9600)", "QVR2mdb", 9600,
     "   QVR 5K Translation Motor Driver", F::MotorDriver, ExtraAcuReset},
    {Module::SPG2pcu, "mnuSPG2pcu", "Service Port to PCU      (9600)", "SPG2pcu", 9600,
     "   PCU update via Service Port", F::Pcu, ExtraNoDumps},
    {Module::USBpcu, "mnuUSBpcu", "USB to G2 PCU", "USBpcu", 9600, "   PCU update via USB", F::Pcu,
     ExtraNoDumps},
    {Module::USBmdb, "mnuUSBmdb", "USB to G2 MDE", "USBmdb", 9600, "   MDB update via USB", F::MotorDriver,
     ExtraNone},
    {Module::SLCD, "mnuSLCD", "USB to KVMP Auto Update", "SLCD", 9600, "  KVMP Auto Update via USB",
     F::KvmpAutoUpdate, ExtraNoManualItems},
    {Module::KVMP, "mnuKVMP", "USB to KVMP App", "KVMP", 9600, "  KVMP update via USB", F::KvmpSrec,
     ExtraNone},
    {Module::NMEA, "mnuNMEA", "USB to KVMP NMEA", "NMEA", 9600, "  NMEA update via USB", F::NmeaSrec,
     ExtraNone},
}};
} // namespace

const std::array<ModuleRow, kModuleCount>& ModuleTable::rows()
{
    return kRows;
}

const ModuleRow& ModuleTable::row(Module module)
{
    return kRows[size_t(module)];
}

std::optional<Module> ModuleTable::byIdentifier(const QString& identifier)
{
    for (const ModuleRow& r : kRows)
        if (identifier == QLatin1String(r.identifier))
            return r.module;
    return std::nullopt;
}

QStringList ModuleTable::identifiers()
{
    QStringList out;
    for (const ModuleRow& r : kRows)
        out << QString::fromLatin1(r.identifier);
    return out;
}

bool ModuleTable::runsApplyUploadButtons(Module module)
{
    switch (row(module).family) {
    case F::Acu:
    case F::Pcu:
    case F::MotorDriver:
    case F::KvmpSrec:
    case F::NmeaSrec:
    case F::KvmpRoutedSrec:
    case F::KvmpAutoUpdate:
        return true;
    case F::TerminalOnly:
    case F::ManualOnly:
        return false;
    }
    return false;
}

bool ModuleTable::allowsTcp(Module module)
{
    switch (module) {
    case Module::QVR2a:
    case Module::QVR2p:
    case Module::QVR2d:
    case Module::QVR2m1:
    case Module::QVR2m2:
    case Module::QVR2mdb:
        return true;
    default:
        return false;
    }
}
