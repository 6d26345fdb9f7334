#include "MemoryStore.h"
#include "persistence/Options.h"
#include "persistence/RegistryData.h"
#include "persistence/RegistryStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace jov;

namespace {

const QString Root = QStringLiteral("Software\\Corvel Astine\\JOV");
const QString Opts = QStringLiteral("Software\\Corvel Astine\\JOV\\Options");
const QString Colors = QStringLiteral("Software\\Corvel Astine\\JOV\\Colors");
const QString Personal = QStringLiteral("Software\\Corvel Astine\\JOV\\Personal");

const QString OpenFolder = QStringLiteral("/opt/jov/Palettes");
const QString SaveFolder = QStringLiteral("/home/me/Documents");

QStringList Prefixed(const QString &key, const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        out.append(key + u'|' + n);
    return out;
}

// Op01..Op09, Op11..Op19 (there is no Op10), then the loupe's Op33.
QStringList OptionNames()
{
    QStringList names;
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 33, 34})
        names.append(QStringLiteral("Op%1").arg(n, 2, 10, QLatin1Char('0')));
    return names;
}

QStringList SlotNames()
{
    QStringList names;
    for (char c = 'A'; c <= 'P'; ++c)
        names.append(QStringLiteral("Couleur") + QLatin1Char(c));
    return names;
}

SlotColors AllWhite()
{
    SlotColors c{};
    c.fill(clWhite);
    return c;
}

TOptionsRecord Changed()
{
    TOptionsRecord r = DefaultOptions(OpenFolder, SaveFolder);
    r.carriedOver = true;
    r.red = 255;
    r.green = 128;
    r.blue = 7;
    r.valueOnly = true;
    r.formatHexa = true;
    r.formatHtml = false;
    r.alwaysOnTop = true;
    r.compact = true;
    r.savePlacement = false;
    r.rememberFolders = false;
    r.askToSavePalette = false;
    r.untitledOnCtrl = true;
    r.clickApplies = true;
    r.clearFromSelected = true;
    r.gradientFromSelected = true;
    r.gradientDivisor = 64;
    r.openFolder = QStringLiteral("/data/pal");
    r.saveFolder = QStringLiteral("/data/out");
    return r;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstRunGivesDefaults();
    void loadOrder_data();
    void loadOrder();
    void saveOrder();
    void saveWritesEveryKeyWithItsType();
    void roundTrip();
    void wrongTypeKeepsDefault_data();
    void wrongTypeKeepsDefault();
    void nonZeroIsTrue();
    void lastPaletteComesFromOpenFolder();
    void slotsKeepColourBits();
    void colorLines();
    void saveSkipsNamelessLines();
    void failedSaveIsReported();
    void twoInstancesKeepEachOthersChanges_data();
    void twoInstancesKeepEachOthersChanges();
};

void TestSettings::firstRunGivesDefaults()
{
    MemoryStore store;
    TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
    QStringList lines;
    SlotColors slotColors{}; // black: the load must make them white
    bool paletteLoaded = false;
    LoadSettingsFromStore(store, record, lines, slotColors,
                          [&](const QString &) { paletteLoaded = true; });

    QVERIFY(!paletteLoaded);
    QVERIFY(lines.isEmpty());
    QVERIFY(slotColors == AllWhite());
    QVERIFY(record == DefaultOptions(OpenFolder, SaveFolder));
    // The defaults that show on a first run: black, HTML format, untitled palette.
    QCOMPARE(record.red + record.green + record.blue, 0);
    QVERIFY(record.formatHtml && !record.formatHexa && !record.formatRgb);
    QCOMPARE(record.gradientDivisor, 16);
    QCOMPARE(record.paletteName, QStringLiteral("SansNom.pal"));
    QCOMPARE(store.writeLog(), QStringList());
}

void TestSettings::loadOrder_data()
{
    QTest::addColumn<bool>("withSnapshot");
    QTest::newRow("settings-alone") << false;
    QTest::newRow("with-snapshot") << true;
}

