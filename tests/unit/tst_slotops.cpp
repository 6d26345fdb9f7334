#include "color/SlotOps.h"

#include <QTest>

using namespace jov;

namespace {

SlotColors Numbered()
{
    SlotColors colors{};
    for (size_t i = 0; i < 16; ++i)
        colors[i] = MakeColor(int(i), int(i) * 2, int(i) * 3);
    return colors;
}

QString FillText(const std::array<bool, 16> &fill)
{
    QString text;
    for (bool f : fill)
        text += f ? QLatin1Char('x') : QLatin1Char('.');
    return text;
}

} // namespace

class TestSlotOps : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void slotsToFill_data();
    void slotsToFill();
    void clearKeepsUnfilled();
    void gradientExample();
    void gradient_data();
    void gradient();
    void gradientDivisorBelowOne();
};

void TestSlotOps::slotsToFill_data()
{
    QTest::addColumn<bool>("fromSelected");
    QTest::addColumn<bool>("selectionMade");
    QTest::addColumn<int>("marked");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all-by-default") << false << true << 9 << "xxxxxxxxxxxxxxxx";
    QTest::newRow("from-slot-10") << true << true << 9 << ".........xxxxxxx";
    QTest::newRow("option-without-selection") << true << false << -1 << "xxxxxxxxxxxxxxxx";
    QTest::newRow("from-slot-16") << true << true << 15 << "...............x";
    QTest::newRow("from-slot-1") << true << true << 0 << "xxxxxxxxxxxxxxxx";
}

void TestSlotOps::slotsToFill()
{
    QFETCH(bool, fromSelected);
    QFETCH(bool, selectionMade);
    QFETCH(int, marked);
    QFETCH(QString, expected);
    QCOMPARE(FillText(SlotsToFill(fromSelected, selectionMade, marked)), expected);
}

void TestSlotOps::clearKeepsUnfilled()
{
    const SlotColors before = Numbered();
    const SlotColors after = ClearSlots(before, SlotsToFill(true, true, 9));
    for (size_t i = 0; i < 16; ++i)
        QCOMPARE(after[i], i < 9 ? before[i] : clWhite);
}

void TestSlotOps::gradientExample()
{
    // Navy: H 159, S 240, L 60; divisor 16 gives step 3, lightness 60, 63, ..., 105.
    const SlotColors after =
        GradientSlots(Numbered(), SlotsToFill(false, false, -1), MakeColor(0, 0, 128), 16);
    QCOMPARE(after[0], MakeColor(0, 1, 128));
    QCOMPARE(after[15], MakeColor(0, 2, 223));
    // Lightness grows: each slot is at least as light as the one before.
    for (size_t i = 1; i < 16; ++i)
        QVERIFY(BlueOf(after[i]) >= BlueOf(after[i - 1]));
}

void TestSlotOps::gradient_data()
{
    QTest::addColumn<quint32>("current");
    QTest::addColumn<int>("marked");
    QTest::addColumn<bool>("fromSelected");
    QTest::addColumn<quint32>("firstFilled");
    QTest::addColumn<quint32>("lastFilled");
    QTest::newRow("white-stays-white")
        << quint32(clWhite) << -1 << false << quint32(clWhite) << quint32(clWhite);
    QTest::newRow("black-step-zero")
        << quint32(clBlack) << -1 << false << quint32(clBlack) << quint32(clBlack);
    QTest::newRow("only-slot-16") << quint32(MakeColor(0, 0, 128)) << 15 << true
                                  << quint32(MakeColor(0, 1, 128)) << quint32(MakeColor(0, 1, 128));
    // Light grey 200: L 188, step 11; lightness caps at 240, so the last slots are white.
    QTest::newRow("caps-at-240") << quint32(MakeColor(200, 200, 200)) << -1 << false
                                 << quint32(MakeColor(200, 200, 200)) << quint32(clWhite);
}

void TestSlotOps::gradient()
{
    QFETCH(quint32, current);
    QFETCH(int, marked);
    QFETCH(bool, fromSelected);
    QFETCH(quint32, firstFilled);
    QFETCH(quint32, lastFilled);
    const SlotColors before = Numbered();
    const auto fill = SlotsToFill(fromSelected, marked >= 0, marked);
    const SlotColors after = GradientSlots(before, fill, current, 16);
    const size_t first = marked >= 0 && fromSelected ? size_t(marked) : 0;
    QCOMPARE(after[first], ColorRef(firstFilled));
    QCOMPARE(after[15], ColorRef(lastFilled));
    for (size_t i = 0; i < first; ++i)
        QCOMPARE(after[i], before[i]);
}

void TestSlotOps::gradientDivisorBelowOne()
{
    // A divisor of 0 or less read from a hand-edited store must not divide by zero.
    for (int divisor : {0, -5}) {
        const SlotColors after =
            GradientSlots(Numbered(), SlotsToFill(false, false, -1), MakeColor(0, 0, 128), divisor);
        QCOMPARE(after[0], MakeColor(0, 1, 128));
        QCOMPARE(after[15], clWhite); // step = L: the lightness reaches 240 quickly
    }
}

QTEST_GUILESS_MAIN(TestSlotOps)
#include "tst_slotops.moc"
