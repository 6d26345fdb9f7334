#pragma once

#include "controls/DevicePixels.h"

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace jov {

// The screen as the pipette sees it, in device pixels end to end. On X11 each call is one
// request on the application's own connection (x11/X11Requests.h); elsewhere they go through
// QCursor and Qt's screen grab.

// Where the pointer is.
ScreenPoint PointerPosition();
// The colour of one pixel; nothing when it cannot be read (outside its screen, say).
std::optional<QColor> SamplePixel(const ScreenPoint &point);
// Puts the pointer on that pixel.
void WarpPointer(const ScreenPoint &point);
// Why no pixel of the point's screen can be read, as a short status message (leading blank);
// empty when they can.
QString UnreadableScreenStatus(const ScreenPoint &point);

// The device pixels a widget covers on its screen, with that screen's number.
QRect DeviceRectOf(const QWidget *widget, int *screen = nullptr);

} // namespace jov