// With a snapshot every value is still read once; it adds only what the load does not read.
void TestSettings::loadOrder()
{
    QFETCH(bool, withSnapshot);
    MemoryStore store;
    store.data().SetString(Colors, QStringLiteral("ColorB"), QStringLiteral("00FF00"));
    store.data().SetString(Colors, QStringLiteral("ColorA"), QStringLiteral("FF0000"));
    TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
    QStringList lines;
    SlotColors slotColors{};
    SettingsSnapshot snapshot;
    LoadSettingsFromStore(store, record, lines, slotColors, {}, withSnapshot ? &snapshot : nullptr);

    QStringList expected = Prefixed(QStringLiteral("R ") + Opts, {QStringLiteral("Op00")});
    expected += Prefixed(QStringLiteral("R ") + Opts, OptionNames());
    expected += Prefixed(QStringLiteral("R ") + Opts,
                         {QStringLiteral("Op30"), QStringLiteral("Op31"), QStringLiteral("Op32")});
    expected += QStringLiteral("N ") + Colors;
    expected += Prefixed(QStringLiteral("R ") + Colors,
                         {QStringLiteral("ColorB"), QStringLiteral("ColorA")});
    expected += Prefixed(QStringLiteral("R ") + Personal, SlotNames());
    if (withSnapshot)
        expected += QStringLiteral("R ") + Root + QStringLiteral("|Version");
    QCOMPARE(store.callLog(), expected);
}

void TestSettings::saveOrder()
{
    MemoryStore store;
    const QStringList lines = {QStringLiteral("ColorA=FFFFFF"), QStringLiteral("ColorB=000000")};
    QVERIFY(SaveSettingsToStore(store, Changed(), lines, AllWhite()));

    QStringList expected = Prefixed(Opts, {QStringLiteral("Op00")});
    expected += Root + QStringLiteral("|Version");
    expected += Prefixed(Opts, OptionNames());
    expected += Prefixed(Colors, {QStringLiteral("ColorA"), QStringLiteral("ColorB")});
    expected += Prefixed(Personal, SlotNames());
    expected +=
        Prefixed(Opts, {QStringLiteral("Op30"), QStringLiteral("Op31"), QStringLiteral("Op32")});
    QCOMPARE(store.writeLog(), expected);
    QCOMPARE(store.batchCommits(), 1);
}

void TestSettings::saveWritesEveryKeyWithItsType()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Corvel Astine/JOV.reg"));
    RegistryStore store(path);
    QVERIFY(SaveSettingsToStore(store, DefaultOptions(OpenFolder, SaveFolder), {}, AllWhite()));
    QCOMPARE(store.fileReplacements(), 1);

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const RegistryData data = RegistryData::Parse(f.readAll());

    QStringList names;
    QVERIFY(data.ValueNames(Opts, names));
    QStringList expected =
        QStringList{QStringLiteral("Op00")} + OptionNames() +
        QStringList{QStringLiteral("Op30"), QStringLiteral("Op31"), QStringLiteral("Op32")};
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
    for (const QString &n : names) {
        const bool text = n == u"Op30" || n == u"Op31" || n == u"Op32";
        QCOMPARE(data.Value(Opts, n)->type, text ? RegValueType::String : RegValueType::Dword);
    }
    QCOMPARE(data.Value(Opts, QStringLiteral("Op06"))->dword, 1u);
    QCOMPARE(data.Value(Opts, QStringLiteral("Op05"))->dword, 0u);
    QCOMPARE(data.Value(Opts, QStringLiteral("Op19"))->dword, 16u);
    QCOMPARE(data.Value(Opts, QStringLiteral("Op32"))->text, QStringLiteral("SansNom.pal"));
    QCOMPARE(data.Value(Opts, QStringLiteral("Op30"))->text, OpenFolder);

    const RegValue *version = data.Value(Root, QStringLiteral("Version"));
    QVERIFY(version);
    QCOMPARE(version->type, RegValueType::String);
    QCOMPARE(version->text, QStringLiteral("3.0.0.0"));

    QVERIFY(data.ValueNames(Personal, names));
    QCOMPARE(names, SlotNames());
    QCOMPARE(data.Value(Personal, QStringLiteral("CouleurP"))->dword, 0x00FFFFFFu);
}

