#include "StatusLeds.h"

#include "PanelState.h"
#include "StatusBits.h"

const QString StatusLeds::kTrackingCaption = QStringLiteral("       Tracking");
const QString StatusLeds::kSearchingCaption = QStringLiteral("       Searching");
const QString StatusLeds::kTargetCaption = QStringLiteral("       Target");
const QString StatusLeds::kInitializingCaption = QStringLiteral("       Initializing");
const QString StatusLeds::kUnwrapCaption = QStringLiteral("       Unwrap");
const QString StatusLeds::kSlowScanCaption = QStringLiteral("       Slow Scan");
const QString StatusLeds::kStabLimitCaption = QStringLiteral("       Stab Limit");
const QString StatusLeds::kBlockedCaption = QStringLiteral("       Blocked");
const QString StatusLeds::kErrorCaption = QStringLiteral("       Error");
const QString StatusLeds::kNutaraCaption = QStringLiteral("        Nutara");
const QString StatusLeds::kSatRefCaption = QStringLiteral("       Sat Ref");

namespace {
constexpr int kFlagCharacter = 64;
constexpr int kSixFlags = 0x3F;

bool bit(int byte, int n)
{
    return (byte >> n) & 1;
}
} // namespace

StatusLeds::StatusLeds()
{
    idle();
}

void StatusLeds::idle()
{
    const QString captions[kCount] = {kTrackingCaption,     kSearchingCaption, kTargetCaption,
                                      kInitializingCaption, kErrorCaption,     kNutaraCaption,
                                      kSatRefCaption};
    for (int i = 0; i < kCount; ++i)
        m_leds[i] = StatusLed{false, 0, captions[i]};
    m_blinkCount = 0;
}

void StatusLeds::set(int index, bool lit, quint32 colour)
{
    m_leds[index].lit = lit;
    m_leds[index].colour = lit ? colour : 0;
}

void StatusLeds::acuStatus(const PanelState& s)
{
    const int b1 = s.acuStatus[0];
    const int b2 = s.acuStatus[1];
    const int b4 = s.acuStatus[3] >= kFlagCharacter ? s.acuStatus[3] : 0;

    const bool searching = bit(b2, 0);
    const bool target = bit(b2, 5) || bit(b2, 4);
    set(Searching, searching, kYellow);
    set(Target, target, kGreen);

    // Tracking on a signal at or below the threshold blinks: dark for three replies, lit
    // for the fourth. Yellow while the unit still searches or drives to a target.
    const quint32 trackingColour = searching || target ? kYellow : kGreen;
    if (!bit(b1, 3)) {
        set(Tracking, false, 0);
        m_blinkCount = 0;
    } else if (s.agcRaw > s.threshold) {
        set(Tracking, true, trackingColour);
        m_blinkCount = 0;
    } else if (m_leds[Tracking].lit) {
        set(Tracking, false, 0);
        m_blinkCount = 1;
    } else if (++m_blinkCount >= kWeakSignalBlink) {
        set(Tracking, true, trackingColour);
        m_blinkCount = 0;
    }

    // One LED for the condition that matters most, named by its caption.
    const QString* caption = nullptr;
    if (bit(b2, 1))
        caption = &kInitializingCaption;
    else if (bit(b1, 2))
        caption = &kUnwrapCaption;
    else if (bit(b1, 5))
        caption = &kSlowScanCaption;
    else if (bit(b4, 4) && !searching && !target)
        caption = &kStabLimitCaption;
    else if (bit(b2, 2))
        caption = &kBlockedCaption;
    if (caption)
        m_leds[Condition].caption = *caption;
    set(Condition, caption != nullptr, kYellow);

    updateError(s);
}

void StatusLeds::pcuStatus(const PanelState& s)
{
    set(Nutara, bit(s.pcuStatus[0], 3), kGreen);
    const bool active = bit(s.pcuStatus[1], 4);
    const bool enabled = bit(s.pcuStatus[0], 4);
    set(SatRef, active || enabled, active ? kGreen : kYellow);
    updateError(s);
}

// Lit while the error window would tick a fault. "Converter Type" (ACU byte 3 bit 1) says
// which converter is fitted and "Reserved" (PCU byte 4 bit 1) means nothing: neither is a fault.
void StatusLeds::updateError(const PanelState& s)
{
    constexpr int kNotFaults = 0x02;
    const bool any = (s.acuStatus[2] & kSixFlags & ~kNotFaults) ||
                     (statusbits::servoErrorByte(s) & kSixFlags) ||
                     (s.pcuStatus[3] & kSixFlags & ~kNotFaults);
    set(Error, any, kRed);
}
