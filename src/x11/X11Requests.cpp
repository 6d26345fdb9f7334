#include "x11/X11Requests.h"

#include "x11/PixelDecoder.h"
#include "x11/RequestLine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <array>
#include <numeric>

#include <xcb/xcbext.h>

// Xlib last: its macros (None, Bool, Status, ...) would clash with Qt's headers.
#include <X11/Xlib.h>

namespace jov::x11 {

namespace {

QNativeInterface::QX11Application *X11Application()
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    return app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
}

const xcb_visualtype_t *VisualOf(const xcb_screen_t *screen, xcb_visualid_t visual)
{
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (auto v = xcb_depth_visuals_iterator(depths.data); v.rem; xcb_visualtype_next(&v)) {
            if (v.data->visual_id == visual)
                return v.data;
        }
    }
    return nullptr;
}

// How the pixels of a screen's root come in a GetImage reply; nothing when they cannot be
// decoded. A colour-mapped layout comes without its palette.
std::optional<PixelLayout> RootLayout(xcb_connection_t *connection, const xcb_screen_t *screen)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    PixelLayout layout;
    bool formatFound = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == screen->root_depth) {
            layout.bitsPerPixel = it.data->bits_per_pixel;
            layout.scanlinePad = it.data->scanline_pad;
            formatFound = true;
        }
    }
    const xcb_visualtype_t *visual = VisualOf(screen, screen->root_visual);
    if (!formatFound || !visual)
        return std::nullopt;
    layout.msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    switch (visual->_class) {
    case XCB_VISUAL_CLASS_TRUE_COLOR:
        layout.redMask = visual->red_mask;
        layout.greenMask = visual->green_mask;
        layout.blueMask = visual->blue_mask;
        break;
    case XCB_VISUAL_CLASS_PSEUDO_COLOR:
    case XCB_VISUAL_CLASS_STATIC_COLOR:
    case XCB_VISUAL_CLASS_GRAY_SCALE:
    case XCB_VISUAL_CLASS_STATIC_GRAY:
        layout.colormapped = true;
        break;
    default:
        // Direct colour: each channel goes through a colour map of its own.
        return std::nullopt;
    }
    if (!CanDecode(layout))
        return std::nullopt;
    return layout;
}

// The colours of the cells a QueryColors reply answers for, in the order asked.
QList<QRgb> Palette(xcb_query_colors_reply_t *reply)
{
    QList<QRgb> palette;
    if (!reply)
        return palette;
    const xcb_rgb_t *colors = xcb_query_colors_colors(reply);
    const int count = xcb_query_colors_colors_length(reply);
    palette.reserve(count);
    for (int i = 0; i < count; ++i)
        palette.append(qRgb(colors[i].red >> 8, colors[i].green >> 8, colors[i].blue >> 8));
    return palette;
}

// X screen number n of the display; null when there is none.
const xcb_screen_t *Screen(xcb_connection_t *connection, int n)
{
    if (!connection)
        return nullptr;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == n)
            return it.data;
    }
    return nullptr;
}

// The number of the X screen whose root this is; 0 when none.
int ScreenOfRoot(xcb_connection_t *connection, xcb_window_t root)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (it.data->root == root)
            return i;
    }
    return 0;
}

// Waits for the reply to a request already sent; one that is on the socket already is read
// without waiting for the socket first.
void *AwaitReply(xcb_connection_t *connection, unsigned int sequence, xcb_generic_error_t **error)
{
    void *reply = nullptr;
    if (xcb_poll_for_reply(connection, sequence, &reply, error))
        return reply;
    return xcb_wait_for_reply(connection, sequence, error);
}

} // namespace

xcb_connection_t *Connection()
{
    // Asked at every request, and the same for the application's whole life.
    static QPointer<QCoreApplication> asked;
    static xcb_connection_t *connection = nullptr;
    if (QCoreApplication *application = QCoreApplication::instance(); application != asked) {
        asked = application;
        QNativeInterface::QX11Application *x11 = X11Application();
        connection = x11 ? x11->connection() : nullptr;
    }
    return connection;
}

QByteArray DisplayName()
{
    QNativeInterface::QX11Application *x11 = X11Application();
    Display *display = x11 ? x11->display() : nullptr;
    return display ? QByteArray(DisplayString(display)) : QByteArray();
}

