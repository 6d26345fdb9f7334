#pragma once

#include "color/ColorValue.h"

namespace jov {

// Scale of the integer saturation and lightness (0..HslScale). The integer hue runs 0..HslScale-1
// and is scaled by HslScale - 1, so 239 stands for a full turn.
inline constexpr int HslScale = 240;

// Hue in [0, 1), saturation and lightness in [0, 1].
struct HslColor
{
    double H = 0.0;
    double S = 0.0;
    double L = 0.0;
};

// Hue 0..239, saturation and lightness 0..240.
struct HslScaledColor
{
    int H = 0;
    int S = 0;
    int L = 0;

    friend bool operator==(const HslScaledColor &, const HslScaledColor &) = default;
};

// A colour as fractional hue, saturation and lightness. Greys give H = S = 0.
HslColor ColorToHsl(ColorRef color);

// Rebuilds a colour; every channel is rounded to nearest with ties to even and cut to 8 bits.
ColorRef HslToColor(double h, double s, double l);

// ColorToHsl scaled to integers: H * 239, S * 240 and L * 240, rounded with ties to even.
HslScaledColor ColorToHslScaled(ColorRef color);

// HslToColor(h / 239, s / 240, l / 240).
ColorRef HslScaledToColor(int h, int s, int l);

} // namespace jov