void TestSettings::roundTrip()
{
    QTemporaryDir dir;
    RegistryStore store(dir.filePath(QStringLiteral("JOV.reg")));
    TOptionsRecord saved = Changed();
    SlotColors slotColors = AllWhite();
    slotColors[0] = MakeColor(255, 128, 0);
    slotColors[15] = clBlack;
    const QStringList lines = {QStringLiteral("ColorA=FF8000"), QStringLiteral("ColorP=000000")};
    QVERIFY(SaveSettingsToStore(store, saved, lines, slotColors));

    TOptionsRecord loaded = DefaultOptions(OpenFolder, SaveFolder);
    QStringList loadedLines;
    SlotColors loadedSlotColors{};
    LoadSettingsFromStore(store, loaded, loadedLines, loadedSlotColors, {});
    QCOMPARE(loaded, saved); // Op13 clear: Op32 was already "SansNom.pal"
    QCOMPARE(loadedLines, lines);
    QVERIFY(loadedSlotColors == slotColors);

    // With Op13 set the palette name survives and the slots come from the palette instead.
    saved.reloadPalette = true;
    saved.paletteName = QStringLiteral("foo.pal");
    QVERIFY(SaveSettingsToStore(store, saved, lines, slotColors));
    loaded = DefaultOptions(OpenFolder, SaveFolder);
    loadedSlotColors = AllWhite();
    LoadSettingsFromStore(store, loaded, loadedLines, loadedSlotColors, {});
    QCOMPARE(loaded, saved);
    QVERIFY(loadedSlotColors == AllWhite());
}

void TestSettings::wrongTypeKeepsDefault_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("storeText"); // store a text where an integer belongs, or the reverse
    QTest::newRow("Op06-as-text") << "Op06" << true;
    QTest::newRow("Op01-as-text") << "Op01" << true;
    QTest::newRow("Op19-as-text") << "Op19" << true;
    QTest::newRow("Op30-as-integer") << "Op30" << false;
    QTest::newRow("Op32-as-integer") << "Op32" << false;
}

void TestSettings::wrongTypeKeepsDefault()
{
    QFETCH(QString, name);
    QFETCH(bool, storeText);
    MemoryStore store;
    if (storeText)
        store.data().SetString(Opts, name, QStringLiteral("0"));
    else
        store.data().SetDword(Opts, name, 0);
    const TOptionsRecord defaults = DefaultOptions(OpenFolder, SaveFolder);
    TOptionsRecord record = defaults;
    QStringList lines;
    SlotColors slotColors{};
    LoadSettingsFromStore(store, record, lines, slotColors, {});
    QCOMPARE(record, defaults);
}

void TestSettings::nonZeroIsTrue()
{
    MemoryStore store;
    store.data().SetDword(Opts, QStringLiteral("Op04"), 7);
    store.data().SetDword(Opts, QStringLiteral("Op06"), 0);
    store.data().SetDword(Opts, QStringLiteral("Op01"), quint32(-5));
    TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
    QStringList lines;
    SlotColors slotColors{};
    LoadSettingsFromStore(store, record, lines, slotColors, {});
    QVERIFY(record.valueOnly);
    QVERIFY(!record.formatHtml);
    QCOMPARE(record.red, -5); // not validated here: the channel field clamps it
}

