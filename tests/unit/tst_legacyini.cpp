#include "MemoryStore.h"
#include "persistence/IniFile.h"
#include "persistence/LegacyIni.h"
#include "persistence/RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace jov;

namespace {

const QString Opts = QStringLiteral("Software\\Corvel Astine\\JOV\\Options");
const QString Personal = QStringLiteral("Software\\Corvel Astine\\JOV\\Personal");

struct Imported
{
    TOptionsRecord record;
    QStringList lines;
    SlotColors slotColors{};
};

// Imports over a record whose Op01 is 77, so that "kept its current value" is visible.
Imported Import(const QByteArray &content)
{
    Imported r;
    r.record = DefaultOptions(QStringLiteral("/p"), QStringLiteral("/d"));
    r.record.red = 77;
    r.lines = QStringList{QStringLiteral("Previous=1")};
    ImportLegacyIni(content, r.record, r.lines, r.slotColors);
    return r;
}

} // namespace

class TestLegacyIni : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void signatureFollowsSizeAndTime();
    void integerText_data();
    void integerText();
    void options();
    void sectionsAndNamesIgnoreCase();
    void onlyOneSlotStored();
    void colourEntriesReplaceLines();
    void iniReaderRules();
    void importFile();
    void failedSaveKeepsFile();
    void unreadableFileChangesNothing();
    void onlyLegacyContentCounts_data();
    void onlyLegacyContentCounts();
    void importKeepsCopyOfStore_data();
    void importKeepsCopyOfStore();
};

// A file of the same size changed at another time is another file.
void TestLegacyIni::signatureFollowsSizeAndTime()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(LegacyIniName);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Options]\r\nOp01=1\r\n");
    const QDateTime first = QDateTime::fromSecsSinceEpoch(1'000'000'000);
    QVERIFY(file.setFileTime(first, QFileDevice::FileModificationTime));
    file.close();
    const QString signature = LegacyIniSignature(path);
    QCOMPARE(LegacyIniSignature(path), signature);

    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(first.addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(LegacyIniSignature(path) != signature);
}

void TestLegacyIni::integerText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("op01");
    QTest::newRow("decimal") << QByteArray("12") << 12;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("hex-lower-x") << QByteArray("0x1F") << 31;
    QTest::newRow("hex-upper-x") << QByteArray("0XfF") << 255;
    QTest::newRow("hex-high-bit-negative") << QByteArray("0xFFFFFFFF") << -1;
    QTest::newRow("blanks-around") << QByteArray("  42  ") << 42;
    QTest::newRow("word-keeps") << QByteArray("abc") << 77;
    QTest::newRow("nine-hex-digits-keeps") << QByteArray("0x100000000") << 77;
    QTest::newRow("beyond-int32-keeps") << QByteArray("2147483648") << 77;
    QTest::newRow("signed-hex-keeps") << QByteArray("-0x10") << 77;
    QTest::newRow("bare-0x-keeps") << QByteArray("0x") << 77;
    QTest::newRow("leading-zeros-hex") << QByteArray("0x000000001F") << 31;
    QTest::newRow("trailing-garbage-keeps") << QByteArray("12px") << 77;
}

void TestLegacyIni::integerText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, op01);
    QCOMPARE(Import("[Options]\r\nOp01=" + text + "\r\n").record.red, op01);
}

void TestLegacyIni::options()
{
    const Imported r = Import("[Options]\nOp01=10\nOp02=20\nOp03=30\nOp04=1\nOp05=2\n"
                              "Op06=0\nOp07=0x10\nOp08=x\nOp09=-1\nOp11=0\nOp19=3\n");
    QCOMPARE(r.record.red, 10);
    QCOMPARE(r.record.green, 20);
    QCOMPARE(r.record.blue, 30);
    QVERIFY(r.record.valueOnly);
    QVERIFY(r.record.formatHexa);
    QVERIFY(!r.record.formatHtml);
    QVERIFY(r.record.formatRgb);
    QVERIFY(!r.record.alwaysOnTop); // malformed: keeps false
    QVERIFY(r.record.compact);
    // Only Op01..Op09 come from the file.
    QVERIFY(r.record.savePlacement);
    QCOMPARE(r.record.gradientDivisor, 16);

    const Imported keep = Import("[Options]\nOp06=junk\n");
    QVERIFY(keep.record.formatHtml); // default true survives a bad value
}

void TestLegacyIni::sectionsAndNamesIgnoreCase()
{
    const Imported r = Import("[ options ]\nop02 = 3\n[PERSO]\ncouleura=0x0000FF\n");
    QCOMPARE(r.record.green, 3);
    QCOMPARE(r.slotColors[0], ColorRef(0x0000FF));
}

