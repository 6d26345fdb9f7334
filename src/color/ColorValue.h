#pragma once

#include <cstdint>

namespace jov {

// A colour value in COLORREF byte order, 0x00BBGGRR: red + green * 256 + blue * 65536.
using ColorRef = std::uint32_t;

inline constexpr ColorRef clWhite = 0x00FFFFFF;
inline constexpr ColorRef clBlack = 0x00000000;

constexpr int RedOf(ColorRef c)
{
    return int(c & 0xFF);
}
constexpr int GreenOf(ColorRef c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int BlueOf(ColorRef c)
{
    return int((c >> 16) & 0xFF);
}

// Each channel is cut to its low 8 bits, as the channel fields may hold out-of-range values.
constexpr ColorRef MakeColor(int red, int green, int blue)
{
    return ColorRef(red & 0xFF) | (ColorRef(green & 0xFF) << 8) | (ColorRef(blue & 0xFF) << 16);
}

// Bevel colours of the colour button: each channel 64 lighter (capped at 255) or darker (floored
// at 0).
constexpr ColorRef LightenColor(ColorRef c)
{
    auto up = [](int v) { return v + 64 > 255 ? 255 : v + 64; };
    return MakeColor(up(RedOf(c)), up(GreenOf(c)), up(BlueOf(c)));
}

constexpr ColorRef DarkenColor(ColorRef c)
{
    auto down = [](int v) { return v - 64 < 0 ? 0 : v - 64; };
    return MakeColor(down(RedOf(c)), down(GreenOf(c)), down(BlueOf(c)));
}

// Nearest of the web-safe values 0, 51, ..., 255: remainders 0..25 go down, 26..50 go up.
// The caller clamps the result to 0..255 (a value above 255 may round past it).
constexpr int WebSafeRound(int v)
{
    const int r = v % 51;
    return r > 25 ? v - r + 51 : v - r;
}

} // namespace jov
