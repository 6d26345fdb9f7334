#pragma once

#include <QPoint>

namespace jov {

// Where a dialog's frame goes to lie over the main window's settings group box: two pixels
// inside the box's top-left corner in screen coordinates, which already counts the main
// window's title bar and frame as the window manager draws them.
inline QPoint DialogTopLeftOverBox(QPoint boxTopLeft)
{
    return boxTopLeft + QPoint(2, 2);
}

} // namespace jov
