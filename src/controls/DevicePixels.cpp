#include "controls/DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace jov {

namespace {

int Scaled(int origin, int offset, double ratio)
{
    return origin + int(std::lround(double(offset) * ratio));
}

int Unscaled(int origin, int offset, double ratio)
{
    return origin + int(std::lround(double(offset) / ratio));
}

} // namespace

QPoint LogicalToDevice(QPoint logical, QPoint origin, double ratio)
{
    return QPoint(Scaled(origin.x(), logical.x() - origin.x(), ratio),
                  Scaled(origin.y(), logical.y() - origin.y(), ratio));
}

QPoint DeviceToLogical(QPoint device, QPoint origin, double ratio)
{
    if (ratio <= 0)
        return device;
    return QPoint(Unscaled(origin.x(), device.x() - origin.x(), ratio),
                  Unscaled(origin.y(), device.y() - origin.y(), ratio));
}

QRect LogicalToDevice(const QRect &logical, const QRect &screenGeometry, double ratio)
{
    // Edges, not pixels: the right and bottom edges lie one logical pixel past the last one.
    const QPoint topLeft = LogicalToDevice(logical.topLeft(), screenGeometry, ratio);
    const QPoint pastEnd =
        LogicalToDevice(logical.bottomRight() + QPoint(1, 1), screenGeometry, ratio);
    return QRect(topLeft, pastEnd - QPoint(1, 1));
}

QRect DeviceGeometry(const QScreen *screen)
{
    const QRect logical = screen->geometry();
    return LogicalToDevice(logical, logical, screen->devicePixelRatio());
}

QScreen *ScreenAtDevice(QPoint device)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (DeviceGeometry(screen).contains(device))
            return screen;
    }
    return nullptr;
}

} // namespace jov
