#include "FileSizeLimit.h"
#include "persistence/RegistryData.h"
#include "persistence/RegistryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace jov;
using jov::test::FileSizeLimit;

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

class TstRegistryStore : public QObject
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
    void unreadableFileIsMovedAside_data();
    void unreadableFileIsMovedAside();
    void failedWriteKeepsFileWhole();
    void refusedWritesReportFalse();

private:
    QTemporaryDir dir_;
    QString path_;
};

void TstRegistryStore::init()
{
    QVERIFY(dir_.isValid());
    // Each test gets its own folder, created by the store itself on its first write.
    static int n = 0;
    path_ = dir_.filePath(QStringLiteral("t%1/JOV.reg").arg(++n));
}

void TstRegistryStore::fileText()
{
    RegistryStore store(path_);
    QVERIFY(store.RegWriteString(Options, QStringLiteral("Op30"), QStringLiteral("C:\\a \"b\"")));
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 10));
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op02"), -1));
    QVERIFY(store.RegWriteString(QStringLiteral("Software\\Corvel Astine\\JOV"),
                                 QStringLiteral("Version"), QStringLiteral("3.0.0.0")));
    QCOMPARE(ReadAll(path_),
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

void TstRegistryStore::readsExportFormat()
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QVERIFY(WriteAll(path_, "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n"
                            "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\n"
                            "\"Op01\"=dword:000000FF\n"
                            "\"Op30\" = \"/home/\xC3\xA9t\xC3\xA9\\\\x\"  \n"
                            "@=\"default\"\n"
                            "[hkcu\\Software\\Corvel Astine\\JOV\\Colors]\r\n"
                            "\"ColorA\"=\"FFFFFF\"\r\n"));
    RegistryStore store(path_);
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

void TstRegistryStore::namesAndKeysIgnoreCase()
{
    RegistryStore store(path_);
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
    QCOMPARE(RegistryStore(path_).RegReadInteger(Options, QStringLiteral("Op01"), 0), 6);
    QCOMPARE(ReadAll(path_).count("[HKEY_CURRENT_USER"), 1);
}

void TstRegistryStore::wrongTypeReadsDefault()
{
    RegistryStore store(path_);
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

void TstRegistryStore::valueNames()
{
    RegistryStore store(path_);
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
    RegistryStore again(path_);
    QVERIFY(again.RegReadValueNames(colors, names));
    QCOMPARE(names.first(), QStringLiteral("ColorC"));

    // A parent of an existing key exists too, with no values of its own.
    names = QStringList{QStringLiteral("stale")};
    QVERIFY(again.RegReadValueNames(QStringLiteral("Software\\Corvel Astine"), names));
    QVERIFY(names.isEmpty());
    QVERIFY(!again.RegReadValueNames(QStringLiteral("Software\\Corvel"), names));
}

void TstRegistryStore::textRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("backslashes") << QStringLiteral("C:\\\\server\\share\\");
    QTest::newRow("quotes") << QStringLiteral("\"quoted\" \\\"");
    QTest::newRow("line-break-in-file-name") << QStringLiteral("/home/me/a\nb.pal");
    QTest::newRow("nul-inside") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b");
    QTest::newRow("non-latin") << QStringLiteral("Palettes été 調色板 🎨");
    QTest::newRow("leading-bom-char-with-break") << QString(QChar(0xFEFF)) + QStringLiteral("a\nb");
}

void TstRegistryStore::textRoundTrip()
{
    QFETCH(QString, value);
    {
        RegistryStore store(path_);
        QVERIFY(store.RegWriteString(Options, QStringLiteral("Op30"), value));
        QVERIFY(store.RegWriteString(Options, QStringLiteral("Op31"), QStringLiteral("after")));
    }
    RegistryStore fresh(path_);
    QCOMPARE(fresh.RegReadString(Options, QStringLiteral("Op30"), QStringLiteral("dflt")), value);
    QCOMPARE(fresh.RegReadString(Options, QStringLiteral("Op31"), QString()),
             QStringLiteral("after"));
    // Nothing the store wrote may look foreign to it, or the next write would keep a copy.
    RegParseReport report;
    RegistryData::Parse(ReadAll(path_), &report);
    QVERIFY(report.lossless());
}

void TstRegistryStore::reparseIsStable_data()
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

void TstRegistryStore::reparseIsStable()
{
    QFETCH(QByteArray, content);
    const QByteArray once = RegistryData::Parse(content).ToText();
    RegParseReport report;
    const QByteArray twice = RegistryData::Parse(once, &report).ToText();
    QCOMPARE(twice, once);
    QVERIFY(report.lossless());
}

void TstRegistryStore::otherTypesAreKept()
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QVERIFY(WriteAll(path_, "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\r\n"
                            "\"Expand\"=hex(2):25,00,48,00,\\\r\n  00,00\r\n"
                            "\"Text\"=hex(1):41,00,0a,00,42,00,00,00\r\n"
                            "\"Number\"=hex(4):78,56,34,12\r\n"));
    RegistryStore store(path_);
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
    QVERIFY(ReadAll(path_).contains("\"Expand\"=hex(2):25,00,48,00,00,00\r\n"));
    QVERIFY(store.lastBackupPath().isEmpty()); // nothing was dropped, so no copy
}

