#include "color/HSLUtils.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace jov;

class TestHslUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scaledTable_data();
    void scaledTable();
    void fractionalPrimaries_data();
    void fractionalPrimaries();
    void greysHaveNoHueNorSaturation();
    void roundingTiesToEven_data();
    void roundingTiesToEven();
    void rebuildFromScaled_data();
    void rebuildFromScaled();
    void everyColour();
};

static ColorRef Rgb(int r, int g, int b)
{
    return MakeColor(r, g, b);
}

static QByteArray Describe(ColorRef c)
{
    return QByteArray::number(RedOf(c)) + ',' + QByteArray::number(GreenOf(c)) + ',' +
           QByteArray::number(BlueOf(c));
}

void TestHslUtils::scaledTable_data()
{
    QTest::addColumn<ColorRef>("color");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("l");
    QTest::addColumn<ColorRef>("rebuilt");

    QTest::newRow("red") << Rgb(255, 0, 0) << 0 << 240 << 120 << Rgb(255, 0, 0);
    QTest::newRow("green-gains-blue") << Rgb(0, 255, 0) << 80 << 240 << 120 << Rgb(0, 255, 2);
    QTest::newRow("blue-gains-green") << Rgb(0, 0, 255) << 159 << 240 << 120 << Rgb(0, 2, 255);
    QTest::newRow("white") << Rgb(255, 255, 255) << 0 << 0 << 240 << Rgb(255, 255, 255);
    QTest::newRow("black") << Rgb(0, 0, 0) << 0 << 0 << 0 << Rgb(0, 0, 0);
    QTest::newRow("mid-grey") << Rgb(128, 128, 128) << 0 << 0 << 120 << Rgb(128, 128, 128);
    QTest::newRow("orange") << Rgb(255, 128, 0) << 20 << 240 << 120 << Rgb(255, 128, 0);
    QTest::newRow("steel-blue") << Rgb(51, 102, 153) << 139 << 120 << 96 << Rgb(51, 103, 153);
    QTest::newRow("navy") << Rgb(0, 0, 128) << 159 << 240 << 60 << Rgb(0, 1, 128);
}

void TestHslUtils::scaledTable()
{
    QFETCH(ColorRef, color);
    QFETCH(int, h);
    QFETCH(int, s);
    QFETCH(int, l);
    QFETCH(ColorRef, rebuilt);

    const HslScaledColor hsl = ColorToHslScaled(color);
    QCOMPARE(hsl.H, h);
    QCOMPARE(hsl.S, s);
    QCOMPARE(hsl.L, l);
    QCOMPARE(Describe(HslScaledToColor(h, s, l)), Describe(rebuilt));
}

// Two channels sharing the maximum go through the first matching hue case; the hue stays in
// [0, 1) and magenta exercises the negative-hue correction.
void TestHslUtils::fractionalPrimaries_data()
{
    QTest::addColumn<ColorRef>("color");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("s");
    QTest::addColumn<double>("l");

    QTest::newRow("red") << Rgb(255, 0, 0) << 0.0 << 1.0 << 0.5;
    QTest::newRow("yellow-red-and-green-max") << Rgb(255, 255, 0) << 1.0 / 6 << 1.0 << 0.5;
    QTest::newRow("green") << Rgb(0, 255, 0) << 2.0 / 6 << 1.0 << 0.5;
    QTest::newRow("cyan-green-and-blue-max") << Rgb(0, 255, 255) << 3.0 / 6 << 1.0 << 0.5;
    QTest::newRow("blue") << Rgb(0, 0, 255) << 4.0 / 6 << 1.0 << 0.5;
    QTest::newRow("magenta-negative-hue") << Rgb(255, 0, 255) << 5.0 / 6 << 1.0 << 0.5;
    QTest::newRow("rose-just-below-full-turn")
        << Rgb(255, 0, 1) << 1.0 - 1.0 / (6 * 255) << 1.0 << 0.5;
    QTest::newRow("dark-red-low-lightness") << Rgb(102, 0, 0) << 0.0 << 1.0 << 0.2;
    QTest::newRow("pink-high-lightness") << Rgb(255, 153, 153) << 0.0 << 1.0 << 0.8;
}

void TestHslUtils::fractionalPrimaries()
{
    QFETCH(ColorRef, color);
    QFETCH(double, h);
    QFETCH(double, s);
    QFETCH(double, l);

    const HslColor hsl = ColorToHsl(color);
    QVERIFY2(std::abs(hsl.H - h) < 1e-12, QByteArray::number(hsl.H, 'g', 17));
    QVERIFY2(std::abs(hsl.S - s) < 1e-12, QByteArray::number(hsl.S, 'g', 17));
    QVERIFY2(std::abs(hsl.L - l) < 1e-12, QByteArray::number(hsl.L, 'g', 17));
    QCOMPARE(Describe(HslToColor(hsl.H, hsl.S, hsl.L)), Describe(color));
}

