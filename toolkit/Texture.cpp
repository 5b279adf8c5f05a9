#include "toolkit/Texture.h"

#include "toolkit/File.h"
#include "toolkit/platform/GL.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace TovarToolkit {

namespace {

// Nothing we read or write may be larger than this on a side, nor hold more
// pixels in total; every size product below is taken in 64 bits.
const std::int64_t kMaxSide = 65536;
const std::int64_t kMaxPixels = std::int64_t(1) << 28;
// Whole files are read into memory first; bigger ones are refused.
const std::int64_t kMaxFileBytes = (std::int64_t(1) << 30) + (std::int64_t(1) << 20);

bool SaneSize(std::int64_t w, std::int64_t h)
{
    return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxPixels;
}

// The whole file, or false when it cannot be opened or read to its end.
bool ReadWholeFile(const char* file, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    if (!file)
        return false;
    FILE* f = OpenFile(file, "rb");
    if (!f)
        return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    long length = ok ? std::ftell(f) : -1;
    ok = ok && length >= 0 && length <= kMaxFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<size_t>(length));
        ok = length == 0 || std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    if (!ok)
        bytes.clear();
    return ok;
}

// Bounds-checked little-endian reads over a file held in memory.
class ByteReader {
public:
    explicit ByteReader(const std::vector<unsigned char>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    std::int64_t Size() const { return static_cast<std::int64_t>(size_); }
    bool Has(std::int64_t offset, std::int64_t count) const
    {
        return offset >= 0 && count >= 0 && offset <= Size() && count <= Size() - offset;
    }
    const unsigned char* At(std::int64_t offset) const { return data_ + offset; }
    // Callers check Has() for the whole header first.
    unsigned U8(std::int64_t o) const { return data_[o]; }
    unsigned U16(std::int64_t o) const { return unsigned(data_[o]) | unsigned(data_[o + 1]) << 8; }
    std::uint32_t U32(std::int64_t o) const
    {
        return std::uint32_t(data_[o]) | std::uint32_t(data_[o + 1]) << 8 | std::uint32_t(data_[o + 2]) << 16 |
               std::uint32_t(data_[o + 3]) << 24;
    }
    std::int32_t S32(std::int64_t o) const
    {
        std::uint32_t u = U32(o);
        std::int32_t s;
        std::memcpy(&s, &u, sizeof s);
        return s;
    }

private:
    const unsigned char* data_;
    size_t size_;
};

// Average an RGBA image down to a smaller size, each target pixel weighted by
// the exact area of the source pixels it covers. This is the box filter GLU's
// image scaling uses when shrinking, done here in integers so that readers
// work without a GL context and give the same bytes everywhere.
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

// A 32-bit BMP channel mask we can decode: one whole byte of the pixel.
bool ByteMask(std::uint32_t mask, int& shift)
{
    for (shift = 0; shift < 32; shift += 8)
        if (mask == (std::uint32_t(0xFF) << shift))
            return true;
    return false;
}

// Writes all of size bytes or reports false.
bool WriteAll(FILE* f, const void* data, size_t size)
{
    return size == 0 || std::fwrite(data, 1, size, f) == size;
}

void PutU16(unsigned char* p, unsigned v)
{
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>((v >> 8) & 0xFF);
}

void PutU32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

// Writes rows of RGB pixels as BGR, each padded with zeros to `stride` bytes.
// The caller's array is left as it is; each row is converted on its way out.
bool WriteBgrRows(FILE* f, const unsigned char* rgb, std::int64_t rows, std::int64_t rowBytes,
                  std::int64_t stride)
{
    std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
    for (std::int64_t y = 0; y < rows; ++y) {
        const unsigned char* src = rgb + y * rowBytes;
        for (std::int64_t x = 0; x < rowBytes; x += 3) {
            row[x] = src[x + 2];
            row[x + 1] = src[x + 1];
            row[x + 2] = src[x];
        }
        if (!WriteAll(f, row.data(), row.size()))
            return false;
    }
    return true;
}

// Closes the file; a failed write or close (a full disk) is a failed write.
bool FinishWrite(FILE* f, bool ok)
{
    return std::fclose(f) == 0 && ok;
}

} // namespace

TovarTexture::TovarTexture()
    : ID(0), imageWidth(0), imageHeight(0), image(nullptr), palette(nullptr), textureExist(false), type(0)
{
}

TovarTexture::~TovarTexture()
{
    FreeImage();
    // Only a texture that was uploaded has a name to give back. (At exit the
    // context may be gone already; the call is then harmless.)
    if (ID != 0)
        glDeleteTextures(1, &ID);
}

