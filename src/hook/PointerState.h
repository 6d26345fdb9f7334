#pragma once

#include "hook/HookEvents.h"

#include <QByteArray>

namespace jov {

// The mouse buttons, Ctrl and Alt held right now, asked of the display server through the
// application's own X11 connection; empty where there is no such connection (another platform
// plugin, or no GUI application).
TShiftState QueryPointerShiftState();

// The name of the X display the application's windows are on (as "-display" or DISPLAY gave
// it); empty where there is no X11 connection.
QByteArray ApplicationDisplayName();

} // namespace jov