void TestHslUtils::greysHaveNoHueNorSaturation()
{
    for (int v = 0; v < 256; ++v) {
        const ColorRef grey = Rgb(v, v, v);
        const HslScaledColor hsl = ColorToHslScaled(grey);
        QCOMPARE(hsl.H, 0);
        QCOMPARE(hsl.S, 0);
        // 240 steps cannot hold 256 greys: some come back one off, but always as a grey.
        const ColorRef back = HslScaledToColor(hsl.H, hsl.S, hsl.L);
        QCOMPARE(RedOf(back), GreenOf(back));
        QCOMPARE(GreenOf(back), BlueOf(back));
        QVERIFY2(std::abs(RedOf(back) - v) <= 1, QByteArray::number(v));
    }
    // A grey that rounds to a tie in the 240 scale comes back one below (9 -> L 8 -> 8.5 -> 8).
    QCOMPARE(ColorToHslScaled(Rgb(9, 9, 9)).L, 8);
    QCOMPARE(Describe(HslScaledToColor(0, 0, 8)), QByteArray("8,8,8"));
}

// Grey lightness L gives the channel 255 * L / 240 = 17 * L / 16, an exact half when L = 8 mod 16.
void TestHslUtils::roundingTiesToEven_data()
{
    QTest::addColumn<int>("l");
    QTest::addColumn<double>("half");
    QTest::addColumn<int>("channel");

    QTest::newRow("8.5-down") << 8 << 8.5 << 8;
    QTest::newRow("25.5-up") << 24 << 25.5 << 26;
    QTest::newRow("42.5-down") << 40 << 42.5 << 42;
    QTest::newRow("127.5-up") << 120 << 127.5 << 128;
    QTest::newRow("144.5-down") << 136 << 144.5 << 144;
    QTest::newRow("246.5-down") << 232 << 246.5 << 246;
}

void TestHslUtils::roundingTiesToEven()
{
    QFETCH(int, l);
    QFETCH(double, half);
    QFETCH(int, channel);

    // Only a genuine half in double precision makes the row meaningful.
    QCOMPARE(255.0 * (double(l) / 240), half);
    QCOMPARE(RedOf(HslScaledToColor(0, 0, l)), channel);
    QCOMPARE(RedOf(HslToColor(0.0, 0.0, double(l) / 240)), channel);
}

// Hue 239 is a full turn: red's hue + 1/3 and blue's hue - 1/3 leave [0, 1] and wrap once.
void TestHslUtils::rebuildFromScaled_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("l");
    QTest::addColumn<ColorRef>("expected");

    QTest::newRow("hue-0") << 0 << 240 << 120 << Rgb(255, 0, 0);
    QTest::newRow("hue-239-full-turn") << 239 << 240 << 120 << Rgb(255, 0, 0);
    QTest::newRow("hue-200-blue-wraps-up") << 200 << 240 << 120 << Rgb(255, 0, 250);
    QTest::newRow("hue-230-red-wraps-down") << 230 << 240 << 120 << Rgb(255, 0, 58);
    QTest::newRow("hue-10-blue-below-zero") << 10 << 240 << 120 << Rgb(255, 64, 0);
    QTest::newRow("navy-lighter") << 159 << 240 << 105 << Rgb(0, 2, 223);
    QTest::newRow("lightness-240-white") << 80 << 240 << 240 << Rgb(255, 255, 255);
    QTest::newRow("lightness-0-black") << 80 << 240 << 0 << Rgb(0, 0, 0);
}

void TestHslUtils::rebuildFromScaled()
{
    QFETCH(int, h);
    QFETCH(int, s);
    QFETCH(int, l);
    QFETCH(ColorRef, expected);

    QCOMPARE(Describe(HslScaledToColor(h, s, l)), Describe(expected));
}

// All 16,777,216 colours: fractional HSL stays in range and rebuilds the colour exactly; scaled
// HSL stays in range, greys stay greys, and every channel comes back within the error of the
// integer scale (half a step of hue turns into at most 255 * 6 * 0.5 / 239 = 3.2, lightness and
// saturation add about one more). Failures are counted rather than compared one by one to keep the
// loop fast.
void TestHslUtils::everyColour()
{
    constexpr int tolerance = 4;
    qint64 failures = 0;
    ColorRef firstFailure = 0;
    int worst = 0;

    for (ColorRef c = 0; c < 0x1000000; ++c) {
        const int r = RedOf(c);
        const int g = GreenOf(c);
        const int b = BlueOf(c);

        const HslColor f = ColorToHsl(c);
        const HslScaledColor s = ColorToHslScaled(c);
        const ColorRef exact = HslToColor(f.H, f.S, f.L);
        const ColorRef back = HslScaledToColor(s.H, s.S, s.L);

        const int err = std::max(
            {std::abs(RedOf(back) - r), std::abs(GreenOf(back) - g), std::abs(BlueOf(back) - b)});
        worst = std::max(worst, err);

        bool ok = f.H >= 0.0 && f.H < 1.0 && f.S >= 0.0 && f.S <= 1.0 && f.L >= 0.0 && f.L <= 1.0 &&
                  exact == c;
        ok = ok && s.H >= 0 && s.H <= HslScale - 1 && s.S >= 0 && s.S <= HslScale && s.L >= 0 &&
             s.L <= HslScale && err <= tolerance;
        if (r == g && g == b)
            ok = ok && s.H == 0 && s.S == 0 && RedOf(back) == GreenOf(back) &&
                 GreenOf(back) == BlueOf(back);
        if (!ok && failures++ == 0)
            firstFailure = c;
    }

    QVERIFY2(failures == 0,
             QByteArray::number(failures) + " colours fail, first " + Describe(firstFailure));
    qDebug("largest channel error after the scaled round trip: %d", worst);
}

QTEST_GUILESS_MAIN(TestHslUtils)
#include "tst_hslutils.moc"
