#include "controls/DevicePixels.h"

#include <cmath>

namespace jov {

namespace {

int Scaled(int origin, int offset, double ratio)
{
    return origin + int(std::lround(double(offset) * ratio));
}

} // namespace

QPoint LogicalToDevice(QPoint logical, const QRect &screenGeometry, double ratio)
{
    const QPoint origin = screenGeometry.topLeft();
    return QPoint(Scaled(origin.x(), logical.x() - origin.x(), ratio),
                  Scaled(origin.y(), logical.y() - origin.y(), ratio));
}

QPoint DeviceToLogical(QPoint device, const QRect &screenGeometry, double ratio)
{
    if (ratio <= 0)
        return device;
    const QPoint origin = screenGeometry.topLeft();
    return QPoint(Scaled(origin.x(), device.x() - origin.x(), 1.0 / ratio),
                  Scaled(origin.y(), device.y() - origin.y(), 1.0 / ratio));
}

QRect LogicalToDevice(const QRect &logical, const QRect &screenGeometry, double ratio)
{
    // Edges, not pixels: the right and bottom edges lie one logical pixel past the last one.
    const QPoint topLeft = LogicalToDevice(logical.topLeft(), screenGeometry, ratio);
    const QPoint pastEnd =
        LogicalToDevice(logical.bottomRight() + QPoint(1, 1), screenGeometry, ratio);
    return QRect(topLeft, pastEnd - QPoint(1, 1));
}

} // namespace jov
