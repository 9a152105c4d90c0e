#pragma once

// The front panel's captions and tool tips, as the unit's users know them (spelling
// included). The window shows them; the logic owns them so that both say the same.
namespace paneltext {

// Status panel 2 while a reply failed its check; the code follows.
inline constexpr const char* kSyncErrorText = "Status: Sync Error ";

// Screen keys, in the order SHIP, SAT, ANTENNA, MODE.
inline constexpr const char* kScreenKeyCaptions[4] = {"SHIP", "SAT", "ANTENNA", "MODE"};
inline constexpr const char* kScreenKeyToolTips[4] = {"Select SHIP Display", "Select SATELLITE Display",
                                                      "Select ANTENNA Display",
                                                      "Right Click for ShortCut Menu"};

// Arrow keys.
inline constexpr const char* kAzimuthArrowToolTip = "Azimuth Motion";
inline constexpr const char* kElevationArrowToolTip = "Elevation Motion / Mode Menu Navigation";

inline constexpr const char* kTrackingKeyCaption = "Tracking";
inline constexpr const char* kTrackingKeyToolTip = "Click to toggle Tracking state";

inline constexpr const char* kEntryToolTip = "Enter value to set or Space to toggle";

// Status labels with their own tool tips.
inline constexpr const char* kConditionToolTip =
    "Shows Initalizing, Blocked, Sbability Limit  and Unwrap  Status";
inline constexpr const char* kErrorToolTip = "Click to display decoded Error bits";
inline constexpr const char* kNutaraToolTip = "Click to Toggle Nutara On/Off";
inline constexpr const char* kSatRefToolTip = "Shows PCU Satellite Reference Status (Off, Enabled, Active)";
inline constexpr const char* kPortStatusCaption = "       Port Status";
inline constexpr const char* kPortStatusToolTip = "Click to Open/Close Port";

// Display line 0 of each screen and page group.
inline constexpr const char* kShipTitle = "SHIP ";
inline constexpr const char* kSatelliteTitle = "SATELLITE";
inline constexpr const char* kAntennaTitle = "ANTENNA ";
inline constexpr const char* kModeTitle = "MODE";
inline constexpr const char* kSetupTitle = "SETUP";
inline constexpr const char* kStatusTitle = "STATUS    ";
inline constexpr const char* kAcuVersionTitle = "Version Info ACU";
inline constexpr const char* kPcuVersionTitle = "Version Info PCU";

} // namespace paneltext
