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
