// The pixels of an X image in every layout a server may send: 32 and 24 bits in either byte
// order, blue-first masks, 16-bit 5-6-5 and 5-5-5, 30-bit 10-10-10, 8-bit true colour and a
// colour map. Each row gives the bytes of one pixel as the server sends them and the colour
// they must give; the pixel sits last in a 3 x 2 image whose rows carry padding.
#include "x11/PixelDecoder.h"

#include <QTest>

using namespace jov;

Q_DECLARE_METATYPE(jov::PixelLayout)

class TestPixelDecoder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decode_data();
    void decode();
    void encode_data();
    void encode();
};

void TestPixelDecoder::decode_data()
{
    QTest::addColumn<PixelLayout>("layout");
    QTest::addColumn<QByteArray>("pixel");
    QTest::addColumn<QRgb>("colour"); // of the pixel; of no matter when it cannot be decoded
    QTest::addColumn<bool>("decodable");

    const auto trueColour = [](int bpp, bool msb, uint32_t r, uint32_t g, uint32_t b) {
        PixelLayout layout;
        layout.bitsPerPixel = bpp;
        layout.msbFirst = msb;
        layout.redMask = r;
        layout.greenMask = g;
        layout.blueMask = b;
        return layout;
    };
    const QRgb rgb = qRgb(0x12, 0x34, 0x56);
    QTest::newRow("32 bits, LSB first") << trueColour(32, false, 0xFF0000, 0xFF00, 0xFF)
                                        << QByteArray("\x56\x34\x12\x00", 4) << rgb << true;
    QTest::newRow("32 bits, padding byte set") << trueColour(32, false, 0xFF0000, 0xFF00, 0xFF)
                                               << QByteArray("\x56\x34\x12\xAB", 4) << rgb << true;
    QTest::newRow("32 bits, MSB first") << trueColour(32, true, 0xFF0000, 0xFF00, 0xFF)
                                        << QByteArray("\x00\x12\x34\x56", 4) << rgb << true;
    QTest::newRow("32 bits, blue high") << trueColour(32, false, 0xFF, 0xFF00, 0xFF0000)
                                        << QByteArray("\x12\x34\x56\x00", 4) << rgb << true;
    QTest::newRow("24 bits packed, LSB first") << trueColour(24, false, 0xFF0000, 0xFF00, 0xFF)
                                               << QByteArray("\x56\x34\x12") << rgb << true;
    QTest::newRow("24 bits packed, MSB first") << trueColour(24, true, 0xFF0000, 0xFF00, 0xFF)
                                               << QByteArray("\x12\x34\x56") << rgb << true;
    // Red 11001, green 100110, blue 01011: each widened by repeating its bits.
    QTest::newRow("16 bits 565, LSB first") << trueColour(16, false, 0xF800, 0x7E0, 0x1F)
                                            << QByteArray("\xCB\xCC") << qRgb(206, 154, 90) << true;
    QTest::newRow("16 bits 565, MSB first") << trueColour(16, true, 0xF800, 0x7E0, 0x1F)
                                            << QByteArray("\xCC\xCB") << qRgb(206, 154, 90) << true;
    QTest::newRow("15 bits 555") << trueColour(16, false, 0x7C00, 0x3E0, 0x1F)
                                 << QByteArray("\x6B\x66") << qRgb(206, 156, 90) << true;
    // 10 bits a channel: the 8 high bits.
    QTest::newRow("30 bits") << trueColour(32, false, 0x3FF00000, 0xFFC00, 0x3FF)
                             << QByteArray("\xFF\xAF\x3A\x12") << qRgb(0x48, 0xAA, 0xFF) << true;
    QTest::newRow("8 bits 332") << trueColour(8, false, 0xE0, 0x1C, 0x03) << QByteArray("\xAE")
                                << qRgb(0xB6, 0x6D, 0xAA) << true;

    PixelLayout mapped;
    mapped.bitsPerPixel = 8;
    mapped.colormapped = true;
    mapped.palette = {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(0xCC, 0x99, 0x66)};
    QTest::newRow("colour map") << mapped << QByteArray("\x02") << qRgb(0xCC, 0x99, 0x66) << true;
    QTest::newRow("colour map, index past it")
        << mapped << QByteArray("\x05") << qRgb(0, 0, 0) << true;

    QTest::newRow("4 bits") << trueColour(4, false, 0x8, 0x4, 0x3) << QByteArray("\x0F") << rgb
                            << false;
    QTest::newRow("mask wider than the pixel")
        << trueColour(16, false, 0xFF0000, 0x7E0, 0x1F) << QByteArray("\xCB\xCC") << rgb << false;
}

