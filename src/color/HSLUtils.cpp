#include "color/HSLUtils.h"

#include <algorithm>
#include <cmath>

namespace jov {

namespace {

// Round to nearest, ties to even (the default floating-point rounding mode). llrint never has
// undefined behaviour on out-of-range or NaN input, unlike a cast of nearbyint's result.
long long RoundEven(double x)
{
    return std::llrint(x);
}

int ChannelOf(double v)
{
    return int(RoundEven(255.0 * v) & 0xFF);
}

} // namespace

HslColor ColorToHsl(ColorRef color)
{
    const double r = RedOf(color) / 255.0;
    const double g = GreenOf(color) / 255.0;
    const double b = BlueOf(color) / 255.0;
    const double cmax = std::max({r, g, b});
    const double cmin = std::min({r, g, b});

    HslColor hsl;
    hsl.L = (cmax + cmin) / 2.0;
    if (cmax == cmin)
        return hsl;

    const double d = cmax - cmin;
    hsl.S = hsl.L < 0.5 ? d / (cmax + cmin) : d / (2.0 - cmax - cmin);

    // When two channels share the maximum the first test decides, red before green.
    double h;
    if (r == cmax)
        h = (g - b) / d;
    else if (g == cmax)
        h = 2.0 + (b - r) / d;
    else
        h = 4.0 + (r - g) / d;
    h /= 6.0;
    if (h < 0.0)
        h += 1.0;
    hsl.H = h;
    return hsl;
}

ColorRef HslToColor(double h, double s, double l)
{
    if (s == 0.0) {
        const int grey = ChannelOf(l);
        return MakeColor(grey, grey, grey);
    }

    const double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double m1 = 2.0 * l - m2;

    // One wrap only: the callers pass hues at most a third of a turn outside [0, 1].
    const auto hueToChannel = [m1, m2](double hue) {
        if (hue < 0.0)
            hue += 1.0;
        else if (hue > 1.0)
            hue -= 1.0;
        double v;
        if (6.0 * hue < 1.0)
            v = m1 + (m2 - m1) * hue * 6.0;
        else if (2.0 * hue < 1.0)
            v = m2;
        else if (3.0 * hue < 2.0)
            v = m1 + (m2 - m1) * (2.0 / 3.0 - hue) * 6.0;
        else
            v = m1;
        return ChannelOf(v);
    };

    return MakeColor(hueToChannel(h + 1.0 / 3.0), hueToChannel(h), hueToChannel(h - 1.0 / 3.0));
}

HslScaledColor ColorToHslScaled(ColorRef color)
{
    const HslColor hsl = ColorToHsl(color);
    HslScaledColor scaled;
    scaled.H = int(RoundEven(hsl.H * (HslScale - 1)));
    scaled.S = int(RoundEven(hsl.S * HslScale));
    scaled.L = int(RoundEven(hsl.L * HslScale));
    return scaled;
}

ColorRef HslScaledToColor(int h, int s, int l)
{
    return HslToColor(double(h) / (HslScale - 1), double(s) / HslScale, double(l) / HslScale);
}

} // namespace jov
