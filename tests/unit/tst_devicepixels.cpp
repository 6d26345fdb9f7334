// Device and logical pixels: scale factors 1, 1.5 and 2, monitors away from the desktop's
// origin, odd and even coordinates.
#include "controls/DevicePixels.h"

#include <QTest>

using namespace jov;

namespace {

const QRect Primary(0, 0, 1024, 768);
// A monitor of 2560 x 1600 device pixels right of a 1920-pixel one: its origin is the same in
// both systems (at ratio 2 its logical size is 1280 x 800).
const QRect Second(1920, 0, 1280, 800);
const QRect AboveLeft(-1280, -200, 1280, 1024);

} // namespace

class TestDevicePixels : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void logicalPointsRoundTrip_data();
    void logicalPointsRoundTrip();
    void devicePointWithoutLogicalOne_data();
    void devicePointWithoutLogicalOne();
    void rectangleCoversItsPixels_data();
    void rectangleCoversItsPixels();
};

void TestDevicePixels::logicalPointsRoundTrip_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QPoint>("logical");
    QTest::addColumn<QPoint>("device");
    QTest::newRow("1") << Primary << 1.0 << QPoint(1201, 901) << QPoint(1201, 901);
    QTest::newRow("2-even") << Primary << 2.0 << QPoint(600, 450) << QPoint(1200, 900);
    QTest::newRow("2-odd") << Primary << 2.0 << QPoint(601, 451) << QPoint(1202, 902);
    // Halves round away from the origin, as Qt rounds.
    QTest::newRow("1.5-even") << Primary << 1.5 << QPoint(2, 4) << QPoint(3, 6);
    QTest::newRow("1.5-odd") << Primary << 1.5 << QPoint(1, 3) << QPoint(2, 5);
    QTest::newRow("1.5-large") << Primary << 1.5 << QPoint(801, 601) << QPoint(1202, 902);
    QTest::newRow("second-origin") << Second << 2.0 << QPoint(1920, 0) << QPoint(1920, 0);
    QTest::newRow("second-2") << Second << 2.0 << QPoint(2460, 751) << QPoint(3000, 1502);
    QTest::newRow("second-1.5") << Second << 1.5 << QPoint(1921, 1) << QPoint(1922, 2);
    QTest::newRow("negative-1.5") << AboveLeft << 1.5 << QPoint(-1000, -101) << QPoint(-860, -51);
}

void TestDevicePixels::logicalPointsRoundTrip()
{
    QFETCH(QRect, screen);
    QFETCH(double, ratio);
    QFETCH(QPoint, logical);
    QFETCH(QPoint, device);
    QCOMPARE(LogicalToDevice(logical, screen, ratio), device);
    QCOMPARE(DeviceToLogical(device, screen, ratio), logical);
    // The origin alone decides: the device geometry's top-left corner gives the same.
    QCOMPARE(DeviceToLogical(device, screen.topLeft(), ratio), logical);
}

void TestDevicePixels::devicePointWithoutLogicalOne_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QPoint>("device");
    QTest::addColumn<QPoint>("logical"); // the nearest, as Qt maps the pointer
    QTest::newRow("2-odd") << Primary << 2.0 << QPoint(1201, 901) << QPoint(601, 451);
    QTest::newRow("1.5") << Primary << 1.5 << QPoint(1, 4) << QPoint(1, 3);
    QTest::newRow("second-2-odd") << Second << 2.0 << QPoint(1921, 3) << QPoint(1921, 2);
}

void TestDevicePixels::devicePointWithoutLogicalOne()
{
    QFETCH(QRect, screen);
    QFETCH(double, ratio);
    QFETCH(QPoint, device);
    QFETCH(QPoint, logical);
    QCOMPARE(DeviceToLogical(device, screen, ratio), logical);
    // Going through logical pixels moves such a point: why the pipette never does.
    QVERIFY(LogicalToDevice(logical, screen, ratio) != device);
}

void TestDevicePixels::rectangleCoversItsPixels_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QRect>("logical");
    QTest::addColumn<QRect>("device");
    QTest::newRow("1") << Primary << 1.0 << QRect(475, 25, 25, 25) << QRect(475, 25, 25, 25);
    QTest::newRow("2") << Primary << 2.0 << QRect(475, 25, 25, 25) << QRect(950, 50, 50, 50);
    // 712.5 .. 750: the pixels whose centres the painted area takes in.
    QTest::newRow("1.5") << Primary << 1.5 << QRect(475, 25, 25, 25)
                         << QRect(QPoint(713, 38), QPoint(749, 74));
    QTest::newRow("second-2") << Second << 2.0 << QRect(1930, 5, 10, 10) << QRect(1940, 10, 20, 20);
}

void TestDevicePixels::rectangleCoversItsPixels()
{
    QFETCH(QRect, screen);
    QFETCH(double, ratio);
    QFETCH(QRect, logical);
    QFETCH(QRect, device);
    QCOMPARE(LogicalToDevice(logical, screen, ratio), device);
}

QTEST_GUILESS_MAIN(TestDevicePixels)
#include "tst_devicepixels.moc"
