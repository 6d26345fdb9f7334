#pragma once

#include "controls/DevicePixels.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QImage;

namespace jov {

// Geometry of the pipette's loupe, free of any widget so it can be checked on its own.
//
// The loupe shows the LoupeBlockSide x LoupeBlockSide device pixels centred on the pointer's hot
// spot; "cell" (cx, cy) of the block, 0 <= cx, cy < LoupeBlockSide, is the device pixel
// hotSpot + (cx - LoupeBlockHalf, cy - LoupeBlockHalf).

inline constexpr int LoupeBlockSide = 15;
inline constexpr int LoupeBlockHalf = LoupeBlockSide / 2;
// Side of one cell in the loupe's picture, in logical pixels.
inline constexpr int LoupeCellSize = 8;
inline constexpr int LoupePictureSide = LoupeBlockSide * LoupeCellSize;

// The block's device pixels around hotSpot.
QRect LoupeBlockAround(QPoint hotSpot);

// The cells of the block that lie on screen (a rectangle in cell coordinates, possibly empty):
// a single rectangle is enough because the screen area read is a rectangle (the root window).
QRect LoupeValidCells(QPoint hotSpot, const QRect &screen);

// The cells of the sampling square of `side` (odd) centred in the block.
QRect SampleSquareCells(int side);

// The mean colour of the sampling square of `side` in a LoupeBlockSide² block (Format_RGB32
// or any 32-bit RGB format), over its cells that lie in validCells, each channel rounded half
// up; nothing when none does.
std::optional<QColor> SquareMean(const QImage &block, const QRect &validCells, int side);

// Top-left corner of a loupe of the given size near hotSpot, everything in one coordinate
// system. The loupe keeps `gap` pixels between the hot spot and its nearest edge: below and to
// the right by preference; on each axis where that would leave the monitor, on the other side;
// when neither side has room (a monitor hardly larger than the loupe), on the roomier side
// pushed back inside. So the loupe is always whole on the monitor when it fits at all, and with
// gap > LoupeBlockHalf (in device pixels) it never covers the block read around the hot spot as
// long as one axis has room.
QPoint LoupeTopLeft(QPoint hotSpot, QSize loupeSize, const QRect &monitor, int gap);

// Points go between device and logical pixels with DeviceToLogical and LogicalToDevice
// (controls/DevicePixels.h).
// The monitor in logical coordinates (size rounded down, so the loupe stays inside it).
QRect MonitorToLogical(const QRect &monitorDevice, qreal devicePixelRatio);

} // namespace jov
