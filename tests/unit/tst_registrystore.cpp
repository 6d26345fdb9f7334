#include "FileSizeLimit.h"
#include "ReadOnlyFolder.h"
#include "persistence/RegistryData.h"
#include "persistence/RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace jov;
using jov::test::FileSizeLimit;
using jov::test::ReadOnlyFolder;

namespace {

const QString Options = QStringLiteral("Software\\Corvel Astine\\JOV\\Options");

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

} // namespace

class TestRegistryStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void fileText();
    void readsExportFormat();
    void namesAndKeysIgnoreCase();
    void wrongTypeReadsDefault();
    void valueNames();
    void textRoundTrip_data();
    void textRoundTrip();
    void reparseIsStable_data();
    void reparseIsStable();
    void otherTypesAreKept();
    void seesChangesOnDisk();
    void batchReplacesFileOnce();
    void unknownLinesAreCopiedAside_data();
    void unknownLinesAreCopiedAside();
    void olderCopyIsNeverOverwritten();
    void backupsAreBounded_data();
    void backupsAreBounded();
    void unreadableFileIsMovedAside_data();
    void unreadableFileIsMovedAside();
    void failedWriteKeepsFileWhole_data();
    void failedWriteKeepsFileWhole();
    void refusedWritesReportFalse();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestRegistryStore::init()
{
    QVERIFY(m_dir.isValid());
    // Each test gets its own folder, created by the store itself on its first write.
    static int n = 0;
    m_path = m_dir.filePath(QStringLiteral("t%1/JOV.reg").arg(++n));
}

void TestRegistryStore::fileText()
{
    RegistryStore store(m_path);
    QVERIFY(store.RegWriteString(Options, QStringLiteral("Op30"), QStringLiteral("C:\\a \"b\"")));
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 10));
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op02"), -1));
    QVERIFY(store.RegWriteString(QStringLiteral("Software\\Corvel Astine\\JOV"),
                                 QStringLiteral("Version"), QStringLiteral("3.0.0.0")));
    QCOMPARE(ReadAll(m_path),
             QByteArray("Windows Registry Editor Version 5.00\r\n"
                        "\r\n"
                        "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\r\n"
                        "\"Op30\"=\"C:\\\\a \\\"b\\\"\"\r\n"
                        "\"Op01\"=dword:0000000a\r\n"
                        "\"Op02\"=dword:ffffffff\r\n"
                        "\r\n"
                        "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV]\r\n"
                        "\"Version\"=\"3.0.0.0\"\r\n"));
}

void TestRegistryStore::readsExportFormat()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QVERIFY(WriteAll(m_path, "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\n"
                             "\"Op01\"=dword:000000FF\n"
                             "\"Op30\" = \"/home/\xC3\xA9t\xC3\xA9\\\\x\"  \n"
                             "@=\"default\"\n"
                             "[hkcu\\Software\\Corvel Astine\\JOV\\Colors]\r\n"
                             "\"ColorA\"=\"FFFFFF\"\r\n"));
    RegistryStore store(m_path);
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), 0), 255);
    QCOMPARE(store.RegReadString(Options, QStringLiteral("Op30"), QString()),
             QStringLiteral("/home/été\\x"));
    QCOMPARE(store.RegReadString(Options, QString(), QString()), QStringLiteral("default"));
    QCOMPARE(store.RegReadString(QStringLiteral("Software\\Corvel Astine\\JOV\\Colors"),
                                 QStringLiteral("ColorA"), QString()),
             QStringLiteral("FFFFFF"));

    // An export saved as UTF-16 with its byte-order mark, as registry editors write them.
    const QString wide = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_CURRENT_USER\\K]\r\n\"\u00e9\"=\"\u8272\"\r\n");
    RegParseReport report;
    const RegistryData data = RegistryData::Parse(
        QByteArray("\xFF\xFE") +
            QByteArray(reinterpret_cast<const char *>(wide.utf16()), wide.size() * 2),
        &report);
    QVERIFY(report.lossless());
    QVERIFY(data.Value(QStringLiteral("K"), QStringLiteral("\u00c9")));
    QCOMPARE(data.Value(QStringLiteral("K"), QStringLiteral("\u00e9"))->text,
             QStringLiteral("\u8272"));
}

