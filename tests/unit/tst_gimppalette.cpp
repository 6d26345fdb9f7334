#include "persistence/GimpPalette.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace jov;

Q_DECLARE_METATYPE(jov::GimpPaletteError)
Q_DECLARE_METATYPE(jov::PaletteFormat)

namespace {

// n colour lines in GIMP's own layout, colour k being (k, 2k, 3k) mod 256.
QByteArray GimpLines(int n)
{
    QByteArray lines;
    for (int k = 1; k <= n; ++k) {
        lines += QByteArray::number(k % 256).rightJustified(3, ' ') + ' ' +
                 QByteArray::number(2 * k % 256).rightJustified(3, ' ') + ' ' +
                 QByteArray::number(3 * k % 256).rightJustified(3, ' ') + "\tUntitled\n";
    }
    return lines;
}

constexpr ColorRef Nth(int k)
{
    return MakeColor(k % 256, 2 * k % 256, 3 * k % 256);
}

const QByteArray Header = "GIMP Palette\nName: Essai\nColumns: 4\n#\n";

SlotColors SamplePalette()
{
    SlotColors c{};
    for (int i = 0; i < SlotCount; ++i)
        c[std::size_t(i)] = MakeColor(i * 17, 255 - i * 3, (i * 37) & 0xFF);
    c[0] = MakeColor(255, 128, 0);
    c[15] = clBlack;
    return c;
}

} // namespace

class TestGimpPalette : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void read_data();
    void read();
    void ignoredMessage();
    void writtenFileFollowsTheFormat();
    void roundTripIsByteIdentical();
    void fileFaults();
    void formatOfPath_data();
    void formatOfPath();
    void saveTarget_data();
    void saveTarget();
};

void TestGimpPalette::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<GimpPaletteError>("error");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("count");      // colours in the file when it reads
    QTest::addColumn<uint>("firstSlot"); // slot 1 when it reads

    const auto ok = GimpPaletteError::None;
    const auto bad = GimpPaletteError::BadColor;
    const auto notGimp = GimpPaletteError::NotGimpPalette;
    const uint white = uint(clWhite);

    QTest::newRow("as-gimp-writes") << Header + GimpLines(3) << ok << -1 << 3 << uint(Nth(1));
    QTest::newRow("exactly-16") << Header + GimpLines(16) << ok << -1 << 16 << uint(Nth(1));
    QTest::newRow("more-than-16") << Header + GimpLines(20) << ok << -1 << 20 << uint(Nth(1));
    QTest::newRow("no-colour") << Header << ok << -1 << 0 << white;
    QTest::newRow("old-format-no-name")
        << QByteArray("GIMP Palette\n255 0 0\n") << ok << -1 << 1 << uint(MakeColor(255, 0, 0));
    QTest::newRow("crlf") << QByteArray("GIMP Palette\r\nName: x\r\n1 2 3\r\n") << ok << -1 << 1
                          << uint(MakeColor(1, 2, 3));
    QTest::newRow("bom-tabs-blanks-name")
        << QByteArray("\xEF\xBB\xBFGIMP Palette \t\n\t 10\t\t20   30  dark  red \n") << ok << -1
        << 1 << uint(MakeColor(10, 20, 30));
    QTest::newRow("leading-zeros") << QByteArray("GIMP Palette\n007 0000000000255 0\n") << ok << -1
                                   << 1 << uint(MakeColor(7, 255, 0));
    QTest::newRow("comments-and-blank-lines")
        << QByteArray("GIMP Palette\n#\n\n   \n  # indented comment\nName: late field\n"
                      "Columns: 300\n1 1 1\n\n# between\n2 2 2")
        << ok << -1 << 2 << uint(MakeColor(1, 1, 1));

    QTest::newRow("empty-file") << QByteArray() << notGimp << 1 << 0 << 0u;
    QTest::newRow("lower-case-header")
        << "gimp palette\n" + GimpLines(1) << notGimp << 1 << 0 << 0u;
    QTest::newRow("jasc-file") << QByteArray("JASC-PAL\r\n0100\r\n16\r\n") << notGimp << 1 << 0
                               << 0u;
    QTest::newRow("cr-only-endings")
        << QByteArray("GIMP Palette\r1 2 3\r") << notGimp << 1 << 0 << 0u;
    QTest::newRow("header-with-more")
        << "GIMP Palettes\n" + GimpLines(1) << notGimp << 1 << 0 << 0u;
    QTest::newRow("channel-256") << Header + "1 256 3\n" << bad << 5 << 0 << 0u;
    QTest::newRow("huge-number") << Header + "99999999999999999999 0 0\n" << bad << 5 << 0 << 0u;
    QTest::newRow("negative") << Header + "-1 0 0\n" << bad << 5 << 0 << 0u;
    QTest::newRow("plus-sign") << Header + "+1 0 0\n" << bad << 5 << 0 << 0u;
    QTest::newRow("two-numbers") << Header + "1 2\n" << bad << 5 << 0 << 0u;
    QTest::newRow("two-numbers-and-name") << Header + "1 2 blue\n" << bad << 5 << 0 << 0u;
    QTest::newRow("name-glued-to-blue") << Header + "1 2 3red\n" << bad << 5 << 0 << 0u;
    QTest::newRow("commas") << Header + "1,2,3\n" << bad << 5 << 0 << 0u;
    QTest::newRow("hex") << Header + "0x10 0 0\n" << bad << 5 << 0 << 0u;
    QTest::newRow("nul-inside") << Header + QByteArray("1 2\0 3\n", 7) << bad << 5 << 0 << 0u;
    QTest::newRow("field-after-colours") << Header + GimpLines(2) + "Name: x\n"
                                         << bad << 7 << 0 << 0u;
    // Colours past the sixteenth are checked too: the whole file is refused.
    QTest::newRow("fault-in-ignored-colour") << Header + GimpLines(20) + "1 2\n"
                                             << bad << 25 << 0 << 0u;
}

