#include "color/ColorText.h"
#include "color/ColorValue.h"

#include <QTest>

#include <climits>

using namespace jov;

class TestColorText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readColorText_data();
    void readColorText();
    void strToInt32_data();
    void strToInt32();
    void hexDigits_data();
    void hexDigits();
    void removeSpacesKeepsOtherBlanks();
    void panelTexts_data();
    void panelTexts();
    void copyText_data();
    void copyText();
    void copyThenReadGivesTheColourBack();
    void webSafeRound_data();
    void webSafeRound();
};

static const char *OutcomeName(PasteOutcome outcome)
{
    switch (outcome) {
    case PasteOutcome::Ignored:
        return "ignored";
    case PasteOutcome::Imported:
        return "imported";
    case PasteOutcome::ConversionError:
        return "conversion-error";
    }
    return "?";
}

static QList<int> ValuesOf(const PasteResult &result)
{
    return QList<int>(result.values.begin(), result.values.begin() + result.count);
}

void TestColorText::readColorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QString>("outcome");

    const QString ok = "imported";
    const QString error = "conversion-error";
    const QString ignored = "ignored";
    using L = QList<int>;

    QTest::newRow("html") << "#FF8000" << L{255, 128, 0} << ok;
    QTest::newRow("html-lower-case") << "#ff8000" << L{255, 128, 0} << ok;
    QTest::newRow("html-bad-digits-count-as-0") << "#GG0000" << L{0, 0, 0} << ok;
    QTest::newRow("html-blanks-everywhere") << " # FF 80  00 " << L{255, 128, 0} << ok;
    QTest::newRow("html-five-digits") << "#FF80" << L{} << ignored;
    QTest::newRow("html-line-break-kept") << "#FF8000\n" << L{} << ignored;
    QTest::newRow("html-wins-over-comma") << "#1,2,3" << L{} << ignored;
    QTest::newRow("hash-alone") << "#" << L{} << ignored;

    QTest::newRow("0x-10-chars-bgr") << "0x000080FF" << L{255, 128, 0} << ok;
    QTest::newRow("0x-10-chars-ignores-3-4") << "0xAB563412" << L{18, 52, 86} << ok;
    QTest::newRow("0x-8-chars-bgr") << "0x0080FF" << L{255, 128, 0} << ok;
    QTest::newRow("0X-upper") << "0X123456" << L{86, 52, 18} << ok;
    QTest::newRow("0x-bad-digits-count-as-0") << "0xGG0000" << L{0, 0, 0} << ok;
    QTest::newRow("0x-wins-over-comma") << "0x10,0x20,0x30" << L{} << ignored;
    QTest::newRow("0x-wrong-length") << "0x80FF" << L{} << ignored;
    QTest::newRow("0x-alone") << "0x" << L{} << ignored;

    QTest::newRow("6-chars-rgb") << "FF8000" << L{255, 128, 0} << ok;
    QTest::newRow("8-chars-bgr") << "000080FF" << L{255, 128, 0} << ok;
    QTest::newRow("8-chars-ignores-1-2") << "zz563412" << L{18, 52, 86} << ok;
    QTest::newRow("10-chars-basic-prefix") << "&H000080FF" << L{255, 128, 0} << ok;
    QTest::newRow("10-chars-ignores-1-4") << "????563412" << L{18, 52, 86} << ok;
    QTest::newRow("5-chars") << "12345" << L{} << ignored;
    QTest::newRow("7-chars") << "1234567" << L{} << ignored;
    QTest::newRow("tab-counts-as-character") << "FF8000\t" << L{} << ignored;
    QTest::newRow("empty") << "" << L{} << ignored;
    QTest::newRow("blanks-only") << "      " << L{} << ignored;

    QTest::newRow("rgb-blanks-removed") << "RGB(255, 128, 0)" << L{255, 128, 0} << ok;
    QTest::newRow("rgb-lower-case") << "rgb(1,2,3)" << L{1, 2, 3} << ok;
    QTest::newRow("jov") << "JOV(10,20,30)" << L{10, 20, 30} << ok;
    QTest::newRow("jov-mixed-case") << "jOv(4,5,6)" << L{4, 5, 6} << ok;
    QTest::newRow("rgba-prefix-is-rgb") << "RGBA(1,2,3)" << L{1, 2, 3} << ok;
    QTest::newRow("rgb-hex-prefixes") << "RGB($FF,0,x10)" << L{255, 0, 16} << ok;
    QTest::newRow("rgb-text-after-bracket") << "RGB(1,2,3),4" << L{1, 2, 3} << ok;
    QTest::newRow("rgb-without-brackets") << "RGB 1,2,3" << L{} << ignored;
    QTest::newRow("rgb-missing-close") << "RGB(1,2,3" << L{} << ignored;
    QTest::newRow("rgb-missing-open") << "RGB1,2,3)" << L{} << ignored;
    QTest::newRow("rgb-six-chars-no-brackets") << "RGBFFF" << L{} << ignored;
    QTest::newRow("rgb-brackets-reversed") << "RGB)1,2,3(" << L{} << error;
    QTest::newRow("rgb-empty-brackets") << "RGB()" << L{} << error;
    QTest::newRow("rgb-two-values") << "RGB(1,2)" << L{1} << error;
    QTest::newRow("rgb-tab-inside") << "RGB(1,\t2,3)" << L{1} << error;

    QTest::newRow("list") << "255,128,0" << L{255, 128, 0} << ok;
    QTest::newRow("list-raw-out-of-range") << "300,-4,12" << L{300, -4, 12} << ok;
    QTest::newRow("list-hex-negative") << "x80000000,$FFFFFFFF,-$10" << L{INT_MIN, -1, -16} << ok;
    QTest::newRow("list-four-values") << "1,2,3,4" << L{1, 2} << error;
    QTest::newRow("list-trailing-comma") << "1,2,3," << L{1, 2} << error;
    QTest::newRow("list-empty-green") << "1,,3" << L{1} << error;
    QTest::newRow("list-bracket-first") << "(1,2,3)" << L{} << error;
    QTest::newRow("list-decimal-overflow") << "1,2147483648,3" << L{1} << error;
    QTest::newRow("list-commas-only") << ",," << L{} << error;
}

