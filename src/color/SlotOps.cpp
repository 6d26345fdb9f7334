#include "color/SlotOps.h"

#include "color/HSLUtils.h"

#include <cstddef>

namespace jov {

SlotFlags SlotsToFill(bool fromSelected, bool selectionMade, int marked)
{
    SlotFlags fill{};
    bool started = !(fromSelected && selectionMade);
    for (int i = 0; i < SlotCount; ++i) {
        if (!started && i != marked)
            continue;
        started = true;
        fill[std::size_t(i)] = true;
    }
    return fill;
}

SlotColors ClearSlots(const SlotColors &colors, const SlotFlags &fill)
{
    SlotColors result = colors;
    for (std::size_t i = 0; i < SlotCount; ++i)
        if (fill[i])
            result[i] = clWhite;
    return result;
}

SlotColors GradientSlots(const SlotColors &colors, const SlotFlags &fill, ColorRef current,
                         int divisor)
{
    const HslScaledColor hsl = ColorToHslScaled(current);
    int lightness = hsl.L;
    const int step = lightness / (divisor < 1 ? 1 : divisor);
    SlotColors result = colors;
    for (std::size_t i = 0; i < SlotCount; ++i) {
        if (!fill[i])
            continue;
        result[i] = HslScaledToColor(hsl.H, hsl.S, lightness);
        lightness = lightness + step > HslScale ? HslScale : lightness + step;
    }
    return result;
}

} // namespace jov