bool TovarTexture::LoadBMPFile(const char* file)
{
    FreeImage();
    TovarBMPInfoHeader info;
    unsigned char* pixels = LoadBitmapA(file, &info);
    if (!pixels)
        return false;
    image = pixels;
    imageWidth = info.biWidth;
    // A top-down file has a negative height; the pixels are bottom-first now.
    imageHeight = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    return UploadLoaded();
}

bool TovarTexture::LoadTGAFile(const char* file)
{
    FreeImage();
    return LoadTGA(file) && UploadLoaded();
}

bool TovarTexture::LoadPCXFile(const char* file)
{
    FreeImage();
    return LoadPcx(file) && UploadLoaded();
}

bool TovarTexture::UploadLoaded()
{
    if (!image)
        return false;
    GenerateTexture();
    textureExist = true;
    return true;
}

unsigned char* TovarTexture::LoadBitmapA(const char* file, TovarBMPInfoHeader* bitmapInfoHeader)
{
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, bytes))
        return nullptr;
    ByteReader in(bytes);
    if (!in.Has(0, 14 + 40) || in.U16(0) != 0x4D42)
        return nullptr;

    TovarBMPInfoHeader info;
    info.biSize = in.U32(14);
    info.biWidth = in.S32(18);
    info.biHeight = in.S32(22);
    info.biPlanes = static_cast<std::uint16_t>(in.U16(26));
    info.biBitCount = static_cast<std::uint16_t>(in.U16(28));
    info.biCompression = in.U32(30);
    info.biSizeImage = in.U32(34);
    info.biXPelsPerMeter = in.S32(38);
    info.biYPelsPerMeter = in.S32(42);
    info.biClrUsed = in.U32(46);
    info.biClrImportant = in.U32(50);

    // The older 12-byte core header has another layout; everything newer
    // begins with these 40 bytes.
    const std::int64_t headerSize = info.biSize;
    if (headerSize < 40 || !in.Has(14, headerSize))
        return nullptr;
    const std::int64_t width = info.biWidth;
    const bool topDown = info.biHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t(info.biHeight) : std::int64_t(info.biHeight);
    if (!SaneSize(width, height))
        return nullptr;

    const int bits = info.biBitCount;
    const bool paletted = bits == 1 || bits == 4 || bits == 8;
    if (!paletted && bits != 24 && bits != 32)
        return nullptr;

    // Channel positions inside a 32-bit pixel: B, G, R, unused by default.
    int shiftR = 16, shiftG = 8, shiftB = 0, shiftA = -1;
    std::int64_t tableOffset = 14 + headerSize;
    const std::uint32_t kBiRgb = 0, kBiBitfields = 3;
    if (info.biCompression == kBiBitfields && bits == 32) {
        // The R, G, B masks follow a 40-byte header and are the first fields
        // after those 40 bytes in the longer ones, which from 56 bytes on also
        // hold an alpha mask.
        const std::int64_t maskAt = 14 + 40;
        if (headerSize == 40)
            tableOffset += 12;
        else if (headerSize < 52)
            return nullptr;
        if (!in.Has(maskAt, 12) || !ByteMask(in.U32(maskAt), shiftR) || !ByteMask(in.U32(maskAt + 4), shiftG) ||
            !ByteMask(in.U32(maskAt + 8), shiftB))
            return nullptr;
        const std::uint32_t alphaMask = headerSize >= 56 ? in.U32(maskAt + 12) : 0;
        if (alphaMask != 0 && !ByteMask(alphaMask, shiftA))
            return nullptr;
    } else if (info.biCompression != kBiRgb) {
        return nullptr; // run-length, JPEG, PNG and odd bit fields are not decoded
    }

    // Colour table for the palettised depths, 4 bytes (B, G, R, 0) an entry.
    // Indices past the table's end read as black rather than out of bounds.
    unsigned char table[256][3];
    std::memset(table, 0, sizeof table);
    if (paletted) {
        const std::int64_t maxColours = std::int64_t(1) << bits;
        std::int64_t colours = info.biClrUsed == 0 ? maxColours : std::int64_t(info.biClrUsed);
        if (colours > maxColours || !in.Has(tableOffset, colours * 4))
            return nullptr;
        for (std::int64_t i = 0; i < colours; ++i) {
            const unsigned char* e = in.At(tableOffset + i * 4);
            table[i][0] = e[2];
            table[i][1] = e[1];
            table[i][2] = e[0];
        }
    }

    // Every row is padded to a multiple of 4 bytes in the file.
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    const std::int64_t dataSize = stride * height;
    const std::int64_t offset = in.U32(10);
    if (offset < 14 + 40 || !in.Has(offset, dataSize))
        return nullptr;
    if (info.biSizeImage == 0)
        info.biSizeImage = static_cast<std::uint32_t>(dataSize);

    const bool keepAlpha = shiftA >= 0;
    const std::int64_t outBpp = keepAlpha ? 4 : 3;
    unsigned char* pixels = new unsigned char[static_cast<size_t>(width * height * outBpp)];
    for (std::int64_t row = 0; row < height; ++row) {
        const unsigned char* src = in.At(offset + row * stride);
        // Our rows run bottom first, as a bottom-up file stores them.
        const std::int64_t target = topDown ? height - 1 - row : row;
        unsigned char* dst = pixels + target * width * outBpp;
        for (std::int64_t x = 0; x < width; ++x, dst += outBpp) {
            if (paletted) {
                const std::int64_t bit = x * bits;
                const unsigned index = (src[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                std::memcpy(dst, table[index], 3);
            } else if (bits == 24) {
                const unsigned char* p = src + x * 3;
                dst[0] = p[2];
                dst[1] = p[1];
                dst[2] = p[0];
            } else {
                const std::uint32_t v = std::uint32_t(src[x * 4]) | std::uint32_t(src[x * 4 + 1]) << 8 |
                                        std::uint32_t(src[x * 4 + 2]) << 16 | std::uint32_t(src[x * 4 + 3]) << 24;
                dst[0] = static_cast<unsigned char>(v >> shiftR);
                dst[1] = static_cast<unsigned char>(v >> shiftG);
                dst[2] = static_cast<unsigned char>(v >> shiftB);
                if (keepAlpha)
                    dst[3] = static_cast<unsigned char>(v >> shiftA);
            }
        }
    }

    type = keepAlpha ? GL_RGBA : GL_RGB;
    if (bitmapInfoHeader)
        *bitmapInfoHeader = info;
    return pixels;
}

bool TovarTexture::LoadTGA(const char* file)
{
    FreeImage();
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, bytes))
        return false;
    ByteReader in(bytes);
    if (!in.Has(0, 18))
        return false;

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
    int fileBpp = 0;
    if (imageType == 2 && (depth == 24 || depth == 32))
        fileBpp = int(depth / 8);
    else if (imageType == 3 && depth == 8)
        fileBpp = 1;
    if (fileBpp == 0 || colourMapType > 1 || !SaneSize(width, height))
        return false;

    // The image ID and a colour map that a true-colour file may still carry
    // come between the header and the pixels.
    const std::int64_t mapBytes = colourMapType == 1 ? std::int64_t(mapLength) * ((mapEntryBits + 7) / 8) : 0;
    const std::int64_t offset = 18 + std::int64_t(idLength) + mapBytes;
    if (!in.Has(offset, width * height * fileBpp))
        return false;

    // Greyscale is expanded to RGB, so every image we hold has 3 or 4 bytes.
    const std::int64_t outBpp = fileBpp == 4 ? 4 : 3;
    const bool topFirst = (descriptor & 0x20) != 0;
    const bool rightToLeft = (descriptor & 0x10) != 0;
    image = new unsigned char[static_cast<size_t>(width * height * outBpp)];
    for (std::int64_t row = 0; row < height; ++row) {
        const unsigned char* src = in.At(offset + row * width * fileBpp);
        const std::int64_t target = topFirst ? height - 1 - row : row;
        for (std::int64_t x = 0; x < width; ++x) {
            const unsigned char* p = src + x * fileBpp;
            const std::int64_t column = rightToLeft ? width - 1 - x : x;
            unsigned char* q = image + (target * width + column) * outBpp;
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
    imageWidth = int(width);
    imageHeight = int(height);
    type = outBpp == 4 ? GL_RGBA : GL_RGB;
    return true;
}

bool TovarTexture::LoadPcx(const char* file)
{
    FreeImage();
    if (!file)
        return false;
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, bytes))
        return false;
    ByteReader in(bytes);
    // A 128-byte header, the pixel data, and the palette: a marker byte of 12
    // and 768 bytes, the last 769 bytes of the file.
    if (!in.Has(0, 128 + 769))
        return false;
    if (in.U8(0) != 10 || in.U8(1) != 5 || in.U8(2) != 1 || in.U8(3) != 8)
        return false;
    const std::int64_t xMin = in.U16(4), yMin = in.U16(6), xMax = in.U16(8), yMax = in.U16(10);
    const unsigned planes = in.U8(65);
    const std::int64_t bytesPerLine = in.U16(66);
    if (xMax < xMin || yMax < yMin || planes != 1)
        return false;
    const std::int64_t width = xMax - xMin + 1, height = yMax - yMin + 1;
    if (!SaneSize(width, height) || bytesPerLine < width)
        return false;

    const std::int64_t paletteAt = in.Size() - 769;
    if (in.U8(paletteAt) != 12)
        return false;

    // A run of two bytes yields at most 63 pixels, so a stream this short can
    // never fill the image; refuse before allocating for it.
    const std::int64_t encodedSize = paletteAt - 128;
    const std::int64_t decodedSize = bytesPerLine * height;
    if (decodedSize > (encodedSize + 1) / 2 * 63)
        return false;

    // Decode every scan line with its padding; runs that cross from one line
    // into the next are followed, and no run goes past the end.
    std::vector<unsigned char> lines(static_cast<size_t>(decodedSize));
    std::int64_t produced = 0, at = 128;
    while (produced < decodedSize) {
        if (at >= paletteAt)
            return false; // the stream ended before the image did
        unsigned c = in.U8(at++);
        std::int64_t count = 1;
        if (c > 191) {
            count = c & 63;
            if (at >= paletteAt)
                return false;
            c = in.U8(at++);
        }
        count = std::min(count, decodedSize - produced);
        std::memset(lines.data() + produced, int(c), static_cast<size_t>(count));
        produced += count;
    }

    palette = new unsigned char[768];
    std::memcpy(palette, in.At(paletteAt + 1), 768);

    // PCX stores the top row first; our rows run bottom first.
    std::vector<unsigned char> rgba(static_cast<size_t>(width * height * 4));
    for (std::int64_t row = 0; row < height; ++row) {
        const unsigned char* src = lines.data() + row * bytesPerLine;
        unsigned char* dst = rgba.data() + (height - 1 - row) * width * 4;
        for (std::int64_t x = 0; x < width; ++x, dst += 4) {
            std::memcpy(dst, palette + 3 * src[x], 3);
            dst[3] = 255;
        }
    }

    const int outWidth = LargestPowerOfTwoNotAbove(int(width));
    const int outHeight = LargestPowerOfTwoNotAbove(int(height));
    image = new unsigned char[static_cast<size_t>(std::int64_t(outWidth) * outHeight * 4)];
    if (outWidth == width && outHeight == height)
        std::memcpy(image, rgba.data(), rgba.size());
    else
        ShrinkRGBA(rgba.data(), int(width), int(height), image, outWidth, outHeight);
    imageWidth = outWidth;
    imageHeight = outHeight;
    type = GL_RGBA;
    return true;
}

