#include "mainwindow/ScreenSampler.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace jov {

namespace {

// An xcb reply, freed with free() as xcb asks.
template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> XcbReply<T> Owned(T *reply)
{
    return XcbReply<T>(reply, &std::free);
}

xcb_connection_t *X11Connection()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Screen number `n` of the display; null when there is none.
const xcb_screen_t *X11Screen(xcb_connection_t *connection, int n)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == n)
            return it.data;
    }
    return nullptr;
}

int X11ScreenOfRoot(xcb_connection_t *connection, xcb_window_t root)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (it.data->root == root)
            return i;
    }
    return 0;
}

} // namespace

ScreenPoint PointerPosition()
{
    if (xcb_connection_t *connection = X11Connection()) {
        if (const xcb_screen_t *screen = X11Screen(connection, 0)) {
            // The reply names the root of the screen the pointer is on, with its position there.
            const auto reply = Owned(xcb_query_pointer_reply(
                connection, xcb_query_pointer(connection, screen->root), nullptr));
            if (reply)
                return {QPoint(reply->root_x, reply->root_y),
                        X11ScreenOfRoot(connection, reply->root)};
        }
    }
    const QPoint logical = QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(logical);
    if (!screen)
        return {logical, 0};
    return {LogicalToDevice(logical, screen->geometry(), screen->devicePixelRatio()), 0};
}

std::optional<QColor> SamplePixel(const ScreenPoint &point)
{
    if (xcb_connection_t *connection = X11Connection()) {
        const xcb_screen_t *screen = X11Screen(connection, point.screen);
        const QPoint p = point.pos;
        if (!screen || p.x() < 0 || p.y() < 0 || p.x() >= screen->width_in_pixels ||
            p.y() >= screen->height_in_pixels)
            return std::nullopt;
        const xcb_get_image_cookie_t cookie =
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, qint16(p.x()),
                          qint16(p.y()), 1, 1, ~0u);
        xcb_generic_error_t *error = nullptr;
        const auto reply = Owned(xcb_get_image_reply(connection, cookie, &error));
        std::free(error);
        // A 24-bit true-colour root stores a pixel as blue, green, red (and padding) bytes.
        if (!reply || (reply->depth != 24 && reply->depth != 32) ||
            xcb_get_image_data_length(reply.get()) < 3)
            return std::nullopt;
        const uint8_t *data = xcb_get_image_data(reply.get());
        return QColor(data[2], data[1], data[0]);
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
    if (xcb_connection_t *connection = X11Connection()) {
        if (const xcb_screen_t *screen = X11Screen(connection, point.screen)) {
            xcb_warp_pointer(connection, XCB_NONE, screen->root, 0, 0, 0, 0, qint16(point.pos.x()),
                             qint16(point.pos.y()));
            xcb_flush(connection);
            return;
        }
    }
    QScreen *screen = ScreenAtDevice(point.pos);
    QCursor::setPos(screen
                        ? DeviceToLogical(point.pos, screen->geometry(), screen->devicePixelRatio())
                        : point.pos);
}

bool ReadBlock(const ScreenPoint &point, ScreenBlock &block)
{
    xcb_connection_t *connection = X11Connection();
    const xcb_screen_t *screen = connection ? X11Screen(connection, point.screen) : nullptr;
    if (!screen)
        return false;
    return ReadScreenBlock(connection, screen->root,
                           QSize(screen->width_in_pixels, screen->height_in_pixels), point.pos,
                           block);
}

QRect DeviceRectOf(const QWidget *widget, int *screenNumber)
{
    const QRect logical(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    if (screenNumber) {
        *screenNumber = 0;
        xcb_connection_t *connection = X11Connection();
        const QWidget *window = widget->window();
        if (connection && window->windowHandle() && window->internalWinId()) {
            const auto geometry = Owned(xcb_get_geometry_reply(
                connection, xcb_get_geometry(connection, xcb_drawable_t(window->internalWinId())),
                nullptr));
            if (geometry)
                *screenNumber = X11ScreenOfRoot(connection, geometry->root);
        }
    }
    const QScreen *screen = widget->screen();
    if (!screen)
        return logical;
    return LogicalToDevice(logical, screen->geometry(), screen->devicePixelRatio());
}

} // namespace jov