void TestColorText::readColorText()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, values);
    QFETCH(QString, outcome);

    const PasteResult result = ReadColorText(text);
    QCOMPARE(ValuesOf(result), values);
    QCOMPARE(QString::fromLatin1(OutcomeName(result.outcome)), outcome);
}

void TestColorText::strToInt32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("minus") << "-7" << true << -7;
    QTest::newRow("max") << "2147483647" << true << INT_MAX;
    QTest::newRow("min") << "-2147483648" << true << INT_MIN;
    QTest::newRow("max-plus-1") << "2147483648" << false << 0;
    QTest::newRow("min-minus-1") << "-2147483649" << false << 0;
    QTest::newRow("twenty-digits") << "99999999999999999999" << false << 0;
    QTest::newRow("decimal-leading-zeros") << "000000000000000000042" << true << 42;
    QTest::newRow("dollar") << "$FF" << true << 255;
    QTest::newRow("x-lower-digits") << "x1f" << true << 31;
    QTest::newRow("X-upper") << "X1F" << true << 31;
    QTest::newRow("0x") << "0x7fffffff" << true << INT_MAX;
    QTest::newRow("0X-80000000-negative") << "0X80000000" << true << INT_MIN;
    QTest::newRow("hex-all-ones") << "$FFFFFFFF" << true << -1;
    QTest::newRow("hex-8-significant") << "$12345678" << true << 0x12345678;
    QTest::newRow("hex-9-significant") << "$123456789" << false << 0;
    QTest::newRow("hex-leading-zeros-not-significant") << "$00000000000FF" << true << 255;
    QTest::newRow("hex-negated") << "-$10" << true << -16;
    QTest::newRow("hex-plus") << "+x10" << true << 16;
    QTest::newRow("hex-negated-min") << "-$80000000" << true << INT_MIN;
    QTest::newRow("hex-negated-all-ones") << "-$FFFFFFFF" << true << 1;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("lone-minus") << "-" << false << 0;
    QTest::newRow("lone-plus") << "+" << false << 0;
    QTest::newRow("lone-dollar") << "$" << false << 0;
    QTest::newRow("lone-0x") << "0x" << false << 0;
    QTest::newRow("signed-lone-x") << "-x" << false << 0;
    QTest::newRow("trailing-blank") << "1 " << false << 0;
    QTest::newRow("leading-tab") << "\t1" << false << 0;
    QTest::newRow("decimal-point") << "1.5" << false << 0;
    QTest::newRow("exponent") << "1e3" << false << 0;
    QTest::newRow("hex-letter-in-decimal") << "12a" << false << 0;
    QTest::newRow("sign-after-prefix") << "0x-1" << false << 0;
    QTest::newRow("double-sign") << "--1" << false << 0;
    QTest::newRow("bad-hex-digit") << "$G" << false << 0;
    QTest::newRow("prefix-after-zero") << "00x10" << false << 0;
    QTest::newRow("binary-prefix") << "0b1" << false << 0;
    QTest::newRow("fullwidth-digit") << QString(QChar(0xFF11)) << false << 0;
}

