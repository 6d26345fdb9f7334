#include "mainwindow/ScreenSampler.h"

#include "x11/X11Requests.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace jov {

ScreenPoint PointerPosition()
{
    if (const std::optional<x11::Pointer> pointer = x11::QueryPointer())
        return {pointer->pos, pointer->screen};
    const QPoint logical = QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(logical);
    if (!screen)
        return {logical, 0};
    return {LogicalToDevice(logical, screen->geometry(), screen->devicePixelRatio()), 0};
}

std::optional<QColor> SamplePixel(const ScreenPoint &point)
{
    if (x11::Connection()) {
        if (!QRect(QPoint(0, 0), x11::RootSize(point.screen)).contains(point.pos))
            return std::nullopt;
        QImage pixel(1, 1, QImage::Format_RGB32);
        if (!x11::ReadRootPixels(point.screen, QRect(point.pos, QSize(1, 1)), pixel, QPoint(0, 0)))
            return std::nullopt;
        return pixel.pixelColor(0, 0);
    }
    QScreen *screen = ScreenAtDevice(point.pos);
    if (!screen)
        return std::nullopt;
    const QRect geometry = screen->geometry();
    const QPoint local =
        DeviceToLogical(point.pos, geometry, screen->devicePixelRatio()) - geometry.topLeft();
    const QImage pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
    if (pixel.isNull())
        return std::nullopt;
    return pixel.pixelColor(0, 0);
}

void WarpPointer(const ScreenPoint &point)
{
    if (x11::WarpPointer(point.screen, point.pos))
        return;
    QScreen *screen = ScreenAtDevice(point.pos);
    QCursor::setPos(screen
                        ? DeviceToLogical(point.pos, screen->geometry(), screen->devicePixelRatio())
                        : point.pos);
}

QString UnreadableScreenStatus(const ScreenPoint &point)
{
    if (x11::RootDecodable(point.screen))
        return QString();
    return QCoreApplication::translate("ScreenSampler", " Pipette : écran illisible");
}

QRect DeviceRectOf(const QWidget *widget, int *screenNumber)
{
    const QRect logical(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    if (screenNumber) {
        const QWidget *window = widget->window();
        *screenNumber = window->windowHandle() && window->internalWinId()
                            ? x11::ScreenOfWindow(xcb_window_t(window->internalWinId()))
                            : 0;
    }
    const QScreen *screen = widget->screen();
    if (!screen)
        return logical;
    return LogicalToDevice(logical, screen->geometry(), screen->devicePixelRatio());
}

} // namespace jov
