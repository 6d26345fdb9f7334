#include "FileSizeLimit.h"
#include "persistence/PaletteFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace jov;
using jov::test::FileSizeLimit;

Q_DECLARE_METATYPE(jov::PaletteError)

namespace {

QByteArray Header()
{
    return "JASC-PAL\r\n0100\r\n16\r\n";
}

// Sixteen colour lines: slot n is "n n n" unless replaced.
QByteArray ColorLines(int count, const QByteArray &ending = "\r\n")
{
    QByteArray lines;
    for (int n = 1; n <= count; ++n)
        lines += QByteArray::number(n) + ' ' + QByteArray::number(n) + ' ' + QByteArray::number(n) +
                 ending;
    return lines;
}

QByteArray WithFirstLine(const QByteArray &first)
{
    return Header() + first + "\r\n" + ColorLines(16).sliced(ColorLines(1).size());
}

SlotColors SamplePalette()
{
    SlotColors c{};
    for (int i = 0; i < SlotCount; ++i)
        c[std::size_t(i)] = MakeColor(i * 16, 255 - i, (i * 37) & 0xFF);
    c[0] = MakeColor(255, 128, 0);
    return c;
}

} // namespace

class TestPaletteFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writtenText();
    void read_data();
    void read();
    void fileRoundTrip();
    void readFileFaults();
    void overlongLineIsNotCut();
    void failedWriteKeepsExistingFile();
    void title_data();
    void title();
};

void TestPaletteFile::writtenText()
{
    SlotColors colors{};
    colors.fill(clWhite);
    colors[0] = MakeColor(255, 128, 0);
    colors[15] = clBlack;
    const QByteArray text = PaletteFileText(colors);
    QVERIFY(text.startsWith("JASC-PAL\r\n0100\r\n16\r\n255 128 0\r\n255 255 255\r\n"));
    QVERIFY(text.endsWith("255 255 255\r\n0 0 0\r\n"));
    QCOMPARE(text.count("\r\n"), 19);
    QCOMPARE(text.count('\n'), 19);
}

void TestPaletteFile::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<PaletteError>("error");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("slot");      // 0-based slot to check when the read succeeds
    QTest::addColumn<uint>("expected"); // its colour

    const auto ok = PaletteError::None;
    const auto bad = PaletteError::BadData;
    QTest::newRow("crlf") << Header() + ColorLines(16) << ok << -1 << 15
                          << uint(MakeColor(16, 16, 16));
    QTest::newRow("lf-only") << QByteArray("JASC-PAL\n0100\n16\n") + ColorLines(16, "\n") << ok
                             << -1 << 4 << uint(MakeColor(5, 5, 5));
    QTest::newRow("low-8-bits") << WithFirstLine("300 -1 12") << ok << -1 << 0
                                << uint(MakeColor(44, 255, 12));
    QTest::newRow("leading-zeros")
        << WithFirstLine("007 010 0") << ok << -1 << 0 << uint(MakeColor(7, 10, 0));
    QTest::newRow("int32-min") << WithFirstLine("-2147483648 2147483647 1") << ok << -1 << 0
                               << uint(MakeColor(0, 255, 1));
    QTest::newRow("lines-after-19-ignored") << Header() + ColorLines(16) + "garbage\r\n1 2\r\n"
                                            << ok << -1 << 15 << uint(MakeColor(16, 16, 16));
    QTest::newRow("last-line-without-end")
        << Header() + ColorLines(16).chopped(2) << ok << -1 << 15 << uint(MakeColor(16, 16, 16));

    QTest::newRow("lower-case-header") << QByteArray("jasc-pal\r\n0100\r\n16\r\n") + ColorLines(16)
                                       << PaletteError::NotPalette << 1 << 0 << 0u;
    QTest::newRow("header-trailing-blank")
        << QByteArray("JASC-PAL \r\n0100\r\n16\r\n") + ColorLines(16) << PaletteError::NotPalette
        << 1 << 0 << 0u;
    QTest::newRow("cr-only-endings") << QByteArray("JASC-PAL\r0100\r16\r") + ColorLines(16, "\r")
                                     << PaletteError::NotPalette << 1 << 0 << 0u;
    QTest::newRow("empty-file") << QByteArray() << PaletteError::NotPalette << 1 << 0 << 0u;
    QTest::newRow("version-0101") << QByteArray("JASC-PAL\r\n0101\r\n16\r\n") + ColorLines(16)
                                  << PaletteError::BadVersion << 2 << 0 << 0u;
    QTest::newRow("256-colours") << QByteArray("JASC-PAL\r\n0100\r\n256\r\n") + ColorLines(16)
                                 << PaletteError::BadCount << 3 << 0 << 0u;

    QByteArray fifthTwoNumbers =
        Header() + ColorLines(4) + "5 5\r\n" + ColorLines(16).sliced(ColorLines(5).size());
    QTest::newRow("fifth-line-two-numbers") << fifthTwoNumbers << bad << 8 << 0 << 0u;
    QTest::newRow("two-blanks") << WithFirstLine("1  2 3") << bad << 4 << 0 << 0u;
    QTest::newRow("trailing-blank") << WithFirstLine("1 2 3 ") << bad << 4 << 0 << 0u;
    QTest::newRow("leading-blank") << WithFirstLine(" 1 2 3") << bad << 4 << 0 << 0u;
    QTest::newRow("four-numbers") << WithFirstLine("1 2 3 4") << bad << 4 << 0 << 0u;
    QTest::newRow("hex-is-not-decimal") << WithFirstLine("0x10 0 0") << bad << 4 << 0 << 0u;
    QTest::newRow("beyond-int32") << WithFirstLine("2147483648 0 0") << bad << 4 << 0 << 0u;
    QTest::newRow("fifteen-lines") << Header() + ColorLines(15) << bad << 19 << 0 << 0u;
    QTest::newRow("blank-line-between")
        << Header() + ColorLines(8) + "\r\n" + ColorLines(8) << bad << 12 << 0 << 0u;
}

void TestPaletteFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(PaletteError, error);
    QFETCH(int, line);
    QFETCH(int, slot);
    QFETCH(uint, expected);

    const PaletteReadResult r = ReadPalette(content);
    QCOMPARE(r.error, error);
    QCOMPARE(r.line, line);
    if (r.ok())
        QCOMPARE(uint(r.colors[std::size_t(slot)]), expected);
}

void TestPaletteFile::fileRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("my.old.pal"));
    const SlotColors colors = SamplePalette();
    QVERIFY(WritePaletteFile(path, colors));

    const PaletteReadResult r = ReadPaletteFile(path);
    QCOMPARE(r.error, PaletteError::None);
    QVERIFY(r.colors == colors);
    QCOMPARE(PaletteTitle(BaseFileName(path), false), QStringLiteral("JOV - my"));
}

void TestPaletteFile::readFileFaults()
{
    QTemporaryDir dir;
    QCOMPARE(ReadPaletteFile(dir.filePath(QStringLiteral("missing.pal"))).error,
             PaletteError::IoError);
    QCOMPARE(ReadPaletteFile(dir.path()).error, PaletteError::IoError);
}

void TestPaletteFile::overlongLineIsNotCut()
{
    QTemporaryDir dir;
    // The last colour line is far longer than any palette line: reading only its beginning
    // must not produce a colour from a cut number.
    const QString cut = dir.filePath(QStringLiteral("cut.pal"));
    {
        QFile f(cut);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(Header() + ColorLines(15) + "1 2 ");
        f.write(QByteArray(2 << 20, '0'));
        f.write("5\r\n");
    }
    const PaletteReadResult r = ReadPaletteFile(cut);
    QCOMPARE(r.error, PaletteError::BadData);
    QCOMPARE(r.line, 19);
}

void TestPaletteFile::failedWriteKeepsExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.pal"));
    const SlotColors original = SamplePalette();
    QVERIFY(WritePaletteFile(path, original));
    const QByteArray before = PaletteFileText(original);

    SlotColors replacement{};
    replacement.fill(clWhite);
    {
        FileSizeLimit limit(40); // the header fits, the colours do not
        QVERIFY(!WritePaletteFile(path, replacement));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.pal")});
}

void TestPaletteFile::title_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("title");
    QTest::newRow("untitled") << "SansNom.pal" << false << "JOV - SansNom";
    QTest::newRow("untitled-modified") << "SansNom.pal" << true << "JOV - SansNom *";
    QTest::newRow("cut-at-first-dot") << "my.old.pal" << false << "JOV - my";
    QTest::newRow("leading-dot") << ".pal" << false << "JOV - ";
}

void TestPaletteFile::title()
{
    QFETCH(QString, name);
    QFETCH(bool, modified);
    QFETCH(QString, title);
    QCOMPARE(PaletteTitle(name, modified), title);
}

QTEST_GUILESS_MAIN(TestPaletteFile)
#include "tst_palettefile.moc"
