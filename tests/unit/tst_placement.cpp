#include "MemoryStore.h"
#include "persistence/Placement.h"
#include "persistence/RegistryStore.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>

using namespace jov;

Q_DECLARE_METATYPE(jov::PlacementShow)
Q_DECLARE_METATYPE(jov::PlacementRect)

namespace {

const QString Key = QStringLiteral("Software\\Corvel Astine\\JOV\\Application");

// The window as created: design place 10,10, 556 x 352 outside.
WindowPlacementRecord Current()
{
    WindowPlacementRecord p;
    p.flags = 0;
    p.showCmd = SwShowNormal;
    p.normalPosition = PlacementRect{10, 10, 566, 362};
    return p;
}

PlacementReadResult Read(MemoryStore &store, bool visible = false, int ppi = 96, int w = 1024,
                         int h = 768)
{
    return ReadPlacement(store, Key, Current(), visible, ppi, w, h);
}

void Put(MemoryStore &store, const QString &name, const QString &value)
{
    store.data().SetString(Key, name, value);
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writeOrderAndTexts();
    void positionWords_data();
    void positionWords();
    void noRecord();
    void screenSpecificNameFirst();
    void otherPixelsPerInchIgnoresPosition();
    void twoWordsKeepSize();
    void sizeNeverOverflows();
    void showCmd_data();
    void showCmd();
    void negativeVersionStops();
    void flagsAndHiddenWindow();
    void roundTripThroughFile();
    void fitOnScreens_data();
    void fitOnScreens();
    void extremeStoredPlaceLandsOnScreen_data();
    void extremeStoredPlaceLandsOnScreen();
};

void TestPlacement::writeOrderAndTexts()
{
    MemoryStore store;
    WindowPlacementRecord p;
    p.flags = 2;
    p.showCmd = SwShowMinimized;
    p.minPosition = QPoint(-1, -1);
    p.maxPosition = QPoint(-8, -30);
    p.normalPosition = PlacementRect{300, 200, 856, 552};
    QVERIFY(WritePlacement(store, Key, p, 120, 1024, 768, true));

    const QStringList names = {QStringLiteral("FormVersion"),
                               QStringLiteral("Flags"),
                               QStringLiteral("ShowCmd"),
                               QStringLiteral("PixelsPerInch"),
                               QStringLiteral("MinMaxPos(1024x768)"),
                               QStringLiteral("MinMaxPos"),
                               QStringLiteral("NormPos(1024x768)"),
                               QStringLiteral("NormPos"),
                               QStringLiteral("Visible")};
    QStringList expected;
    for (const QString &n : names)
        expected.append(Key + u'|' + n);
    QCOMPARE(store.writeLog(), expected);
    QCOMPARE(store.batchCommits(), 1);

    const auto text = [&](const char *n) {
        const RegValue *v = store.data().Value(Key, QString::fromLatin1(n));
        return v && v->type == RegValueType::String ? v->text : QStringLiteral("<missing>");
    };
    QCOMPARE(text("FormVersion"), QStringLiteral("0"));
    QCOMPARE(text("ShowCmd"), QStringLiteral("2"));
    QCOMPARE(text("PixelsPerInch"), QStringLiteral("120"));
    QCOMPARE(text("MinMaxPos(1024x768)"), QStringLiteral("-1,-1,-8,-30"));
    QCOMPARE(text("NormPos(1024x768)"), QStringLiteral("300,200,856,552"));
    QCOMPARE(text("NormPos"), QStringLiteral("300,200,856,552"));
    QCOMPARE(text("Visible"), QStringLiteral("1"));

    QVERIFY(WritePlacement(store, Key, p, 96, 800, 600, false));
    QCOMPARE(text("Visible"), QStringLiteral("0"));
    QCOMPARE(text("NormPos(800x600)"), QStringLiteral("300,200,856,552"));

    store.setFailWrites(true);
    QVERIFY(!WritePlacement(store, Key, p, 96, 800, 600, false));
}

void TestPlacement::positionWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("words");
    const QList<int> d = {-1, -2, -3, -4};
    QTest::newRow("commas") << "1,2,3,4" << QList<int>{1, 2, 3, 4};
    QTest::newRow("two-words-blank") << "300 200" << QList<int>{300, 200, -3, -4};
    QTest::newRow("runs-of-separators") << " 1, ,2 ,,3  4 " << QList<int>{1, 2, 3, 4};
    QTest::newRow("malformed-word-takes-default") << "1,x,3,4" << QList<int>{1, -2, 3, 4};
    QTest::newRow("too-big-word") << "99999999999,2" << QList<int>{-1, 2, -3, -4};
    QTest::newRow("extra-words-ignored") << "1,2,3,4,5" << QList<int>{1, 2, 3, 4};
    QTest::newRow("empty") << "" << d;
    QTest::newRow("tab-is-not-a-separator") << "1\t2,3" << QList<int>{-1, 3, -3, -4};
}

