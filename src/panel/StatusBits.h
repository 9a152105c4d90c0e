#pragma once

#include <QList>
#include <QString>

#include <array>
#include <span>

struct PanelState;

// The unit's flag bits as the panel offers them on request: the three status-bit
// windows (pop-up menus ticked at the moment they open), the two shortcut menus of the
// screen keys, and the System Type and Polang Type bit menus.
namespace statusbits {

// Menu texts that open the three windows, and the windows' own titles.
inline constexpr const char* kAcuBitsItem = "ACU Status Bits";
inline constexpr const char* kPcuBitsItem = "PCU Status Bits";
inline constexpr const char* kErrorBitsItem = "Error Status Bits";
inline constexpr const char* kResetErrorBits = "Reset Error Bits";

enum class Window { Acu, Pcu, Error };

struct WindowItem {
    QString caption;
    bool checked = false;
    bool separator = false; // a line between groups (caption empty)
    bool isDefault = false; // the window's default item ("Reset Error Bits")
    bool subItem = false;   // listed under the item before it ("Critical Error")
};

struct BitWindow {
    Window kind;
    QString title; // "Display ACU", "Display PCU", "Display Error"
    QList<WindowItem> items;
};

// The window with its items ticked from the flag bytes as they are now.
BitWindow bitWindow(Window kind, const PanelState& state);
// The error window's second group comes from ACU byte 4 when the unit sends it (a flag
// character, code 64 or more); older units report those bits in PCU byte 3.
int servoErrorByte(const PanelState& state);

// Shortcut menus of the screen keys. Page 0: listed, but it shows no page.
struct ShortcutItem {
    const char* caption;
    int page;
};
inline constexpr const char* kModeDisplayMenu = "Mode Display";
inline constexpr const char* kSatDisplayMenu = "Sat Display";
std::span<const ShortcutItem> modeDisplayItems();
std::span<const ShortcutItem> satDisplayItems();

// The System Type and Polang Type bit menus.
struct BitItem {
    int bit; // the bit's value, 128 .. 1
    const char* caption;
};
inline constexpr const char* kSystemTypeMenu = "System Type";
inline constexpr const char* kPolangTypeMenu = "Polang Type";
std::span<const BitItem> systemTypeItems();
std::span<const BitItem> polangTypeItems();

struct BitMenu {
    QString caption;
    std::array<bool, 8> checked{}; // in the order of the items (128 first)
};
// Ticks each item whose bit is set in value.
std::array<bool, 8> ticks(std::span<const BitItem> items, int value);

} // namespace statusbits
