#include "controls/ScreenBlock.h"

#include "x11/X11Requests.h"

namespace jov {

namespace {

// The cells of the block around `point` that lie on its root, in cell coordinates (empty when
// none), and the root rectangle they cover.
QRect CellsOnRoot(const ScreenPoint &point, QRect &onRoot)
{
    const QRect cells =
        LoupeValidCells(point.pos, QRect(QPoint(0, 0), x11::RootSize(point.screen)));
    onRoot = QRect(LoupeBlockAround(point.pos).topLeft() + cells.topLeft(), cells.size());
    return cells;
}

// Makes `block` ready for a read: all black, nothing valid.
void ClearBlock(ScreenBlock &block)
{
    block.validCells = QRect();
    if (block.image.size() != QSize(LoupeBlockSide, LoupeBlockSide) ||
        block.image.format() != QImage::Format_RGB32)
        block.image = QImage(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
    block.image.fill(Qt::black);
}

} // namespace

bool ReadScreenBlock(const ScreenPoint &point, ScreenBlock &block)
{
    ClearBlock(block);
    QRect onRoot;
    const QRect cells = CellsOnRoot(point, onRoot);
    if (cells.isEmpty() || !x11::ReadRootPixels(point.screen, onRoot, block.image, cells.topLeft()))
        return false;
    block.validCells = cells;
    return true;
}

PointerBlockQuery::PointerBlockQuery(const ScreenPoint &guess) : m_guess(guess)
{
    QRect onRoot;
    m_cells = CellsOnRoot(guess, onRoot);
    if (!m_cells.isEmpty())
        m_read.emplace(guess.screen, onRoot);
    // Last: the pointer query sends both.
    m_pointer.emplace();
}

std::optional<ScreenPoint> PointerBlockQuery::take(ScreenBlock &block)
{
    ClearBlock(block);
    const std::optional<x11::Pointer> pointer = m_pointer->take();
    if (!pointer)
        return std::nullopt;
    const ScreenPoint at{pointer->pos, pointer->screen};
    if (m_read && at == m_guess && m_read->take(block.image, m_cells.topLeft()))
        block.validCells = m_cells;
    return at;
}

std::optional<ScreenPoint> PointerWithBlock(const ScreenPoint &guess, ScreenBlock &block)
{
    return PointerBlockQuery(guess).take(block);
}

} // namespace jov
