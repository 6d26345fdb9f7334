#pragma once

#include "color/ColorValue.h"

#include <array>

namespace jov {

// The sixteen custom slots, slot 1 first.
inline constexpr int SlotCount = 16;
using SlotColors = std::array<ColorRef, SlotCount>;
using SlotFlags = std::array<bool, SlotCount>;

// Which slots a clear-all or a gradient fills, slot 1 first: all sixteen, or, when the
// operation is asked to start at the selected slot and a selection was made, the marked slot and
// every slot to its right. `marked` is the index (0..15) of the slot carrying the mark, -1 when
// none does.
SlotFlags SlotsToFill(bool fromSelected, bool selectionMade, int marked);

// Every filled slot becomes white.
SlotColors ClearSlots(const SlotColors &colors, const SlotFlags &fill);

// The automatic lightness gradient of `current`: the first filled slot takes the colour through
// the 240-scale HSL round trip, and each next one gains lightness by L / divisor (computed once,
// truncated), capped at 240; hue and saturation stay. A divisor below 1 counts as 1, so a
// stored 0 cannot divide by zero.
SlotColors GradientSlots(const SlotColors &colors, const SlotFlags &fill, ColorRef current,
                         int divisor);

} // namespace jov
