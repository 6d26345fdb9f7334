#pragma once

#include "x11/PixelDecoder.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <optional>

// The program's X11 requests, all to the running application's own display: which display
// and screens there are, where the pointer is, moving it, and the pixels of a root window
// decoded whatever the server's depth and layout. Without an X11 connection (another platform
// plugin, or no GUI application) every request answers "nothing".
namespace jov::x11 {

// An xcb reply or error, freed with free() as xcb asks.
struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

// The application's connection; null without one.
xcb_connection_t *Connection();
// The name of the display the application is on (as "-display" or DISPLAY gave it).
QByteArray DisplayName();

// Waits until the server has handled every request made so far on the application's
// connection (the requests of the pointer and pixels go on another one).
void Sync();

// Drawing on the screens, as the display tells it (the DAMAGE extension) on the connection of the
// pointer and pixel requests, so that a reader at rest can wait for news instead of reading
// again. WatchDrawing starts watching every root (true once it does; false, and nothing watched,
// where the display cannot tell); StopWatchingDrawing ends it.
bool WatchDrawing();
void StopWatchingDrawing();
// Drawing done before the next request on that connection (a pointer or pixel question) is
// forgotten; what is drawn after it is reported.
void ForgetDrawing();
// Whether drawing was reported since ForgetDrawing, from what has come in, without waiting; true
// while not watching.
bool DrawingReported();
// The socket on which reports come in, to wait on while asking nothing; -1 while not watching.
int DrawingSocket();

// A window of the program's own over part of another (`rect`, in device pixels of `parent`),
// whose colour is its background, which the server paints: a colour that changes at every tick
// shows without anything drawn. It takes no input (the events go on to `parent`). Made only
// where the parent's visual is true colour; elsewhere nothing is made (false).
class ColorPatch
{
public:
    ColorPatch(xcb_window_t parent, QRect rect, QRgb colour);
    ~ColorPatch();
    ColorPatch(const ColorPatch &) = delete;
    ColorPatch &operator=(const ColorPatch &) = delete;
    explicit operator bool() const { return m_window != XCB_NONE; }
    void setColor(QRgb colour);

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_window = XCB_NONE;
    PixelLayout m_layout;
};

// Paints into a window, and moves it, straight from the program, on the connection of the pointer
// and pixel requests: no round trip, nothing waited for, nothing Qt would answer. Only where the
// window's pixels are the usual 32-bit true colour (Format_RGB32's own layout); elsewhere nothing
// is made (false).
class DirectWindow
{
public:
    explicit DirectWindow(xcb_window_t window);
    ~DirectWindow();
    DirectWindow(const DirectWindow &) = delete;
    DirectWindow &operator=(const DirectWindow &) = delete;
    explicit operator bool() const { return m_gc != XCB_NONE; }
    // Puts `rect` of `image` (Format_RGB32, one pixel per device pixel of the window) at the same
    // place in the window.
    void put(const QImage &image, QRect rect);
    // Puts a top-level window's top-left corner at a point of its root.
    void move(QPoint pos);

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_window;
    xcb_gcontext_t m_gc = XCB_NONE;
    QByteArray m_rows;
};

// Qt's screens (monitors) of X screen n; every screen without X11.
QList<QScreen *> QtScreensOf(int screen);
// The number of the X screen a window is on; 0 when it cannot be told.
int ScreenOfWindow(xcb_window_t window);
// The size of X screen n's root window; empty when there is none.
QSize RootSize(int screen);

struct Pointer
{
    QPoint pos;        // on the root of its screen
    int screen = 0;    // the X screen the pointer is on
    uint16_t mask = 0; // buttons and modifiers held (X11 key-button mask)
};
// One pointer query.
std::optional<Pointer> QueryPointer();
// The same query sent now (with the requests made before it on the connection) and answered by
// take(), so that the round trip overlaps other work; a query not taken has its reply dropped.
class PointerRequest
{
public:
    PointerRequest();
    ~PointerRequest();
    PointerRequest(const PointerRequest &) = delete;
    PointerRequest &operator=(const PointerRequest &) = delete;
    // Waits for the answer; only once.
    std::optional<Pointer> take();

private:
    xcb_connection_t *m_connection;
    xcb_query_pointer_cookie_t m_cookie{};
    bool m_pending = false;
};
// Puts the pointer on a pixel of X screen n's root; false when there is no such screen.
bool WarpPointer(int screen, QPoint pos);

// Reads the rectangle `rect` of X screen n's root (kept on the root by the caller) with one
// GetImage request and writes its colours into `image` (Format_RGB32) with its first pixel at
// `at`. A screen with a colour map has it read in the same round trip. False, writing nothing,
// without X11 or such a screen, when the server refuses, or when the screen's visual keeps its
// colours in a way that cannot be decoded (RootDecodable).
bool ReadRootPixels(int screen, QRect rect, QImage &image, QPoint at);
// The same read sent now and answered by take(), so that later requests (a pointer query) share
// its round trip; a request not taken has its replies dropped.
class RootPixelsRequest
{
public:
    RootPixelsRequest(int screen, QRect rect);
    ~RootPixelsRequest();
    RootPixelsRequest(const RootPixelsRequest &) = delete;
    RootPixelsRequest &operator=(const RootPixelsRequest &) = delete;
    // Waits for the answer and decodes it, as ReadRootPixels; only once.
    bool take(QImage &image, QPoint at);

private:
    xcb_connection_t *m_connection;
    const xcb_screen_t *m_screen;
    QRect m_rect;
    std::optional<PixelLayout> m_layout;
    xcb_get_image_cookie_t m_image{};
    xcb_query_colors_cookie_t m_colors{};
    bool m_pending = false;
};
// Whether the pixels of X screen n's root can be decoded at all (true without X11).
bool RootDecodable(int screen);

} // namespace jov::x11
