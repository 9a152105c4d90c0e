#include "StatusBits.h"

#include "PanelState.h"

namespace statusbits {

namespace {
// The unit sends its flags as characters from "@" (64) up; six flags in the low bits.
constexpr int kFlagCharacter = 64;

using Captions = std::array<const char*, 6>; // bit 5 first

constexpr Captions kAcuByte1 = {"Slow Scan", "Sat Reference", "Tracking",
                                "Unwrap",    "PCU DI3",       "PCU DI2 (Tan Acc Corr)"};
constexpr Captions kAcuByte2 = {"AZ Target",    "EL / POL Target", "Valid Heading (ACU)",
                                "Block / Mute", "Initializing",    "Searching"};
constexpr Captions kPcuByte1 = {"Slow Scan", "Sat Reference Enabled",   "Nutara", "Unwrap",
                                "Data In 3", "Data In 2 (Tan Acc Corr)"};
constexpr Captions kPcuByte2 = {"AZ Target", "Sat Reference Active", "Valid Heading (PCU)", "PCU Error",
                                "PCU Init",  "Hi Elevation"};
constexpr Captions kPcuByte3 = {"Critical Error", "Stab Limit",  "AZ Ref Error",
                                "AZ Torq Lim",    "Lv Torq Lim", "Cl Torq Lim"};
constexpr Captions kPcuByte4 = {"Motor Driver Error", "Tilt Sensor Fail", "Rate Sensor Fail",
                                "Over Speed Error",   "Reserved",         "POST Failure"};
constexpr Captions kAcuByte3 = {"Satellite Range", "Conscan / Nutara", "PCU Error",
                                "Comm Error",      "Converter Type",   "Gyro Read"};
constexpr Captions kServoErrors = {"Critical Error", "Stability Limit", "Az Reference",
                                   "AZ Servo Limit", "LV Servo Limit",  "CL Servo Limit"};

void addGroup(QList<WindowItem>& items, const Captions& captions, int byte, bool subItems = false)
{
    for (int i = 0; i < 6; ++i) {
        const int bit = 5 - i;
        WindowItem item;
        item.caption = QLatin1String(captions[i]);
        item.checked = (byte >> bit) & 1;
        item.subItem = subItems;
        items << item;
    }
}

void addSeparator(QList<WindowItem>& items)
{
    WindowItem s;
    s.separator = true;
    items << s;
}

constexpr ShortcutItem kModeDisplay[] = {
    {"ACU Version", 129},      {"PCU Version", 130},
    {"DVB Version", 0},        {"MDM Version", 0},
    {"El Trim", 133},          {"Az Trim", 134},
    {"Auto Threshold", 135},   {"El  Step Size", 136},
    {"Az Step Size", 137},     {"Step Integral", 138},
    {"Search Increment", 139}, {"Search Limit", 140},
    {"Search Delay", 141},     {"Sweep Inc / IO Range", 142},
    {"System Type", 144},      {"Gyro Type", 145},
    {"Polang Type", 146},      {"Pol Offset", 147},
    {"Pol Scale", 148},        {"Tx Polarity", 149},
    {"Track Display", 151},    {"Az/El Limits", 152},
};

constexpr ShortcutItem kSatDisplay[] = {
    {"Satellite", 33}, {"Threshold", 34}, {"Freq / MHz", 35}, {"Baud / KHz", 36}, {"Tone", 37},
    {"Volt", 38},      {"FEC", 39},       {"Skew", 40},       {"NID", 41},
};

constexpr BitItem kSystemType[] = {
    {128, "128, Modem Lock In = Hi"}, {64, "64,  LNB Voltage ON"},    {32, "32,  Relative Az Disp"},
    {16, "16,  Block Out = Hi"},      {8, "8,    Reserved (AFT)"},    {4, "4,    Sat Load after Search"},
    {2, "2,    Ext Modem Lock"},      {1, "1,    Sat Load on Reset"},
};

constexpr BitItem kPolangType[] = {
    {128, "128, Circular Pol Selection"},  {64, "64,   Auto Pol Enabled"},
    {32, "32,   5v PWM Numeric Display"},  {16, "16,   5V PWM Polang Drive"},
    {8, "8,     24V Numeric Pol Display"}, {4, "4,    4 Quad HLVR Display"},
    {2, "2,     Linear Pol Selection"},    {1, "1,     Manual Pol Drive"},
};
} // namespace

int servoErrorByte(const PanelState& state)
{
    return state.acuStatus[3] >= kFlagCharacter ? state.acuStatus[3] : state.pcuStatus[2];
}

BitWindow bitWindow(Window kind, const PanelState& s)
{
    BitWindow w{kind, {}, {}};
    switch (kind) {
    case Window::Acu:
        w.title = QStringLiteral("Display ACU");
        addGroup(w.items, kAcuByte1, s.acuStatus[0]);
        addSeparator(w.items);
        addGroup(w.items, kAcuByte2, s.acuStatus[1]);
        break;
    case Window::Pcu:
        w.title = QStringLiteral("Display PCU");
        addGroup(w.items, kPcuByte1, s.pcuStatus[0]);
        addSeparator(w.items);
        addGroup(w.items, kPcuByte2, s.pcuStatus[1]);
        addSeparator(w.items);
        addGroup(w.items, kPcuByte3, s.pcuStatus[2]);
        addSeparator(w.items);
        addGroup(w.items, kPcuByte4, s.pcuStatus[3]);
        break;
    case Window::Error: {
        w.title = QStringLiteral("Display Error");
        WindowItem reset;
        reset.caption = QLatin1String(kResetErrorBits);
        reset.isDefault = true;
        w.items << reset;
        addSeparator(w.items);
        addGroup(w.items, kAcuByte3, s.acuStatus[2]);
        addSeparator(w.items);
        const int servo = servoErrorByte(s);
        // "Critical Error" heads the group; the PCU's own fault bits are listed under it.
        QList<WindowItem> group;
        addGroup(group, kServoErrors, servo);
        w.items << group.takeFirst();
        addGroup(w.items, kPcuByte4, s.pcuStatus[3], true);
        w.items << group;
        break;
    }
    }
    return w;
}

std::span<const ShortcutItem> modeDisplayItems()
{
    return kModeDisplay;
}

std::span<const ShortcutItem> satDisplayItems()
{
    return kSatDisplay;
}

std::span<const BitItem> systemTypeItems()
{
    return kSystemType;
}

std::span<const BitItem> polangTypeItems()
{
    return kPolangType;
}

std::array<bool, 8> ticks(std::span<const BitItem> items, int value)
{
    std::array<bool, 8> out{};
    for (size_t i = 0; i < items.size() && i < out.size(); ++i)
        out[i] = (value & items[i].bit) != 0;
    return out;
}

} // namespace statusbits
