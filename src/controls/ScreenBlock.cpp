#include "controls/ScreenBlock.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>

namespace jov {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

// How the server lays out a pixel of this depth, or 0 bits when it does not say.
xcb_format_t PixmapFormat(const xcb_setup_t *setup, uint8_t depth)
{
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            return *it.data;
    }
    return {};
}

// Whether the visual stores red, green and blue as the three low bytes of a pixel value.
bool IsPlainTrueColor(const xcb_screen_t *screen, xcb_visualid_t visual)
{
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (auto v = xcb_depth_visuals_iterator(depths.data); v.rem; xcb_visualtype_next(&v)) {
            if (v.data->visual_id == visual) {
                return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                       v.data->red_mask == 0xFF0000 && v.data->green_mask == 0x00FF00 &&
                       v.data->blue_mask == 0x0000FF;
            }
        }
    }
    return false;
}

const xcb_screen_t *ScreenOfRoot(const xcb_setup_t *setup, xcb_window_t root)
{
    for (auto it = xcb_setup_roots_iterator(setup); it.rem; xcb_screen_next(&it)) {
        if (it.data->root == root)
            return it.data;
    }
    return nullptr;
}

} // namespace

bool ReadScreenBlock(xcb_connection_t *connection, xcb_window_t root, QSize rootSize,
                     QPoint hotSpot, ScreenBlock &block)
{
    block.validCells = QRect();
    if (block.image.size() != QSize(LoupeBlockSide, LoupeBlockSide) ||
        block.image.format() != QImage::Format_RGB32)
        block.image = QImage(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
    block.image.fill(Qt::black);

    const QRect cells = LoupeValidCells(hotSpot, QRect(QPoint(0, 0), rootSize));
    if (cells.isEmpty() || !connection)
        return false;
    const QPoint first = LoupeBlockAround(hotSpot).topLeft() + cells.topLeft();
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(first.x()),
                      int16_t(first.y()), uint16_t(cells.width()), uint16_t(cells.height()), ~0u);
    xcb_generic_error_t *error = nullptr;
    const std::unique_ptr<xcb_get_image_reply_t, FreeDeleter> reply(
        xcb_get_image_reply(connection, cookie, &error));
    std::free(error);
    if (!reply)
        return false;

    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_screen_t *screen = ScreenOfRoot(setup, root);
    const xcb_format_t format = PixmapFormat(setup, reply->depth);
    const int bytesPerPixel = format.bits_per_pixel / 8;
    if (!screen || (reply->depth != 24 && reply->depth != 32) ||
        (format.bits_per_pixel != 24 && format.bits_per_pixel != 32) || format.scanline_pad < 8 ||
        !IsPlainTrueColor(screen, reply->visual))
        return false;
    const int pad = format.scanline_pad;
    const int stride = (cells.width() * format.bits_per_pixel + pad - 1) / pad * pad / 8;
    if (xcb_get_image_data_length(reply.get()) < stride * cells.height())
        return false;
    // Byte order of the pixel value: least significant byte first, or most significant first.
    const bool lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    const uint8_t *data = xcb_get_image_data(reply.get());
    for (int y = 0; y < cells.height(); ++y) {
        const uint8_t *in = data + std::size_t(y) * std::size_t(stride);
        auto *out = reinterpret_cast<QRgb *>(block.image.scanLine(cells.top() + y)) + cells.left();
        for (int x = 0; x < cells.width(); ++x, in += bytesPerPixel) {
            // The low three bytes of the value hold blue, green, red.
            const uint8_t *low = lsbFirst ? in : in + bytesPerPixel - 3;
            out[x] = lsbFirst ? qRgb(low[2], low[1], low[0]) : qRgb(low[0], low[1], low[2]);
        }
    }
    block.validCells = cells;
    return true;
}

bool ReadScreenBlockX11(QPoint hotSpot, ScreenBlock &block)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        block.validCells = QRect();
        return false;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) {
        block.validCells = QRect();
        return false;
    }
    return ReadScreenBlock(connection, screen->root,
                           QSize(screen->width_in_pixels, screen->height_in_pixels), hotSpot,
                           block);
}

} // namespace jov
