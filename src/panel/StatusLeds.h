#pragma once

#include <QString>

#include <array>

struct PanelState;

// One round indicator of the panel with the caption of its label.
struct StatusLed {
    bool lit = false;
    quint32 colour = 0; // blue-green-red; meaningful while lit
    QString caption;

    bool operator==(const StatusLed&) const = default;
};

// The status LEDs 0..6 (LED 7 is the link LED of the device link) as the "S" and
// "?   S" replies set them.
class StatusLeds {
public:
    static constexpr int kCount = 7;
    enum Index { Tracking = 0, Searching = 1, Target = 2, Condition = 3, Error = 4, Nutara = 5, SatRef = 6 };

    // Fill colours (blue-green-red).
    static constexpr quint32 kGreen = 65280;
    static constexpr quint32 kYellow = 0x00FFFF;
    static constexpr quint32 kRed = 0x0000FF;

    // While tracking on a weak signal the Tracking LED is lit for one reply in this many.
    static constexpr int kWeakSignalBlink = 4;

    // Captions (the blanks leave room for the LED on the label).
    static const QString kTrackingCaption;
    static const QString kSearchingCaption;
    static const QString kTargetCaption;
    static const QString kInitializingCaption;
    static const QString kUnwrapCaption;
    static const QString kSlowScanCaption;
    static const QString kStabLimitCaption;
    static const QString kBlockedCaption;
    static const QString kErrorCaption;
    static const QString kNutaraCaption;
    static const QString kSatRefCaption;

    StatusLeds();

    // The idle look: every LED dark, every caption its first one.
    void idle();
    // A good "S" reply: Tracking, Searching, Target, the condition LED and Error.
    void acuStatus(const PanelState& state);
    // A "?   S" reply: Nutara, Sat Ref and Error.
    void pcuStatus(const PanelState& state);

    const std::array<StatusLed, kCount>& leds() const { return m_leds; }
    const StatusLed& led(int index) const { return m_leds[index]; }

private:
    void set(int index, bool lit, quint32 colour);
    void updateError(const PanelState& state);

    std::array<StatusLed, kCount> m_leds;
    int m_blinkCount = 0;
};
