#pragma once

#include <QImage>
#include <QList>
#include <QPoint>

#include <cstddef>
#include <cstdint>

namespace jov {

// How an X server lays out the pixels of an image it sends (Z format): the size of a pixel and
// of a row, the byte order of a pixel value, and how a value gives a colour.
struct PixelLayout
{
    int bitsPerPixel = 32; // 8, 16, 24 or 32 can be decoded
    int scanlinePad = 32;  // each row is a whole number of this many bits
    bool msbFirst = false; // the most significant byte of a value comes first
    // True colour: where red, green and blue sit in a value. A channel narrower than 8 bits
    // is widened by repeating its bits (5 bits 11001 give 11001110), so that its largest
    // value gives 255; a wider one keeps its 8 high bits.
    uint32_t redMask = 0xFF0000;
    uint32_t greenMask = 0x00FF00;
    uint32_t blueMask = 0x0000FF;
    // A visual with a colour map: the value is an index into `palette` (filled from the
    // server's colour map); the masks are not used.
    bool colormapped = false;
    QList<QRgb> palette;
};

// Whether pixels of this layout can be decoded (see bitsPerPixel; a true-colour layout needs
// three masks within the pixel).
bool CanDecode(const PixelLayout &layout);

// Decodes width x height pixels from `data` (rows padded as the layout says) into `image`
// (Format_RGB32, large enough) with the first pixel at `at`. A colour-map index beyond the
// palette gives black. False, writing nothing, when the layout cannot be decoded or the data
// is too short.
bool DecodePixels(const PixelLayout &layout, const uint8_t *data, std::size_t length, int width,
                  int height, QImage &image, QPoint at);

// The pixel value of a colour in a true-colour layout, as Qt paints it: a channel narrower than
// 8 bits takes the colour's high bits (not the nearest level), a wider one repeats its 8 bits.
uint32_t EncodePixel(const PixelLayout &layout, QRgb colour);

} // namespace jov
