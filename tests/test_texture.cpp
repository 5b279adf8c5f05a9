// Image readers and writers on temporary files; no GL context is needed.

#include "toolkit/Texture.h"
#include "toolkit/platform/GL.h"

#include "support/BmpFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#ifdef __linux__
#include <sys/mount.h>
#include <unistd.h>
#endif

using TovarToolkit::TovarBMPInfoHeader;
using TovarToolkit::TovarTexture;

namespace {

using Bytes = std::vector<unsigned char>;

void WriteFile(const std::string& name, const Bytes& bytes)
{
    FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size()); // no null to fwrite
    ASSERT_EQ(std::fclose(f), 0);
}

Bytes ReadBytes(const std::string& name)
{
    std::string s = ReadWholeFile(name);
    return Bytes(s.begin(), s.end());
}

std::uint32_t Get32(const Bytes& b, size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

// RGB pixels that differ in every byte, so a swapped channel or a shifted row shows.
Bytes Pattern(int w, int h, int bpp = 3, int seed = 1)
{
    Bytes p(size_t(w) * h * bpp);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<unsigned char>((i * 37 + seed * 11 + i / 7) & 0xFF);
    return p;
}

bool Empty(const TovarTexture& t)
{
    return t.image == nullptr && t.palette == nullptr && !t.textureExist && t.type == 0;
}

// An uncompressed TGA of type 2 or 3.
Bytes TGA(int w, int h, int depth, const Bytes& pixels, unsigned char imageType = 2, unsigned char descriptor = 0,
          const std::string& id = "")
{
    Bytes b(18 + id.size() + pixels.size(), 0);
    b[0] = static_cast<unsigned char>(id.size());
    b[2] = imageType;
    Put16(b, 12, unsigned(w));
    Put16(b, 14, unsigned(h));
    b[16] = static_cast<unsigned char>(depth);
    b[17] = descriptor;
    std::copy(id.begin(), id.end(), b.begin() + 18);
    std::copy(pixels.begin(), pixels.end(), b.begin() + 18 + id.size());
    return b;
}

// Run-length codes for one stream of palette indices.
Bytes PcxEncode(const Bytes& indices)
{
    Bytes out;
    for (size_t i = 0; i < indices.size();) {
        size_t n = 1;
        while (i + n < indices.size() && indices[i + n] == indices[i] && n < 63)
            ++n;
        if (n > 1 || indices[i] > 191)
            out.push_back(static_cast<unsigned char>(0xC0 | n));
        out.push_back(indices[i]);
        i += n;
    }
    return out;
}

// A palette in which no byte is 12, so that only the real marker reads as one.
Bytes PcxPalette()
{
    Bytes p(768);
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<unsigned char>(i % 3 == 0 ? i / 3 : i % 3 == 1 ? 255 - i / 3 : (i / 3 * 7) | 1);
    for (auto& v : p)
        if (v == 12)
            v = 13;
    return p;
}

// An 8-bit, one-plane PCX; `rows` holds bytesPerLine indices per scan line,
// top line first.
Bytes PCX(int w, int h, int bytesPerLine, const Bytes& rows, const Bytes& palette = PcxPalette())
{
    Bytes b(128, 0);
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = 8;
    Put16(b, 8, unsigned(w - 1));
    Put16(b, 10, unsigned(h - 1));
    b[65] = 1;
    Put16(b, 66, unsigned(bytesPerLine));
    Bytes data = PcxEncode(rows);
    b.insert(b.end(), data.begin(), data.end());
    b.push_back(12);
    b.insert(b.end(), palette.begin(), palette.end());
    return b;
}

// The file holds `pixels` pixels of rgb from byte `at` on, in B, G, R order.
void ExpectBgrPixels(const Bytes& file, size_t at, const Bytes& rgb, size_t pixels)
{
    ASSERT_GE(file.size(), at + 3 * pixels);
    for (size_t i = 0; i < pixels; ++i) {
        EXPECT_EQ(file[at + 3 * i], rgb[3 * i + 2]) << "pixel " << i;
        EXPECT_EQ(file[at + 3 * i + 1], rgb[3 * i + 1]) << "pixel " << i;
        EXPECT_EQ(file[at + 3 * i + 2], rgb[3 * i]) << "pixel " << i;
    }
}

} // namespace

// ---- Writers: the exact bytes on disk ------------------------------------------

// What the BMP reader makes of `file`: its first `count` bytes, or none
// where it refuses (t.LastError() says why).
Bytes ReadBmp(const TempDir& dir, const Bytes& file, size_t count, TovarTexture& t)
{
    const std::string name = dir.file("read.bmp");
    WriteFile(name, file);
    TovarBMPInfoHeader info;
    unsigned char* pixels = t.LoadBitmapA(name.c_str(), &info);
    Bytes out = pixels ? Bytes(pixels, pixels + count) : Bytes();
    delete[] pixels;
    return out;
}

TEST(TextureWriters, Bmp4x2HeaderAndPixels)
{
    TempDir dir;
    const std::string name = dir.file("a.bmp");
    const Bytes rgb = Pattern(4, 2);
    const Bytes before = rgb;
    TovarTexture t;
    ASSERT_TRUE(t.WriteBMP(name.c_str(), 4, 2, rgb.data()));
    EXPECT_EQ(rgb, before) << "the caller's array must stay RGB";

    const Bytes f = ReadBytes(name);
    ASSERT_EQ(f.size(), 78u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Get32(f, 2), 78u);
    EXPECT_EQ(Get32(f, 6), 0u);
    EXPECT_EQ(Get32(f, 10), 54u);
    EXPECT_EQ(Get32(f, 14), 40u);
    EXPECT_EQ(Get32(f, 18), 4u);
    EXPECT_EQ(Get32(f, 22), 2u);
    EXPECT_EQ(f[26] | f[27] << 8, 1);
    EXPECT_EQ(f[28] | f[29] << 8, 24);
    EXPECT_EQ(Get32(f, 30), 0u);
    EXPECT_EQ(Get32(f, 34), 24u);
    for (size_t at = 38; at < 54; ++at)
        EXPECT_EQ(f[at], 0) << at;
    ExpectBgrPixels(f, 54, rgb, 8);
}

