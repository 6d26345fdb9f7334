#pragma once

#include "hook/HookEvents.h"

namespace jov {

// The mouse buttons, Ctrl and Alt held right now, asked of the display server through the
// application's own X11 connection; empty where there is no such connection (another platform
// plugin, or no GUI application).
TShiftState QueryPointerShiftState();

} // namespace jov