void TestLegacyIni::onlyOneSlotStored()
{
    const Imported r = Import("[Perso]\r\nCouleurC=255\r\n");
    for (int i = 0; i < SlotCount; ++i)
        QCOMPARE(r.slotColors[std::size_t(i)], i == 2 ? ColorRef(255) : clWhite);

    const Imported high = Import("[Perso]\nCouleurA=0xFF102030\nCouleurB=-1\n");
    QCOMPARE(high.slotColors[0], ColorRef(0x102030));
    QCOMPARE(high.slotColors[1], ColorRef(0xFFFFFF));
}

void TestLegacyIni::colourEntriesReplaceLines()
{
    QCOMPARE(Import("[Couleurs]\nColorB=00FF00\n; note\nColorA = FF0000\nnot an entry\n").lines,
             (QStringList{QStringLiteral("ColorB=00FF00"), QStringLiteral("ColorA=FF0000")}));
    // No section: the list is emptied, as the dialog's list is replaced by nothing.
    QCOMPARE(Import("[Options]\nOp01=1\n").lines, QStringList());
}

void TestLegacyIni::iniReaderRules()
{
    const IniFile ini = IniFile::Parse("top=level\n"
                                       "[A]\nx=1\nX=2\ny='q'\nz=\"a\n"
                                       "[a]\nw=3\n"
                                       "[B\nk=v\n"
                                       "[C]\n= nameless\nk==v\n");
    QCOMPARE(*ini.Value(QStringLiteral("a"), QStringLiteral("x")), QStringLiteral("1"));
    QCOMPARE(*ini.Value(QStringLiteral("A"), QStringLiteral("y")), QStringLiteral("q"));
    QCOMPARE(*ini.Value(QStringLiteral("A"), QStringLiteral("z")), QStringLiteral("\"a"));
    QVERIFY(!ini.Value(QStringLiteral("A"), QStringLiteral("w"))); // second [a] is not looked at
    QCOMPARE(*ini.Value(QStringLiteral("B"), QStringLiteral("k")), QStringLiteral("v"));
    QCOMPARE(ini.Entries(QStringLiteral("C")).size(), 1);
    QCOMPARE(*ini.Value(QStringLiteral("C"), QStringLiteral("k")), QStringLiteral("=v"));
    QVERIFY(!ini.HasSection(QString()));

    // Latin-1 bytes of an old file are read as Latin-1, not dropped.
    const IniFile old = IniFile::Parse("[Couleurs]\nCouleur\xE9=1\n");
    QCOMPARE(old.Entries(QStringLiteral("Couleurs")).first().name, QStringLiteral("Couleuré"));
}

void TestLegacyIni::importFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("JOV.ini"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Options]\r\nOp01=200\r\nOp06=0\r\nOp07=1\r\n[Perso]\r\nCouleurC=0x00FF00\r\n");
    }
    MemoryStore store;
    TOptionsRecord record = DefaultOptions(QStringLiteral("/p/Palettes"), QStringLiteral("/docs"));
    QStringList lines;
    SlotColors slotColors{};
    QCOMPARE(ImportLegacyIniFile(path, store, record, lines, slotColors),
             LegacyImportResult::Imported);
    QVERIFY(!QFile::exists(path));

    const RegistryData &d = store.data();
    QCOMPARE(d.Value(Opts, QStringLiteral("Op01"))->dword, 200u);
    QCOMPARE(d.Value(Opts, QStringLiteral("Op06"))->dword, 0u);
    QCOMPARE(d.Value(Opts, QStringLiteral("Op07"))->dword, 1u);
    QCOMPARE(d.Value(Opts, QStringLiteral("Op11"))->dword, 1u);
    QCOMPARE(d.Value(Opts, QStringLiteral("Op19"))->dword, 16u);
    QCOMPARE(d.Value(Opts, QStringLiteral("Op30"))->text, QStringLiteral("/p/Palettes"));
    QCOMPARE(d.Value(Opts, QStringLiteral("Op32"))->text, QStringLiteral("SansNom.pal"));
    QCOMPARE(d.Value(Personal, QStringLiteral("CouleurC"))->dword, 0x00FF00u);
    QCOMPARE(d.Value(Personal, QStringLiteral("CouleurA"))->dword, 0xFFFFFFu);
}

void TestLegacyIni::failedSaveKeepsFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("JOV.ini"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Options]\nOp01=5\n");
    }
    MemoryStore store;
    store.setFailWrites(true);
    TOptionsRecord record;
    QStringList lines;
    SlotColors slotColors{};
    QCOMPARE(ImportLegacyIniFile(path, store, record, lines, slotColors),
             LegacyImportResult::SaveFailed);
    QVERIFY(QFile::exists(path));
    QCOMPARE(record.red, 5); // this run still uses what was imported
}

