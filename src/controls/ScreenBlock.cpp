#include "controls/ScreenBlock.h"

#include "x11/X11Requests.h"

namespace jov {

namespace {

// Makes `block` ready for a read around `point` and gives the cells on the root, in cell
// coordinates (empty when none), and the root rectangle they cover.
QRect PrepareBlock(const ScreenPoint &point, ScreenBlock &block, QRect &onRoot)
{
    block.validCells = QRect();
    if (block.image.size() != QSize(LoupeBlockSide, LoupeBlockSide) ||
        block.image.format() != QImage::Format_RGB32)
        block.image = QImage(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
    block.image.fill(Qt::black);
    const QRect cells =
        LoupeValidCells(point.pos, QRect(QPoint(0, 0), x11::RootSize(point.screen)));
    onRoot = QRect(LoupeBlockAround(point.pos).topLeft() + cells.topLeft(), cells.size());
    return cells;
}

} // namespace

bool ReadScreenBlock(const ScreenPoint &point, ScreenBlock &block)
{
    QRect onRoot;
    const QRect cells = PrepareBlock(point, block, onRoot);
    if (cells.isEmpty() || !x11::ReadRootPixels(point.screen, onRoot, block.image, cells.topLeft()))
        return false;
    block.validCells = cells;
    return true;
}

std::optional<ScreenPoint> PointerWithBlock(const ScreenPoint &guess, ScreenBlock &block)
{
    QRect onRoot;
    const QRect cells = PrepareBlock(guess, block, onRoot);
    std::optional<x11::RootPixelsRequest> read;
    if (!cells.isEmpty())
        read.emplace(guess.screen, onRoot);
    const std::optional<x11::Pointer> pointer = x11::QueryPointer();
    if (!pointer)
        return std::nullopt;
    const ScreenPoint at{pointer->pos, pointer->screen};
    if (read && at == guess && read->take(block.image, cells.topLeft()))
        block.validCells = cells;
    return at;
}

} // namespace jov