void Sync()
{
    if (xcb_connection_t *connection = Connection())
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

QList<QScreen *> QtScreensOf(int screen)
{
    QNativeInterface::QX11Application *x11 = X11Application();
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return QGuiApplication::screens();
    // Qt makes each X screen one virtual desktop, whose monitors are virtual siblings, in X
    // screen order, except that the primary monitor, on the display's default X screen, leads.
    QList<QList<QScreen *>> desktops;
    const QList<QScreen *> all = QGuiApplication::screens();
    for (QScreen *s : all) {
        if (std::none_of(desktops.cbegin(), desktops.cend(),
                         [s](const QList<QScreen *> &desktop) { return desktop.contains(s); }))
            desktops.append(s->virtualSiblings());
    }
    const int first = DefaultScreen(display);
    const qsizetype index = screen == first ? 0 : screen < first ? screen + 1 : screen;
    return desktops.value(index);
}

int ScreenOfWindow(xcb_window_t window)
{
    xcb_connection_t *connection = Connection();
    if (!connection || !window)
        return 0;
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return geometry ? ScreenOfRoot(connection, geometry->root) : 0;
}

QSize RootSize(int screen)
{
    const xcb_screen_t *s = Screen(Connection(), screen);
    return s ? QSize(s->width_in_pixels, s->height_in_pixels) : QSize();
}

std::optional<Pointer> QueryPointer()
{
    return PointerRequest().take();
}

PointerRequest::PointerRequest() : m_connection(RequestConnection())
{
    if (const xcb_screen_t *first = Screen(m_connection, 0)) {
        m_cookie = xcb_query_pointer(m_connection, first->root);
        // Sent now, with whatever was asked before it on the connection, and after what the
        // application asked on its own (a window moved off the pixels to read, say).
        if (xcb_connection_t *application = Connection(); application != m_connection)
            xcb_flush(application);
        xcb_flush(m_connection);
        m_pending = true;
    }
}

PointerRequest::~PointerRequest()
{
    if (m_pending)
        xcb_discard_reply(m_connection, m_cookie.sequence);
}

std::optional<Pointer> PointerRequest::take()
{
    if (!m_pending)
        return std::nullopt;
    m_pending = false;
    // The reply names the root of the screen the pointer is on, with its position there; the
    // mask is valid whichever screen that is.
    const Reply<xcb_query_pointer_reply_t> reply(static_cast<xcb_query_pointer_reply_t *>(
        AwaitReply(m_connection, m_cookie.sequence, nullptr)));
    if (!reply)
        return std::nullopt;
    return Pointer{QPoint(reply->root_x, reply->root_y), ScreenOfRoot(m_connection, reply->root),
                   reply->mask};
}

bool WarpPointer(int screen, QPoint pos)
{
    xcb_connection_t *connection = RequestConnection();
    const xcb_screen_t *s = Screen(connection, screen);
    if (!s)
        return false;
    xcb_warp_pointer(connection, XCB_NONE, s->root, 0, 0, 0, 0, int16_t(pos.x()), int16_t(pos.y()));
    xcb_flush(connection);
    return true;
}

RootPixelsRequest::RootPixelsRequest(int screen, QRect rect)
    : m_connection(RequestConnection()), m_screen(Screen(m_connection, screen)), m_rect(rect)
{
    if (m_screen)
        m_layout = RootLayout(m_connection, m_screen);
    if (!m_layout || rect.isEmpty())
        return;
    m_image =
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_screen->root, int16_t(rect.x()),
                      int16_t(rect.y()), uint16_t(rect.width()), uint16_t(rect.height()), ~0u);
    // The colour map is asked for at once, so both answers come in one round trip.
    if (m_layout->colormapped) {
        // An 8-bit pixel is one of at most 256 cells.
        std::array<uint32_t, 256> cells{};
        std::iota(cells.begin(), cells.end(), 0u);
        const xcb_visualtype_t *visual = VisualOf(m_screen, m_screen->root_visual);
        const auto count = uint32_t(std::min<int>(visual->colormap_entries, 256));
        m_colors = xcb_query_colors(m_connection, m_screen->default_colormap, count, cells.data());
    }
    m_pending = true;
}

RootPixelsRequest::~RootPixelsRequest()
{
    if (!m_pending)
        return;
    xcb_discard_reply(m_connection, m_image.sequence);
    if (m_layout->colormapped)
        xcb_discard_reply(m_connection, m_colors.sequence);
}

bool RootPixelsRequest::take(QImage &image, QPoint at)
{
    if (!m_pending)
        return false;
    m_pending = false;
    xcb_generic_error_t *error = nullptr;
    const Reply<xcb_get_image_reply_t> reply(
        static_cast<xcb_get_image_reply_t *>(AwaitReply(m_connection, m_image.sequence, &error)));
    std::free(error);
    if (m_layout->colormapped) {
        xcb_generic_error_t *colorsError = nullptr;
        const Reply<xcb_query_colors_reply_t> colors(
            xcb_query_colors_reply(m_connection, m_colors, &colorsError));
        std::free(colorsError);
        m_layout->palette = Palette(colors.get());
    }
    return reply && reply->depth == m_screen->root_depth &&
           DecodePixels(*m_layout, xcb_get_image_data(reply.get()),
                        std::size_t(xcb_get_image_data_length(reply.get())), m_rect.width(),
                        m_rect.height(), image, at);
}

bool ReadRootPixels(int screen, QRect rect, QImage &image, QPoint at)
{
    return RootPixelsRequest(screen, rect).take(image, at);
}

bool RootDecodable(int screen)
{
    xcb_connection_t *connection = Connection();
    const xcb_screen_t *s = Screen(connection, screen);
    return !s || RootLayout(connection, s).has_value();
}

} // namespace jov::x11