void TestGimpPalette::read()
{
    QFETCH(QByteArray, content);
    QFETCH(GimpPaletteError, error);
    QFETCH(int, line);
    QFETCH(int, count);
    QFETCH(uint, firstSlot);

    const GimpPaletteReadResult r = ReadGimpPalette(content);
    QCOMPARE(r.error, error);
    QCOMPARE(r.line, line);
    if (!r.ok()) {
        QCOMPARE(r.colorCount, 0);
        QVERIFY(r.colors == SlotColors{});
        return;
    }
    QCOMPARE(r.colorCount, count);
    QCOMPARE(r.ignoredCount(), qMax(0, count - 16));
    QCOMPARE(uint(r.colors[0]), firstSlot);
    // Slots past the file's colours are cleared; the file's colours fill the others in order.
    for (int i = 1; i < SlotCount; ++i) {
        if (i >= count)
            QCOMPARE(uint(r.colors[std::size_t(i)]), uint(clWhite));
        else if (content.startsWith(Header))
            QCOMPARE(uint(r.colors[std::size_t(i)]), uint(Nth(i + 1)));
    }
}

void TestGimpPalette::ignoredMessage()
{
    QCOMPARE(GimpIgnoredColorsMessage(0), QString());
    QCOMPARE(GimpIgnoredColorsMessage(1),
             QStringLiteral(" 1 couleur ignorée (seules les 16 premières sont chargées)"));
    QCOMPARE(GimpIgnoredColorsMessage(4),
             QStringLiteral(" 4 couleurs ignorées (seules les 16 premières sont chargées)"));
    QCOMPARE(GimpIgnoredColorsMessage(ReadGimpPalette(Header + GimpLines(256)).ignoredCount()),
             QStringLiteral(" 240 couleurs ignorées (seules les 16 premières sont chargées)"));
}

// Checked line by line against the published description of the format: the magic first line,
// "Name: " and "Columns: " with an integer 0..255, comments starting with "#", colour lines of
// three integers 0..255 and a name, LF line ends; and against the way GIMP lays out its own
// colour lines (each number right-aligned in three characters, a tab before the name).
void TestGimpPalette::writtenFileFollowsTheFormat()
{
    const QByteArray text = GimpPaletteText(SamplePalette(), QStringLiteral(" Été\r\nà l'ombre "));
    QVERIFY(!text.contains('\r'));
    QVERIFY(text.endsWith('\n'));
    const QList<QByteArray> lines = text.chopped(1).split('\n');
    QCOMPARE(lines.size(), 4 + 16);
    QCOMPARE(lines[0], QByteArray("GIMP Palette"));
    QCOMPARE(QString::fromUtf8(lines[1]), QStringLiteral("Name: Été  à l'ombre"));
    QCOMPARE(lines[2], QByteArray("Columns: 16"));
    QCOMPARE(lines[3], QByteArray("#"));
    QCOMPARE(lines[4], QByteArray("255 128   0\t#FF8000"));
    QCOMPARE(lines[19], QByteArray("  0   0   0\t#000000"));
    const QRegularExpression colorLine(QStringLiteral("^([ \\d]{3}) ([ \\d]{3}) ([ \\d]{3})\t#"
                                                      "([0-9A-F]{2})([0-9A-F]{2})([0-9A-F]{2})$"));
    for (int i = 0; i < 16; ++i) {
        const auto m = colorLine.match(QString::fromLatin1(lines[4 + i]));
        QVERIFY2(m.hasMatch(), lines[4 + i].constData());
        for (int k = 0; k < 3; ++k) {
            const int value = m.captured(1 + k).trimmed().toInt();
            QVERIFY(value >= 0 && value <= 255);
            QCOMPARE(m.captured(4 + k).toInt(nullptr, 16), value);
        }
    }
}