void TovarTexture::GenerateTexture()
{
    if (!image || imageWidth <= 0 || imageHeight <= 0)
        return;
    // The new name is made before the old one is freed, so a reload always
    // gets a name different from the one it replaces.
    const GLuint previous = ID;
    glGenTextures(1, &ID);
    if (previous != 0)
        glDeleteTextures(1, &previous);
    glBindTexture(GL_TEXTURE_2D, ID);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, type, imageWidth, imageHeight, 0, type, GL_UNSIGNED_BYTE, image);
    gluBuild2DMipmaps(GL_TEXTURE_2D, type, imageWidth, imageHeight, type, GL_UNSIGNED_BYTE, image);
}

void TovarTexture::FreeImage()
{
    delete[] image;
    image = nullptr;
    delete[] palette;
    palette = nullptr;
    textureExist = false;
    type = 0;
}

bool TovarTexture::CreateImage(int w, int h, int b)
{
    FreeImage();
    if (!SaneSize(w, h) || b <= 0 || b > 32)
        return false;
    type = b == 24 ? GL_RGB : b == 32 ? GL_RGBA : GL_LUMINANCE;
    // Luminance is one byte a pixel whatever b says, so never allocate less.
    const std::int64_t bytesPerPixel = b >= 8 ? b / 8 : 1;
    image = new unsigned char[static_cast<size_t>(std::int64_t(w) * h * bytesPerPixel)]();
    imageWidth = w;
    imageHeight = h;
    textureExist = true;
    return true;
}