void TestSettings::lastPaletteComesFromOpenFolder()
{
    MemoryStore store;
    store.data().SetDword(Opts, QStringLiteral("Op13"), 1);
    store.data().SetString(Opts, QStringLiteral("Op30"), QStringLiteral("/a/open//"));
    store.data().SetString(Opts, QStringLiteral("Op31"), QStringLiteral("/b/save"));
    store.data().SetString(Opts, QStringLiteral("Op32"), QStringLiteral("foo.pal"));
    store.data().SetDword(Personal, QStringLiteral("CouleurA"), 0x123456);

    TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
    QStringList lines;
    SlotColors slotColors = AllWhite();
    QStringList loads;
    LoadSettingsFromStore(store, record, lines, slotColors,
                          [&](const QString &p) { loads.append(p); });
    QCOMPARE(loads, QStringList{QStringLiteral("/a/open/foo.pal")});
    QCOMPARE(record.paletteName, QStringLiteral("foo.pal"));
    QVERIFY(slotColors == AllWhite()); // the stored slots are not read
    QVERIFY(!store.callLog().join(u'\n').contains(u"Personal"));
}

void TestSettings::slotsKeepColourBits()
{
    MemoryStore store;
    store.data().SetDword(Personal, QStringLiteral("CouleurC"), 0x0080FF00);
    store.data().SetDword(Personal, QStringLiteral("couleurd"),
                          0xFF000005); // other case, high byte
    store.data().SetString(Personal, QStringLiteral("CouleurE"), QStringLiteral("0")); // text
    store.data().SetString(Opts, QStringLiteral("Op32"), QStringLiteral("kept.pal"));
    TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
    QStringList lines;
    SlotColors slotColors{};
    LoadSettingsFromStore(store, record, lines, slotColors, {});
    QCOMPARE(slotColors[2], ColorRef(0x0080FF00));
    QCOMPARE(slotColors[3], ColorRef(0x00000005));
    QCOMPARE(slotColors[4], clWhite);
    QCOMPARE(slotColors[0], clWhite);
    QCOMPARE(record.paletteName, QStringLiteral("SansNom.pal")); // Op13 clear: untitled
}

void TestSettings::colorLines()
{
    MemoryStore store;
    store.data().SetString(Colors, QStringLiteral("ColorC"), QStringLiteral("A0B0C0"));
    store.data().SetDword(Colors, QStringLiteral("ColorA"), 5); // not a text: read as empty
    store.data().SetString(Colors, QStringLiteral("Color=X"), QStringLiteral("v"));
    TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
    QStringList lines;
    SlotColors slotColors{};
    LoadSettingsFromStore(store, record, lines, slotColors, {});
    QCOMPARE(lines, (QStringList{QStringLiteral("ColorC=A0B0C0"), QStringLiteral("ColorA="),
                                 QStringLiteral("Color=X=v")}));
}

void TestSettings::saveSkipsNamelessLines()
{
    MemoryStore store;
    const QStringList lines = {QStringLiteral("=orphan"), QStringLiteral("no equals sign"),
                               QStringLiteral("ColorA=B=C"), QStringLiteral("ColorB=")};
    QVERIFY(SaveSettingsToStore(store, Changed(), lines, AllWhite()));
    QStringList names;
    QVERIFY(store.data().ValueNames(Colors, names));
    QCOMPARE(names, (QStringList{QStringLiteral("ColorA"), QStringLiteral("ColorB")}));
    QCOMPARE(store.data().Value(Colors, QStringLiteral("ColorA"))->text, QStringLiteral("B=C"));
    QCOMPARE(store.data().Value(Colors, QStringLiteral("ColorB"))->text, QString());
}

void TestSettings::failedSaveIsReported()
{
    MemoryStore store;
    store.setFailWrites(true);
    QVERIFY(!SaveSettingsToStore(store, Changed(), {}, AllWhite()));

    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    RegistryStore unwritable(blocker.fileName() + QStringLiteral("/JOV.reg"));
    QVERIFY(!SaveSettingsToStore(unwritable, Changed(), {}, AllWhite()));
}

