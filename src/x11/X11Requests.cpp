#include "x11/X11Requests.h"

#include "x11/PixelDecoder.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <vector>

#include <xcb/damage.h>
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

namespace {

// Waits for the reply to a request already sent; one that is on the socket already is read
// without waiting for the socket first.
void *AwaitReply(xcb_connection_t *connection, unsigned int sequence, xcb_generic_error_t **error)
{
    void *reply = nullptr;
    if (xcb_poll_for_reply(connection, sequence, &reply, error))
        return reply;
    return xcb_wait_for_reply(connection, sequence, error);
}

// The pointer and pixel requests go on a connection of their own to the application's display,
// read by the thread that asks. On the application's connection every reply is read by Qt's event
// thread and handed over, which doubles the wake-ups of a sampling tick. Opened at the first
// request, closed at exit; the application's connection when it cannot be opened.
//
// It also tells of drawing on the roots (the DAMAGE extension, while watched): one report when
// something is drawn after the requests that forgot the drawing so far.
class RequestLine
{
public:
    ~RequestLine()
    {
        if (m_own)
            xcb_disconnect(m_own);
    }
    xcb_connection_t *get()
    {
        xcb_connection_t *application = Connection();
        if (!application)
            return nullptr;
        if (!m_tried) {
            m_tried = true;
            xcb_connection_t *own = xcb_connect(DisplayName().constData(), nullptr);
            if (xcb_connection_has_error(own))
                xcb_disconnect(own);
            else
                m_own = own;
        }
        if (m_own) {
            // Only the reports of drawing, and the errors of requests without a reply (a warp
            // to a root that went away), queue up.
            while (xcb_generic_event_t *event = xcb_poll_for_queued_event(m_own))
                note(event);
            return m_own;
        }
        return application;
    }

    bool watch()
    {
        if (!m_damages.empty())
            return true;
        xcb_connection_t *connection = get();
        if (!connection || connection != m_own)
            return false;
        const xcb_query_extension_reply_t *damage = xcb_get_extension_data(m_own, &xcb_damage_id);
        if (!damage || !damage->present)
            return false;
        // The version must be agreed before any other request of the extension.
        const Reply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
            m_own,
            xcb_damage_query_version(m_own, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        if (!version)
            return false;
        m_notify = uint8_t(damage->first_event + XCB_DAMAGE_NOTIFY);
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(m_own)); it.rem;
             xcb_screen_next(&it)) {
            m_damages.push_back(xcb_generate_id(m_own));
            xcb_damage_create(m_own, m_damages.back(), it.data->root,
                              XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        }
        xcb_flush(m_own);
        m_drawn = true; // nothing forgotten yet
        return true;
    }
    void unwatch()
    {
        if (m_damages.empty())
            return;
        for (const xcb_damage_damage_t damage : m_damages)
            xcb_damage_destroy(m_own, damage);
        m_damages.clear();
        xcb_flush(m_own);
    }
    // Sent with the next request.
    void forget()
    {
        for (const xcb_damage_damage_t damage : m_damages)
            m_forgotten = xcb_damage_subtract(m_own, damage, XCB_NONE, XCB_NONE).sequence;
        m_drawn = false;
    }
    bool drawn()
    {
        if (m_damages.empty())
            return true;
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_own))
            note(event);
        return m_drawn;
    }
    int socket() const { return m_damages.empty() ? -1 : xcb_get_file_descriptor(m_own); }

private:
    // A report made before the last forgetting (it carries the number of the last request the
    // server had handled then, of which it keeps 16 bits) is old news: at creation each watch
    // reports its whole root.
    void note(xcb_generic_event_t *event)
    {
        if (!m_damages.empty() && (event->response_type & 0x7F) == m_notify &&
            int16_t(uint16_t(event->sequence - uint16_t(m_forgotten))) >= 0)
            m_drawn = true;
        std::free(event);
    }

    xcb_connection_t *m_own = nullptr;
    bool m_tried = false;
    std::vector<xcb_damage_damage_t> m_damages;
    uint8_t m_notify = 0;
    unsigned int m_forgotten = 0;
    bool m_drawn = true;
};

RequestLine &Line()
{
    static RequestLine line;
    return line;
}

xcb_connection_t *RequestConnection()
{
    return Line().get();
}

} // namespace

QByteArray DisplayName()
{
    QNativeInterface::QX11Application *x11 = X11Application();
    Display *display = x11 ? x11->display() : nullptr;
    return display ? QByteArray(DisplayString(display)) : QByteArray();
}

bool WatchDrawing()
{
    return Line().watch();
}

void StopWatchingDrawing()
{
    Line().unwatch();
}

void ForgetDrawing()
{
    Line().forget();
}

bool DrawingReported()
{
    return Line().drawn();
}

int DrawingSocket()
{
    return Line().socket();
}

void Sync()
{
    if (xcb_connection_t *connection = Connection())
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

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