void TestPlacement::positionWords()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, words);
    QCOMPARE(ParsePositionWords(text, {-1, -2, -3, -4}), words);
}

void TestPlacement::noRecord()
{
    MemoryStore store;
    const PlacementReadResult r = Read(store);
    QVERIFY(!r.stopped);
    QVERIFY(!r.applyPlacement);
    QCOMPARE(r.show, PlacementShow::Normal);
}

void TestPlacement::screenSpecificNameFirst()
{
    MemoryStore store;
    Put(store, QStringLiteral("NormPos(1024x768)"), QStringLiteral("100,110,0,0"));
    Put(store, QStringLiteral("NormPos"), QStringLiteral("200,210,0,0"));

    PlacementReadResult r = Read(store, false, 96, 1024, 768);
    QVERIFY(r.applyPlacement);
    QCOMPARE(r.placement.normalPosition.left, 100);
    QCOMPARE(r.placement.normalPosition.top, 110);

    // Saved at another resolution: the plain name.
    r = Read(store, false, 96, 1920, 1080);
    QVERIFY(r.applyPlacement);
    QCOMPARE(r.placement.normalPosition.left, 200);

    // An empty screen-specific value does not hide the plain one.
    Put(store, QStringLiteral("NormPos(1024x768)"), QString());
    QCOMPARE(Read(store).placement.normalPosition.left, 200);

    // Only the min/max positions stored still counts as a position.
    MemoryStore minMaxOnly;
    Put(minMaxOnly, QStringLiteral("MinMaxPos"), QStringLiteral("-1,-1,5,6"));
    r = Read(minMaxOnly);
    QVERIFY(r.applyPlacement);
    QCOMPARE(r.placement.maxPosition, QPoint(5, 6));
    QCOMPARE(r.placement.normalPosition, Current().normalPosition);
}

void TestPlacement::otherPixelsPerInchIgnoresPosition()
{
    MemoryStore store;
    Put(store, QStringLiteral("PixelsPerInch"), QStringLiteral("120"));
    Put(store, QStringLiteral("NormPos"), QStringLiteral("300,200,0,0"));
    Put(store, QStringLiteral("ShowCmd"), QStringLiteral("6"));
    PlacementReadResult r = Read(store, false, 96);
    QVERIFY(!r.applyPlacement);
    QCOMPARE(r.show, PlacementShow::Minimized);

    r = Read(store, false, 120);
    QVERIFY(r.applyPlacement);

    // No PixelsPerInch stored: taken as the current one.
    MemoryStore noPpi;
    Put(noPpi, QStringLiteral("NormPos"), QStringLiteral("300,200,0,0"));
    QVERIFY(Read(noPpi, false, 144).applyPlacement);
}

void TestPlacement::twoWordsKeepSize()
{
    MemoryStore store;
    Put(store, QStringLiteral("NormPos"), QStringLiteral("300 200"));
    PlacementReadResult r = Read(store);
    QVERIFY(r.applyPlacement);
    QCOMPARE(r.placement.normalPosition, (PlacementRect{300, 200, 300 + 556, 200 + 352}));

    // A stored size is not taken: the window has a fixed-size border.
    Put(store, QStringLiteral("NormPos"), QStringLiteral("300,200,900,900"));
    QCOMPARE(Read(store).placement.normalPosition, (PlacementRect{300, 200, 856, 552}));
}

void TestPlacement::sizeNeverOverflows()
{
    MemoryStore store;
    Put(store, QStringLiteral("NormPos"), QStringLiteral("2147483647,-2147483648"));
    const PlacementReadResult r = Read(store);
    QCOMPARE(r.placement.normalPosition.left, std::numeric_limits<int>::max());
    QCOMPARE(r.placement.normalPosition.right, std::numeric_limits<int>::max());
    QCOMPARE(r.placement.normalPosition.bottom, std::numeric_limits<int>::min() + 352);
}

