#pragma once

// The image file formats, decoded from bytes in memory. Nothing here touches
// a file, GL or the clock: the texture reads the file and uploads the result,
// and the fuzz targets feed bytes straight in.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace TovarToolkit {

// The 40-byte information header of a BMP file, as stored (little-endian).
struct TovarBMPInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

// No image may be larger than this on a side, nor hold more pixels in total.
const std::int64_t kMaxImageSide = 65536;
const std::int64_t kMaxImagePixels = std::int64_t(1) << 28;

// Whether a width and height are ones we read, write and upload; `maxPixels`
// can only lower the limit.
bool ImageSizeFits(std::int64_t width, std::int64_t height, std::int64_t maxPixels = kMaxImagePixels);

// A decoded picture: rows tightly packed, bottom row first, `channels` bytes a
// pixel (3: R, G, B; 4: R, G, B, A).
struct DecodedImage {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::unique_ptr<unsigned char[]> pixels;
    std::unique_ptr<unsigned char[]> palette; // 768 bytes (256 x R, G, B), PCX only
};

// Each decoder either fills `image` and returns true, or returns false and
// says why in `reason` (a sentence without the file's name) and leaves
// `image` empty. `maxPixels` lowers the size limit, for callers that must
// stay small (the fuzz targets).
//
// BMP: every header from the 12-byte core header to the 124-byte one;
// 1, 2, 4 and 8-bit palettes, 16 and 32 bits with any bit masks, 24 bits,
// RLE8 and RLE4; top-down and bottom-up. Alpha is kept (4 channels) only
// where the file gives an alpha mask; everything else gives 3 channels.
// Pixels a run-length stream leaves unset (skipped by a delta, or after an
// early end-of-bitmap) are black. `header` (when given) receives the
// information header, the core header's fields widened to it.
bool DecodeBMP(const unsigned char* data, std::size_t size, DecodedImage& image, std::string& reason,
               TovarBMPInfoHeader* header = nullptr, std::int64_t maxPixels = kMaxImagePixels);

// TGA: uncompressed true-colour (24 or 32 bits) and 8-bit greyscale (given
// as RGB), either origin, any image ID or colour map skipped.
bool DecodeTGA(const unsigned char* data, std::size_t size, DecodedImage& image, std::string& reason,
               std::int64_t maxPixels = kMaxImagePixels);

// PCX: version 5, one plane of 8-bit run-length indices and the 256-colour
// palette at the end. The result is RGBA with alpha 255, shrunk by area
// average to the largest power of two not above each side.
bool DecodePCX(const unsigned char* data, std::size_t size, DecodedImage& image, std::string& reason,
               std::int64_t maxPixels = kMaxImagePixels);

} // namespace TovarToolkit
