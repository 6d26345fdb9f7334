#include "hook/PointerState.h"

#include "hook/HookRecord.h"
#include "x11/X11Requests.h"

namespace jov {

TShiftState QueryPointerShiftState()
{
    const std::optional<x11::Pointer> pointer = x11::QueryPointer();
    return pointer ? ShiftFromX11Mask(pointer->mask) : TShiftState();
}

} // namespace jov