void TestPlacement::showCmd_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<PlacementShow>("show");
    QTest::newRow("missing") << QString() << PlacementShow::Normal;
    QTest::newRow("0-hide-is-normal") << "0" << PlacementShow::Normal;
    QTest::newRow("1") << "1" << PlacementShow::Normal;
    QTest::newRow("2") << "2" << PlacementShow::Minimized;
    QTest::newRow("3") << "3" << PlacementShow::Maximized;
    QTest::newRow("6") << "6" << PlacementShow::Minimized;
    QTest::newRow("7") << "7" << PlacementShow::Minimized;
    QTest::newRow("9") << "9" << PlacementShow::Normal;
    QTest::newRow("malformed") << "3x" << PlacementShow::Normal;
}

void TestPlacement::showCmd()
{
    QFETCH(QString, stored);
    QFETCH(PlacementShow, show);
    MemoryStore store;
    if (!stored.isNull())
        Put(store, QStringLiteral("ShowCmd"), stored);
    QCOMPARE(Read(store).show, show);
}

void TestPlacement::negativeVersionStops()
{
    MemoryStore store;
    Put(store, QStringLiteral("FormVersion"), QStringLiteral("-1"));
    Put(store, QStringLiteral("NormPos"), QStringLiteral("1,2,3,4"));
    Put(store, QStringLiteral("ShowCmd"), QStringLiteral("3"));
    PlacementReadResult r = Read(store);
    QVERIFY(r.stopped);
    QVERIFY(!r.applyPlacement);
    QCOMPARE(r.show, PlacementShow::Normal);

    Put(store, QStringLiteral("FormVersion"), QStringLiteral("garbage")); // reads as 0
    r = Read(store);
    QVERIFY(!r.stopped);
    QVERIFY(r.applyPlacement);
    QCOMPARE(r.show, PlacementShow::Maximized);
}

void TestPlacement::flagsAndHiddenWindow()
{
    MemoryStore store;
    Put(store, QStringLiteral("NormPos"), QStringLiteral("5,5"));
    PlacementReadResult r = Read(store, false);
    QCOMPARE(r.placement.showCmd, SwHide); // applying must not show the window yet
    QCOMPARE(r.placement.flags, 0);

    Put(store, QStringLiteral("Flags"), QStringLiteral("2"));
    r = Read(store, true);
    QCOMPARE(r.placement.showCmd, SwShowNormal);
    QCOMPARE(r.placement.flags, 2);
}

void TestPlacement::roundTripThroughFile()
{
    QTemporaryDir dir;
    RegistryStore store(dir.filePath(QStringLiteral("JOV.reg")));
    WindowPlacementRecord p = Current();
    p.normalPosition = PlacementRect{-40, 25, 516, 377};
    p.showCmd = SwShowMaximized;
    p.flags = 2;
    QVERIFY(WritePlacement(store, Key, p, 96, 1280, 1024, false));
    QCOMPARE(store.fileReplacements(), 1);

    const PlacementReadResult r = ReadPlacement(store, Key, Current(), true, 96, 1280, 1024);
    QVERIFY(r.applyPlacement);
    QCOMPARE(r.placement.normalPosition, p.normalPosition);
    QCOMPARE(r.placement.flags, 2);
    QCOMPARE(r.show, PlacementShow::Maximized);
}

