// The pipette's loupe: where it goes near the pointer, and what it paints.
#include "TestSupport.h"

#include "controls/Loupe.h"

using namespace jov;
using jov::test::Grab;

namespace {

// Cell (x, y) gets a colour of its own, the centre the one given.
QImage Block(QRgb centre)
{
    QImage block(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
    for (int y = 0; y < LoupeBlockSide; ++y) {
        for (int x = 0; x < LoupeBlockSide; ++x)
            block.setPixel(x, y, qRgb(16 * x, 16 * y, 90));
    }
    block.setPixel(LoupeBlockHalf, LoupeBlockHalf, centre);
    return block;
}

const QRect AllCells(0, 0, LoupeBlockSide, LoupeBlockSide);
const QRect FullHd(0, 0, 1920, 1080);

// The picture's area of one cell in the grabbed widget.
QRect CellArea(int x, int y)
{
    return QRect(TLoupe::pictureRect().topLeft() + QPoint(x, y) * LoupeCellSize,
                 QSize(LoupeCellSize, LoupeCellSize));
}

bool AreaIs(const QImage &image, const QRect &area, QRgb color)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != color)
                return false;
        }
    }
    return true;
}

} // namespace

class TestLoupe : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void frameColor_data();
    void frameColor();
    void placement_data();
    void placement();
    void placementInDevicePixels();
    void paintsCellsAndFramesTheCentre_data();
    void paintsCellsAndFramesTheCentre();
    void offScreenCellsAreHatched();
};

void TestLoupe::placement_data()
{
    QTest::addColumn<QPoint>("hot");
    QTest::addColumn<QRect>("monitor");
    QTest::addColumn<QPoint>("topLeft");
    // A loupe of 122 x 160 kept 24 pixels from the hot spot.
    QTest::newRow("middle") << QPoint(500, 400) << FullHd << QPoint(524, 424);
    QTest::newRow("top-left-corner") << QPoint(0, 0) << FullHd << QPoint(24, 24);
    QTest::newRow("right-just-fits") << QPoint(1774, 400) << FullHd << QPoint(1798, 424);
    QTest::newRow("right-flips") << QPoint(1775, 400) << FullHd << QPoint(1630, 424);
    QTest::newRow("bottom-flips") << QPoint(500, 1000) << FullHd << QPoint(524, 817);
    QTest::newRow("bottom-right-corner") << QPoint(1919, 1079) << FullHd << QPoint(1774, 896);
    QTest::newRow("second-monitor-right-edge")
        << QPoint(3190, 5) << QRect(1920, 0, 1280, 1024) << QPoint(3045, 29);
    QTest::newRow("second-monitor-left-edge")
        << QPoint(1920, 1000) << QRect(1920, 0, 1280, 1024) << QPoint(1944, 817);
    QTest::newRow("negative-origin")
        << QPoint(-10, -190) << QRect(-1280, -200, 1280, 1024) << QPoint(-155, -166);
    // Neither side has room: pushed back onto the monitor, top-left first when it is too tall.
    QTest::newRow("tiny-monitor") << QPoint(100, 75) << QRect(0, 0, 200, 150) << QPoint(0, 0);
    // As much room on both sides: after the hot spot, pushed back onto the monitor.
    QTest::newRow("equal-room-goes-after")
        << QPoint(100, 75) << QRect(0, 0, 201, 151) << QPoint(79, 0);
}

void TestLoupe::frameColor_data()
{
    QTest::addColumn<QColor>("centre");
    QTest::addColumn<QColor>("frame");
    QTest::newRow("brightness-128-is-light") << QColor(128, 128, 128) << QColor(Qt::black);
    QTest::newRow("brightness-127-is-dark") << QColor(127, 127, 127) << QColor(Qt::white);
    QTest::newRow("green-219-is-light") << QColor(0, 219, 0) << QColor(Qt::black);
    QTest::newRow("green-218-is-dark") << QColor(0, 218, 0) << QColor(Qt::white);
}

void TestLoupe::frameColor()
{
    QFETCH(QColor, centre);
    QFETCH(QColor, frame);
    QCOMPARE(TLoupe::frameColorFor(centre), frame);
}

void TestLoupe::placement()
{
    QFETCH(QPoint, hot);
    QFETCH(QRect, monitor);
    QFETCH(QPoint, topLeft);
    const QSize size(122, 160);
    const QPoint placed = LoupeTopLeft(hot, size, monitor, 24);
    QCOMPARE(placed, topLeft);
    const QRect loupe(placed, size);
    if (monitor.width() >= 2 * (size.width() + 24)) {
        QVERIFY(monitor.contains(loupe));
        QVERIFY(!loupe.intersects(LoupeBlockAround(hot)));
    }
}

// The caller speaks device pixels; the window is placed in logical ones on a monitor whose
// origin stays put and whose distances are halved.
void TestLoupe::placementInDevicePixels()
{
    TLoupe loupe;
    const QRect monitor(1920, 0, 2560, 1600); // logical: 1920, 0, 1280 x 800
    const QPoint hot(3000, 1500);             // logical: 2460, 750
    loupe.showBlock(Block(qRgb(1, 2, 3)), AllCells, hot, monitor, 2.0);
    QVERIFY(loupe.isVisible());
    QCOMPARE(loupe.pos(), QPoint(2460 + 24, 750 - 24 - loupe.height() + 1));
    const QRect device = loupe.deviceRect();
    QCOMPARE(device.topLeft(), QPoint(1920 + 2 * (2460 + 24 - 1920), 2 * loupe.pos().y()));
    QCOMPARE(device.size(), loupe.size() * 2);
    QVERIFY(monitor.contains(device));
    QVERIFY(!loupe.wouldSeeItself(hot));
    QVERIFY(loupe.wouldSeeItself(device.topLeft() - QPoint(3, 3)));
    QCOMPARE(loupe.positionText(), QStringLiteral("(3000, 1500)"));
    loupe.hide();
    QVERIFY(loupe.deviceRect().isEmpty());
    QVERIFY(!loupe.wouldSeeItself(device.center()));
}

