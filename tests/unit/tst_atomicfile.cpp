// Leftovers of a save interrupted between writing the temporary file and renaming it.
#include "persistence/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

using namespace jov;

namespace {

bool MakeFile(const QString &path, bool old)
{
    QFile f(path);
    // Flushed first: a write left in the buffer would change the time again at close.
    if (!f.open(QIODevice::ReadWrite) || f.write("x") != 1 || !f.flush())
        return false;
    return !old || f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                 QFileDevice::FileModificationTime);
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void staleTemporariesRemoved();
};

void TestAtomicFile::staleTemporariesRemoved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString store = dir.filePath(QStringLiteral("JOV.reg"));
    QVERIFY(WriteFileAtomically(store, "settings"));

    // A name made by Qt itself: QSaveFile's temporary follows the same template rule as
    // QTemporaryFile's ("<target>.XXXXXX").
    QTemporaryFile leftover(store);
    leftover.setAutoRemove(false);
    QVERIFY(leftover.open());
    const QString left = leftover.fileName();
    leftover.close();
    QVERIFY(MakeFile(left, true)); // as if from an earlier run

    struct Entry
    {
        const char *name;
        bool old;
        bool removed;
    };
    const Entry entries[] = {
        {"JOV.reg.AbCdEf", true, true},   {"JOV.reg.a1B2c3", true, true},
        {"JOV.reg.XyZwVu", false, false}, // another instance may be saving right now
        {"JOV.reg.bak", true, false},     {"JOV.reg.bak.2", true, false},
        {"JOV.reg.AbCdE", true, false},   {"JOV.reg.AbCdEfG", true, false},
        {"JOV.reg.AbC-Ef", true, false},  {"other.pal.AbCdEf", true, false},
        {"xJOV.reg.AbCdEf", true, false},
    };
    for (const Entry &e : entries)
        QVERIFY(MakeFile(dir.filePath(QLatin1String(e.name)), e.old));
    // Not regular files: left alone whatever their name.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("JOV.reg.Folder")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("JOV.reg.AbCdEf")),
                        dir.filePath(QStringLiteral("JOV.reg.LinkTo"))));

    QCOMPARE(RemoveStaleTemporaries(store), 3);
    QVERIFY(!QFile::exists(left));
    for (const Entry &e : entries)
        QVERIFY2(QFile::exists(dir.filePath(QLatin1String(e.name))) != e.removed, e.name);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("JOV.reg.Folder"))).isDir());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("JOV.reg.LinkTo"))).isSymLink());
    QFile kept(store);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("settings"));
}

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