void TestLegacyIni::unreadableFileChangesNothing()
{
    QTemporaryDir dir;
    MemoryStore store;
    TOptionsRecord record;
    record.red = 9;
    const TOptionsRecord before = record;
    QStringList lines{QStringLiteral("Keep=1")};
    SlotColors slotColors{};
    // A folder by that name cannot be read as a file.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("JOV.ini")));
    QCOMPARE(ImportLegacyIniFile(dir.filePath(QStringLiteral("JOV.ini")), store, record, lines,
                                 slotColors),
             LegacyImportResult::Unreadable);
    QCOMPARE(record, before);
    QCOMPARE(lines, QStringList{QStringLiteral("Keep=1")});
    QVERIFY(store.writeLog().isEmpty());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("JOV.ini"))).isDir());
}

void TestLegacyIni::onlyLegacyContentCounts_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("legacy");
    QTest::newRow("option") << QByteArray("[Options]\r\nOp09=1\r\n") << true;
    QTest::newRow("colour-entry") << QByteArray("[couleurs]\nAnything=1\n") << true;
    QTest::newRow("slot") << QByteArray("[Perso]\nCouleurP=0\n") << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("sections-without-entries")
        << QByteArray("[Options]\n[Couleurs]\n[Perso]\n") << false;
    QTest::newRow("options-not-imported") << QByteArray("[Options]\nOp11=0\nOp30=x\n") << false;
    QTest::newRow("slot-name-out-of-range") << QByteArray("[Perso]\nCouleurQ=0\n") << false;
    QTest::newRow("key-outside-any-section") << QByteArray("Op01=5\n") << false;
    QTest::newRow("other-program") << QByteArray("[General]\nOp01=5\n") << false;
    QByteArray junk(3000, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 7919 + 13) % 251);
    QTest::newRow("random-bytes") << junk << false;
}

void TestLegacyIni::onlyLegacyContentCounts()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, legacy);
    QCOMPARE(IsLegacyIni(content), legacy);

    // A file that is not a legacy settings file is neither imported nor deleted.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("JOV.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    f.close();
    MemoryStore store;
    TOptionsRecord record;
    QStringList lines;
    SlotColors slotColors{};
    const LegacyImportResult result = ImportLegacyIniFile(path, store, record, lines, slotColors);
    QCOMPARE(result, legacy ? LegacyImportResult::Imported : LegacyImportResult::Unreadable);
    QCOMPARE(QFile::exists(path), !legacy);
    QCOMPARE(store.writeLog().isEmpty(), !legacy);
}

void TestLegacyIni::importKeepsCopyOfStore_data()
{
    QTest::addColumn<QByteArray>("storeBefore"); // empty: no store file
    QTest::addColumn<QString>("copy");           // where the old store is kept
    const QByteArray ours = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\r\n"
                            "\"Op01\"=dword:00000011\r\n";
    QTest::newRow("no-store") << QByteArray() << QString();
    QTest::newRow("store") << ours << QStringLiteral("JOV.reg.bak");
    // A line the store does not understand would be copied aside at the write anyway: one copy.
    QTest::newRow("store-with-comment") << ours + "; by hand\r\n" << QStringLiteral("JOV.reg.bak");
}

void TestLegacyIni::importKeepsCopyOfStore()
{
    QFETCH(QByteArray, storeBefore);
    QFETCH(QString, copy);
    QTemporaryDir dir;
    const QString storePath = dir.filePath(QStringLiteral("JOV.reg"));
    if (!storeBefore.isEmpty()) {
        QFile f(storePath);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(storeBefore) == storeBefore.size());
    }
    const QString legacy = dir.filePath(QStringLiteral("JOV.ini"));
    {
        QFile f(legacy);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Options]\nOp01=200\n");
    }
    RegistryStore store(storePath);
    TOptionsRecord record;
    QStringList lines;
    SlotColors slotColors{};
    SettingsSnapshot snapshot;
    QCOMPARE(ImportLegacyIniFile(legacy, store, record, lines, slotColors, &snapshot),
             LegacyImportResult::Imported);
    QCOMPARE(store.RegReadInteger(Opts, QStringLiteral("Op01"), -1), 200);
    QCOMPARE(store.fileReplacements(), 1);

    const QStringList copies =
        QDir(dir.path()).entryList({QStringLiteral("JOV.reg.bak*")}, QDir::Files);
    QCOMPARE(copies, copy.isEmpty() ? QStringList() : QStringList{copy});
    if (!copy.isEmpty()) {
        QFile kept(dir.filePath(copy));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), storeBefore);
    }
    // The snapshot knows every value written: a save right after writes nothing.
    QVERIFY(SaveSettingsToStore(store, record, lines, slotColors, &snapshot));
    QCOMPARE(store.fileReplacements(), 1);
}

QTEST_GUILESS_MAIN(TestLegacyIni)
#include "tst_legacyini.moc"