bool TovarTexture::WriteBMP(const char* file, int width, int height, const unsigned char* output)
{
    const std::int64_t absHeight = height < 0 ? -std::int64_t(height) : std::int64_t(height);
    if (!file || !output || !SaneSize(width, absHeight))
        return false;
    // Rows are padded to 4 bytes, as every BMP reader expects; the image
    // size field counts the padded rows.
    const std::int64_t rowBytes = std::int64_t(width) * 3;
    const std::int64_t stride = (rowBytes + 3) / 4 * 4;
    const std::int64_t imageSize = stride * absHeight;
    if (54 + imageSize > 0xFFFFFFFFll)
        return false;

    unsigned char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutU32(header + 2, static_cast<std::uint32_t>(54 + imageSize));
    PutU32(header + 10, 54);
    PutU32(header + 14, 40);
    PutU32(header + 18, static_cast<std::uint32_t>(width));
    PutU32(header + 22, static_cast<std::uint32_t>(height));
    PutU16(header + 26, 1);
    PutU16(header + 28, 24);
    PutU32(header + 34, static_cast<std::uint32_t>(imageSize));

    FILE* f = OpenFile(file, "wb");
    if (!f)
        return false;
    bool ok = WriteAll(f, header, sizeof header) && WriteBgrRows(f, output, absHeight, rowBytes, stride);
    return FinishWrite(f, ok);
}

