#include "toolkit/Image.h"

#include "toolkit/File.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace TovarToolkit {

namespace {

std::string Num(std::int64_t v)
{
    return std::to_string(v);
}

// The one wording for every file that is shorter than its own header says.
std::string EndsAt(std::int64_t size, std::int64_t needed, const char* what)
{
    return "the file ends at byte " + Num(size) + " of the " + Num(needed) + " " + what;
}

bool Refuse(DecodedImage& image, std::string& reason, std::string why)
{
    image = DecodedImage();
    reason = std::move(why);
    return false;
}

std::string SizeReason(std::int64_t w, std::int64_t h, std::int64_t maxPixels)
{
    return "its size of " + Num(w) + " x " + Num(h) + " pixels is not one we read (at most " + Num(kMaxImageSide) +
           " on a side and " + Num(std::min(maxPixels, kMaxImagePixels)) + " pixels)";
}

// Sizes were checked, so a failure here is only a lack of memory, reported
// as a refusal rather than thrown.
std::unique_ptr<unsigned char[]> Allocate(std::int64_t bytes, bool zeroed)
{
    const std::size_t n = static_cast<std::size_t>(bytes);
    return std::unique_ptr<unsigned char[]>(zeroed ? new (std::nothrow) unsigned char[n]()
                                                   : new (std::nothrow) unsigned char[n]);
}

const char* const kNoMemory = "there is not enough memory for its pixels";

// ---- BMP ---------------------------------------------------------------------------

// Compression field values.
const std::uint32_t kBmpRle8 = 1, kBmpRle4 = 2, kBmpMasks = 3, kBmpJpeg = 4, kBmpPng = 5,
                    kBmpMasksWithAlpha = 6;

// One colour channel of a 16 or 32-bit pixel, given by its bit mask; the
// field is scaled to 8 bits exactly, so 5 bits of 31 become 255 and not 248.
struct MaskChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit MaskChannel(std::uint32_t m) : mask(m)
    {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1u) == 0)
            ++shift;
        max = mask >> shift;
    }
    unsigned char Of(std::uint32_t pixel) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift; // never above max, even for a mask with holes
        return static_cast<unsigned char>((v * 255 + max / 2) / max);
    }
};

