#pragma once

#include <QColor>
#include <QPoint>

#include <optional>

namespace jov {

// The colour of one screen pixel at a point in the desktop's logical coordinates; nothing when it
// cannot be read (outside every screen, say). On X11 it asks the server for that one pixel of
// the root window, with the error coming back as a reply rather than through a global handler;
// elsewhere it goes through Qt's screen grab.
std::optional<QColor> SampleScreenPixel(const QPoint &point);

// The mouse cursor's position in the desktop's logical coordinates. On X11 it is one query to
// the server, several times cheaper than QCursor::pos(), which matters at 100 reads a second.
QPoint ScreenCursorPos();

} // namespace jov
