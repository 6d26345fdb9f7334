#include "hook/PointerState.h"

#include "hook/HookRecord.h"

#include <QCoreApplication>
#include <QGuiApplication>

// Xlib last: its macros (None, Bool, Status, ...) would clash with Qt's headers.
#include <X11/Xlib.h>

namespace jov {

namespace {

Display *ApplicationDisplay()
{
#if QT_CONFIG(xcb)
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
#else
    return nullptr;
#endif
}

} // namespace

QByteArray ApplicationDisplayName()
{
    Display *display = ApplicationDisplay();
    return display ? QByteArray(DisplayString(display)) : QByteArray();
}

TShiftState QueryPointerShiftState()
{
#if QT_CONFIG(xcb)
    Display *display = ApplicationDisplay();
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
