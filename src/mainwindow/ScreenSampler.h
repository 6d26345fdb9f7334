#pragma once

#include "controls/DevicePixels.h"
#include "controls/ScreenBlock.h"

#include <QColor>

#include <optional>

class QWidget;

namespace jov {

// The screen as the pipette sees it, in device pixels end to end. On X11 each call is one
// request on the application's own connection (the pointer query tells which X screen the
// pointer is on; the pixel is read from that screen's root window); elsewhere they go through
// QCursor and Qt's screen grab.

// Where the pointer is.
ScreenPoint PointerPosition();
// The colour of one pixel; nothing when it cannot be read (outside its screen, say).
std::optional<QColor> SamplePixel(const ScreenPoint &point);
// Puts the pointer on that pixel.
void WarpPointer(const ScreenPoint &point);
// The loupe's block of pixels centred on a point, with one request; false elsewhere than X11
// or when no part of it lies on the point's screen.
bool ReadBlock(const ScreenPoint &point, ScreenBlock &block);

// The device pixels a widget covers on its screen, with that screen's number.
QRect DeviceRectOf(const QWidget *widget, int *screen = nullptr);

} // namespace jov
