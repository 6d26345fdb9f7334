#pragma once

#include <QPoint>
#include <QRect>

class QScreen;

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

// Qt keeps a screen's top-left corner (`origin`) in device pixels and scales only what lies
// beyond it: a logical point p on a screen whose device-pixel ratio is `ratio` lies at
// origin + (p - origin) * ratio in device pixels, rounded to the nearest as Qt rounds. The
// origin is the same in both systems, so either the logical or the device geometry's
// top-left corner may be given.
QPoint LogicalToDevice(QPoint logical, QPoint origin, double ratio);
// The inverse, rounded to the nearest logical point the way Qt maps the pointer. Every device
// point that a logical point maps to comes back to that logical point; a device point between
// two logical ones (an odd one at ratio 2) has no logical point of its own.
QPoint DeviceToLogical(QPoint device, QPoint origin, double ratio);

inline QPoint LogicalToDevice(QPoint logical, const QRect &screenGeometry, double ratio)
{
    return LogicalToDevice(logical, screenGeometry.topLeft(), ratio);
}
inline QPoint DeviceToLogical(QPoint device, const QRect &screenGeometry, double ratio)
{
    return DeviceToLogical(device, screenGeometry.topLeft(), ratio);
}
// A logical rectangle on that screen as the device pixels it covers: its edges are scaled, so
// the rectangle covers the pixels that painting it fills.
QRect LogicalToDevice(const QRect &logical, const QRect &screenGeometry, double ratio);

// A screen's own rectangle in device pixels.
QRect DeviceGeometry(const QScreen *screen);
// The screen whose device rectangle holds a device point; null when none does.
QScreen *ScreenAtDevice(QPoint device);

} // namespace jov