bool TovarTexture::WriteTGA(const char* file, short width, short height, const unsigned char* outImage)
{
    if (!file || !outImage || width <= 0 || height <= 0)
        return false;
    unsigned char header[18] = {};
    header[2] = 2; // uncompressed true-colour
    PutU16(header + 12, static_cast<unsigned>(width));
    PutU16(header + 14, static_cast<unsigned>(height));
    header[16] = 24;
    header[17] = 0; // bottom-left origin, no alpha bits

    FILE* f = OpenFile(file, "wb");
    if (!f)
        return false;
    const std::int64_t rowBytes = std::int64_t(width) * 3;
    bool ok = WriteAll(f, header, sizeof header) && WriteBgrRows(f, outImage, height, rowBytes, rowBytes);
    return FinishWrite(f, ok);
}

namespace {

// The lower-left w x h pixels of the current read buffer, bottom row first,
// rows tightly packed; empty for sizes we refuse.
std::vector<unsigned char> ReadFrame(int w, int h)
{
    std::vector<unsigned char> pixels;
    if (!SaneSize(w, h))
        return pixels;
    pixels.assign(static_cast<size_t>(std::int64_t(w) * h * 3), 0);
    GLint previous = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &previous);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, previous);
    return pixels;
}

} // namespace

void TovarTexture::SaveBMPScreenShot(const char* filename, int w, int h)
{
    std::vector<unsigned char> pixels = ReadFrame(w, h);
    if (!pixels.empty())
        WriteBMP(filename, w, h, pixels.data());
}

void TovarTexture::SaveTGAScreenShot(const char* filename, int w, int h)
{
    // A TGA holds 16-bit sizes; anything larger would be cut short.
    if (w > 32767 || h > 32767)
        return;
    std::vector<unsigned char> pixels = ReadFrame(w, h);
    if (!pixels.empty())
        WriteTGA(filename, static_cast<short>(w), static_cast<short>(h), pixels.data());
}

namespace {

int BytesPerPixel(int type)
{
    return type == GL_RGBA ? 4 : type == GL_RGB ? 3 : type == GL_LUMINANCE ? 1 : 0;
}

} // namespace

void TovarTexture::GetColor(unsigned int x, unsigned int y, unsigned char* r, unsigned char* g, unsigned char* b)
{
    const int bpp = BytesPerPixel(type);
    if (!image || bpp == 0 || x >= unsigned(imageWidth) || y >= unsigned(imageHeight))
        return;
    const unsigned char* p = image + (std::int64_t(y) * imageWidth + x) * bpp;
    const bool grey = bpp == 1;
    if (r)
        *r = p[0];
    if (g)
        *g = grey ? p[0] : p[1];
    if (b)
        *b = grey ? p[0] : p[2];
}

void TovarTexture::SetColor(unsigned int x, unsigned int y, unsigned char r, unsigned char g, unsigned char b)
{
    const int bpp = BytesPerPixel(type);
    if (!image || bpp == 0 || x >= unsigned(imageWidth) || y >= unsigned(imageHeight))
        return;
    unsigned char* p = image + (std::int64_t(y) * imageWidth + x) * bpp;
    if (bpp == 1) {
        // Rec. 601 weights, in integers.
        p[0] = static_cast<unsigned char>((299 * r + 587 * g + 114 * b + 500) / 1000);
        return;
    }
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

} // namespace TovarToolkit
