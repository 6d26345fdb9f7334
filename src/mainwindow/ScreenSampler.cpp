#include "mainwindow/ScreenSampler.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <xcb/xcb.h>

#include <cstdlib>

namespace jov {

namespace {

std::optional<QColor> SampleX11(xcb_connection_t *connection, const QPoint &native)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen || native.x() < 0 || native.y() < 0 || native.x() >= screen->width_in_pixels ||
        native.y() >= screen->height_in_pixels)
        return std::nullopt;
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, qint16(native.x()),
                      qint16(native.y()), 1, 1, ~0u);
    xcb_generic_error_t *error = nullptr;
    xcb_get_image_reply_t *reply = xcb_get_image_reply(connection, cookie, &error);
    std::free(error);
    if (!reply)
        return std::nullopt;
    std::optional<QColor> color;
    // A 24-bit true-colour root stores a pixel as blue, green, red (and padding) bytes.
    if ((reply->depth == 24 || reply->depth == 32) && xcb_get_image_data_length(reply) >= 3) {
        const uint8_t *data = xcb_get_image_data(reply);
        color = QColor(data[2], data[1], data[0]);
    }
    std::free(reply);
    return color;
}

std::optional<QColor> SampleByGrab(const QPoint &point)
{
    QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        return std::nullopt;
    const QPoint local = point - screen->geometry().topLeft();
    const QImage pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
    if (pixel.isNull())
        return std::nullopt;
    return pixel.pixelColor(0, 0);
}

xcb_connection_t *X11Connection()
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

QPoint ScreenCursorPos()
{
    if (xcb_connection_t *connection = X11Connection()) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        if (screen) {
            xcb_query_pointer_reply_t *reply = xcb_query_pointer_reply(
                connection, xcb_query_pointer(connection, screen->root), nullptr);
            if (reply) {
                const QPointF native(reply->root_x, reply->root_y);
                std::free(reply);
                return (native / qApp->devicePixelRatio()).toPoint();
            }
        }
    }
    return QCursor::pos();
}

std::optional<QColor> SampleScreenPixel(const QPoint &point)
{
    if (xcb_connection_t *connection = X11Connection()) {
        const QPoint native = (QPointF(point) * qApp->devicePixelRatio()).toPoint();
        if (const std::optional<QColor> color = SampleX11(connection, native))
            return color;
    }
    return SampleByGrab(point);
}

} // namespace jov
