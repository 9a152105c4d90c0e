#pragma once

// Window sizes and places given in twips, as the units' documentation gives them, turn
// into pixels at 15 twips to a pixel (96 dpi); Qt scales pixels by the screen's ratio.
inline constexpr int kTwipsPerPixel = 15;
