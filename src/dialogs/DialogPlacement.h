#pragma once

#include <QPoint>

namespace jov {

// Where a dialog's frame goes so that it lies over the main window's settings group box:
// two pixels inside the box's top-left corner, given that corner in screen coordinates
// (BoxReglage->mapToGlobal(QPoint(0, 0))).
//
// The box's screen position already holds the main window's top, the height of its title bar
// and of its top frame (the difference between the frame geometry and the client geometry
// that the window manager reports), and the box's own top in the client area, which is what
// the small caption height plus the frame height stand for on Windows. Horizontally the
// window's side border is counted in as well, a pixel or two on the usual window managers.
inline QPoint DialogTopLeftOverBox(QPoint boxTopLeft)
{
    return boxTopLeft + QPoint(2, 2);
}

} // namespace jov
