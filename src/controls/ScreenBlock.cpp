#include "controls/ScreenBlock.h"

#include "x11/X11Requests.h"

namespace jov {

bool ReadScreenBlock(const ScreenPoint &point, ScreenBlock &block)
{
    block.validCells = QRect();
    if (block.image.size() != QSize(LoupeBlockSide, LoupeBlockSide) ||
        block.image.format() != QImage::Format_RGB32)
        block.image = QImage(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
    block.image.fill(Qt::black);

    const QRect cells =
        LoupeValidCells(point.pos, QRect(QPoint(0, 0), x11::RootSize(point.screen)));
    if (cells.isEmpty())
        return false;
    const QPoint first = LoupeBlockAround(point.pos).topLeft() + cells.topLeft();
    if (!x11::ReadRootPixels(point.screen, QRect(first, cells.size()), block.image,
                             cells.topLeft()))
        return false;
    block.validCells = cells;
    return true;
}

} // namespace jov