TEST(TextureWriters, BmpRowsArePaddedToFourBytes)
{
    TempDir dir;
    const std::string name = dir.file("odd.bmp");
    const Bytes rgb = Pattern(3, 2);
    TovarTexture t;
    ASSERT_TRUE(t.WriteBMP(name.c_str(), 3, 2, rgb.data()));
    const Bytes f = ReadBytes(name);
    // 9 pixel bytes and 3 of padding per row.
    ASSERT_EQ(f.size(), 54u + 24u);
    EXPECT_EQ(Get32(f, 2), 78u);
    EXPECT_EQ(Get32(f, 34), 24u);
    EXPECT_EQ(f[54 + 2], rgb[0]);
    EXPECT_EQ(f[54 + 12 + 2], rgb[9]) << "the second row starts after the padding";
    EXPECT_EQ(f[54 + 9], 0);
    EXPECT_EQ(f[54 + 10], 0);
    EXPECT_EQ(f[54 + 11], 0);
}

TEST(TextureWriters, BmpNegativeHeightIsStoredWithItsAbsoluteSize)
{
    TempDir dir;
    const std::string name = dir.file("down.bmp");
    const Bytes rgb = Pattern(4, 3);
    TovarTexture t;
    ASSERT_TRUE(t.WriteBMP(name.c_str(), 4, -3, rgb.data()));
    const Bytes f = ReadBytes(name);
    ASSERT_EQ(f.size(), 54u + 36u);
    EXPECT_EQ(std::int32_t(Get32(f, 22)), -3);
    EXPECT_EQ(Get32(f, 34), 36u);
}

TEST(TextureWriters, Tga2x2HeaderAndPixels)
{
    TempDir dir;
    const std::string name = dir.file("a.tga");
    const Bytes rgb = Pattern(2, 2);
    const Bytes before = rgb;
    TovarTexture t;
    ASSERT_TRUE(t.WriteTGA(name.c_str(), 2, 2, rgb.data()));
    EXPECT_EQ(rgb, before);

    const Bytes f = ReadBytes(name);
    ASSERT_EQ(f.size(), 30u);
    const Bytes header(f.begin(), f.begin() + 18);
    const Bytes expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 0x18, 0};
    EXPECT_EQ(header, expected);
    ExpectBgrPixels(f, 18, rgb, 4);
}

TEST(TextureWriters, WritingTheSameArrayTwiceGivesTheSameFile)
{
    TempDir dir;
    const Bytes rgb = Pattern(5, 3);
    TovarTexture t;
    ASSERT_TRUE(t.WriteBMP(dir.file("1.bmp").c_str(), 5, 3, rgb.data()));
    ASSERT_TRUE(t.WriteBMP(dir.file("2.bmp").c_str(), 5, 3, rgb.data()));
    EXPECT_EQ(ReadBytes(dir.file("1.bmp")), ReadBytes(dir.file("2.bmp")));
    ASSERT_TRUE(t.WriteTGA(dir.file("1.tga").c_str(), 5, 3, rgb.data()));
    ASSERT_TRUE(t.WriteTGA(dir.file("2.tga").c_str(), 5, 3, rgb.data()));
    EXPECT_EQ(ReadBytes(dir.file("1.tga")), ReadBytes(dir.file("2.tga")));
}

TEST(TextureWriters, BadArgumentsAndUnwritablePathsFailWithoutAFile)
{
    TempDir dir;
    const Bytes rgb = Pattern(4, 4);
    TovarTexture t;
    const std::string name = dir.file("x");
    EXPECT_FALSE(t.WriteBMP(name.c_str(), 0, 4, rgb.data()));
    EXPECT_FALSE(t.WriteBMP(name.c_str(), -4, 4, rgb.data()));
    EXPECT_FALSE(t.WriteBMP(name.c_str(), 4, 0, rgb.data()));
    EXPECT_FALSE(t.WriteBMP(name.c_str(), 70000, 1, rgb.data()));
    EXPECT_FALSE(t.WriteBMP(name.c_str(), 4, 4, nullptr));
    EXPECT_FALSE(t.WriteBMP(nullptr, 4, 4, rgb.data()));
    EXPECT_FALSE(t.WriteTGA(name.c_str(), 0, 4, rgb.data()));
    EXPECT_FALSE(t.WriteTGA(name.c_str(), 4, -4, rgb.data()));
    EXPECT_FALSE(t.WriteTGA(name.c_str(), 4, 4, nullptr));
    EXPECT_FALSE(std::filesystem::exists(name));

    const std::string missing = dir.file("no/such/folder/a.bmp");
    EXPECT_FALSE(t.WriteBMP(missing.c_str(), 4, 4, rgb.data()));
    EXPECT_FALSE(t.WriteTGA(missing.c_str(), 4, 4, rgb.data()));
}

TEST(TextureWriters, AFullDiskIsReportedAsFailure)
{
    // The device that is always full makes the buffered write fail at the latest on close.
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const Bytes rgb = Pattern(64, 64);
    TovarTexture t;
    EXPECT_FALSE(t.WriteBMP("/dev/full", 64, 64, rgb.data()));
    EXPECT_FALSE(t.WriteTGA("/dev/full", 64, 64, rgb.data()));
    EXPECT_TRUE(std::filesystem::exists("/dev/full")) << "a device is never removed";
}

