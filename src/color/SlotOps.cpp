#include "color/SlotOps.h"

#include "color/HSLUtils.h"

#include <cstddef>

namespace jov {

std::array<bool, 16> SlotsToFill(bool fromSelected, bool selectionMade, int marked)
{
    std::array<bool, 16> fill{};
    bool started = !(fromSelected && selectionMade);
    for (int i = 0; i < 16; ++i) {
        if (!started && i != marked)
            continue;
        started = true;
        fill[std::size_t(i)] = true;
    }
    return fill;
}

SlotColors ClearSlots(const SlotColors &colors, const std::array<bool, 16> &fill)
{
    SlotColors result = colors;
    for (std::size_t i = 0; i < 16; ++i)
        if (fill[i])
            result[i] = clWhite;
    return result;
}

SlotColors GradientSlots(const SlotColors &colors, const std::array<bool, 16> &fill,
                         ColorRef current, int divisor)
{
    const HslScaledColor hsl = ColorToHslScaled(current);
    int lightness = hsl.L;
    const int step = lightness / (divisor < 1 ? 1 : divisor);
    SlotColors result = colors;
    for (std::size_t i = 0; i < 16; ++i) {
        if (!fill[i])
            continue;
        result[i] = HslScaledToColor(hsl.H, hsl.S, lightness);
        lightness = lightness + step > HslScale ? HslScale : lightness + step;
    }
    return result;
}

} // namespace jov
