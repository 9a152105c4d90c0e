#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

struct PanelState;

// The front panel's screens and their pages. A screen code carries the screen in its
// high bit (16 SHIP, 32 SATELLITE, 64 ANTENNA, 128 MODE) and the page in the bits below;
// 0 is no screen. This file says what each page polls and what it shows; the keys that
// move between pages are FrontPanelLogic's.
namespace screens {

enum class Screen { Ship, Satellite, Antenna, Mode };

inline constexpr int kNone = 0;
inline constexpr int kShip = 16, kShipLast = 19;
inline constexpr int kSatellite = 32, kSatelliteLast = 41;
inline constexpr int kAntenna = 64, kAntennaLast = 69;
inline constexpr int kMode = 128, kModeLast = 160;
inline constexpr int kAcuVersionPage = 129;
inline constexpr int kPcuVersionPage = 130;
inline constexpr int kSearchStatusPage = 131;
// SATELLITE pages from here read the skew and network identifier instead of the
// satellite longitude.
inline constexpr int kSatelliteLaterPages = 37;
// The LNB tone and voltage pages, which a 70 MHz receiver does not have.
inline constexpr int kTonePage = 37, kVoltagePage = 38;

int base(Screen screen);
// The screen a code belongs to; nothing for 0 or a code outside every screen.
std::optional<Screen> screenOf(int code);
// Line 0 when the screen's key first shows it.
QString title(Screen screen);
// Line 0 of a MODE page.
QString modeTitle(int code);

// What the page polls. Pages of a screen share a sequence except where noted.
QByteArray pollSequence(int code);

// The display lines a page writes after each good reply; an empty optional leaves the
// line as it is. The editing pages' value lines (SATELLITE 33..41, MODE 133..160) are
// written only while refreshValue is true, so that the value being typed stays put.
struct View {
    bool mhz70 = false;
    bool refreshValue = true;
};
using Lines = std::array<std::optional<QString>, 4>;
Lines pageLines(int code, const PanelState& state, const View& view);

// Texts of values the parser keeps as numbers.
// Satellite longitude from parameters h, i and j: "##0.0" and "E" or "W".
QString satelliteLongitude(const PanelState& state);
QString skewText(const PanelState& state);
QString networkIdText(const PanelState& state);
// "ON" while the unit reports its second search pattern.
bool search2(const PanelState& state);

} // namespace screens