TEST(TextureWriters, OnAFullFileSystemNoPartOfTheFileIsLeft)
{
#ifdef __linux__
    TempDir dir;
    if (geteuid() != 0 || mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "the file system to fill is a small tmpfs, which only root can mount";
    const Bytes rgb = Pattern(400, 400); // 480 000 bytes
    TovarTexture t;
    EXPECT_FALSE(t.WriteBMP(dir.file("a.bmp").c_str(), 400, 400, rgb.data()));
    EXPECT_FALSE(t.WriteTGA(dir.file("a.tga").c_str(), 400, 400, rgb.data()));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    umount2(dir.path().c_str(), MNT_DETACH);
#else
    GTEST_SKIP() << "the file system to fill is a small Linux tmpfs";
#endif
}

// ---- Round trips: what a writer wrote, a reader gives back ----------------------

TEST(TextureRoundTrip, BmpGivesBackTheRgbBytesForEveryWidth)
{
    TempDir dir;
    for (int w : {1, 2, 3, 4, 5, 6, 7, 8, 13, 64}) {
        for (int h : {1, 2, 5}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
            const std::string name = dir.file("r.bmp");
            const Bytes rgb = Pattern(w, h, 3, w + h);
            TovarTexture t;
            ASSERT_TRUE(t.WriteBMP(name.c_str(), w, h, rgb.data()));
            TovarBMPInfoHeader info;
            unsigned char* pixels = t.LoadBitmapA(name.c_str(), &info);
            ASSERT_NE(pixels, nullptr);
            EXPECT_EQ(Bytes(pixels, pixels + rgb.size()), rgb);
            delete[] pixels;
            EXPECT_EQ(info.biWidth, w);
            EXPECT_EQ(info.biHeight, h);
            EXPECT_EQ(info.biBitCount, 24);
            EXPECT_EQ(info.biSizeImage, std::uint32_t((w * 3 + 3) / 4 * 4 * h));
            EXPECT_EQ(t.type, GL_RGB);
        }
    }
}

TEST(TextureRoundTrip, TopDownBmpComesBackBottomRowFirst)
{
    TempDir dir;
    const std::string name = dir.file("down.bmp");
    const int w = 5, h = 3;
    const Bytes rgb = Pattern(w, h);
    TovarTexture t;
    // Negative height: the array's first row is the top of the picture.
    ASSERT_TRUE(t.WriteBMP(name.c_str(), w, -h, rgb.data()));
    TovarBMPInfoHeader info;
    unsigned char* pixels = t.LoadBitmapA(name.c_str(), &info);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(info.biHeight, -h) << "the header is handed over as stored";
    for (int row = 0; row < h; ++row) {
        const size_t stride = size_t(w) * 3;
        EXPECT_EQ(Bytes(pixels + row * stride, pixels + (row + 1) * stride),
                  Bytes(rgb.begin() + (h - 1 - row) * stride, rgb.begin() + (h - row) * stride))
            << "row " << row;
    }
    delete[] pixels;
}

TEST(TextureRoundTrip, TgaGivesBackTheRgbBytes)
{
    TempDir dir;
    for (int w : {1, 2, 3, 5, 64}) {
        for (int h : {1, 3}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
            const std::string name = dir.file("r.tga");
            const Bytes rgb = Pattern(w, h, 3, w * h);
            TovarTexture t;
            ASSERT_TRUE(t.WriteTGA(name.c_str(), short(w), short(h), rgb.data()));
            ASSERT_TRUE(t.LoadTGA(name.c_str()));
            EXPECT_EQ(t.imageWidth, w);
            EXPECT_EQ(t.imageHeight, h);
            EXPECT_EQ(t.type, GL_RGB);
            EXPECT_EQ(Bytes(t.image, t.image + rgb.size()), rgb);
        }
    }
}

// ---- BMP variants found in real files -------------------------------------------

TEST(TextureBmp, ImageSizeZeroIsComputed)
{
    TempDir dir;
    BMP bmp;
    bmp.width = bmp.height = 64;
    bmp.rows = Pattern(64, 64);
    const std::string name = dir.file("z.bmp");
    WriteFile(name, bmp.Build());
    TovarTexture t;
    TovarBMPInfoHeader info;
    unsigned char* pixels = t.LoadBitmapA(name.c_str(), &info);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(info.biSizeImage, 12288u);
    EXPECT_EQ(t.type, GL_RGB);
    EXPECT_EQ(pixels[0], bmp.rows[2]);
    EXPECT_EQ(pixels[2], bmp.rows[0]);
    EXPECT_EQ(pixels[12287], bmp.rows[12285]);
    delete[] pixels;
}

TEST(TextureBmp, PalettisedDepthsExpandToRgb)
{
    TempDir dir;
    // Palette entry i is (B, G, R, 0) = (i, 100 + i, 200 - i, 0).
    auto palette = [](int n) {
        Bytes p;
        for (int i = 0; i < n; ++i)
            p.insert(p.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(100 + i),
                               static_cast<unsigned char>(200 - i), 0});
        return p;
    };
    auto rgbOf = [](int i) { return Bytes{static_cast<unsigned char>(200 - i), static_cast<unsigned char>(100 + i),
                                          static_cast<unsigned char>(i)}; };
    struct Case {
        int bits;
        Bytes rows;                 // two rows of 5 pixels, padded
        std::vector<int> indices;   // bottom row first
    };
    const std::vector<Case> cases = {
        {8, {0, 1, 2, 3, 4, 0, 0, 0, 5, 6, 7, 8, 9, 0, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {4, {0x01, 0x23, 0x40, 0, 0x56, 0x78, 0x90, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {1, {0xA8, 0, 0, 0, 0x50, 0, 0, 0}, {1, 0, 1, 0, 1, 0, 1, 0, 1, 0}},
        {2, {0x1B, 0x40, 0, 0, 0xE4, 0x80, 0, 0}, {0, 1, 2, 3, 1, 3, 2, 1, 0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        BMP bmp;
        bmp.width = 5;
        bmp.height = 2;
        bmp.bits = std::uint16_t(c.bits);
        bmp.colours = c.bits == 8 ? 10 : 0;
        bmp.extra = palette(c.bits == 8 ? 10 : 1 << c.bits);
        bmp.rows = c.rows;
        TovarTexture t;
        const Bytes pixels = ReadBmp(dir, bmp.Build(), 3 * c.indices.size(), t);
        ASSERT_FALSE(pixels.empty()) << t.LastError();
        for (size_t i = 0; i < c.indices.size(); ++i)
            EXPECT_EQ(Bytes(&pixels[3 * i], &pixels[3 * i] + 3), rgbOf(c.indices[i])) << "pixel " << i;
    }
}

TEST(TextureBmp, IndicesPastTheColourTableReadAsBlack)
{
    TempDir dir;
    BMP bmp;
    bmp.width = 2;
    bmp.bits = 8;
    bmp.colours = 1;
    bmp.extra = {10, 20, 30, 0};
    bmp.rows = {0, 200, 0, 0};
    TovarTexture t;
    EXPECT_EQ(ReadBmp(dir, bmp.Build(), 6, t), (Bytes{30, 20, 10, 0, 0, 0}));
}

TEST(TextureBmp, ThirtyTwoBitPlainAndWithBitMasks)
{
    TempDir dir;
    TovarTexture t;

    // Plain: B, G, R and an unused byte; the result is RGB.
    BMP plain;
    plain.width = 2;
    plain.bits = 32;
    plain.rows = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(ReadBmp(dir, plain.Build(), 6, t), (Bytes{3, 2, 1, 7, 6, 5}));
    EXPECT_EQ(t.type, GL_RGB);

    // A 124-byte header with masks R, G, B, A in the usual places: RGBA.
    BMP v5 = plain;
    v5.headerSize = 124;
    v5.compression = 3;
    Bytes file = v5.Build();
    Put32(file, 54, 0x00FF0000u);
    Put32(file, 58, 0x0000FF00u);
    Put32(file, 62, 0x000000FFu);
    Put32(file, 66, 0xFF000000u);
    EXPECT_EQ(ReadBmp(dir, file, 8, t), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
    EXPECT_EQ(t.type, GL_RGBA);

    // A 40-byte header followed by three masks in another order, no alpha.
    BMP masked = plain;
    masked.compression = 3;
    masked.extra = Bytes(12, 0);
    Put32(masked.extra, 0, 0x000000FFu); // R in the first byte
    Put32(masked.extra, 4, 0xFF000000u); // G in the last
    Put32(masked.extra, 8, 0x0000FF00u); // B in the second
    EXPECT_EQ(ReadBmp(dir, masked.Build(), 6, t), (Bytes{1, 4, 2, 5, 8, 6}));
    EXPECT_EQ(t.type, GL_RGB);

    // Fields of any width scale to 8 bits exactly (v * 255 / max, rounded):
    // 10-10-10-2 in a 56-byte header.
    BMP odd = plain;
    odd.headerSize = 56;
    odd.compression = 3;
    odd.width = 1;
    odd.rows = Bytes(4);
    Put32(odd.rows, 0, 1023u << 20 | 512u << 10 | 1u | 2u << 30);
    file = odd.Build();
    const std::uint32_t masks[] = {0x3FF00000u, 0x000FFC00u, 0x3FFu, 0xC0000000u};
    for (int i = 0; i < 4; ++i)
        Put32(file, 54 + 4 * i, masks[i]);
    EXPECT_EQ(ReadBmp(dir, file, 4, t), (Bytes{255, 128, 0, 170}));
}

TEST(TextureBmp, RunLengthStaysInsideTheImageAndLeavesSkippedPixelsBlack)
{
    TempDir dir;
    BMP rle;
    rle.width = 4;
    rle.height = 3;
    rle.bits = 8;
    rle.compression = 1;
    rle.colours = 2;
    rle.extra = {255, 255, 255, 0, 0, 0, 255, 0}; // white and red: black means never written
    rle.rows = {6, 1,             // a run of 6 on a row of 4: dropped past the end, not wrapped
                0, 0,             // end of line
                0, 2, 1, 0,       // delta: one pixel right
                0, 3, 0, 1, 0, 0, // absolute: white, red, white, padded to 16 bits
                0, 2, 9, 0,       // delta far past the row's end
                0, 0, 1, 1,       // end of line, one red pixel
                0, 1, 1, 1};      // end of bitmap, and a run after it that is not read
    TovarTexture t;
    const Bytes pixels = ReadBmp(dir, rle.Build(), 36, t);
    ASSERT_FALSE(pixels.empty()) << t.LastError();
    const Bytes K = {0, 0, 0}, W = {255, 255, 255}, R = {255, 0, 0};
    const Bytes rows[] = {R, R, R, R, K, W, R, W, R, K, K, K};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Bytes(&pixels[3 * i], &pixels[3 * i] + 3), rows[i]) << "pixel " << i;
}

// ---- Malformed files are refused cleanly ----------------------------------------

TEST(TextureMalformed, EveryTruncationIsRefused)
{
    TempDir dir;
    const std::string name = dir.file("cut");
    TovarTexture t;
    TovarBMPInfoHeader info;

    BMP bmp;
    bmp.width = 3;
    bmp.height = 2;
    bmp.rows = Pattern(4, 2); // 12-byte rows: 9 pixel bytes and padding
    const Bytes bmpFile = bmp.Build();
    BMP pal;
    pal.width = 3;
    pal.height = 2;
    pal.bits = 8;
    pal.extra = Bytes(256 * 4, 7);
    pal.rows = Bytes(8, 1);
    const Bytes palFile = pal.Build();
    for (const Bytes* whole : {&bmpFile, &palFile}) {
        for (size_t n = 0; n < whole->size(); ++n) {
            WriteFile(name, Bytes(whole->begin(), whole->begin() + n));
            EXPECT_EQ(t.LoadBitmapA(name.c_str(), &info), nullptr) << "BMP cut at " << n;
        }
    }

    const Bytes tga = TGA(3, 2, 32, Pattern(3, 2, 4), 2, 0, "id");
    for (size_t n = 0; n < tga.size(); ++n) {
        WriteFile(name, Bytes(tga.begin(), tga.begin() + n));
        EXPECT_FALSE(t.LoadTGA(name.c_str())) << "TGA cut at " << n;
        EXPECT_TRUE(Empty(t));
    }

    // Indices 1..20 and no byte equal to the palette marker anywhere else.
    Bytes rows(5 * 4);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<unsigned char>(i % 3 == 0 ? 200 : 20 + i);
    const Bytes pcx = PCX(5, 4, 5, rows);
    for (size_t n = 0; n < pcx.size(); ++n) {
        WriteFile(name, Bytes(pcx.begin(), pcx.begin() + n));
        EXPECT_FALSE(t.LoadPcx(name.c_str())) << "PCX cut at " << n;
        EXPECT_TRUE(Empty(t));
    }
    // The whole files do load, so the refusals above were about the cut.
    EXPECT_FALSE(ReadBmp(dir, bmpFile, 1, t).empty());
    EXPECT_FALSE(ReadBmp(dir, palFile, 1, t).empty());
    WriteFile(name, tga);
    EXPECT_TRUE(t.LoadTGA(name.c_str()));
    WriteFile(name, pcx);
    EXPECT_TRUE(t.LoadPcx(name.c_str()));
}

TEST(TextureMalformed, BmpRefusalsSayWhy)
{
    TempDir dir;
    const std::string name = dir.file("bad.bmp");
    TovarTexture t;
    // LastError after reading `file`, or "loaded".
    auto refusal = [&](const Bytes& file) -> std::string {
        WriteFile(name, file);
        TovarBMPInfoHeader info;
        unsigned char* pixels = t.LoadBitmapA(name.c_str(), &info);
        delete[] pixels;
        return pixels ? "loaded" : t.LastError();
    };
    BMP good;
    good.width = 4;
    good.height = 2;
    good.rows = Pattern(4, 2);
    ASSERT_EQ(refusal(good.Build()), "loaded");
    EXPECT_EQ(t.LastError(), "");
    const Bytes whole = good.Build();
    EXPECT_EQ(refusal(Bytes(whole.begin(), whole.begin() + 60)),
              name + ": the file ends at byte 60 of the 78 its header needs");

    // The good file with 32-bit fields (at, value) replaced.
    auto patched = [&](std::initializer_list<std::pair<size_t, std::uint32_t>> fields) {
        Bytes f = good.Build();
        for (const auto& field : fields)
            Put32(f, field.first, field.second);
        return f;
    };
    Bytes noMasks = patched({{28, 32}, {30, 3}});
    noMasks.resize(54);
    BMP rle = good;
    rle.bits = 8;
    rle.compression = 1;
    rle.extra = Bytes(8, 0);
    rle.colours = 2;
    rle.rows = {4, 1, 0, 0, 2, 1}; // no end-of-bitmap code, and the second row cut short
    const struct {
        Bytes file;
        std::string why;
    } cases[] = {
        {Bytes{'M', 'B', 0, 0}, "it is not a BMP file (it does not begin with \"BM\")"},
        {Bytes{}, "it is not a BMP file"},
        {patched({{10, 0xFFFFFFF0u}}), "the file ends at byte 78 of the 4294967304 its header needs"},
        {patched({{10, 0}}), "its pixel data would start at byte 0, inside its headers (which end at byte 54)"},
        {patched({{14, 0}}), "its information header is 0 bytes long, which no BMP version has"},
        {patched({{14, 39}}), "its information header is 39 bytes long"},
        {patched({{14, 0xFFFFFFFCu}}), "the file ends at byte 78 of the 4294967306 its header needs"},
        {patched({{14, 12}}), "0 bits per pixel is not a BMP depth"}, // read as a core header
        {patched({{18, 0}}), "its size of 0 x 2 pixels is not one we read (at most 65536 on a side"},
        {patched({{18, std::uint32_t(-4)}}), "its size of -4 x 2"},
        {patched({{18, 70000}}), "its size of 70000 x 2"},
        {patched({{18, 0x7FFFFFFF}}), "its size of 2147483647 x 2"},
        {patched({{22, 0x80000000u}}), "its size of 4 x 2147483648"},
        {patched({{22, std::uint32_t(-70000)}}), "its size of 4 x 70000"},
        {patched({{18, 65536}, {22, 65536}}), "and 268435456 pixels)"},
        {patched({{28, 0}}), "0 bits per pixel is not a BMP depth"},
        {patched({{28, 48}}), "48 bits per pixel is not a BMP depth"},
        {patched({{30, 1}}), "its compression 1 does not go with 24 bits per pixel"},
        {patched({{28, 8}, {30, 2}}), "its compression 2 does not go with 8 bits per pixel"},
        {patched({{30, 3}}), "its compression 3 does not go with 24 bits per pixel"},
        {patched({{30, 4}}), "it holds a JPEG image, which this reader does not decode"},
        {patched({{30, 5}}), "it holds a PNG image, which this reader does not decode"},
        {patched({{30, 7}}), "its compression 7 is unknown"},
        {patched({{28, 8}, {46, 257}}), "its colour table has 257 entries, more than 8 bits can index"},
        {patched({{28, 8}, {46, 0x40000000}}), "its colour table has 1073741824 entries"}, // 4 GiB of table
        {patched({{28, 8}}), "the file ends at byte 78 of the 1078 its colour table needs"},
        {rle.Build(), "inside its run-length data (before the end-of-bitmap code)"},
        {patched({{14, 64}, {30, 3}}), "it is Huffman-coded (an OS/2 bitmap)"},
        {noMasks, "the file ends at byte 54 of the 66 its bit masks need"},
    };
    for (const auto& c : cases) {
        const std::string got = refusal(c.file);
        EXPECT_EQ(got.rfind(name + ": ", 0), 0u) << got;
        EXPECT_NE(got.find(c.why), std::string::npos) << "expected \"" << c.why << "\", got \"" << got << "\"";
    }

    const std::string missing = dir.file("missing.bmp");
    TovarBMPInfoHeader info;
    EXPECT_EQ(t.LoadBitmapA(missing.c_str(), &info), nullptr);
    EXPECT_EQ(t.LastError(), missing + ": the file cannot be opened");
    EXPECT_EQ(t.LoadBitmapA(nullptr, &info), nullptr);
    EXPECT_EQ(t.LoadBitmapA(dir.path().string().c_str(), &info), nullptr) << "a folder";
    EXPECT_EQ(t.LastError(), dir.path().string() + ": it is a folder, not a file");
    EXPECT_FALSE(t.LoadBMPFile(missing.c_str()));
    EXPECT_EQ(t.LastError(), missing + ": the file cannot be opened");
}

TEST(TextureMalformed, TgaTypesAndSizesWeDoNotRead)
{
    TempDir dir;
    const std::string name = dir.file("bad.tga");
    TovarTexture t;
    auto refused = [&](const Bytes& file) {
        WriteFile(name, file);
        const bool ok = t.LoadTGA(name.c_str());
        return !ok && Empty(t) && t.LastError().rfind(name + ": ", 0) == 0; // a reason, naming the file
    };
    ASSERT_FALSE(refused(TGA(2, 2, 24, Pattern(2, 2))));
    for (unsigned char type : {0, 1, 9, 10, 11, 32, 255})
        EXPECT_TRUE(refused(TGA(2, 2, 24, Pattern(2, 2), type))) << "type " << int(type);
    for (int depth : {0, 8, 15, 16, 31, 33})
        EXPECT_TRUE(refused(TGA(2, 2, depth, Pattern(2, 2, 4)))) << "depth " << depth;
    EXPECT_TRUE(refused(TGA(2, 2, 16, Pattern(2, 2, 2), 3))) << "grey with alpha";
    EXPECT_TRUE(refused(TGA(0, 2, 24, Pattern(2, 2))));
    EXPECT_TRUE(refused(TGA(2, 0, 24, Pattern(2, 2))));
    EXPECT_TRUE(refused(TGA(65535, 65535, 32, Pattern(2, 2, 4)))) << "dimensions beyond the size limits";
    EXPECT_TRUE(refused(TGA(1000, 1000, 32, Pattern(2, 2, 4)))) << "dimensions far beyond the data";
    Bytes f = TGA(2, 2, 24, Pattern(2, 2));
    f[1] = 2;
    EXPECT_TRUE(refused(f)) << "unknown colour-map type";
    f[1] = 1;
    Put16(f, 5, 1000);
    f[7] = 24;
    EXPECT_TRUE(refused(f)) << "a colour map longer than the file";
    f = TGA(2, 2, 24, Pattern(2, 2), 2, 0, "x");
    f[0] = 200;
    EXPECT_TRUE(refused(f)) << "an image ID longer than the file";
    EXPECT_EQ(t.LastError(), name + ": the file ends at byte 31 of the 230 its header needs");
    EXPECT_TRUE(refused(TGA(2, 2, 24, Pattern(2, 2), 10)));
    EXPECT_EQ(t.LastError(), name + ": it is a run-length TGA (image type 10), which this reader does not decode");
    EXPECT_FALSE(t.LoadTGA(nullptr));
}

TEST(TextureMalformed, PcxHeadersThatLie)
{
    TempDir dir;
    const std::string name = dir.file("bad.pcx");
    TovarTexture t;
    auto refused = [&](const Bytes& file) {
        WriteFile(name, file);
        const bool ok = t.LoadPcx(name.c_str());
        return !ok && Empty(t) && t.LastError().rfind(name + ": ", 0) == 0; // a reason, naming the file
    };
    const Bytes rows = Pattern(4, 2, 1);
    const Bytes good = PCX(4, 2, 4, rows);
    ASSERT_FALSE(refused(good));

    Bytes f = good;
    f[0] = 11;
    EXPECT_TRUE(refused(f)) << "manufacturer";
    for (unsigned char version : {0, 2, 3, 4, 6}) {
        f = good;
        f[1] = version;
        EXPECT_TRUE(refused(f)) << "version " << int(version);
    }
    f = good;
    f[3] = 4;
    EXPECT_TRUE(refused(f)) << "4 bits per pixel";
    f = good;
    f[65] = 3;
    EXPECT_TRUE(refused(f)) << "three planes";
    f = good;
    Put16(f, 66, 3);
    EXPECT_TRUE(refused(f)) << "bytes per line below the width";
    f = good;
    Put16(f, 4, 5);
    EXPECT_TRUE(refused(f)) << "Xmax below Xmin";
    f = good;
    Put16(f, 6, 9);
    EXPECT_TRUE(refused(f)) << "Ymax below Ymin";
    f = good;
    Put16(f, 8, 65535);
    Put16(f, 10, 65535);
    Put16(f, 66, 65535);
    EXPECT_TRUE(refused(f)) << "a window beyond the size limits";
    f = good;
    Put16(f, 8, 999);
    Put16(f, 10, 999);
    Put16(f, 66, 1000);
    EXPECT_TRUE(refused(f)) << "a window far larger than the data could fill";
    f = good;
    f[f.size() - 769] = 0;
    EXPECT_TRUE(refused(f)) << "missing palette marker";
    EXPECT_EQ(t.LastError(), name + ": it has no 256-colour palette (byte 138 is 0, not 12)");
    EXPECT_FALSE(t.LoadPcx(nullptr));
}

// ---- PCX decoding ----------------------------------------------------------------

TEST(TexturePcx, PowerOfTwoImagesKeepTheirPixelsBottomRowFirst)
{
    TempDir dir;
    const std::string name = dir.file("a.pcx");
    const int w = 256, h = 256;
    Bytes rows(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rows[size_t(y) * w + x] = static_cast<unsigned char>((x / 16 + y) & 0xFF);
    const Bytes palette = PcxPalette();
    WriteFile(name, PCX(w, h, w, rows, palette));
    TovarTexture t;
    ASSERT_TRUE(t.LoadPcx(name.c_str()));
    EXPECT_EQ(t.imageWidth, 256);
    EXPECT_EQ(t.imageHeight, 256);
    EXPECT_EQ(t.type, GL_RGBA);
    ASSERT_NE(t.palette, nullptr);
    EXPECT_EQ(Bytes(t.palette, t.palette + 768), palette);
    bool allMatch = true;
    for (int y = 0; y < h && allMatch; ++y)
        for (int x = 0; x < w && allMatch; ++x) {
            const unsigned index = rows[size_t(h - 1 - y) * w + x]; // the file's top row is our last
            const unsigned char* p = t.image + (size_t(y) * w + x) * 4;
            allMatch = p[0] == palette[3 * index] && p[1] == palette[3 * index + 1] &&
                       p[2] == palette[3 * index + 2] && p[3] == 255;
            EXPECT_TRUE(allMatch) << x << "," << y;
        }
}

TEST(TexturePcx, OtherSizesShrinkToThePowerOfTwoBelowByAreaAverage)
{
    TempDir dir;
    const std::string name = dir.file("s.pcx");
    TovarTexture t;

    // 100 x 60 of one colour: 64 x 32 of that colour.
    WriteFile(name, PCX(100, 60, 100, Bytes(6000, 77)));
    ASSERT_TRUE(t.LoadPcx(name.c_str()));
    EXPECT_EQ(t.imageWidth, 64);
    EXPECT_EQ(t.imageHeight, 32);
    const Bytes palette = PcxPalette();
    for (int i = 0; i < 64 * 32; ++i) {
        const unsigned char* p = t.image + i * 4;
        ASSERT_EQ(Bytes(p, p + 4), (Bytes{palette[231], palette[232], palette[233], 255})) << i;
    }

    // 3 x 1 to 2 x 1: each target pixel covers one and a half source pixels.
    Bytes grey(768);
    for (int i = 0; i < 256; ++i)
        grey[3 * i] = grey[3 * i + 1] = grey[3 * i + 2] = static_cast<unsigned char>(i);
    WriteFile(name, PCX(3, 1, 3, Bytes{0, 90, 255}, grey));
    ASSERT_TRUE(t.LoadPcx(name.c_str()));
    EXPECT_EQ(t.imageWidth, 2);
    EXPECT_EQ(t.imageHeight, 1);
    EXPECT_EQ(t.image[0], 30);  // (2 * 0 + 90) / 3
    EXPECT_EQ(t.image[4], 200); // (90 + 2 * 255) / 3
    EXPECT_EQ(t.image[3], 255);

    // 1 x 3 to 1 x 2, vertically; the file's top row ends up last.
    WriteFile(name, PCX(1, 3, 1, Bytes{0, 90, 255}, grey));
    ASSERT_TRUE(t.LoadPcx(name.c_str()));
    EXPECT_EQ(t.imageHeight, 2);
    EXPECT_EQ(t.image[0], 200);
    EXPECT_EQ(t.image[4], 30);
}

TEST(TexturePcx, RunsPaddingAndEmptyRuns)
{
    TempDir dir;
    const std::string name = dir.file("r.pcx");
    Bytes grey(768);
    for (int i = 0; i < 256; ++i)
        grey[3 * i] = grey[3 * i + 1] = grey[3 * i + 2] = static_cast<unsigned char>(i);
    auto load = [&](const Bytes& header, const Bytes& data, TovarTexture& t) {
        Bytes f = header;
        f.insert(f.end(), data.begin(), data.end());
        f.push_back(12);
        f.insert(f.end(), grey.begin(), grey.end());
        WriteFile(name, f);
        return t.LoadPcx(name.c_str());
    };
    // Header of a 2 x 2 image with 4 bytes per line (2 of padding).
    Bytes header = PCX(2, 2, 4, Bytes(8, 0));
    header.resize(128);
    TovarTexture t;
    // A run of 3, an empty run (its value byte is consumed), a run of 2 that
    // crosses into the second line, then the second line's pixels.
    ASSERT_TRUE(load(header, {0xC3, 10, 0xC0, 99, 0xC2, 20, 30, 40, 0xC2, 50}, t));
    ASSERT_EQ(t.imageWidth, 2);
    ASSERT_EQ(t.imageHeight, 2);
    // Lines are 10 10 (padding 10 20) and 20 30 (padding 40 50); the last
    // run is cut at the end of the image. The top line ends up last.
    EXPECT_EQ(Bytes({t.image[0], t.image[4], t.image[8], t.image[12]}), (Bytes{20, 30, 10, 10}));

    // A run longer than what is left of the image stops at the end.
    ASSERT_TRUE(load(header, {0xFF, 7}, t));
    EXPECT_EQ(Bytes({t.image[0], t.image[4], t.image[8], t.image[12]}), (Bytes{7, 7, 7, 7}));

    // Data that ends before the image is full is refused, and so is a run
    // byte with its value cut off.
    EXPECT_FALSE(load(header, {0xC3, 10}, t));
    EXPECT_TRUE(Empty(t));
    EXPECT_FALSE(load(header, {0xC7, 10, 0xC1}, t));
    EXPECT_TRUE(Empty(t));
    // Only empty runs: nothing is produced, so the stream runs out.
    EXPECT_FALSE(load(header, Bytes(200, 0xC0), t));
}

// ---- The texture object's own image ----------------------------------------------

TEST(TextureImage, CreateImageTypesSizesAndRefusals)
{
    TovarTexture t;
    EXPECT_TRUE(Empty(t));
    EXPECT_EQ(t.ID, 0u);
    ASSERT_TRUE(t.CreateImage(4, 3, 24));
    EXPECT_EQ(t.type, GL_RGB);
    EXPECT_TRUE(t.textureExist);
    EXPECT_EQ(t.imageWidth, 4);
    EXPECT_EQ(t.imageHeight, 3);
    ASSERT_TRUE(t.CreateImage(2, 2, 32));
    EXPECT_EQ(t.type, GL_RGBA);
    ASSERT_TRUE(t.CreateImage(2, 2, 8));
    EXPECT_EQ(t.type, GL_LUMINANCE);
    ASSERT_TRUE(t.CreateImage(2, 2, 1));
    EXPECT_EQ(t.type, GL_LUMINANCE);
    EXPECT_EQ(t.ID, 0u) << "no GL texture is made";

    EXPECT_FALSE(t.CreateImage(0, 4, 24));
    EXPECT_TRUE(Empty(t));
    EXPECT_FALSE(t.CreateImage(4, -1, 24));
    EXPECT_FALSE(t.CreateImage(100000, 4, 24));
    EXPECT_FALSE(t.CreateImage(65536, 65536, 32));
    EXPECT_FALSE(t.CreateImage(4, 4, 0));
    EXPECT_TRUE(Empty(t));

    t.CreateImage(2, 2, 24);
    t.FreeImage();
    EXPECT_TRUE(Empty(t));
    t.FreeImage(); // twice is harmless
    EXPECT_TRUE(Empty(t));
}

TEST(TextureImage, GetAndSetColorAddressColumnAndRow)
{
    TovarTexture t;
    ASSERT_TRUE(t.CreateImage(3, 2, 24));
    t.SetColor(2, 1, 10, 20, 30);
    EXPECT_EQ(Bytes(t.image + 15, t.image + 18), (Bytes{10, 20, 30}));
    unsigned char r = 0, g = 0, b = 0;
    t.GetColor(2, 1, &r, &g, &b);
    EXPECT_EQ(Bytes({r, g, b}), (Bytes{10, 20, 30}));

    // Outside the image nothing is read or written.
    const Bytes before(t.image, t.image + 18);
    t.SetColor(3, 0, 1, 1, 1);
    t.SetColor(0, 2, 1, 1, 1);
    t.SetColor(0xFFFFFFFFu, 0xFFFFFFFFu, 1, 1, 1);
    EXPECT_EQ(Bytes(t.image, t.image + 18), before);
    r = g = b = 99;
    t.GetColor(0, 5, &r, &g, &b);
    EXPECT_EQ(Bytes({r, g, b}), (Bytes{99, 99, 99}));

    ASSERT_TRUE(t.CreateImage(2, 2, 32));
    t.image[4 * 3 + 3] = 7;
    t.SetColor(1, 1, 4, 5, 6);
    EXPECT_EQ(Bytes(t.image + 12, t.image + 16), (Bytes{4, 5, 6, 7})) << "alpha untouched";

    ASSERT_TRUE(t.CreateImage(2, 2, 8));
    t.SetColor(1, 0, 255, 255, 255);
    t.GetColor(1, 0, &r, &g, &b);
    EXPECT_EQ(Bytes({r, g, b}), (Bytes{255, 255, 255}));

    t.FreeImage();
    t.SetColor(0, 0, 1, 2, 3);
    t.GetColor(0, 0, nullptr, nullptr, nullptr);
}

TEST(TextureImage, AFailedReadLeavesAnEarlierImageFreed)
{
    TempDir dir;
    const std::string good = dir.file("g.tga"), bad = dir.file("b.tga");
    WriteFile(good, TGA(2, 2, 32, Pattern(2, 2, 4)));
    WriteFile(bad, TGA(2, 2, 24, Pattern(2, 2), 10));
    TovarTexture t;
    ASSERT_TRUE(t.LoadTGA(good.c_str()));
    EXPECT_EQ(t.type, GL_RGBA);
    EXPECT_FALSE(t.LoadTGA(bad.c_str()));
    EXPECT_TRUE(Empty(t));
}
