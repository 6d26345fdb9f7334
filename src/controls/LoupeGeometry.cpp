#include "controls/LoupeGeometry.h"

#include "color/SampleSquare.h"

#include <QImage>
#include <QtMath>

#include <algorithm>

namespace jov {

namespace {

// One axis of LoupeTopLeft: the loupe's start on [low, high] (inclusive) for a hot spot at hot.
int PlaceOnAxis(int hot, int length, int low, int high, int gap)
{
    const int after = hot + gap;               // loupe starting gap past the hot spot
    const int before = hot - gap - length + 1; // loupe ending gap before it
    if (after + length - 1 <= high)
        return after;
    if (before >= low)
        return before;
    const int roomAfter = high - hot;
    const int roomBefore = hot - low;
    const int start = roomAfter >= roomBefore ? after : before;
    // A loupe longer than the monitor keeps its start on the monitor.
    return std::max(low, std::min(start, high - length + 1));
}

} // namespace

QRect SampleSquareCells(int side)
{
    const int half = std::clamp(side, 1, LoupeBlockSide) / 2;
    return QRect(LoupeBlockHalf - half, LoupeBlockHalf - half, 2 * half + 1, 2 * half + 1);
}

std::optional<QColor> SquareMean(const QImage &block, const QRect &validCells, int side)
{
    const QRect cells = SampleSquareCells(side) & validCells & block.rect();
    if (cells.isEmpty() || block.depth() != 32)
        return std::nullopt;
    qint64 red = 0, green = 0, blue = 0;
    for (int y = cells.top(); y <= cells.bottom(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(block.constScanLine(y));
        for (int x = cells.left(); x <= cells.right(); ++x) {
            red += qRed(row[x]);
            green += qGreen(row[x]);
            blue += qBlue(row[x]);
        }
    }
    const qint64 n = qint64(cells.width()) * cells.height();
    return QColor(RoundedMean(red, n), RoundedMean(green, n), RoundedMean(blue, n));
}

QRect LoupeBlockAround(QPoint hotSpot)
{
    return QRect(hotSpot - QPoint(LoupeBlockHalf, LoupeBlockHalf),
                 QSize(LoupeBlockSide, LoupeBlockSide));
}

QRect LoupeValidCells(QPoint hotSpot, const QRect &screen)
{
    const QRect block = LoupeBlockAround(hotSpot);
    const QRect onScreen = block & screen;
    if (onScreen.isEmpty())
        return QRect();
    return onScreen.translated(-block.topLeft());
}

QPoint LoupeTopLeft(QPoint hotSpot, QSize loupeSize, const QRect &monitor, int gap)
{
    return QPoint(
        PlaceOnAxis(hotSpot.x(), loupeSize.width(), monitor.left(), monitor.right(), gap),
        PlaceOnAxis(hotSpot.y(), loupeSize.height(), monitor.top(), monitor.bottom(), gap));
}

QRect MonitorToLogical(const QRect &monitorDevice, qreal devicePixelRatio)
{
    return QRect(monitorDevice.topLeft(), QSize(qFloor(monitorDevice.width() / devicePixelRatio),
                                                qFloor(monitorDevice.height() / devicePixelRatio)));
}

} // namespace jov
