#pragma once

#include <QtGlobal>

namespace jov {

// The pipette can take the mean of a square of device pixels centred on the hot spot instead
// of the one pixel under it: photos, dithered pictures and anti-aliased edges differ from pixel
// to pixel. A side is odd, from 1 (the pixel alone) to MaxSampleSide.
inline constexpr int MaxSampleSide = 15;
inline constexpr int DefaultSampleSide = 1;

// Whether `side` is a side a square may have: odd, 1 to MaxSampleSide.
constexpr bool IsSampleSide(int side)
{
    return side >= 1 && side <= MaxSampleSide && side % 2 == 1;
}

// The side the wheel or the + and - keys go to from `side`: the next of 1, 3, 5, 7, 9, 11, 15
// upwards (step > 0) or downwards (step < 0), staying at either end. A side between two steps
// (13, say, given on the command line) goes to its neighbour on that list.
int NextSampleSide(int side, int step);

// The mean of n values whose sum is `sum`, rounded half up, in integers: (sum + n / 2) / n.
// 0 when n is 0.
constexpr int RoundedMean(qint64 sum, qint64 n)
{
    return n > 0 ? int((sum + n / 2) / n) : 0;
}

} // namespace jov
