#pragma once

#include <QPoint>
#include <QRect>

namespace jov {

// A point in device (physical) pixels on one screen of the display: on X11 `screen` is the X
// screen number and `pos` is relative to that screen's root window; elsewhere `screen` is 0
// and `pos` is in the desktop's device pixels.
struct ScreenPoint
{
    QPoint pos;
    int screen = 0;

    bool operator==(const ScreenPoint &) const = default;
};

// Qt keeps a screen's top-left corner in device pixels and scales only what lies beyond it:
// a logical point p on a screen whose geometry is `screenGeometry` (logical) and whose
// device-pixel ratio is `ratio` lies at topLeft + (p - topLeft) * ratio in device pixels.
// The device pixel that holds a logical point is the one its top-left corner falls in.
QPoint LogicalToDevice(QPoint logical, const QRect &screenGeometry, double ratio);
// The inverse: the logical point whose device pixel holds `device` (rounded to nearest; a
// device point between two logical ones at a ratio above 1 has no logical point of its own).
QPoint DeviceToLogical(QPoint device, const QRect &screenGeometry, double ratio);
// A logical rectangle on that screen as the device pixels it covers.
QRect LogicalToDevice(const QRect &logical, const QRect &screenGeometry, double ratio);

} // namespace jov