void TestRegistryStore::namesAndKeysIgnoreCase()
{
    RegistryStore store(m_path);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 5));
    QCOMPARE(store.RegReadInteger(QStringLiteral("SOFTWARE\\corvel astine\\jov\\OPTIONS"),
                                  QStringLiteral("op01"), 0),
             5);
    // A write under another spelling replaces the value and keeps the first spelling.
    QVERIFY(store.RegWriteInteger(QStringLiteral("software\\Corvel Astine\\JOV\\options\\"),
                                  QStringLiteral("OP01"), 6));
    QStringList names;
    QVERIFY(store.RegReadValueNames(Options, names));
    QCOMPARE(names, QStringList{QStringLiteral("Op01")});
    QCOMPARE(RegistryStore(m_path).RegReadInteger(Options, QStringLiteral("Op01"), 0), 6);
    QCOMPARE(ReadAll(m_path).count("[HKEY_CURRENT_USER"), 1);
}

void TestRegistryStore::wrongTypeReadsDefault()
{
    RegistryStore store(m_path);
    QVERIFY(store.RegWriteString(Options, QStringLiteral("Op06"), QStringLiteral("0")));
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op30"), 7));
    QCOMPARE(store.RegReadBool(Options, QStringLiteral("Op06"), true), true);
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op06"), 42), 42);
    QCOMPARE(store.RegReadString(Options, QStringLiteral("Op30"), QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    QCOMPARE(store.RegReadString(QStringLiteral("Software\\Nowhere"), QStringLiteral("Op30"),
                                 QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    QCOMPARE(store.RegReadBool(Options, QStringLiteral("Missing"), false), false);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op07"), 9));
    QCOMPARE(store.RegReadBool(Options, QStringLiteral("Op07"), false), true);
}

void TestRegistryStore::valueNames()
{
    RegistryStore store(m_path);
    const QString colors = QStringLiteral("Software\\Corvel Astine\\JOV\\Colors");
    QStringList names{QStringLiteral("untouched")};
    QVERIFY(!store.RegReadValueNames(colors, names));
    QCOMPARE(names, QStringList{QStringLiteral("untouched")});

    for (const char *n : {"ColorC", "ColorA", "ColorB"})
        QVERIFY(store.RegWriteString(colors, QString::fromLatin1(n), QStringLiteral("x")));
    QVERIFY(store.RegWriteString(colors, QStringLiteral("ColorA"), QStringLiteral("y")));
    QVERIFY(store.RegReadValueNames(colors, names));
    QCOMPARE(names, (QStringList{QStringLiteral("ColorC"), QStringLiteral("ColorA"),
                                 QStringLiteral("ColorB")}));
    // Order survives the file.
    RegistryStore again(m_path);
    QVERIFY(again.RegReadValueNames(colors, names));
    QCOMPARE(names.first(), QStringLiteral("ColorC"));

    // A parent of an existing key exists too, with no values of its own.
    names = QStringList{QStringLiteral("stale")};
    QVERIFY(again.RegReadValueNames(QStringLiteral("Software\\Corvel Astine"), names));
    QVERIFY(names.isEmpty());
    QVERIFY(!again.RegReadValueNames(QStringLiteral("Software\\Corvel"), names));
}

void TestRegistryStore::textRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("backslashes") << QStringLiteral("C:\\\\server\\share\\");
    QTest::newRow("quotes") << QStringLiteral("\"quoted\" \\\"");
    QTest::newRow("line-break-in-file-name") << QStringLiteral("/home/me/a\nb.pal");
    QTest::newRow("nul-inside") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b");
    QTest::newRow("non-latin") << QStringLiteral("Palettes été 調色板 🎨");
    QTest::newRow("leading-bom-char-with-break") << QString(QChar(0xFEFF)) + QStringLiteral("a\nb");
}

void TestRegistryStore::textRoundTrip()
{
    QFETCH(QString, value);
    {
        RegistryStore store(m_path);
        QVERIFY(store.RegWriteString(Options, QStringLiteral("Op30"), value));
        QVERIFY(store.RegWriteString(Options, QStringLiteral("Op31"), QStringLiteral("after")));
    }
    RegistryStore fresh(m_path);
    QCOMPARE(fresh.RegReadString(Options, QStringLiteral("Op30"), QStringLiteral("dflt")), value);
    QCOMPARE(fresh.RegReadString(Options, QStringLiteral("Op31"), QString()),
             QStringLiteral("after"));
    // Nothing the store wrote may look foreign to it, or the next write would keep a copy.
    RegParseReport report;
    RegistryData::Parse(ReadAll(m_path), &report);
    QVERIFY(report.lossless());
}

void TestRegistryStore::reparseIsStable_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("continued-hex")
        << QByteArray("[HKCU\\k]\n\"a\"=hex(2):41,00,\\\n  42,00,00,00\n");
    QTest::newRow("string-ending-in-backslash")
        << QByteArray("[HKCU\\k]\n\"a\"=\"c:\\\\\"\n\"b\"=\"x\"\n");
    const QString utf16 = QStringLiteral("[HKCU\\k]\n\"a\"=\"b\"");
    QTest::newRow("utf16") << QByteArray("\xFF\xFE") +
                                  QByteArray(reinterpret_cast<const char *>(utf16.utf16()),
                                             utf16.size() * 2);
    QTest::newRow("text-starting-with-bom")
        << QByteArray("[HKCU\\k]\n\"a\"=\"\xEF\xBB\xBFx\x01\"\n");
    QTest::newRow("key-with-bracket") << QByteArray("[HKCU\\a]b]\n\"x\"=\"y\"\n");
}

void TestRegistryStore::reparseIsStable()
{
    QFETCH(QByteArray, content);
    const QByteArray once = RegistryData::Parse(content).ToText();
    RegParseReport report;
    const QByteArray twice = RegistryData::Parse(once, &report).ToText();
    QCOMPARE(twice, once);
    QVERIFY(report.lossless());
}

void TestRegistryStore::otherTypesAreKept()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QVERIFY(WriteAll(m_path, "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\r\n"
                             "\"Expand\"=hex(2):25,00,48,00,\\\r\n  00,00\r\n"
                             "\"Text\"=hex(1):41,00,0a,00,42,00,00,00\r\n"
                             "\"Number\"=hex(4):78,56,34,12\r\n"));
    RegistryStore store(m_path);
    QCOMPARE(store.RegReadString(Options, QStringLiteral("Text"), QString()),
             QStringLiteral("A\nB"));
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Number"), 0), 0x12345678);
    QCOMPARE(store.RegReadString(Options, QStringLiteral("Expand"), QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Expand"), -3), -3);
    QStringList names;
    QVERIFY(store.RegReadValueNames(Options, names));
    QCOMPARE(names.first(), QStringLiteral("Expand"));

    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    QVERIFY(ReadAll(m_path).contains("\"Expand\"=hex(2):25,00,48,00,00,00\r\n"));
    QVERIFY(store.lastBackupPath().isEmpty()); // nothing was dropped, so no copy
}

void TestRegistryStore::seesChangesOnDisk()
{
    RegistryStore reader(m_path);
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 16);
    RegistryStore writer(m_path);
    QVERIFY(writer.RegWriteInteger(Options, QStringLiteral("Op19"), 3));
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 3);
    QVERIFY(writer.RegWriteInteger(Options, QStringLiteral("Op19"), 4));
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 4);

    // Edited in place by hand a moment later, same size as before.
    QByteArray text = ReadAll(m_path);
    text.replace("dword:00000004", "dword:00000009");
    const QDateTime later = QFileInfo(m_path).lastModified().addSecs(2);
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.write(text) == text.size());
        QVERIFY(f.setFileTime(later, QFileDevice::FileModificationTime));
    }
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 9);

    QFile::remove(m_path);
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 16);
}

