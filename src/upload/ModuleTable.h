#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The modules Quillan can be joined to, in menu order.
enum class Module {
    Data,
    KT4000,
    SPCU,
    SPdvb,
    Spanel,
    Dpanel,
    VTPCU,
    QVRa,
    QVRp,
    QVRd,
    QVR2a,
    QVR2p,
    QVR2d,
    QVR2m1,
    QVR2m2,
    QVR2mdb,
    SPG2pcu,
    USBpcu,
    USBmdb,
    SLCD,
    KVMP,
    NMEA,
};
inline constexpr int kModuleCount = 22;

// Which upload path applies to a module.
enum class ModuleFamily {
    TerminalOnly,
    KvmpRoutedSrec,
    Acu,
    Pcu,
    ManualOnly,
    MotorDriver,
    KvmpAutoUpdate,
    KvmpSrec,
    NmeaSrec,
};

// What a selection changes beyond the common steps.
enum ModuleExtra : unsigned {
    ExtraNone = 0,
    ExtraPhonePower = 1,     // phone-power label shown
    ExtraPanelLines = 2,     // top margin 1600: the panel display lines are shown
    ExtraAcuReset = 4,       // "ACU Reset" enabled
    ExtraNoDumps = 8,        // ACU and PCU parameter dump items disabled
    ExtraNoManualItems = 16, // Start, Erase and Upload S19 File items disabled
};

struct ModuleRow {
    Module module;
    const char* menuName;    // mnuQVRa ...
    const char* caption;     // the menu text
    const char* identifier;  // stored under "Direct"
    int speed;               // baud put in front of the serial settings
    const char* description; // moduleDescription (leading blanks included)
    ModuleFamily family;
    unsigned extras;
};

class ModuleTable {
public:
    // The menu also lists this item; it selects nothing.
    static constexpr const char* kUsb470ModemCaption = "USB to 470 Modem";

    static const std::array<ModuleRow, kModuleCount>& rows();
    static const ModuleRow& row(Module module);
    static std::optional<Module> byIdentifier(const QString& identifier);
    // Every module's identifier, in table order (for a command line's error message).
    static QStringList identifiers();
    // Rows whose selection runs ApplyUploadButtons.
    static bool runsApplyUploadButtons(Module module);
    // Selections that route through the ACU's command port, where TCP/IP may be used.
    static bool allowsTcp(Module module);
};
