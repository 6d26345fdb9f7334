#include "x11/PixelDecoder.h"

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
};

uint32_t ValueAt(const uint8_t *p, int bytes, bool msbFirst)
{
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
    for (int y = 0; y < height; ++y) {
        const uint8_t *in = data + std::size_t(y) * stride;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(at.y() + y)) + at.x();
        for (int x = 0; x < width; ++x, in += bytesPerPixel) {
            const uint32_t value = ValueAt(in, int(bytesPerPixel), layout.msbFirst);
            if (layout.colormapped)
                out[x] = value < paletteSize ? layout.palette[value] : qRgb(0, 0, 0);
            else
                out[x] = qRgb(red.byte(value), green.byte(value), blue.byte(value));
        }
    }
    return true;
}

} // namespace jov