void TestSettings::twoInstancesKeepEachOthersChanges_data()
{
    QTest::addColumn<bool>("firstRun");   // the store is empty when both start
    QTest::addColumn<bool>("reload");     // Op13 set: the stored slots are not loaded
    QTest::addColumn<int>("aSlot1");      // what A puts in slot 1 (-1: nothing)
    QTest::addColumn<int>("bSlot1");      // what B, closed last, puts in slot 1
    QTest::addColumn<int>("bDivisor");    // what B puts in Op19
    QTest::addColumn<int>("storedSlot1"); // the store after both closed
    QTest::addColumn<int>("storedDivisor");
    QTest::newRow("b-unchanged") << false << false << 0x332211 << -1 << -1 << 0x332211 << 16;
    QTest::newRow("b-unchanged-first-run")
        << true << false << 0x332211 << -1 << -1 << 0x332211 << 16;
    QTest::newRow("b-unchanged-palette-reloaded")
        << false << true << 0x332211 << -1 << -1 << 0x332211 << 16;
    QTest::newRow("both-change-slot-1")
        << false << false << 0x332211 << 0x665544 << -1 << 0x665544 << 16;
    QTest::newRow("b-changes-another") << false << false << 0x332211 << -1 << 40 << 0x332211 << 40;
    QTest::newRow("b-changes-another-first-run")
        << true << false << 0x332211 << -1 << 40 << 0x332211 << 40;
}

// Two runs of the program on one store file: A and B load, A changes and closes, B closes later.
void TestSettings::twoInstancesKeepEachOthersChanges()
{
    QFETCH(bool, firstRun);
    QFETCH(bool, reload);
    QFETCH(int, aSlot1);
    QFETCH(int, bSlot1);
    QFETCH(int, bDivisor);
    QFETCH(int, storedSlot1);
    QFETCH(int, storedDivisor);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("JOV.reg"));
    if (!firstRun) {
        RegistryStore earlier(path);
        TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
        record.reloadPalette = reload;
        QVERIFY(SaveSettingsToStore(earlier, record, {}, AllWhite()));
    }

    struct Instance
    {
        explicit Instance(const QString &path) : store(path) {}
        RegistryStore store;
        TOptionsRecord record = DefaultOptions(OpenFolder, SaveFolder);
        QStringList lines;
        SlotColors slots = AllWhite();
        SettingsSnapshot snapshot;
    };
    Instance a(path);
    Instance b(path);
    for (Instance *i : {&a, &b})
        LoadSettingsFromStore(i->store, i->record, i->lines, i->slots, {}, &i->snapshot);

    a.slots[0] = ColorRef(aSlot1);
    QVERIFY(SaveSettingsToStore(a.store, a.record, a.lines, a.slots, &a.snapshot));
    QCOMPARE(a.store.fileReplacements(), 1);
    if (bSlot1 >= 0)
        b.slots[0] = ColorRef(bSlot1);
    if (bDivisor >= 0)
        b.record.gradientDivisor = bDivisor;
    QVERIFY(SaveSettingsToStore(b.store, b.record, b.lines, b.slots, &b.snapshot));
    QVERIFY(b.store.fileReplacements() <= 1);

    RegistryStore after(path);
    QCOMPARE(after.RegReadInteger(Personal, QStringLiteral("CouleurA"), -1), storedSlot1);
    QCOMPARE(after.RegReadInteger(Opts, QStringLiteral("Op19"), -1), storedDivisor);
    // Every value is there, also after a first run.
    QStringList names;
    QVERIFY(after.RegReadValueNames(Opts, names));
    QCOMPARE(names.size(), qsizetype(OptionKeys.size()));
    QCOMPARE(after.RegReadString(Root, QStringLiteral("Version"), QString()), StoreVersion);

    // The snapshot follows what this run wrote: going back to the colour it loaded is a change.
    a.slots[0] = clWhite;
    QVERIFY(SaveSettingsToStore(a.store, a.record, a.lines, a.slots, &a.snapshot));
    QCOMPARE(after.RegReadInteger(Personal, QStringLiteral("CouleurA"), -1), int(clWhite));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
