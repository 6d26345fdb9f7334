#pragma once

#include "controls/LoupeGeometry.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <xcb/xcb.h>

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

// Reads the block of device pixels centred on hotSpot from the root window `root` (of size
// rootSize) with one GetImage request, for the part of the block on the root window; pixels
// off it are never asked for, so the server has no reason to refuse the request.
//
// Returns false, with block.validCells empty, when no part of the block is on the root, when
// the server answers with an error, or when the root is not a true-colour one of 8 bits per
// channel (24 or 32 bits per pixel). block.image is reused from call to call when nothing else
// holds it, so a caller that keeps one ScreenBlock allocates nothing at each read but the reply.
bool ReadScreenBlock(xcb_connection_t *connection, xcb_window_t root, QSize rootSize,
                     QPoint hotSpot, ScreenBlock &block);

// The same on the X connection of the running application and the root of its first screen
// (where the X11 pipette samples too); false when the application does not run on X11.
bool ReadScreenBlockX11(QPoint hotSpot, ScreenBlock &block);

} // namespace jov