void TestPlacement::fitOnScreens_data()
{
    QTest::addColumn<QList<QRect>>("areas");
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("titleBar");
    QTest::addColumn<QPoint>("expected");
    constexpr int Max = std::numeric_limits<int>::max();
    constexpr int Min = std::numeric_limits<int>::min();
    const QSize window(556, 352);
    const QList<QRect> sxga{QRect(0, 0, 1280, 1024)};
    const QList<QRect> twoScreens{QRect(0, 0, 1920, 1080), QRect(1920, 200, 1280, 1024)};

    QTest::newRow("visible-unchanged")
        << sxga << QPoint(100, 100) << window << 30 << QPoint(100, 100);
    QTest::newRow("title-bar-visible-bottom-off-unchanged")
        << sxga << QPoint(100, 990) << window << 30 << QPoint(100, 990);
    QTest::newRow("corner-of-1280x1024")
        << sxga << QPoint(1270, 1015) << window << 30 << QPoint(1280 - 556, 1024 - 352);
    QTest::newRow("saved-on-larger-screen-read-on-800x600")
        << QList<QRect>{QRect(0, 0, 800, 600)} << QPoint(1500, 900) << window << 30
        << QPoint(800 - 556, 600 - 352);
    QTest::newRow("title-bar-under-top-panel")
        << QList<QRect>{QRect(0, 32, 1280, 992)} << QPoint(100, 10) << window << 30
        << QPoint(100, 32);
    QTest::newRow("left-edge-off") << sxga << QPoint(-300, 100) << window << 30 << QPoint(0, 100);
    QTest::newRow("second-screen-unchanged")
        << twoScreens << QPoint(2000, 300) << window << 30 << QPoint(2000, 300);
    QTest::newRow("second-screen-partly-off")
        << twoScreens << QPoint(2900, 300) << window << 30 << QPoint(3200 - 556, 300);
    // 120 x 352 on the first screen, 436 x 202 on the second.
    QTest::newRow("across-screens-goes-to-most-overlap")
        << twoScreens << QPoint(1800, 50) << window << 30 << QPoint(1920, 200);
    QTest::newRow("off-every-screen-goes-to-nearest")
        << QList<QRect>{QRect(-1280, 0, 1280, 1024), QRect(0, 0, 1024, 768)} << QPoint(30000, 30000)
        << window << 30 << QPoint(1024 - 556, 768 - 352);
    QTest::newRow("larger-than-screen-aligned-top-left")
        << QList<QRect>{QRect(10, 20, 400, 300)} << QPoint(50, 50) << window << 30
        << QPoint(10, 20);
    QTest::newRow("no-screen-unchanged")
        << QList<QRect>{} << QPoint(Max, Min) << window << 30 << QPoint(Max, Min);
    QTest::newRow("int-max-corner")
        << sxga << QPoint(Max, Max) << window << 30 << QPoint(1280 - 556, 1024 - 352);
    QTest::newRow("int-min-corner") << sxga << QPoint(Min, Min) << window << 30 << QPoint(0, 0);
    QTest::newRow("int-max-size") << sxga << QPoint(Max, Min) << QSize(Max, Max) << Max
                                  << QPoint(0, 0);
    QTest::newRow("negative-size-and-bar")
        << sxga << QPoint(Max, 5) << QSize(-5, Min) << Min << QPoint(1279, 5);
    QTest::newRow("screen-at-the-int-edge")
        << QList<QRect>{QRect(QPoint(Max - 999, Max - 999), QPoint(Max, Max))} << QPoint(Max, Max)
        << window << 30 << QPoint(Max - 555, Max - 351);
}

void TestPlacement::fitOnScreens()
{
    QFETCH(QList<QRect>, areas);
    QFETCH(QPoint, stored);
    QFETCH(QSize, size);
    QFETCH(int, titleBar);
    QFETCH(QPoint, expected);
    QCOMPARE(FitOnScreens(stored, size, titleBar, areas), expected);
}

void TestPlacement::extremeStoredPlaceLandsOnScreen_data()
{
    QTest::addColumn<QString>("normPos");
    QTest::addColumn<PlacementRect>("current");
    constexpr int Max = std::numeric_limits<int>::max();
    constexpr int Min = std::numeric_limits<int>::min();
    const PlacementRect designed{10, 10, 566, 362};
    QTest::newRow("int-max") << "2147483647,2147483647,2147483647,2147483647" << designed;
    QTest::newRow("int-min") << "-2147483648,-2147483648,-2147483648,-2147483648" << designed;
    QTest::newRow("mixed") << "2147483647,-2147483648,-2147483648,2147483647" << designed;
    QTest::newRow("current-spans-all-ints")
        << "2147483647,-2147483648" << PlacementRect{Min, Min, Max, Max};
    QTest::newRow("current-inside-out")
        << "-2147483648,2147483647" << PlacementRect{Max, Max, Min, Min};
}

// The window's road from the stored record to its place; under the sanitizer any signed
// overflow on the way aborts.
void TestPlacement::extremeStoredPlaceLandsOnScreen()
{
    QFETCH(QString, normPos);
    QFETCH(PlacementRect, current);
    MemoryStore store;
    Put(store, QStringLiteral("NormPos"), normPos);
    Put(store, QStringLiteral("MinMaxPos"), normPos);
    WindowPlacementRecord now = Current();
    now.normalPosition = current;
    const PlacementReadResult r = ReadPlacement(store, Key, now, true, 96, 1280, 1024);
    QVERIFY(r.applyPlacement);
    const PlacementRect &p = r.placement.normalPosition;
    const QSize size(int(std::clamp<qint64>(qint64(p.right) - p.left, 0, 1 << 20)),
                     int(std::clamp<qint64>(qint64(p.bottom) - p.top, 0, 1 << 20)));
    const QRect screen(0, 0, 1280, 1024);
    const QPoint place = FitOnScreens(QPoint(p.left, p.top), size, 30, {screen});
    QVERIFY(screen.contains(place));
}

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