void TestColorText::strToInt32()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);

    const std::optional<int> result = StrToInt32(text);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(*result, value);
}

void TestColorText::hexDigits_data()
{
    QTest::addColumn<QString>("pair");
    QTest::addColumn<int>("value");

    QTest::newRow("00") << "00" << 0;
    QTest::newRow("99") << "99" << 0x99;
    QTest::newRow("upper") << "AF" << 0xAF;
    QTest::newRow("lower") << "af" << 0xAF;
    QTest::newRow("FF") << "FF" << 255;
    QTest::newRow("G-is-0") << "G1" << 1;
    QTest::newRow("g-is-0") << "1g" << 16;
    QTest::newRow("neighbours-of-digits") << "/:" << 0;
    QTest::newRow("neighbours-of-letters") << "@`" << 0;
    QTest::newRow("fullwidth-A") << QString(QChar(0xFF21)) + "1" << 1;
}

void TestColorText::hexDigits()
{
    QFETCH(QString, pair);
    QFETCH(int, value);

    QCOMPARE(HexPairValue(pair[0], pair[1]), value);
    QCOMPARE(HexDigitValue(pair[1]), value % 16);
}

void TestColorText::removeSpacesKeepsOtherBlanks()
{
    QCOMPARE(RemoveSpaces(u"  R G B ( 1 , 2 )  "), QString("RGB(1,2)"));
    const QString others = QString("\t1\r\n") + QChar(0x00A0) + "2";
    QCOMPARE(RemoveSpaces(others), others);
    QCOMPARE(RemoveSpaces(u""), QString());
}

void TestColorText::panelTexts_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<QString>("hexa");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("rgb");

    QTest::newRow("black") << 0 << 0 << 0 << "0x00000000"
                           << "#000000"
                           << "RGB(0,0,0)";
    QTest::newRow("white") << 255 << 255 << 255 << "0x00FFFFFF"
                           << "#FFFFFF"
                           << "RGB(255,255,255)";
    QTest::newRow("red-200") << 200 << 0 << 0 << "0x000000C8"
                             << "#C80000"
                             << "RGB(200,0,0)";
    QTest::newRow("orange") << 255 << 128 << 0 << "0x000080FF"
                            << "#FF8000"
                            << "RGB(255,128,0)";
    QTest::newRow("one-digit-values-padded") << 1 << 10 << 15 << "0x000F0A01"
                                             << "#010A0F"
                                             << "RGB(1,10,15)";
    QTest::newRow("typed-256-three-digits") << 256 << 0 << 999 << "0x003E700100"
                                            << "#100003E7"
                                            << "RGB(256,0,999)";
    QTest::newRow("negative-as-zero-in-hex") << -5 << 0 << 16 << "0x00100000"
                                             << "#000010"
                                             << "RGB(-5,0,16)";
}

void TestColorText::panelTexts()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(QString, hexa);
    QFETCH(QString, html);
    QFETCH(QString, rgb);

    QCOMPARE(HexaText(red, green, blue), hexa);
    QCOMPARE(HtmlText(red, green, blue), html);
    QCOMPARE(RgbText(red, green, blue), rgb);
}

