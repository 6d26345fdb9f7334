#pragma once

#include <xcb/xcb.h>

// The connection of the pointer and pixel requests, and what it tells besides their answers.
namespace jov::x11 {

// A connection of the program's own to the application's display, read by the thread that
// asks; the application's connection when no other can be opened; null without X11.
xcb_connection_t *RequestConnection();

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

} // namespace jov::x11