bool IsBmpDepth(int bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

bool ImageSizeFits(std::int64_t w, std::int64_t h, std::int64_t maxPixels)
{
    return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide && w * h <= maxPixels &&
           w * h <= kMaxImagePixels;
}

bool DecodeBMP(const unsigned char* data, std::size_t size, DecodedImage& image, std::string& reason,
               TovarBMPInfoHeader* header, std::int64_t maxPixels)
{
    image = DecodedImage();
    const ByteReader in(data, size);
    if (!in.Has(0, 2) || in.U16(0) != 0x4D42)
        return Refuse(image, reason, "it is not a BMP file (it does not begin with \"BM\")");
    if (!in.Has(0, 18))
        return Refuse(image, reason, EndsAt(in.Size(), 18, "a BMP header needs"));

    // 12 bytes: the OS/2 1.x core header, 16-bit sizes and 3-byte palette
    // entries. Every other header begins like the 40-byte one and is whole
    // fields long; OS/2 2.x headers (16 to 64 bytes) may stop after any field.
    const std::int64_t headerSize = in.U32(14);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 16 || headerSize % 4 != 0))
        return Refuse(image, reason,
                      "its information header is " + Num(headerSize) + " bytes long, which no BMP version has");
    if (!in.Has(14, headerSize))
        return Refuse(image, reason, EndsAt(in.Size(), 14 + headerSize, "its header needs"));
    const bool os2 = !core && headerSize <= 64 && headerSize != 40 && headerSize != 52 && headerSize != 56;

    TovarBMPInfoHeader info = {};
    info.biSize = static_cast<std::uint32_t>(headerSize);
    if (core) {
        info.biWidth = static_cast<std::int32_t>(in.U16(18));
        info.biHeight = static_cast<std::int32_t>(in.U16(20));
        info.biPlanes = static_cast<std::uint16_t>(in.U16(22));
        info.biBitCount = static_cast<std::uint16_t>(in.U16(24));
    } else {
        auto field = [&](std::int64_t at) { return at + 4 <= 14 + headerSize ? in.U32(at) : 0u; };
        info.biWidth = in.S32(18);
        info.biHeight = in.S32(22);
        info.biPlanes = static_cast<std::uint16_t>(in.U16(26));
        info.biBitCount = static_cast<std::uint16_t>(in.U16(28));
        info.biCompression = field(30);
        info.biSizeImage = field(34);
        info.biXPelsPerMeter = static_cast<std::int32_t>(field(38));
        info.biYPelsPerMeter = static_cast<std::int32_t>(field(42));
        info.biClrUsed = field(46);
        info.biClrImportant = field(50);
    }

    const int bits = info.biBitCount;
    const std::uint32_t compression = info.biCompression;
    // OS/2 2.x numbers its own compressions 3 and 4.
    if (os2 && compression == 3)
        return Refuse(image, reason, "it is Huffman-coded (an OS/2 bitmap), which this reader does not decode");
    if (os2 && compression == 4)
        return Refuse(image, reason,
                      "it is run-length coded in 24 bits (an OS/2 bitmap), which this reader does not decode");
    if (compression == kBmpJpeg)
        return Refuse(image, reason, "it holds a JPEG image, which this reader does not decode");
    if (compression == kBmpPng)
        return Refuse(image, reason, "it holds a PNG image, which this reader does not decode");
    if (compression > kBmpMasksWithAlpha)
        return Refuse(image, reason, "its compression " + Num(compression) + " is unknown");
    if (!IsBmpDepth(bits))
        return Refuse(image, reason, Num(bits) + " bits per pixel is not a BMP depth");
    const bool masked = compression == kBmpMasks || compression == kBmpMasksWithAlpha;
    if ((compression == kBmpRle8 && bits != 8) || (compression == kBmpRle4 && bits != 4) ||
        (masked && bits != 16 && bits != 32))
        return Refuse(image, reason,
                      "its compression " + Num(compression) + " does not go with " + Num(bits) + " bits per pixel");

    const std::int64_t width = info.biWidth;
    const bool topDown = info.biHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(info.biHeight) : std::int64_t(info.biHeight);
    if (!ImageSizeFits(width, height, maxPixels))
        return Refuse(image, reason, SizeReason(width, height, maxPixels));

    const std::int64_t headersEnd = 14 + headerSize;
    const std::int64_t offset = in.U32(10);
    if (offset < headersEnd)
        return Refuse(image, reason,
                      "its pixel data would start at byte " + Num(offset) + ", inside its headers (which end at byte " +
                          Num(headersEnd) + ")");

    // Channel masks of 16 and 32-bit pixels: R, G, B, A.
    std::uint32_t masks[4] = {0, 0, 0, 0};
    std::int64_t tableOffset = headersEnd;
    if (masked) {
        // After a 40-byte header the masks follow it; the longer headers
        // hold them (an alpha mask from 56 bytes on).
        const int count = compression == kBmpMasksWithAlpha ? 4 : 3;
        if (headerSize == 40) {
            if (!in.Has(54, 4 * count))
                return Refuse(image, reason, EndsAt(in.Size(), 54 + 4 * count, "its bit masks need"));
            tableOffset += 4 * count;
        }
        for (int i = 0; i < 4; ++i)
            if (i < count || headerSize >= 56)
                masks[i] = in.U32(54 + 4 * i);
    } else if (bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bits == 32) {
        masks[0] = 0x00FF0000;
        masks[1] = 0x0000FF00;
        masks[2] = 0x000000FF;
    }
    const MaskChannel channel[4] = {MaskChannel(masks[0]), MaskChannel(masks[1]), MaskChannel(masks[2]),
                                    MaskChannel(masks[3])};

    // Colour table: B, G, R (and a spare byte, except in the core header).
    // Entries past its end stay black, so any index reads inside it.
    unsigned char table[256][3];
    std::memset(table, 0, sizeof table);
    if (bits <= 8) {
        const std::int64_t entry = core ? 3 : 4;
        const std::int64_t maxColours = std::int64_t(1) << bits;
        std::int64_t colours = info.biClrUsed == 0 ? maxColours : std::int64_t(info.biClrUsed);
        // The core header has no count: its table fills the space before the pixels.
        if (core)
            colours = std::min(maxColours, (offset - tableOffset) / entry);
        if (colours > maxColours)
            return Refuse(image, reason,
                          "its colour table has " + Num(colours) + " entries, more than " + Num(bits) +
                              " bits can index");
        if (!in.Has(tableOffset, colours * entry))
            return Refuse(image, reason, EndsAt(in.Size(), tableOffset + colours * entry, "its colour table needs"));
        for (std::int64_t i = 0; i < colours; ++i) {
            const unsigned char* e = in.At(tableOffset + i * entry);
            table[i][0] = e[2];
            table[i][1] = e[1];
            table[i][2] = e[0];
        }
    }

    const int channels = masks[3] != 0 ? 4 : 3;
    const std::int64_t rowBytes = width * channels;
    auto rowOf = [&](std::int64_t fileRow) { return topDown ? height - 1 - fileRow : fileRow; };

    if (compression == kBmpRle8 || compression == kBmpRle4) {
        std::unique_ptr<unsigned char[]> pixels = Allocate(rowBytes * height, true);
        if (!pixels)
            return Refuse(image, reason, kNoMemory);
        const bool rle4 = compression == kBmpRle4;
        std::int64_t x = 0, y = 0, at = offset;
        auto put = [&](unsigned index) {
            if (x < width)
                std::memcpy(pixels.get() + rowOf(y) * rowBytes + x * channels, table[index], 3);
            ++x;
        };
        const std::string cut = "the file ends at byte " + Num(in.Size()) +
                                ", inside its run-length data (before the end-of-bitmap code)";
        // A stream ends at its end-of-bitmap code or once it has passed the
        // last row; what it never reached stays black.
        while (y < height) {
            if (!in.Has(at, 2))
                return Refuse(image, reason, cut);
            const unsigned n = in.U8(at), c = in.U8(at + 1);
            at += 2;
            if (n > 0) {
                // A run: n pixels of one index, or of two alternating ones.
                // Past the row's end the run is dropped.
                const std::int64_t end = x + n;
                for (unsigned i = 0; i < n && x < width; ++i)
                    put(rle4 ? ((i & 1) ? c & 15 : c >> 4) : c);
                x = end;
            } else if (c == 0) {
                x = 0;
                ++y;
            } else if (c == 1) {
                break;
            } else if (c == 2) {
                if (!in.Has(at, 2))
                    return Refuse(image, reason, cut);
                x += in.U8(at);
                y += in.U8(at + 1);
                at += 2;
            } else {
                // Absolute mode: c indices as they are, padded to 16 bits.
                const std::int64_t bytes = rle4 ? (c + 1) / 2 : c;
                if (!in.Has(at, bytes))
                    return Refuse(image, reason, cut);
                const std::int64_t end = x + c;
                for (unsigned i = 0; i < c && x < width; ++i) {
                    const unsigned b = in.U8(at + (rle4 ? i / 2 : i));
                    put(rle4 ? ((i & 1) ? b & 15 : b >> 4) : b);
                }
                x = end;
                at += (bytes + 1) / 2 * 2;
            }
        }
        if (info.biSizeImage == 0)
            info.biSizeImage = static_cast<std::uint32_t>(std::min<std::int64_t>(at, in.Size()) - offset);
        image.pixels = std::move(pixels);
    } else {
        // Every row is padded to a multiple of 4 bytes in the file.
        const std::int64_t stride = (width * bits + 31) / 32 * 4;
        const std::int64_t dataSize = stride * height;
        if (!in.Has(offset, dataSize))
            return Refuse(image, reason, EndsAt(in.Size(), offset + dataSize, "its header needs"));
        std::unique_ptr<unsigned char[]> pixels = Allocate(rowBytes * height, false);
        if (!pixels)
            return Refuse(image, reason, kNoMemory);
        for (std::int64_t row = 0; row < height; ++row) {
            const unsigned char* src = in.At(offset + row * stride);
            unsigned char* dst = pixels.get() + rowOf(row) * rowBytes;
            for (std::int64_t x = 0; x < width; ++x, dst += channels) {
                if (bits <= 8) {
                    const std::int64_t bit = x * bits;
                    const unsigned index = (src[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                    std::memcpy(dst, table[index], 3);
                    continue;
                }
                if (bits == 24) {
                    const unsigned char* p = src + x * 3;
                    dst[0] = p[2];
                    dst[1] = p[1];
                    dst[2] = p[0];
                    continue;
                }
                std::uint32_t v = 0;
                if (bits == 16)
                    v = std::uint32_t(src[x * 2]) | std::uint32_t(src[x * 2 + 1]) << 8;
                else
                    v = std::uint32_t(src[x * 4]) | std::uint32_t(src[x * 4 + 1]) << 8 |
                        std::uint32_t(src[x * 4 + 2]) << 16 | std::uint32_t(src[x * 4 + 3]) << 24;
                for (int c = 0; c < channels; ++c)
                    dst[c] = channel[c].Of(v);
            }
        }
        if (info.biSizeImage == 0)
            info.biSizeImage = static_cast<std::uint32_t>(dataSize);
        image.pixels = std::move(pixels);
    }

    image.width = int(width);
    image.height = int(height);
    image.channels = channels;
    if (header)
        *header = info;
    return true;
}

// ---- TGA -----------------------------------------------------------------------------

bool DecodeTGA(const unsigned char* data, std::size_t size, DecodedImage& image, std::string& reason,
               std::int64_t maxPixels)
{
    image = DecodedImage();
    const ByteReader in(data, size);
    if (!in.Has(0, 18))
        return Refuse(image, reason, EndsAt(in.Size(), 18, "a TGA header needs"));

    const unsigned idLength = in.U8(0);
    const unsigned colourMapType = in.U8(1);
    const unsigned imageType = in.U8(2);
    const unsigned mapLength = in.U16(5);
    const unsigned mapEntryBits = in.U8(7);
    const std::int64_t width = in.U16(12);
    const std::int64_t height = in.U16(14);
    const unsigned depth = in.U8(16);
    const unsigned descriptor = in.U8(17);

    // 2: uncompressed true-colour, 3: uncompressed greyscale. Colour-mapped
    // and run-length images are not decoded.
    if (imageType == 9 || imageType == 10 || imageType == 11)
        return Refuse(image, reason,
                      "it is a run-length TGA (image type " + Num(imageType) + "), which this reader does not decode");
    if (imageType == 1)
        return Refuse(image, reason, "it is a colour-mapped TGA (image type 1), which this reader does not decode");
    if (imageType != 2 && imageType != 3)
        return Refuse(image, reason, "its TGA image type " + Num(imageType) + " is not one we read (2 or 3)");
    int fileBpp = 0;
    if (imageType == 2 && (depth == 24 || depth == 32))
        fileBpp = int(depth / 8);
    else if (imageType == 3 && depth == 8)
        fileBpp = 1;
    if (fileBpp == 0)
        return Refuse(image, reason,
                      Num(depth) + " bits per pixel is not read in a TGA of image type " + Num(imageType) +
                          (imageType == 2 ? " (24 or 32 only)" : " (8 only)"));
    if (colourMapType > 1)
        return Refuse(image, reason, "its colour-map type " + Num(colourMapType) + " is unknown");
    if (!ImageSizeFits(width, height, maxPixels))
        return Refuse(image, reason, SizeReason(width, height, maxPixels));

    // The image ID and a colour map that a true-colour file may still carry
    // come between the header and the pixels.
    const std::int64_t mapBytes = colourMapType == 1 ? std::int64_t(mapLength) * ((mapEntryBits + 7) / 8) : 0;
    const std::int64_t offset = 18 + std::int64_t(idLength) + mapBytes;
    const std::int64_t dataSize = width * height * fileBpp;
    if (!in.Has(offset, dataSize))
        return Refuse(image, reason, EndsAt(in.Size(), offset + dataSize, "its header needs"));

    // Greyscale is expanded to RGB, so every image has 3 or 4 channels.
    const std::int64_t channels = fileBpp == 4 ? 4 : 3;
    std::unique_ptr<unsigned char[]> pixels = Allocate(width * height * channels, false);
    if (!pixels)
        return Refuse(image, reason, kNoMemory);
    const bool topFirst = (descriptor & 0x20) != 0;
    const bool rightToLeft = (descriptor & 0x10) != 0;
    for (std::int64_t row = 0; row < height; ++row) {
        const unsigned char* src = in.At(offset + row * width * fileBpp);
        const std::int64_t target = topFirst ? height - 1 - row : row;
        for (std::int64_t x = 0; x < width; ++x) {
            const unsigned char* p = src + x * fileBpp;
            const std::int64_t column = rightToLeft ? width - 1 - x : x;
            unsigned char* q = pixels.get() + (target * width + column) * channels;
            if (fileBpp == 1) {
                q[0] = q[1] = q[2] = p[0];
            } else {
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
                if (fileBpp == 4)
                    q[3] = p[3];
            }
        }
    }
    image.width = int(width);
    image.height = int(height);
    image.channels = int(channels);
    image.pixels = std::move(pixels);
    return true;
}

// ---- PCX -----------------------------------------------------------------------------

namespace {

// Average an RGBA image down to a smaller size, each target pixel weighted by
// the exact area of the source pixels it covers. This is the box filter GLU's
// image scaling uses when shrinking, done here in integers so that the
// decoder needs no GL context and gives the same bytes everywhere.
void ShrinkRGBA(const unsigned char* src, int w, int h, unsigned char* dst, int ow, int oh)
{
    // In units where a source pixel is ow wide and a target pixel w wide, both
    // images span w * ow; likewise vertically.
    const std::uint64_t area = std::uint64_t(w) * std::uint64_t(h);
    for (int Y = 0; Y < oh; ++Y) {
        const std::int64_t y0 = std::int64_t(Y) * h, y1 = y0 + h;
        const int syFirst = int(y0 / oh), syLast = int((y1 - 1) / oh);
        for (int X = 0; X < ow; ++X) {
            const std::int64_t x0 = std::int64_t(X) * w, x1 = x0 + w;
            const int sxFirst = int(x0 / ow), sxLast = int((x1 - 1) / ow);
            std::uint64_t sum[4] = {0, 0, 0, 0};
            for (int sy = syFirst; sy <= syLast; ++sy) {
                const std::int64_t top = std::max<std::int64_t>(y0, std::int64_t(sy) * oh);
                const std::int64_t bottom = std::min<std::int64_t>(y1, std::int64_t(sy + 1) * oh);
                const std::uint64_t wy = std::uint64_t(bottom - top);
                for (int sx = sxFirst; sx <= sxLast; ++sx) {
                    const std::int64_t left = std::max<std::int64_t>(x0, std::int64_t(sx) * ow);
                    const std::int64_t right = std::min<std::int64_t>(x1, std::int64_t(sx + 1) * ow);
                    const std::uint64_t weight = wy * std::uint64_t(right - left);
                    const unsigned char* p = src + (std::int64_t(sy) * w + sx) * 4;
                    for (int c = 0; c < 4; ++c)
                        sum[c] += weight * p[c];
                }
            }
            unsigned char* q = dst + (std::int64_t(Y) * ow + X) * 4;
            for (int c = 0; c < 4; ++c)
                q[c] = static_cast<unsigned char>((sum[c] + area / 2) / area);
        }
    }
}

int LargestPowerOfTwoNotAbove(int n)
{
    int p = 1;
    while (p <= n / 2)
        p *= 2;
    return p;
}

} // namespace

bool DecodePCX(const unsigned char* data, std::size_t size, DecodedImage& image, std::string& reason,
               std::int64_t maxPixels)
{
    image = DecodedImage();
    const ByteReader in(data, size);
    if (in.Has(0, 1) && in.U8(0) != 10)
        return Refuse(image, reason, "it is not a PCX file (its first byte is " + Num(in.U8(0)) + ", not 10)");
    // A 128-byte header, the pixel data, and the palette: a marker byte of 12
    // and 768 bytes, the last 769 bytes of the file.
    if (!in.Has(0, 128 + 769))
        return Refuse(image, reason, EndsAt(in.Size(), 128 + 769, "a PCX header and palette need"));
    if (in.U8(1) != 5)
        return Refuse(image, reason, "its PCX version " + Num(in.U8(1)) + " is not read (5 only)");
    if (in.U8(2) != 1)
        return Refuse(image, reason, "its PCX encoding " + Num(in.U8(2)) + " is not read (1, run-length, only)");
    if (in.U8(3) != 8)
        return Refuse(image, reason, Num(in.U8(3)) + " bits per pixel is not read in a PCX (8 only)");
    const std::int64_t xMin = in.U16(4), yMin = in.U16(6), xMax = in.U16(8), yMax = in.U16(10);
    const unsigned planes = in.U8(65);
    const std::int64_t bytesPerLine = in.U16(66);
    if (planes != 1)
        return Refuse(image, reason, "it has " + Num(planes) + " colour planes; only one (with a palette) is read");
    if (xMax < xMin || yMax < yMin)
        return Refuse(image, reason,
                      "its window ends before it begins (" + Num(xMin) + ", " + Num(yMin) + " to " + Num(xMax) +
                          ", " + Num(yMax) + ")");
    const std::int64_t width = xMax - xMin + 1, height = yMax - yMin + 1;
    if (!ImageSizeFits(width, height, maxPixels))
        return Refuse(image, reason, SizeReason(width, height, maxPixels));
    if (bytesPerLine < width)
        return Refuse(image, reason,
                      "its lines of " + Num(bytesPerLine) + " bytes are shorter than its width of " + Num(width));

    const std::int64_t paletteAt = in.Size() - 769;
    if (in.U8(paletteAt) != 12)
        return Refuse(image, reason,
                      "it has no 256-colour palette (byte " + Num(paletteAt) + " is " + Num(in.U8(paletteAt)) +
                          ", not 12)");

    // A run of two bytes yields at most 63 pixels, so a stream this short can
    // never fill the image; refuse before allocating for it.
    const std::int64_t encodedSize = paletteAt - 128;
    const std::int64_t decodedSize = bytesPerLine * height;
    const std::string cut = "its run-length data ends at byte " + Num(paletteAt) + " before its " + Num(width) +
                            " x " + Num(height) + " pixels are complete";
    if (decodedSize > (encodedSize + 1) / 2 * 63)
        return Refuse(image, reason, cut);

    // Decode every scan line with its padding; runs that cross from one line
    // into the next are followed, and no run goes past the end.
    std::unique_ptr<unsigned char[]> lines = Allocate(decodedSize, false);
    if (!lines)
        return Refuse(image, reason, kNoMemory);
    std::int64_t produced = 0, at = 128;
    while (produced < decodedSize) {
        if (at >= paletteAt)
            return Refuse(image, reason, cut);
        unsigned c = in.U8(at++);
        std::int64_t count = 1;
        if (c > 191) {
            count = c & 63;
            if (at >= paletteAt)
                return Refuse(image, reason, cut);
            c = in.U8(at++);
        }
        count = std::min(count, decodedSize - produced);
        std::memset(lines.get() + produced, int(c), static_cast<size_t>(count));
        produced += count;
    }

    std::unique_ptr<unsigned char[]> palette = Allocate(768, false);
    if (!palette)
        return Refuse(image, reason, kNoMemory);
    std::memcpy(palette.get(), in.At(paletteAt + 1), 768);

    // PCX stores the top row first; our rows run bottom first.
    std::unique_ptr<unsigned char[]> rgba = Allocate(width * height * 4, false);
    if (!rgba)
        return Refuse(image, reason, kNoMemory);
    for (std::int64_t row = 0; row < height; ++row) {
        const unsigned char* src = lines.get() + row * bytesPerLine;
        unsigned char* dst = rgba.get() + (height - 1 - row) * width * 4;
        for (std::int64_t x = 0; x < width; ++x, dst += 4) {
            std::memcpy(dst, palette.get() + 3 * src[x], 3);
            dst[3] = 255;
        }
    }
    lines.reset();

    const int outWidth = LargestPowerOfTwoNotAbove(int(width));
    const int outHeight = LargestPowerOfTwoNotAbove(int(height));
    if (outWidth == width && outHeight == height) {
        image.pixels = std::move(rgba);
    } else {
        image.pixels = Allocate(std::int64_t(outWidth) * outHeight * 4, false);
        if (!image.pixels)
            return Refuse(image, reason, kNoMemory);
        ShrinkRGBA(rgba.get(), int(width), int(height), image.pixels.get(), outWidth, outHeight);
    }
    image.width = outWidth;
    image.height = outHeight;
    image.channels = 4;
    image.palette = std::move(palette);
    return true;
}

} // namespace TovarToolkit
