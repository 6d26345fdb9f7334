#include "hook/PointerState.h"

#include "hook/HookRecord.h"

#include <QCoreApplication>
#include <QGuiApplication>

// Xlib last: its macros (None, Bool, Status, ...) would clash with Qt's headers.
#include <X11/Xlib.h>

namespace jov {

TShiftState QueryPointerShiftState()
{
#if QT_CONFIG(xcb)
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app)
        return {};
    auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return {};
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    // The mask is valid even when the pointer is on another screen than the root asked about.
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY,
                  &mask);
    return ShiftFromX11Mask(mask);
#else
    return {};
#endif
}

} // namespace jov
