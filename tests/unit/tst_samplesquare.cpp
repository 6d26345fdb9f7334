// The pipette's sampling square: the sides the wheel steps through, and the mean of the square's
// pixels on the screen, each channel rounded half up in integers.
#include "color/SampleSquare.h"
#include "controls/LoupeGeometry.h"

#include <QImage>
#include <QTest>

using namespace jov;

class TestSampleSquare : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void steps_data();
    void steps();
    void mean_data();
    void mean();
};

void TestSampleSquare::steps_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("up");
    QTest::addColumn<int>("down");
    QTest::newRow("1") << 1 << 3 << 1;
    QTest::newRow("5") << 5 << 7 << 3;
    QTest::newRow("11 skips 13") << 11 << 15 << 9;
    QTest::newRow("13 from the command line") << 13 << 15 << 11;
    QTest::newRow("15") << 15 << 15 << 11;
}

void TestSampleSquare::steps()
{
    QFETCH(int, side);
    QFETCH(int, up);
    QFETCH(int, down);
    QCOMPARE(NextSampleSide(side, 1), up);
    QCOMPARE(NextSampleSide(side, -1), down);
}

void TestSampleSquare::mean_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QRect>("valid");
    QTest::addColumn<QColor>("mean");
    // Cell (x, y) of the block holds red = x, green = 17 * y, blue = 255 on odd columns.
    const QRect all(0, 0, LoupeBlockSide, LoupeBlockSide);
    QTest::newRow("one pixel") << 1 << all << QColor(7, 119, 255);
    // Red 6, 7, 8; blue on 7 only: 3 * 255 / 9 = 85. Green (102 + 119 + 136) / 3 = 119.
    QTest::newRow("3 x 3") << 3 << all << QColor(7, 119, 85);
    // Blue: columns 5..9, odd 5, 7, 9: 3 * 255 / 5 = 153.
    QTest::newRow("5 x 5") << 5 << all << QColor(7, 119, 153);
    // Only columns 7..8 of rows 7..8 on the screen (a corner): red (7 + 8) / 2 = 7.5 rounds
    // up to 8; green (119 + 136) / 2 = 127.5 to 128; blue 255 / 2 = 127.5 to 128.
    QTest::newRow("corner, halves up") << 5 << QRect(7, 7, 2, 2) << QColor(8, 128, 128);
    // 15 x 15: 7 odd columns of 15: 7 * 255 / 15 = 119; green 17 * 7 = 119.
    QTest::newRow("15 x 15") << 15 << all << QColor(7, 119, 119);
    // Rows 0..6 only (the screen's bottom edge through the block): green 17 * 3 = 51.
    QTest::newRow("top rows only") << 15 << QRect(0, 0, 15, 7) << QColor(7, 51, 119);
    QTest::newRow("nothing on the screen") << 3 << QRect() << QColor();
}

void TestSampleSquare::mean()
{
    QFETCH(int, side);
    QFETCH(QRect, valid);
    QFETCH(QColor, mean);
    QImage block(LoupeBlockSide, LoupeBlockSide, QImage::Format_RGB32);
    for (int y = 0; y < LoupeBlockSide; ++y)
        for (int x = 0; x < LoupeBlockSide; ++x)
            block.setPixel(x, y, qRgb(x, 17 * y, x % 2 ? 255 : 0));
    QCOMPARE(SquareMean(block, valid, side).value_or(QColor()), mean);
}

QTEST_GUILESS_MAIN(TestSampleSquare)
#include "tst_samplesquare.moc"
