#include "persistence/Placement.h"

#include "color/NumberText.h"
#include "persistence/SettingsStore.h"

#include <algorithm>
#include <limits>

namespace jov {

namespace {

int ClampToInt(qint64 v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(v);
}

// A position value under its screen-specific name, else under its plain name; empty when
// neither holds a text.
QString ReadPosition(SettingsStore &store, const QString &key, const QString &name, int width,
                     int height)
{
    QString specific = store.RegReadString(key, ScreenSpecificName(name, width, height), QString());
    if (!specific.isEmpty())
        return specific;
    return store.RegReadString(key, name, QString());
}

// Edges of a rectangle in 64 bits, right and bottom just outside, so that no sum of stored
// values can overflow.
struct Edges
{
    qint64 left = 0;
    qint64 top = 0;
    qint64 right = 0;
    qint64 bottom = 0;

    qint64 width() const { return right - left; }
    qint64 height() const { return bottom - top; }
    bool contains(const Edges &e) const
    {
        return e.left >= left && e.right <= right && e.top >= top && e.bottom <= bottom;
    }
};

Edges EdgesOf(const QRect &r)
{
    return {r.left(), r.top(), qint64(r.right()) + 1, qint64(r.bottom()) + 1};
}

// How far `from` has to move along one axis to lie within [low, high); to low when it does
// not fit.
qint64 Fit(qint64 from, qint64 length, qint64 low, qint64 high)
{
    if (length >= high - low)
        return low;
    return std::clamp(from, low, high - length);
}

// How far apart two rectangles are along one axis; 0 when they overlap on it.
qint64 Gap(qint64 lowA, qint64 highA, qint64 lowB, qint64 highB)
{
    return std::max<qint64>({lowB - highA, lowA - highB, 0});
}

} // namespace

QPoint FitOnScreens(QPoint topLeft, QSize size, int titleBarHeight,
                    const QList<QRect> &availableAreas)
{
    const qint64 width = std::max(size.width(), 1);
    const qint64 height = std::max(size.height(), 1);
    const Edges frame{topLeft.x(), topLeft.y(), topLeft.x() + width, topLeft.y() + height};
    const qint64 bar = std::clamp<qint64>(titleBarHeight, 1, height);
    const Edges titleBar{frame.left, frame.top, frame.right, frame.top + bar};

    const Edges *best = nullptr;
    qint64 bestOverlap = 0;
    double bestDistance = 0;
    QList<Edges> areas;
    areas.reserve(availableAreas.size());
    for (const QRect &r : availableAreas) {
        if (r.isEmpty())
            continue;
        areas.append(EdgesOf(r));
        if (areas.last().contains(titleBar))
            return topLeft;
    }
    for (const Edges &a : areas) {
        // Both factors are at most the frame's size, an int: the product fits in 64 bits.
        const qint64 overlap =
            std::max<qint64>(std::min(frame.right, a.right) - std::max(frame.left, a.left), 0) *
            std::max<qint64>(std::min(frame.bottom, a.bottom) - std::max(frame.top, a.top), 0);
        const double dx = double(Gap(frame.left, frame.right, a.left, a.right));
        const double dy = double(Gap(frame.top, frame.bottom, a.top, a.bottom));
        const double distance = dx * dx + dy * dy;
        const bool better = !best || overlap > bestOverlap ||
                            (overlap == 0 && bestOverlap == 0 && distance < bestDistance);
        if (better) {
            best = &a;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    if (!best)
        return topLeft;
    // Inside the area, which is made of ints: the result is an int again.
    return QPoint(int(Fit(frame.left, width, best->left, best->right)),
                  int(Fit(frame.top, height, best->top, best->bottom)));
}

QString ScreenSpecificName(const QString &name, int screenWidth, int screenHeight)
{
    return name + QStringLiteral("(%1x%2)").arg(screenWidth).arg(screenHeight);
}

QString PositionText(int a, int b, int c, int d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

QList<int> ParsePositionWords(const QString &text, const QList<int> &defaults)
{
    QList<int> result = defaults;
    qsizetype word = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && word < result.size()) {
        while (i < n && (text[i] == u',' || text[i] == u' '))
            ++i;
        const qsizetype start = i;
        while (i < n && text[i] != u',' && text[i] != u' ')
            ++i;
        if (i > start) {
            if (const auto v = ParseDecimalInt32(QStringView(text).sliced(start, i - start)))
                result[word] = *v;
            ++word;
        }
    }
    return result;
}

int PlacementInteger(const QString &text, int defaultValue)
{
    return ParseDecimalInt32(QStringView(text)).value_or(defaultValue);
}

PlacementShow ShowFromShowCmd(int showCmd)
{
    switch (showCmd) {
    case 2:
    case 6:
    case 7:
        return PlacementShow::Minimized;
    case 3:
        return PlacementShow::Maximized;
    default:
        return PlacementShow::Normal;
    }
}

bool WritePlacement(SettingsStore &store, const QString &key,
                    const WindowPlacementRecord &placement, int pixelsPerInch, int screenWidth,
                    int screenHeight, bool destroying)
{
    const QString minMax = PositionText(placement.minPosition.x(), placement.minPosition.y(),
                                        placement.maxPosition.x(), placement.maxPosition.y());
    const PlacementRect &r = placement.normalPosition;
    const QString norm = PositionText(r.left, r.top, r.right, r.bottom);

    StoreBatch batch(store);
    bool ok = store.RegWriteString(key, PlacementFormVersion, QStringLiteral("0"));
    ok &= store.RegWriteString(key, PlacementFlags, QString::number(placement.flags));
    ok &= store.RegWriteString(key, PlacementShowCmd, QString::number(placement.showCmd));
    ok &= store.RegWriteString(key, PlacementPixelsPerInch, QString::number(pixelsPerInch));
    ok &= store.RegWriteString(
        key, ScreenSpecificName(PlacementMinMaxPos, screenWidth, screenHeight), minMax);
    ok &= store.RegWriteString(key, PlacementMinMaxPos, minMax);
    ok &= store.RegWriteString(key, ScreenSpecificName(PlacementNormPos, screenWidth, screenHeight),
                               norm);
    ok &= store.RegWriteString(key, PlacementNormPos, norm);
    ok &= store.RegWriteString(key, PlacementVisible,
                               destroying ? QStringLiteral("1") : QStringLiteral("0"));
    ok &= batch.commit();
    return ok;
}

PlacementReadResult ReadPlacement(SettingsStore &store, const QString &key,
                                  const WindowPlacementRecord &current, bool windowVisible,
                                  int pixelsPerInch, int screenWidth, int screenHeight)
{
    PlacementReadResult result;
    StoreBatch batch(store);
    const auto text = [&](const QString &name) {
        return store.RegReadString(key, name, QString());
    };

    if (PlacementInteger(text(PlacementFormVersion), 0) < 0) {
        result.stopped = true;
        return result;
    }

    WindowPlacementRecord p = current;
    if (!windowVisible)
        p.showCmd = SwHide;
    p.flags = PlacementInteger(text(PlacementFlags), current.flags);

    const QString minMax = ReadPosition(store, key, PlacementMinMaxPos, screenWidth, screenHeight);
    const QString norm = ReadPosition(store, key, PlacementNormPos, screenWidth, screenHeight);
    const int storedPpi = PlacementInteger(text(PlacementPixelsPerInch), pixelsPerInch);
    const int showCmd = PlacementInteger(text(PlacementShowCmd), SwHide);
    batch.commit();

    const QList<int> mm = ParsePositionWords(minMax, {0, 0, 0, 0});
    p.minPosition = QPoint(mm[0], mm[1]);
    p.maxPosition = QPoint(mm[2], mm[3]);

    const PlacementRect &now = current.normalPosition;
    const QList<int> np = ParsePositionWords(norm, {now.left, now.top, now.right, now.bottom});
    // The window has a fixed-size border: only the stored corner counts.
    const qint64 width = qint64(now.right) - now.left;
    const qint64 height = qint64(now.bottom) - now.top;
    p.normalPosition =
        PlacementRect{np[0], np[1], ClampToInt(np[0] + width), ClampToInt(np[1] + height)};

    result.placement = p;
    result.applyPlacement = (!minMax.isEmpty() || !norm.isEmpty()) && storedPpi == pixelsPerInch;
    result.show = ShowFromShowCmd(showCmd);
    return result;
}

} // namespace jov
