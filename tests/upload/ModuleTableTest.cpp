// The module menu and the family check, row by row. Every expected value is written out
// here, so a wrong row in the program's tables fails instead of agreeing with itself.
#include "ModuleTable.h"
#include "FirmwareFileCheck.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct MenuRow {
    const char* menuName;
    const char* caption;
    const char* identifier;
    int speed;
    const char* description;
};

// In menu order; the blanks inside the captions and descriptions are part of them.
const std::vector<MenuRow> kMenu{
    {"mnuData", "Data Terminal               (9600)", "DATA", 9600, "   DATA Terminal mode"},
    {"mnuKT4000", "KT-4000 Direct            (9600)", "KT4000", 9600, "    KT-4000 Direct"},
    {"mnuSPCU", "Shorvel PCU Direct       (9600)", "SPCU", 9600, "   Shorvel PCU Direct"},
    {"mnuSPdvb", "Shorvel PCU to DVB      (9600)", "SPDVB", 9600, "   Shorvel PCU to DVB"},
    {"mnuSpanel", "Shorvel PCU to Panel    (9600)", "SPanel", 9600, "  Shorvel PCU to Panel"},
    {"mnuDpanel", "DiSEqC ACP / Switch     (9600)", "DiSEqC", 9600, "  DiSEqC Panel / Switch"},
    {"mnuVTPCU", "VT PCU via KVMP          (9600)", "VTPCU", 9600, "  VT PCU via KVMP"},
    {"mnuQVRa", "Qvr 30 to ACU              (4800)", "QVRa", 4800, "   QVR-30 Translation ACU"},
    {"mnuQVRp", "Qvr 30 to PCU              (4800)", "QVRp", 4800, "   QVR-30 Translation PCU"},
    {"mnuQVRd", "Qvr 30 to DVB              (4800)", "QVRd", 4800, "   QVR-30 Translation DVB"},
    {"mnuQVR2a", "Qvr 5K to ACU              (9600)", "QVR2a", 9600, "   QVR 5K Translation ACU"},
    {"mnuQVR2p", "Qvr 5K to PCU              (9600)", "QVR2p", 9600, "   QVR 5K Translation PCU"},
    {"mnuQVR2d", "Qvr 5K to DVB              (9600)", "QVR2d", 9600, "   QVR 5K Translation DVB"},
    {"mnuQVR2m1", "Qvr 5K to BDE Modem  (9600)", "QVR2m1", 9600, "   QVR 5K Translation BDE Modem"},
    {"mnuQVR2m2", "Qvr 5K to ADE Modem  (9600)", "QVR2m2", 9600, "   QVR 5K Translation ADE Modem"},
    {"mnuQVR2mdb", "Qvr 5K to G2 MDE         (9600)", "QVR2mdb", 9600, "   QVR 5K Translation Motor Driver"},
    {"mnuSPG2pcu", "Service Port to PCU      (9600)", "SPG2pcu", 9600, "   PCU update via Service Port"},
    {"mnuUSBpcu", "USB to G2 PCU", "USBpcu", 9600, "   PCU update via USB"},
    {"mnuUSBmdb", "USB to G2 MDE", "USBmdb", 9600, "   MDB update via USB"},
    {"mnuSLCD", "USB to KVMP Auto Update", "SLCD", 9600, "  KVMP Auto Update via USB"},
    {"mnuKVMP", "USB to KVMP App", "KVMP", 9600, "  KVMP update via USB"},
    {"mnuNMEA", "USB to KVMP NMEA", "NMEA", 9600, "  NMEA update via USB"},
};

TEST(ModuleTable, EveryRowHasItsCaptionIdentifierSpeedAndDescription)
{
    ASSERT_EQ(ModuleTable::rows().size(), kMenu.size());
    for (size_t i = 0; i < kMenu.size(); ++i) {
        const ModuleRow& row = ModuleTable::rows()[i];
        const MenuRow& want = kMenu[i];
        SCOPED_TRACE(want.menuName);
        EXPECT_STREQ(row.menuName, want.menuName);
        EXPECT_STREQ(row.caption, want.caption);
        EXPECT_STREQ(row.identifier, want.identifier);
        EXPECT_EQ(row.speed, want.speed);
        EXPECT_STREQ(row.description, want.description);
        EXPECT_EQ(ModuleTable::byIdentifier(QString::fromLatin1(want.identifier)), row.module);
        EXPECT_EQ(&ModuleTable::row(row.module), &row);
    }
    EXPECT_STREQ(ModuleTable::kUsb470ModemCaption, "USB to 470 Modem");
}

