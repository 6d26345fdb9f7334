#include "x11/PixelDecoder.h"

#include <QtEndian>

#include <bit>

namespace jov {

namespace {

// Where one channel sits in a pixel value.
struct Channel
{
    uint32_t mask;
    int shift;
    int bits;

    explicit Channel(uint32_t m)
        : mask(m), shift(m ? std::countr_zero(m) : 0), bits(std::popcount(m))
    {
    }

    int byte(uint32_t value) const
    {
        const uint32_t v = (value & mask) >> shift;
        if (bits == 0)
            return 0;
        if (bits >= 8)
            return int(v >> (bits - 8));
        // Repeated until 8 bits are filled: the largest value gives 255, zero gives 0.
        uint32_t wide = 0;
        int filled = 0;
        while (filled < 8) {
            wide = (wide << bits) | v;
            filled += bits;
        }
        return int(wide >> (filled - 8));
    }

    // The value of an 8-bit level as Qt paints it: its high bits in a narrower channel, its bits
    // repeated in a wider one.
    uint32_t value(int byte) const
    {
        uint32_t v = uint32_t(byte);
        if (bits <= 8) {
            v >>= 8 - bits;
        } else {
            for (int filled = 8; filled < bits; filled += 8)
                v = (v << 8) | uint32_t(byte);
            v >>= (bits + 7) / 8 * 8 - bits;
        }
        return (v << shift) & mask;
    }
};

uint32_t ValueAt(const uint8_t *p, int bytes, bool msbFirst)
{
    if (bytes == 4)
        return msbFirst ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        const int byte = msbFirst ? i : bytes - 1 - i;
        value = (value << 8) | p[byte];
    }
    return value;
}

bool MaskFits(uint32_t mask, int bitsPerPixel)
{
    return mask != 0 && (bitsPerPixel == 32 || mask >> bitsPerPixel == 0);
}

} // namespace

bool CanDecode(const PixelLayout &layout)
{
    const int bpp = layout.bitsPerPixel;
    if ((bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) || layout.scanlinePad < 8 ||
        layout.scanlinePad % 8 != 0)
        return false;
    if (layout.colormapped)
        return bpp == 8;
    return MaskFits(layout.redMask, bpp) && MaskFits(layout.greenMask, bpp) &&
           MaskFits(layout.blueMask, bpp);
}

uint32_t EncodePixel(const PixelLayout &layout, QRgb colour)
{
    return Channel(layout.redMask).value(qRed(colour)) |
           Channel(layout.greenMask).value(qGreen(colour)) |
           Channel(layout.blueMask).value(qBlue(colour));
}

bool DecodePixels(const PixelLayout &layout, const uint8_t *data, std::size_t length, int width,
                  int height, QImage &image, QPoint at)
{
    if (!CanDecode(layout) || width <= 0 || height <= 0)
        return false;
    const int pad = layout.scanlinePad;
    const std::size_t stride = std::size_t((width * layout.bitsPerPixel + pad - 1) / pad * pad / 8);
    // The last row need not carry its padding.
    const std::size_t bytesPerPixel = std::size_t(layout.bitsPerPixel / 8);
    if (length < stride * std::size_t(height - 1) + bytesPerPixel * std::size_t(width))
        return false;
    const Channel red(layout.redMask);
    const Channel green(layout.greenMask);
    const Channel blue(layout.blueMask);
    const auto paletteSize = uint32_t(layout.palette.size());
    // The usual layout (a 32-bit pixel holding 8-bit channels where Format_RGB32 keeps them)
    // is copied as it is.
    const bool asRgb32 = bytesPerPixel == 4 && !layout.colormapped && layout.redMask == 0xFF0000 &&
                         layout.greenMask == 0x00FF00 && layout.blueMask == 0x0000FF;
    uchar *const bits = image.bits(); // detached once, not for every row
    const auto bytesPerLine = std::size_t(image.bytesPerLine());
    for (int y = 0; y < height; ++y) {
        const uint8_t *in = data + std::size_t(y) * stride;
        auto *out =
            reinterpret_cast<QRgb *>(bits + std::size_t(at.y() + y) * bytesPerLine) + at.x();
        if (asRgb32 && !layout.msbFirst) {
            for (int x = 0; x < width; ++x)
                out[x] = 0xFF000000u | (qFromLittleEndian<quint32>(in + 4 * x) & 0xFFFFFFu);
            continue;
        }
        for (int x = 0; x < width; ++x, in += bytesPerPixel) {
            const uint32_t value = ValueAt(in, int(bytesPerPixel), layout.msbFirst);
            if (asRgb32)
                out[x] = 0xFF000000u | (value & 0xFFFFFFu);
            else if (layout.colormapped)
                out[x] = value < paletteSize ? layout.palette[value] : qRgb(0, 0, 0);
            else
                out[x] = qRgb(red.byte(value), green.byte(value), blue.byte(value));
        }
    }
    return true;
}

} // namespace jov