void TestPixelDecoder::decode()
{
    QFETCH(PixelLayout, layout);
    QFETCH(QByteArray, pixel);
    QFETCH(QRgb, colour);
    QFETCH(bool, decodable);
    QCOMPARE(CanDecode(layout), decodable);

    // Three pixels a row, each row padded to 32 bits with bytes that must be skipped; every
    // value is 0 but the last.
    constexpr int width = 3;
    constexpr int height = 2;
    const int stride = (width * int(pixel.size()) + 3) / 4 * 4;
    QByteArray data(stride * height, '\xAA');
    for (int y = 0; y < height; ++y)
        data.replace(y * stride, width * pixel.size(), QByteArray(width * pixel.size(), '\0'));
    data.replace(stride + 2 * pixel.size(), pixel.size(), pixel);

    const QRgb untouched = qRgb(7, 7, 7);
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(untouched);
    const QPoint at(1, 2);
    const auto *bytes = reinterpret_cast<const uint8_t *>(data.constData());
    QCOMPARE(DecodePixels(layout, bytes, std::size_t(data.size()), width, height, image, at),
             decodable);
    if (!decodable) {
        QCOMPARE(image.pixel(at), untouched);
        return;
    }
    QCOMPARE(image.pixel(at + QPoint(2, 1)), colour);
    const QRgb zero = layout.colormapped ? layout.palette.first() : qRgb(0, 0, 0);
    QCOMPARE(image.pixel(at), zero);
    QCOMPARE(image.pixel(at + QPoint(2, 0)), zero);
    QCOMPARE(image.pixel(at - QPoint(1, 0)), untouched);
    QCOMPARE(image.pixel(at - QPoint(0, 1)), untouched);
    // One byte short of the last pixel: nothing at all.
    image.fill(untouched);
    QVERIFY(!DecodePixels(layout, bytes,
                          std::size_t(data.size()) - (stride - width * pixel.size()) - 1, width,
                          height, image, at));
    QCOMPARE(image.pixel(at), untouched);
}

// A colour's pixel value as Qt paints it in each true-colour layout.
void TestPixelDecoder::encode_data()
{
    QTest::addColumn<uint>("red");
    QTest::addColumn<uint>("green");
    QTest::addColumn<uint>("blue");
    QTest::addColumn<uint>("value"); // of qRgb(0x12, 0x80, 0xFF)
    QTest::newRow("8-8-8") << 0xFF0000u << 0x00FF00u << 0x0000FFu << 0x1280FFu;
    QTest::newRow("blue first") << 0x0000FFu << 0x00FF00u << 0xFF0000u << 0xFF8012u;
    QTest::newRow("5-6-5") << 0xF800u << 0x07E0u << 0x001Fu
                           << ((0x02u << 11) | (0x20u << 5) | 0x1Fu);
    QTest::newRow("10-10-10") << 0x3FF00000u << 0x000FFC00u << 0x000003FFu
                              << ((0x048u << 20) | (0x202u << 10) | 0x3FFu);
}

void TestPixelDecoder::encode()
{
    QFETCH(uint, red);
    QFETCH(uint, green);
    QFETCH(uint, blue);
    QFETCH(uint, value);
    PixelLayout layout;
    layout.redMask = red;
    layout.greenMask = green;
    layout.blueMask = blue;
    QCOMPARE(EncodePixel(layout, qRgb(0x12, 0x80, 0xFF)), value);
}

QTEST_GUILESS_MAIN(TestPixelDecoder)
#include "tst_pixeldecoder.moc"