void TstRegistryStore::seesChangesOnDisk()
{
    RegistryStore reader(path_);
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 16);
    RegistryStore writer(path_);
    QVERIFY(writer.RegWriteInteger(Options, QStringLiteral("Op19"), 3));
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 3);
    QVERIFY(writer.RegWriteInteger(Options, QStringLiteral("Op19"), 4));
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 4);

    // Edited in place by hand a moment later, same size as before.
    QByteArray text = ReadAll(path_);
    text.replace("dword:00000004", "dword:00000009");
    const QDateTime later = QFileInfo(path_).lastModified().addSecs(2);
    {
        QFile f(path_);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.write(text) == text.size());
        QVERIFY(f.setFileTime(later, QFileDevice::FileModificationTime));
    }
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 9);

    QFile::remove(path_);
    QCOMPARE(reader.RegReadInteger(Options, QStringLiteral("Op19"), 16), 16);
}

void TstRegistryStore::batchReplacesFileOnce()
{
    RegistryStore store(path_);
    store.BeginBatch();
    for (int i = 0; i < 60; ++i)
        QVERIFY(store.RegWriteInteger(Options, QStringLiteral("V%1").arg(i), i));
    QVERIFY(!QFile::exists(path_)); // nothing reaches the disk before the commit
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("V59"), -1), 59);
    store.BeginBatch(); // nested: only the outer commit writes
    QVERIFY(store.RegWriteString(Options, QStringLiteral("Inner"), QStringLiteral("x")));
    QVERIFY(store.CommitBatch());
    QVERIFY(!QFile::exists(path_));
    QVERIFY(store.CommitBatch());
    QCOMPARE(store.fileReplacements(), 1);

    RegistryStore fresh(path_);
    QStringList names;
    QVERIFY(fresh.RegReadValueNames(Options, names));
    QCOMPARE(names.size(), 61);
    QCOMPARE(fresh.RegReadInteger(Options, QStringLiteral("V0"), -1), 0);
}

void TstRegistryStore::unknownLinesAreCopiedAside_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray ours = "[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\r\n"
                            "\"Op01\"=dword:00000007\r\n";
    QTest::newRow("comment") << "; kept by hand\r\n" + ours;
    QTest::newRow("other-hive") << ours + "[HKEY_LOCAL_MACHINE\\Software\\X]\r\n\"a\"=\"b\"\r\n";
    QTest::newRow("deleted-key") << ours + "[-HKEY_CURRENT_USER\\Software\\Y]\r\n";
    QTest::newRow("twice-the-same-name") << ours + "\"OP01\"=dword:00000007\r\n";
    QTest::newRow("latin1-bytes") << ours + "\"Op30\"=\"caf\xE9\"\r\n";
}

void TstRegistryStore::unknownLinesAreCopiedAside()
{
    QFETCH(QByteArray, content);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QVERIFY(WriteAll(path_, content));

    RegistryStore store(path_);
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), 0), 7);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op19"), 2));
    const QString backup = path_ + QStringLiteral(".bak");
    QCOMPARE(store.lastBackupPath(), backup);
    QCOMPARE(ReadAll(backup), content);
    QCOMPARE(RegistryStore(path_).RegReadInteger(Options, QStringLiteral("Op01"), 0), 7);

    // The rewritten file is the store's own: no second copy.
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op19"), 3));
    QVERIFY(!QFile::exists(path_ + QStringLiteral(".bak.2")));
}