struct CheckRow {
    std::vector<Module> modules;
    std::vector<QByteArray> accepted;   // termination lines that pass without a word
    std::vector<QByteArray> mismatched; // termination lines that do not
    const char* warning;                // the first box of the warning pair; null: refused silently
};

// First match decides; the lines need not be valid records, only the start address counts.
const std::vector<CheckRow> kChecks{
    {{Module::QVRa, Module::QVR2a},
     {"S903F00309", "S107F003FFFC00"},
     {"S903E00319", "S107FFFCE003F003", "S9038000FC"},
     "WARNING,\rQVR 5000 ACU Program Mode is selected and\rUpload file does not have the correct ACU "
     "format.\r\rContinue anyway, Yes or No ?"},
    {{Module::QVRp, Module::QVR2p, Module::USBpcu, Module::SPG2pcu},
     {"S903E00319", "S903F80301", "S9038000FC", "S903F2000A", "S903F08871", "S105FFFCE0031C"},
     {"S903F00309", "S107FFFCF003E003", "S903F10308"},
     "WARNING:\rPCU Program Mode is selected and\rUpload file does not have the correct PCU "
     "format.\r\rContinue anyway, Yes or No ?"},
    {{Module::QVRd, Module::QVR2d, Module::SPdvb},
     {"S105FFFCF1030B"},
     {"S903F10308", "S105FFFCF00309"},
     nullptr},
    {{Module::QVR2m1, Module::QVR2m2},
     {"S903F08071"},
     {"S903F08970", "S903F00309"},
     "WARNING:\rModem Program Mode is selected and\rUpload file does not have the correct Modem "
     "format.\r\rContinue anyway, Yes or No ?"},
    {{Module::QVR2mdb, Module::USBmdb},
     {"S903F08970"},
     {"S903F08071", "S903F00309"},
     "WARNING:\rMotor Driver Program Mode is selected and\rUpload file does not have the correct Motor "
     "Driver "
     "format.\r\rContinue anyway, Yes or No ?"},
    {{Module::KVMP},
     {"S903196201", "S903E00319"},
     {"S903F00309", "S903F80600"},
     "WARNING:\rKVMP Program Mode is selected and\rUpload file does not have the correct KVMP "
     "format.\r\rContinue anyway, Yes or No ?"},
    {{Module::VTPCU},
     {"S903F00309", "S903F010FC"},
     {"S903E00319", "S903F80301"},
     "WARNING:\rVT PCU Program Mode is selected and\rUpload file does not have the correct VT PCU "
     "format.\r\rContinue anyway, Yes or No ?"},
    {{Module::SPCU}, {"S903F80301"}, {"S903F00309", "S903E00319"}, nullptr},
    {{Module::NMEA},
     {"S903F80600"},
     {"S903F80301", "S903E00319"},
     "WARNING:\rKVMP to NMEA Mode is selected and\rUpload file does not have the KVMP NMEA "
     "format.\r\rContinue anyway, Yes or No ?"},
    {{Module::Data, Module::KT4000, Module::Spanel, Module::Dpanel, Module::SLCD},
     {},
     {"S903F00309", "S903E00319", "S903F80301", "S105FFFCF1030B", "S903F80600", "S903196201"},
     nullptr},
};

TEST(FamilyCheck, EveryModuleHasItsStartAddressesAndWarning)
{
    using V = FirmwareFileCheck::Verdict;
    size_t modules = 0;
    for (const CheckRow& row : kChecks) {
        for (Module m : row.modules) {
            ++modules;
            SCOPED_TRACE(ModuleTable::row(m).menuName);
            const FamilyRule* rule = FirmwareFileCheck::ruleFor(m);
            for (const QByteArray& line : row.accepted)
                EXPECT_EQ(FirmwareFileCheck::check(rule, line), V::Accepted) << line.constData();
            for (const QByteArray& line : row.mismatched)
                EXPECT_EQ(FirmwareFileCheck::check(rule, line), row.warning ? V::Warn : V::Rejected)
                    << line.constData();
            if (row.warning) {
                ASSERT_NE(rule, nullptr);
                EXPECT_EQ(FirmwareFileCheck::warningText(*rule), QString::fromLatin1(row.warning));
            }
        }
    }
    EXPECT_EQ(modules, 22u) << "every module item has its row";
}

} // namespace
