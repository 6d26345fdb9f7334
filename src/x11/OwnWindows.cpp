#include "x11/OwnWindows.h"

#include "x11/RequestLine.h"
#include "x11/X11Requests.h"

#include <QSysInfo>

#include <algorithm>
#include <cstring>

namespace jov::x11 {

namespace {

// A window's true-colour visual and its depth; null when it has another kind of visual, or when
// it cannot be told (one round trip).
const xcb_visualtype_t *TrueColorVisualOf(xcb_connection_t *connection, xcb_window_t window,
                                          uint8_t &depth)
{
    const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    if (!attributes)
        return nullptr;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         xcb_screen_next(&it)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(it.data); depths.rem;
             xcb_depth_next(&depths)) {
            for (auto v = xcb_depth_visuals_iterator(depths.data); v.rem; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == attributes->visual) {
                    depth = depths.data->depth;
                    return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR ? v.data : nullptr;
                }
            }
        }
    }
    return nullptr;
}

} // namespace

ColorPatch::ColorPatch(xcb_window_t parent, QRect rect, QRgb colour)
    : m_connection(RequestConnection())
{
    if (!m_connection || parent == XCB_NONE || rect.isEmpty())
        return;
    uint8_t depth = 0;
    const xcb_visualtype_t *visual = TrueColorVisualOf(m_connection, parent, depth);
    if (!visual)
        return;
    m_layout.redMask = visual->red_mask;
    m_layout.greenMask = visual->green_mask;
    m_layout.blueMask = visual->blue_mask;
    m_window = xcb_generate_id(m_connection);
    const uint32_t background = EncodePixel(m_layout, colour);
    // The parent's depth, visual and colour map; no event selected, so every event goes on to
    // the parent.
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, parent, int16_t(rect.x()),
                      int16_t(rect.y()), uint16_t(rect.width()), uint16_t(rect.height()), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL,
                      &background);
    xcb_map_window(m_connection, m_window);
    xcb_flush(m_connection);
}

ColorPatch::~ColorPatch()
{
    if (m_window == XCB_NONE)
        return;
    // Gone already with its parent, the error that comes back is dropped.
    xcb_destroy_window(m_connection, m_window);
    xcb_flush(m_connection);
}

void ColorPatch::setColor(QRgb colour)
{
    if (m_window == XCB_NONE)
        return;
    const uint32_t background = EncodePixel(m_layout, colour);
    xcb_change_window_attributes(m_connection, m_window, XCB_CW_BACK_PIXEL, &background);
    xcb_clear_area(m_connection, 0, m_window, 0, 0, 0, 0);
    xcb_flush(m_connection);
}

DirectWindow::DirectWindow(xcb_window_t window)
    : m_connection(RequestConnection()), m_window(window)
{
    if (!m_connection || window == XCB_NONE)
        return;
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    uint8_t depth = 0;
    const xcb_visualtype_t *visual = TrueColorVisualOf(m_connection, window, depth);
    bool fourBytes = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            fourBytes = it.data->bits_per_pixel == 32;
    }
    if (!visual || depth != 24 || !fourBytes || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0x00FF00 || visual->blue_mask != 0x0000FF ||
        setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
        QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return;
    m_gc = xcb_generate_id(m_connection);
    xcb_create_gc(m_connection, m_gc, window, 0, nullptr);
}

DirectWindow::~DirectWindow()
{
    if (m_gc != XCB_NONE) {
        xcb_free_gc(m_connection, m_gc);
        xcb_flush(m_connection);
    }
}

void DirectWindow::put(const QImage &image, QRect rect)
{
    rect &= image.rect();
    if (m_gc == XCB_NONE || rect.isEmpty() || image.format() != QImage::Format_RGB32)
        return;
    // The rows of the rectangle one after the other, in bands that any server takes in one
    // request.
    const auto rowBytes = qsizetype(rect.width()) * 4;
    const int band = std::max(1, int(65536 / rowBytes));
    for (int top = rect.top(); top <= rect.bottom(); top += band) {
        const int rows = std::min(band, rect.bottom() + 1 - top);
        m_rows.resize(rowBytes * rows);
        for (int y = 0; y < rows; ++y)
            std::memcpy(m_rows.data() + y * rowBytes, image.constScanLine(top + y) + rect.x() * 4,
                        std::size_t(rowBytes));
        xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_gc,
                      uint16_t(rect.width()), uint16_t(rows), int16_t(rect.x()), int16_t(top), 0,
                      24, uint32_t(m_rows.size()),
                      reinterpret_cast<const uint8_t *>(m_rows.constData()));
    }
    xcb_flush(m_connection);
}

void DirectWindow::move(QPoint pos)
{
    if (m_gc == XCB_NONE)
        return;
    const uint32_t values[] = {uint32_t(int32_t(pos.x())), uint32_t(int32_t(pos.y()))};
    xcb_configure_window(m_connection, m_window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(m_connection);
}

} // namespace jov::x11