void TestGimpPalette::roundTripIsByteIdentical()
{
    QTemporaryDir first;
    QTemporaryDir second;
    const QString a = first.filePath(QStringLiteral("my.old.gpl"));
    const QString b = second.filePath(QStringLiteral("my.old.gpl"));
    QVERIFY(WriteGimpPaletteFile(a, SamplePalette()));

    const GimpPaletteReadResult r = ReadGimpPaletteFile(a);
    QCOMPARE(r.error, GimpPaletteError::None);
    QCOMPARE(r.colorCount, 16);
    QVERIFY(r.colors == SamplePalette());
    QVERIFY(WriteGimpPaletteFile(b, r.colors));

    QFile fa(a);
    QFile fb(b);
    QVERIFY(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
    const QByteArray bytes = fa.readAll();
    QCOMPARE(fb.readAll(), bytes);
    QVERIFY(bytes.startsWith("GIMP Palette\nName: my.old\n"));
}

void TestGimpPalette::fileFaults()
{
    QTemporaryDir dir;
    QCOMPARE(ReadGimpPaletteFile(dir.filePath(QStringLiteral("missing.gpl"))).error,
             GimpPaletteError::IoError);
    QCOMPARE(ReadGimpPaletteFile(dir.path()).error, GimpPaletteError::NotRegular);
    // A FIFO with no writer would block a plain open for ever.
    const QString fifo = dir.filePath(QStringLiteral("fifo.gpl"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(ReadGimpPaletteFile(fifo).error, GimpPaletteError::NotRegular);

    // A valid palette padded with a comment to exactly the limit reads; one byte more does not.
    const QByteArray body = Header + GimpLines(2) + '#';
    QByteArray atLimit = body + QByteArray(MaxGimpPaletteSize - body.size() - 1, 'x') + '\n';
    QCOMPARE(atLimit.size(), MaxGimpPaletteSize);
    const QString path = dir.filePath(QStringLiteral("big.gpl"));
    for (const auto &[content, error] : {std::pair{atLimit, GimpPaletteError::None},
                                         std::pair{atLimit + "\n", GimpPaletteError::TooLarge}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(content), content.size());
        f.close();
        QCOMPARE(ReadGimpPaletteFile(path).error, error);
    }
}

void TestGimpPalette::formatOfPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<PaletteFormat>("format");
    QTest::newRow("gpl") << "/tmp/a.gpl" << PaletteFormat::Gimp;
    QTest::newRow("upper-case") << "/tmp/A.GPL" << PaletteFormat::Gimp;
    QTest::newRow("pal") << "/tmp/a.pal" << PaletteFormat::JascPal;
    QTest::newRow("no-extension") << "/tmp/gpl" << PaletteFormat::JascPal;
    QTest::newRow("folder-only") << "/tmp/x.gpl/a.pal" << PaletteFormat::JascPal;
}

void TestGimpPalette::formatOfPath()
{
    QFETCH(QString, path);
    QFETCH(PaletteFormat, format);
    QCOMPARE(PaletteFormatOfPath(path), format);
}

void TestGimpPalette::saveTarget_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("path");
    QTest::addColumn<PaletteFormat>("format");
    const auto gimp = PaletteFormat::Gimp;
    const auto jasc = PaletteFormat::JascPal;
    QTest::newRow("typed-gpl-wins") << "/d/a.GPL" << JascSaveFilter() << "/d/a.GPL" << gimp;
    QTest::newRow("typed-pal-wins") << "/d/a.pal" << GimpFilter() << "/d/a.pal" << jasc;
    QTest::newRow("gimp-filter-adds") << "/d/a" << GimpFilter() << "/d/a.gpl" << gimp;
    QTest::newRow("jasc-filter-adds") << "/d/a" << JascSaveFilter() << "/d/a.pal" << jasc;
    QTest::newRow("other-extension-kept") << "/d/my.old" << GimpFilter() << "/d/my.old" << gimp;
    QTest::newRow("unknown-filter") << "/d/a" << QString() << "/d/a.pal" << jasc;
}

void TestGimpPalette::saveTarget()
{
    QFETCH(QString, chosen);
    QFETCH(QString, filter);
    QFETCH(QString, path);
    QFETCH(PaletteFormat, format);
    const PaletteSaveTarget target = ResolvePaletteSave(chosen, filter);
    QCOMPARE(target.path, path);
    QCOMPARE(target.format, format);
}

QTEST_GUILESS_MAIN(TestGimpPalette)
#include "tst_gimppalette.moc"