void TestRegistryStore::batchReplacesFileOnce()
{
    RegistryStore store(m_path);
    store.BeginBatch();
    for (int i = 0; i < 60; ++i)
        QVERIFY(store.RegWriteInteger(Options, QStringLiteral("V%1").arg(i), i));
    QVERIFY(!QFile::exists(m_path)); // nothing reaches the disk before the commit
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("V59"), -1), 59);
    store.BeginBatch(); // nested: only the outer commit writes
    QVERIFY(store.RegWriteString(Options, QStringLiteral("Inner"), QStringLiteral("x")));
    QVERIFY(store.CommitBatch());
    QVERIFY(!QFile::exists(m_path));
    QVERIFY(store.CommitBatch());
    QCOMPARE(store.fileReplacements(), 1);

    RegistryStore fresh(m_path);
    QStringList names;
    QVERIFY(fresh.RegReadValueNames(Options, names));
    QCOMPARE(names.size(), 61);
    QCOMPARE(fresh.RegReadInteger(Options, QStringLiteral("V0"), -1), 0);
}

void TestRegistryStore::unknownLinesAreCopiedAside_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray ours = "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\r\n"
                            "\"Op01\"=dword:00000007\r\n";
    QTest::newRow("comment") << "; kept by hand\r\n" + ours;
    QTest::newRow("other-hive") << ours + "[HKEY_LOCAL_MACHINE\\Software\\X]\r\n\"a\"=\"b\"\r\n";
    QTest::newRow("deleted-key") << ours + "[-HKEY_CURRENT_USER\\Software\\Y]\r\n";
    QTest::newRow("twice-the-same-name") << ours + "\"OP01\"=dword:00000007\r\n";
    QTest::newRow("latin1-bytes") << ours + "\"Op30\"=\"caf\xE9\"\r\n";
    QTest::newRow("header-inside-a-section") << ours + "REGEDIT4\r\n";
}

