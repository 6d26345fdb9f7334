// A process killed (SIGKILL) while it writes the settings store never leaves a truncated, empty
// or mixed store file behind: each write replaces the whole file at once.
#include "persistence/RegistryData.h"
#include "persistence/RegistryStore.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace jov;

namespace {

const QString kKey = QStringLiteral("Software\\Corvel Astine\\JOV\\Options");
constexpr int kValues = 400;

// Writes generation after generation, every value of a generation carrying its number, until
// it is killed.
[[noreturn]] void WriteForever(const QString &path, int firstGeneration)
{
    RegistryStore store(path);
    for (int generation = firstGeneration;; ++generation) {
        store.BeginBatch();
        for (int i = 0; i < kValues; ++i)
            store.RegWriteString(kKey, QStringLiteral("V%1").arg(i),
                                 QStringLiteral("%1-").arg(generation).repeated(1 + i % 7));
        store.RegWriteInteger(kKey, QStringLiteral("Generation"), generation);
        store.CommitBatch();
    }
}

} // namespace

class TestStoreKill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedWhileSavingLeavesWholeFile();
};

void TestStoreKill::killedWhileSavingLeavesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("JOV.reg"));
    int replaced = 0; // later rounds whose writer replaced the file before it was killed
    for (int round = 0; round < 60; ++round) {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0)
            WriteForever(path, round * 100000);
        // The first writer finishes one whole file before it is killed (a slow build may need
        // longer than the kill delays); from then on a file is always there to be checked.
        if (round == 0)
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), 10000);
        usleep(1000 + QRandomGenerator::global()->bounded(25000));
        QCOMPARE(kill(child, SIGKILL), 0);
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFSIGNALED(status));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(!content.isEmpty(), "empty store file");
        RegParseReport report;
        const RegistryData data = RegistryData::Parse(content, &report);
        QVERIFY2(report.lossless(), "store file with lines that do not parse");
        // Whole: every value present, all from one generation.
        QStringList names;
        QVERIFY(data.ValueNames(kKey, names));
        QCOMPARE(names.size(), kValues + 1);
        RegistryStore reader(path);
        const int generation = reader.RegReadInteger(kKey, QStringLiteral("Generation"), -1);
        QVERIFY(generation >= 0);
        for (int i = 0; i < kValues; i += 37)
            QCOMPARE(reader.RegReadString(kKey, QStringLiteral("V%1").arg(i), QString()),
                     QStringLiteral("%1-").arg(generation).repeated(1 + i % 7));
        if (round > 0 && generation >= round * 100000)
            ++replaced;
    }
    // Otherwise every kill after the first hit a writer that had not written yet, and nothing
    // was tested but reading an old file.
    QVERIFY2(replaced > 0, "no writer after the first replaced the file before its kill");
}

QTEST_GUILESS_MAIN(TestStoreKill)
#include "tst_storekill.moc"