void TestColorText::copyText_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("valueOnly");
    QTest::addColumn<QString>("expected");

    const int hexa = int(CopyFormat::Hexa);
    const int html = int(CopyFormat::Html);
    const int rgb = int(CopyFormat::Rgb);
    QTest::newRow("hexa-123456") << 18 << 52 << 86 << hexa << false << "0x00563412";
    QTest::newRow("hexa-value-123456") << 18 << 52 << 86 << hexa << true << "00563412";
    QTest::newRow("html-123456") << 18 << 52 << 86 << html << false << "#123456";
    QTest::newRow("html-value-123456") << 18 << 52 << 86 << html << true << "123456";
    QTest::newRow("rgb-123456") << 18 << 52 << 86 << rgb << false << "RGB(18,52,86)";
    QTest::newRow("rgb-value-123456") << 18 << 52 << 86 << rgb << true << "18,52,86";
    QTest::newRow("hexa-orange") << 255 << 128 << 0 << hexa << false << "0x000080FF";
    QTest::newRow("hexa-value-orange") << 255 << 128 << 0 << hexa << true << "000080FF";
    QTest::newRow("html-orange") << 255 << 128 << 0 << html << false << "#FF8000";
    QTest::newRow("html-value-orange") << 255 << 128 << 0 << html << true << "FF8000";
    QTest::newRow("rgb-orange") << 255 << 128 << 0 << rgb << false << "RGB(255,128,0)";
    QTest::newRow("rgb-value-orange") << 255 << 128 << 0 << rgb << true << "255,128,0";
    QTest::newRow("none") << 255 << 128 << 0 << int(CopyFormat::None) << false << "";
    QTest::newRow("none-value") << 255 << 128 << 0 << int(CopyFormat::None) << true << "";
}

void TestColorText::copyText()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    QFETCH(int, format);
    QFETCH(bool, valueOnly);
    QFETCH(QString, expected);

    QCOMPARE(CopyText(CopyFormat(format), valueOnly, HexaText(red, green, blue),
                      HtmlText(red, green, blue), RgbText(red, green, blue)),
             expected);
}

// Every text the copy can produce reads back as the same colour, in each of the six forms.
void TestColorText::copyThenReadGivesTheColourBack()
{
    const CopyFormat formats[] = {CopyFormat::Hexa, CopyFormat::Html, CopyFormat::Rgb};
    quint32 seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        int r, g, b;
        if (i < 4096) { // the corners and edges of the cube, step 17
            r = 17 * (i & 15);
            g = 17 * ((i >> 4) & 15);
            b = 17 * ((i >> 8) & 15);
        } else {
            seed = seed * 1664525u + 1013904223u;
            r = int(seed >> 24);
            g = int((seed >> 16) & 0xFF);
            b = int((seed >> 8) & 0xFF);
        }
        const QString hexa = HexaText(r, g, b);
        const QString html = HtmlText(r, g, b);
        const QString rgb = RgbText(r, g, b);
        for (CopyFormat format : formats) {
            for (bool valueOnly : {false, true}) {
                const QString text = CopyText(format, valueOnly, hexa, html, rgb);
                const PasteResult result = ReadColorText(text);
                if (result.outcome != PasteOutcome::Imported || result.values[0] != r ||
                    result.values[1] != g || result.values[2] != b) {
                    QFAIL(qPrintable(QString("%1 did not read back as %2,%3,%4")
                                         .arg(text)
                                         .arg(r)
                                         .arg(g)
                                         .arg(b)));
                }
            }
        }
    }
}

void TestColorText::webSafeRound_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("rounded");

    QTest::newRow("0") << 0 << 0;
    QTest::newRow("25-down") << 25 << 0;
    QTest::newRow("26-up") << 26 << 51;
    QTest::newRow("51-exact") << 51 << 51;
    QTest::newRow("127-down") << 127 << 102;
    QTest::newRow("128-up") << 128 << 153;
    QTest::newRow("229-down") << 229 << 204;
    QTest::newRow("230-up") << 230 << 255;
    QTest::newRow("255") << 255 << 255;
}

void TestColorText::webSafeRound()
{
    QFETCH(int, value);
    QFETCH(int, rounded);

    QCOMPARE(WebSafeRound(value), rounded);
}

QTEST_GUILESS_MAIN(TestColorText)
#include "tst_colortext.moc"