void TestRegistryStore::unknownLinesAreCopiedAside()
{
    QFETCH(QByteArray, content);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QVERIFY(WriteAll(m_path, content));
    // Private to its owner, as a new file would not be: the copy keeps that.
    QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions permissions = QFileInfo(m_path).permissions();

    RegistryStore store(m_path);
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), 0), 7);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op19"), 2));
    const QString backup = m_path + QStringLiteral(".bak");
    QCOMPARE(store.lastBackupPath(), backup);
    QCOMPARE(ReadAll(backup), content);
    QCOMPARE(QFileInfo(backup).permissions(), permissions);
    QCOMPARE(RegistryStore(m_path).RegReadInteger(Options, QStringLiteral("Op01"), 0), 7);

    // The rewritten file is the store's own: no second copy.
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op19"), 3));
    QVERIFY(!QFile::exists(m_path + QStringLiteral(".bak.2")));
}

void TestRegistryStore::olderCopyIsNeverOverwritten()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QVERIFY(WriteAll(m_path + QStringLiteral(".bak"), "older copy"));
    QVERIFY(WriteAll(m_path + QStringLiteral(".bak.2"), "even older"));
    QVERIFY(WriteAll(m_path, "; comment\r\n"));
    RegistryStore store(m_path);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    QCOMPARE(store.lastBackupPath(), m_path + QStringLiteral(".bak.3"));
    QCOMPARE(ReadAll(m_path + QStringLiteral(".bak")), QByteArray("older copy"));
    QCOMPARE(ReadAll(m_path + QStringLiteral(".bak.3")), QByteArray("; comment\r\n"));
}

// However many copies an older version or a long history left beside the store, a save that
// needs one more goes through, and only the newest few copies stay.
void TestRegistryStore::backupsAreBounded_data()
{
    QTest::addColumn<bool>("folder"); // a folder at the path is moved aside, not copied
    QTest::newRow("lines-copied-aside") << false;
    QTest::newRow("folder-moved-aside") << true;
}

void TestRegistryStore::backupsAreBounded()
{
    QFETCH(bool, folder);
    const QDir dir(QFileInfo(m_path).absolutePath());
    QVERIFY(dir.mkpath(QStringLiteral(".")));
    const QString first = m_path + QStringLiteral(".bak");
    QVERIFY(WriteAll(first, "copy 1"));
    for (int n = 2; n <= 999; ++n)
        QVERIFY(WriteAll(first + u'.' + QString::number(n), "copy " + QByteArray::number(n)));
    // An old folder moved aside is the user's: never removed.
    QVERIFY(QFile::remove(first + QStringLiteral(".3")));
    QVERIFY(dir.mkpath(first + QStringLiteral(".3")));
    // Not copies of the store: left alone.
    QVERIFY(WriteAll(first + QStringLiteral(".0999"), "other"));
    QVERIFY(WriteAll(first + QStringLiteral(".old"), "other"));
    if (folder)
        QVERIFY(dir.mkpath(m_path));
    else
        QVERIFY(WriteAll(m_path, "; comment\r\n"));

    RegistryStore store(m_path);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    const QString newest = first + QStringLiteral(".1000");
    QCOMPARE(store.lastBackupPath(), newest);
    QCOMPARE(QFileInfo(newest).isDir(), folder);
    if (!folder)
        QCOMPARE(ReadAll(newest), QByteArray("; comment\r\n"));
    QCOMPARE(RegistryStore(m_path).RegReadInteger(Options, QStringLiteral("Op01"), -1), 1);

    QStringList left = dir.entryList({QStringLiteral("JOV.reg.bak*")},
                                     QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    QCOMPARE(left, QStringList({"JOV.reg.bak.0999", "JOV.reg.bak.1000", "JOV.reg.bak.3",
                                "JOV.reg.bak.996", "JOV.reg.bak.997", "JOV.reg.bak.998",
                                "JOV.reg.bak.999", "JOV.reg.bak.old"}));
}

void TestRegistryStore::unreadableFileIsMovedAside_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("folder-at-the-path") << true;
    QTest::newRow("file-too-large") << false;
}

