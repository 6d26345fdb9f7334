#pragma once

#include "x11/PixelDecoder.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <xcb/xcb.h>

// Windows the program paints without Qt, on the connection of the pointer and pixel requests.
namespace jov::x11 {

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

} // namespace jov::x11
