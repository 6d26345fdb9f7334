#pragma once

#include "controls/DevicePixels.h"
#include "controls/LoupeGeometry.h"
#include "x11/X11Requests.h"

#include <QImage>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace jov {

// The loupe's block of screen pixels, as read from the X server.
struct ScreenBlock
{
    // LoupeBlockSide² pixels, Format_RGB32, cell (0, 0) top-left. Cells outside validCells are
    // black: they lie off the root window and were not read.
    QImage image;
    // The cells that were read, in cell coordinates; empty when nothing was.
    QRect validCells;
};

// Reads the block of device pixels centred on a point from the root window of its X screen,
// on the application's X connection, with one request for the part of the block on the root;
// pixels off it are never asked for, so the server has no reason to refuse the request.
//
// Returns false, with block.validCells empty, elsewhere than X11, when no part of the block is
// on the root, when the server answers with an error, or when the screen's pixels cannot be
// decoded. block.image is reused from call to call when nothing else holds it, so a caller
// that keeps one ScreenBlock allocates nothing at each read but the reply.
bool ReadScreenBlock(const ScreenPoint &point, ScreenBlock &block);

// Where the pointer is, asked in the same round trip as the block around `guess`: the block is
// read (validCells not empty) only when the pointer is at `guess`, as it is at rest or where
// the mouse hook last saw it. Nothing elsewhere than X11.
std::optional<ScreenPoint> PointerWithBlock(const ScreenPoint &guess, ScreenBlock &block);

// The same in two halves: the questions leave when it is made and take() waits for the answers,
// so that the round trip overlaps whatever the caller does meanwhile (a sampling tick takes at
// the next tick what it asked at this one). Dropped untaken, its replies are thrown away.
class PointerBlockQuery
{
public:
    explicit PointerBlockQuery(const ScreenPoint &guess);
    // As PointerWithBlock; only once.
    std::optional<ScreenPoint> take(ScreenBlock &block);

private:
    ScreenPoint m_guess;
    QRect m_cells;
    std::optional<x11::RootPixelsRequest> m_read;
    std::optional<x11::PointerRequest> m_pointer;
};

// Waits, from the event loop, for the next drawing on the screens after the last question of a
// PointerBlockQuery (which forgets the drawing before it).
class DrawingWait
{
public:
    DrawingWait();
    ~DrawingWait();
    DrawingWait(const DrawingWait &) = delete;
    DrawingWait &operator=(const DrawingWait &) = delete;
    // False when something was drawn since the last question was sent, or when drawing cannot
    // be told; else `drawn` is called once, at the next drawing, unless cancel() comes first.
    bool start(std::function<void()> drawn);
    void cancel();
    // Cancels and stops watching the screens.
    void stop();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_drawn;
};

} // namespace jov
