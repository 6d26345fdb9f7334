#include "color/SampleSquare.h"

#include <array>

namespace jov {

namespace {

// The sides the wheel steps through: small steps where a pixel more matters most.
constexpr std::array<int, 7> WheelSides{1, 3, 5, 7, 9, 11, 15};

} // namespace

int NextSampleSide(int side, int step)
{
    if (step > 0) {
        for (const int s : WheelSides)
            if (s > side)
                return s;
        return WheelSides.back();
    }
    if (step < 0) {
        for (auto it = WheelSides.rbegin(); it != WheelSides.rend(); ++it)
            if (*it < side)
                return *it;
        return WheelSides.front();
    }
    return side;
}

} // namespace jov
