#include "controls/ScreenBlock.h"

#include "x11/RequestLine.h"
#include "x11/X11Requests.h"

#include <QSocketNotifier>

#include <utility>

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
    // What is drawn from here on is news to a reader that comes to rest on this answer.
    x11::ForgetDrawing();
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

DrawingWait::DrawingWait() = default;

DrawingWait::~DrawingWait() = default;

bool DrawingWait::start(std::function<void()> drawn)
{
    if (!x11::WatchDrawing() || x11::DrawingReported())
        return false;
    m_drawn = std::move(drawn);
    if (!m_notifier) {
        // The socket is the request connection's, the same for the program's whole life.
        m_notifier = std::make_unique<QSocketNotifier>(x11::DrawingSocket(), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
            // Anything else that came in (a reply dropped earlier) is read and waited past.
            if (!x11::DrawingReported())
                return;
            m_notifier->setEnabled(false);
            if (const std::function<void()> drawn = std::exchange(m_drawn, {}))
                drawn();
        });
    }
    m_notifier->setEnabled(true);
    return true;
}

void DrawingWait::cancel()
{
    if (m_notifier)
        m_notifier->setEnabled(false);
    m_drawn = {};
}

void DrawingWait::stop()
{
    cancel();
    x11::StopWatchingDrawing();
}

} // namespace jov