void TestLoupe::paintsCellsAndFramesTheCentre_data()
{
    QTest::addColumn<QRgb>("centre");
    QTest::addColumn<QRgb>("frame");
    QTest::addColumn<QString>("text");
    QTest::newRow("black") << qRgb(0, 0, 0) << qRgb(255, 255, 255) << "#000000";
    QTest::newRow("dark-blue") << qRgb(10, 20, 200) << qRgb(255, 255, 255) << "#0A14C8";
    QTest::newRow("yellow") << qRgb(255, 255, 0) << qRgb(0, 0, 0) << "#FFFF00";
    QTest::newRow("white") << qRgb(255, 255, 255) << qRgb(0, 0, 0) << "#FFFFFF";
}

void TestLoupe::paintsCellsAndFramesTheCentre()
{
    QFETCH(QRgb, centre);
    QFETCH(QRgb, frame);
    QFETCH(QString, text);
    TLoupe loupe;
    loupe.showBlock(Block(centre), AllCells, QPoint(40, 50), FullHd, 1.0);
    const QImage shot = Grab(loupe);
    const QImage block = Block(centre);

    for (int y = 0; y < LoupeBlockSide; ++y) {
        for (int x = 0; x < LoupeBlockSide; ++x) {
            // The frame lies outside the centre cell, on the rim of its neighbours.
            const QRect area = CellArea(x, y).adjusted(1, 1, -1, -1);
            QVERIFY2(AreaIs(shot, area, block.pixel(x, y)),
                     qPrintable(QStringLiteral("cell %1, %2").arg(x).arg(y)));
        }
    }
    const QRect cell = CellArea(LoupeBlockHalf, LoupeBlockHalf);
    QVERIFY(AreaIs(shot, cell, centre));
    const QRect ring = cell.adjusted(-1, -1, 1, 1);
    QVERIFY(AreaIs(shot, QRect(ring.left(), ring.top(), ring.width(), 1), frame));
    QVERIFY(AreaIs(shot, QRect(ring.left(), ring.bottom(), ring.width(), 1), frame));
    QVERIFY(AreaIs(shot, QRect(ring.left(), ring.top(), 1, ring.height()), frame));
    QVERIFY(AreaIs(shot, QRect(ring.right(), ring.top(), 1, ring.height()), frame));

    QCOMPARE(loupe.colorText(), text);
    QCOMPARE(loupe.positionText(), QStringLiteral("(40, 50)"));
    // Both text lines are drawn under the picture.
    const QRect below(0, TLoupe::pictureRect().bottom() + 2, loupe.width(),
                      loupe.height() - TLoupe::pictureRect().bottom() - 3);
    const QRgb ink = loupe.palette().color(QPalette::ToolTipText).rgb();
    const QRect inked =
        jov::test::BoundsOf(shot.copy(below), [&](QColor c) { return c.rgb() == ink; });
    QVERIFY(inked.height() > loupe.fontMetrics().height());
}

void TestLoupe::offScreenCellsAreHatched()
{
    // Off-screen cells hold whatever the buffer had: red here, which must not show.
    QImage garbage(LoupeBlockSide, LoupeBlockSide, QImage::Format_ARGB32);
    garbage.fill(qRgb(255, 0, 0));
    const QRect valid(5, 3, 10, 12); // the pointer near the top-left corner of the screen
    for (int y = valid.top(); y <= valid.bottom(); ++y) {
        for (int x = valid.left(); x <= valid.right(); ++x)
            garbage.setPixel(x, y, qRgb(0, 200, 0));
    }
    TLoupe loupe;
    loupe.showBlock(garbage, valid, QPoint(2, 4), FullHd, 1.0);
    QImage shot = Grab(loupe);

    const auto colorsIn = [&](const QRect &area) {
        QSet<QRgb> colors;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                colors.insert(shot.pixel(x, y));
        }
        return colors;
    };
    const QRect picture = TLoupe::pictureRect();
    const QSet<QRgb> hatch = colorsIn(
        QRect(picture.left(), picture.top(), valid.left() * LoupeCellSize, picture.height()));
    QCOMPARE(hatch.size(), 2); // a line colour on a background colour, nothing else
    QVERIFY(!hatch.contains(qRgb(255, 0, 0)));
    QCOMPARE(
        colorsIn(QRect(picture.topLeft(), QSize(picture.width(), valid.top() * LoupeCellSize))),
        hatch);
    QVERIFY(AreaIs(shot, CellArea(14, 14), qRgb(0, 200, 0)));
    QCOMPARE(loupe.colorText(), QStringLiteral("#00C800"));

    // With the centre off the screen too there is no colour to name.
    loupe.showBlock(garbage, QRect(), QPoint(-100, -100), FullHd, 1.0);
    QCOMPARE(loupe.colorText(), QString());
    shot = Grab(loupe);
    // (the rows above the centre's frame)
    QCOMPARE(colorsIn(QRect(picture.topLeft(),
                            QSize(picture.width(), LoupeBlockHalf * LoupeCellSize - 1))),
             hatch);
}

QTEST_MAIN(TestLoupe)
#include "tst_loupe.moc"