void TestRegistryStore::unreadableFileIsMovedAside()
{
    QFETCH(bool, folder);
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (folder) {
        QVERIFY(QDir().mkpath(m_path));
    } else {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(QByteArray(
                    "[HKCU\\Software\\Corvel Astine\\JOV\\Options]\n\"Op01\"=dword:5\n")) > 0);
        QVERIFY(f.resize(17 << 20)); // sparse, cheap
    }
    RegistryStore store(m_path);
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), -1), -1);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 8));
    const QString aside = m_path + QStringLiteral(".bak");
    QCOMPARE(store.lastBackupPath(), aside);
    QCOMPARE(QFileInfo(aside).isDir(), folder);
    if (!folder)
        QCOMPARE(QFileInfo(aside).size(), qint64(17 << 20));
    QCOMPARE(RegistryStore(m_path).RegReadInteger(Options, QStringLiteral("Op01"), -1), 8);
}

void TestRegistryStore::failedWriteKeepsFileWhole_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QByteArray>("extra"); // lines the store would copy aside first
    QTest::newRow("disk-full") << true << QByteArray();
    QTest::newRow("read-only-folder") << false << QByteArray();
    QTest::newRow("read-only-folder-copy-aside") << false << QByteArray("; by hand\r\n");
}

void TestRegistryStore::failedWriteKeepsFileWhole()
{
    QFETCH(bool, diskFull);
    QFETCH(QByteArray, extra);
    {
        RegistryStore filler(m_path);
        for (int i = 0; i < 20; ++i)
            QVERIFY(filler.RegWriteString(Options, QStringLiteral("Name%1").arg(i),
                                          QStringLiteral("a fairly long value to fill the file")));
    }
    const QByteArray before = ReadAll(m_path) + extra;
    QVERIFY(WriteAll(m_path, before));
    RegistryStore store(m_path);
    {
        const QString folder = QFileInfo(m_path).absolutePath();
        std::optional<FileSizeLimit> limit;
        std::optional<ReadOnlyFolder> readOnly;
        if (diskFull) {
            limit.emplace(before.size() / 2);
        } else {
            readOnly.emplace(folder);
            if (!readOnly->ok())
                QSKIP("no way to make a folder read-only here");
        }
        QVERIFY(!store.RegWriteString(Options, QStringLiteral("Name0"), QStringLiteral("new")));
        store.BeginBatch();
        QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
        QVERIFY(!store.CommitBatch());
    }
    QCOMPARE(ReadAll(m_path), before);
    QCOMPARE(QDir(QFileInfo(m_path).absolutePath()).entryList(QDir::Files),
             QStringList{QStringLiteral("JOV.reg")});
    // The refused values are not reported as stored.
    QCOMPARE(store.RegReadString(Options, QStringLiteral("Name0"), QString()),
             QStringLiteral("a fairly long value to fill the file"));
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), -1), -1);
}

void TestRegistryStore::refusedWritesReportFalse()
{
    RegistryStore plain(m_path);
    QVERIFY(!plain.RegWriteString(Options, QStringLiteral("a\nb"), QStringLiteral("x")));
    QVERIFY(!plain.RegWriteInteger(QStringLiteral("\\\\"), QStringLiteral("n"), 1));
    QVERIFY(!QFile::exists(m_path));

    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    QVERIFY(WriteAll(blocker, "a regular file"));
    RegistryStore store(blocker + QStringLiteral("/sub/JOV.reg"));
    QVERIFY(!store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), -1), -1);
    store.BeginBatch();
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    QVERIFY(!store.CommitBatch());
    QCOMPARE(ReadAll(blocker), QByteArray("a regular file"));
}

QTEST_GUILESS_MAIN(TestRegistryStore)
#include "tst_registrystore.moc"