void TstRegistryStore::olderCopyIsNeverOverwritten()
{
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QVERIFY(WriteAll(path_ + QStringLiteral(".bak"), "older copy"));
    QVERIFY(WriteAll(path_ + QStringLiteral(".bak.2"), "even older"));
    QVERIFY(WriteAll(path_, "; comment\r\n"));
    RegistryStore store(path_);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    QCOMPARE(store.lastBackupPath(), path_ + QStringLiteral(".bak.3"));
    QCOMPARE(ReadAll(path_ + QStringLiteral(".bak")), QByteArray("older copy"));
    QCOMPARE(ReadAll(path_ + QStringLiteral(".bak.3")), QByteArray("; comment\r\n"));
}

void TstRegistryStore::unreadableFileIsMovedAside_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("folder-at-the-path") << true;
    QTest::newRow("file-too-large") << false;
}

void TstRegistryStore::unreadableFileIsMovedAside()
{
    QFETCH(bool, folder);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (folder) {
        QVERIFY(QDir().mkpath(path_));
    } else {
        QFile f(path_);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(QByteArray(
                    "[HKCU\\Software\\Corvel Astine\\JOV\\Options]\n\"Op01\"=dword:5\n")) > 0);
        QVERIFY(f.resize(17 << 20)); // sparse, cheap
    }
    RegistryStore store(path_);
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), -1), -1);
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 8));
    const QString aside = path_ + QStringLiteral(".bak");
    QCOMPARE(store.lastBackupPath(), aside);
    QCOMPARE(QFileInfo(aside).isDir(), folder);
    if (!folder)
        QCOMPARE(QFileInfo(aside).size(), qint64(17 << 20));
    QCOMPARE(RegistryStore(path_).RegReadInteger(Options, QStringLiteral("Op01"), -1), 8);
}

void TstRegistryStore::failedWriteKeepsFileWhole()
{
    RegistryStore store(path_);
    for (int i = 0; i < 20; ++i)
        QVERIFY(store.RegWriteString(Options, QStringLiteral("Name%1").arg(i),
                                     QStringLiteral("a fairly long value to fill the file")));
    const QByteArray before = ReadAll(path_);
    {
        FileSizeLimit limit(before.size() / 2);
        QVERIFY(!store.RegWriteString(Options, QStringLiteral("Name0"), QStringLiteral("new")));
        store.BeginBatch();
        QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
        QVERIFY(!store.CommitBatch());
    }
    QCOMPARE(ReadAll(path_), before);
    QCOMPARE(QDir(QFileInfo(path_).absolutePath()).entryList(QDir::Files),
             QStringList{QStringLiteral("JOV.reg")});
    // The refused values are not reported as stored.
    QCOMPARE(store.RegReadString(Options, QStringLiteral("Name0"), QString()),
             QStringLiteral("a fairly long value to fill the file"));
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), -1), -1);
}

void TstRegistryStore::refusedWritesReportFalse()
{
    RegistryStore plain(path_);
    QVERIFY(!plain.RegWriteString(Options, QStringLiteral("a\nb"), QStringLiteral("x")));
    QVERIFY(!plain.RegWriteInteger(QStringLiteral("\\\\"), QStringLiteral("n"), 1));
    QVERIFY(!QFile::exists(path_));

    const QString blocker = dir_.filePath(QStringLiteral("blocker"));
    QVERIFY(WriteAll(blocker, "a regular file"));
    RegistryStore store(blocker + QStringLiteral("/sub/JOV.reg"));
    QVERIFY(!store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    QCOMPARE(store.RegReadInteger(Options, QStringLiteral("Op01"), -1), -1);
    store.BeginBatch();
    QVERIFY(store.RegWriteInteger(Options, QStringLiteral("Op01"), 1));
    QVERIFY(!store.CommitBatch());
    QCOMPARE(ReadAll(blocker), QByteArray("a regular file"));
}

QTEST_GUILESS_MAIN(TstRegistryStore)
#include "tst_registrystore.moc"
