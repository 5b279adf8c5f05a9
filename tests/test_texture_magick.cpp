// Our readers against files that another program made: ImageMagick's convert
// writes BMP, TGA and PCX files from pictures the test defines, and also
// decodes each file back, so that what we read is compared with what the
// file means to a second, independent reader.

#include "toolkit/Texture.h"
#include "toolkit/platform/GL.h"

#include "support/BmpFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using TovarToolkit::TovarBMPInfoHeader;
using TovarToolkit::TovarTexture;

namespace {

using Bytes = std::vector<unsigned char>;

// A picture with its rows top first, as PPM and PAM store them.
struct Picture {
    int width = 0, height = 0, channels = 3;
    Bytes pixels;

    const unsigned char* At(int x, int yFromTop) const
    {
        return pixels.data() + (size_t(yFromTop) * width + x) * channels;
    }
};

bool HaveConvert()
{
    static const bool have = std::system("convert -version >/dev/null 2>&1") == 0;
    return have;
}

bool Convert(const std::string& args)
{
    return std::system(("convert " + args + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

void WriteFile(const std::string& name, const std::string& bytes)
{
    FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    ASSERT_EQ(std::fclose(f), 0);
}

// Writes the picture as PPM (3 channels) or PAM with alpha (4 channels).
void WritePicture(const std::string& name, const Picture& p)
{
    std::ostringstream out;
    if (p.channels == 3)
        out << "P6\n" << p.width << " " << p.height << "\n255\n";
    else
        out << "P7\nWIDTH " << p.width << "\nHEIGHT " << p.height
            << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    out.write(reinterpret_cast<const char*>(p.pixels.data()), std::streamsize(p.pixels.size()));
    WriteFile(name, out.str());
}

// The picture as ImageMagick understands the file, orientation applied,
// always with 3 or 4 channels.
Picture Decode(const std::string& file, const TempDir& dir)
{
    Picture p;
    const std::string pam = dir.file("decoded.pam");
    if (!Convert(Quoted(file) + " -auto-orient -depth 8 " + Quoted("PAM:" + pam)))
        return p;
    std::istringstream in(ReadWholeFile(pam));
    std::string line, tupleType;
    int depth = 0;
    while (std::getline(in, line) && line != "ENDHDR") {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "WIDTH")
            fields >> p.width;
        else if (key == "HEIGHT")
            fields >> p.height;
        else if (key == "DEPTH")
            fields >> depth;
    }
    Bytes raw(size_t(p.width) * p.height * depth);
    in.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size()));
    if (depth < 1 || depth > 4 || in.gcount() != std::streamsize(raw.size()))
        return Picture();
    // Grey (and grey with alpha) spread over R, G and B.
    p.channels = depth == 2 || depth == 4 ? 4 : 3;
    for (size_t i = 0; i < raw.size(); i += size_t(depth)) {
        if (depth <= 2)
            p.pixels.insert(p.pixels.end(), {raw[i], raw[i], raw[i]});
        else
            p.pixels.insert(p.pixels.end(), raw.begin() + i, raw.begin() + i + 3);
        if (p.channels == 4)
            p.pixels.push_back(raw[i + size_t(depth) - 1]);
    }
    return p;
}

// A picture whose neighbouring pixels and channels all differ; `colours`
// limits how many distinct pixels there are, for palettised formats.
Picture Pattern(int w, int h, int channels, int colours)
{
    Picture p;
    p.width = w;
    p.height = h;
    p.channels = channels;
    for (int i = 0; i < w * h; ++i) {
        const int k = (i * 7 + i / w) % colours;
        p.pixels.push_back(static_cast<unsigned char>(k * 53 % 256));
        p.pixels.push_back(static_cast<unsigned char>(255 - k * 29 % 256));
        p.pixels.push_back(static_cast<unsigned char>(k * 101 % 256));
        if (channels == 4)
            p.pixels.push_back(static_cast<unsigned char>(40 + k * 13 % 200));
    }
    return p;
}

// Our image (bottom row first) against a picture (top row first).
::testing::AssertionResult SamePicture(const unsigned char* image, int width, int height, int bpp,
                                       const Picture& expected, int tolerance = 0)
{
    if (!image)
        return ::testing::AssertionFailure() << "no image";
    if (width != expected.width || height != expected.height || bpp != expected.channels)
        return ::testing::AssertionFailure() << width << "x" << height << "x" << bpp << " but expected "
                                             << expected.width << "x" << expected.height << "x"
                                             << expected.channels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* ours = image + (size_t(height - 1 - y) * width + x) * bpp;
            const unsigned char* theirs = expected.At(x, y);
            for (int c = 0; c < bpp; ++c)
                if (std::abs(ours[c] - theirs[c]) > tolerance)
                    return ::testing::AssertionFailure()
                           << "pixel " << x << "," << y << " (from the top) channel " << c << ": "
                           << int(ours[c]) << " but expected " << int(theirs[c]);
        }
    return ::testing::AssertionSuccess();
}

class TextureMagick : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveConvert())
            GTEST_SKIP() << "ImageMagick's convert is not installed";
    }

    // Writes `source`, converts it with `options` into `file` in `format`,
    // and returns the picture ImageMagick reads back from that file.
    Picture Make(const Picture& source, const std::string& options, const std::string& format,
                 const std::string& file)
    {
        const std::string input = dir.file(source.channels == 3 ? "source.ppm" : "source.pam");
        WritePicture(input, source);
        EXPECT_TRUE(Convert(Quoted(input) + " " + options + " " + Quoted(format + ":" + file))) << options;
        return Decode(file, dir);
    }

    unsigned char* LoadBmp(const std::string& file, TovarBMPInfoHeader& info)
    {
        return texture.LoadBitmapA(file.c_str(), &info);
    }

    TempDir dir;
    TovarTexture texture;
};

} // namespace

// ---- BMP ---------------------------------------------------------------------------

TEST_F(TextureMagick, Bmp24WithPaddedRows)
{
    for (int w : {5, 6, 7, 8}) {
        SCOPED_TRACE(w);
        const Picture source = Pattern(w, 3, 3, 1000);
        const std::string file = dir.file("a.bmp");
        const Picture decoded = Make(source, "-type TrueColor", "BMP3", file);
        ASSERT_EQ(decoded.pixels, source.pixels);
        TovarBMPInfoHeader info;
        unsigned char* pixels = LoadBmp(file, info);
        EXPECT_EQ(info.biBitCount, 24);
        EXPECT_TRUE(SamePicture(pixels, info.biWidth, info.biHeight, 3, source));
        delete[] pixels;
    }
}

TEST_F(TextureMagick, BmpKindsOtherProgramsWrite)
{
    // Fields narrower than 8 bits are compared with the source picture within
    // one step of their width: ImageMagick truncates them on writing and, on
    // reading, widens them by shifting rather than scaling. The others are
    // compared exactly with ImageMagick's reading.
    struct Case {
        const char* format;
        std::string options;
        int channels, colours, headerSize, bits, compression, tolerance;
    };
    const std::vector<Case> cases = {
        {"BMP3", "-type Palette -compress None", 3, 12, 40, 4, 0, 0},
        {"BMP3", "-type Palette -compress None", 3, 60, 40, 8, 0, 0},
        {"BMP3", "-type Palette -compress RLE", 3, 60, 40, 8, 1, 0},
        {"BMP", "", 4, 1000, 124, 32, 3, 0},
        {"BMP", "-define bmp:subtype=RGB565", 3, 1000, 124, 16, 3, 9},
        {"BMP", "-define bmp:subtype=RGB555", 3, 1000, 124, 16, 3, 9},
        {"BMP", "-alpha set -define bmp:subtype=ARGB4444", 4, 1000, 124, 16, 3, 17},
        {"BMP2", "-type TrueColor", 3, 1000, 12, 24, 0, 0},
        {"BMP2", "-type Palette", 3, 12, 12, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string file = dir.file("k.bmp");
        const Picture source = Pattern(13, 5, c.channels, c.colours);
        const Picture decoded = Make(source, c.options, c.format, file);
        const std::string bytes = ReadWholeFile(file);
        ASSERT_GT(bytes.size(), 30u);
        ASSERT_EQ(std::uint8_t(bytes[14]), c.headerSize);
        ASSERT_EQ(std::uint8_t(bytes[c.headerSize == 12 ? 24 : 28]), c.bits);
        ASSERT_EQ(c.headerSize == 12 ? 0 : bytes[30], c.compression);
        TovarBMPInfoHeader info;
        unsigned char* pixels = LoadBmp(file, info);
        EXPECT_EQ(texture.type, c.channels == 4 ? GL_RGBA : GL_RGB);
        EXPECT_TRUE(SamePicture(pixels, info.biWidth, info.biHeight, c.channels, c.tolerance ? source : decoded,
                                c.tolerance))
            << texture.LastError();
        delete[] pixels;
    }
}

TEST_F(TextureMagick, HandMadeBmpKindsReadAsImageMagickReadsThem)
{
    // Kinds no program at hand writes, checked against another reader's reading.
    auto palette = [](int n) {
        Bytes p;
        for (int i = 0; i < n; ++i)
            p.insert(p.end(), {static_cast<unsigned char>(i * 37), static_cast<unsigned char>(255 - i * 11),
                               static_cast<unsigned char>(i * 90), 0});
        p[0] = p[1] = p[2] = 0; // ImageMagick gives skipped pixels index 0, we give black
        return p;
    };
    BMP rle4; // a run, absolute mode, end of line, a delta, a run past the row's end
    rle4.width = 9;
    rle4.height = 3;
    rle4.bits = 4;
    rle4.compression = 2;
    rle4.colours = 8;
    rle4.extra = palette(8);
    rle4.rows = {4, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 3, 1, 12, 0x65, 0, 1};
    BMP wide; // 10-10-10 bit masks, top-down
    wide.width = 3;
    wide.height = -2;
    wide.bits = 32;
    wide.compression = 3;
    wide.headerSize = 124;
    for (std::uint32_t i = 0; i < 6; ++i)
        wide.rows.insert(wide.rows.end(), {static_cast<unsigned char>(i * 77), static_cast<unsigned char>(i * 50),
                                           static_cast<unsigned char>(255 - i * 33),
                                           static_cast<unsigned char>(i * 45)});
    Bytes wideFile = wide.Build();
    const std::uint32_t masks[] = {0x3FF00000u, 0x000FFC00u, 0x3FFu, 0};
    for (int i = 0; i < 4; ++i)
        Put32(wideFile, 54 + 4 * i, masks[i]);

    BMP plain16; // 16 bits without masks: 5-5-5
    plain16.width = 3;
    plain16.bits = 16;
    plain16.rows = {0x00, 0x7C, 0xE5, 0x03, 0x18, 0x22, 0, 0};
    BMP os2; // OS/2 2.x: a 64-byte header
    os2.width = 5;
    os2.height = 2;
    os2.bits = 8;
    os2.headerSize = 64;
    os2.colours = 6;
    os2.extra = palette(6);
    os2.rows = {5, 4, 3, 2, 1, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0};
    // ImageMagick takes this header's palette entries for 3 bytes; they are 4,
    // as Pillow reads them, so Pillow reads that one and hands it over as PPM.
    std::string pillow;
    for (const char* p : {"python3", "/usr/bin/python3"})
        if (pillow.empty() && std::system((std::string(p) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0)
            pillow = std::string(p) + " -c 'import sys; from PIL import Image; "
                                      "Image.open(sys.argv[1]).convert(\"RGB\").save(sys.argv[2])' ";

    // ImageMagick narrows 10-bit fields by shifting: one step of difference.
    const struct {
        Bytes bytes;
        bool byPillow;
    } cases[] = {{rle4.Build(), false}, {wideFile, false}, {plain16.Build(), false}, {os2.Build(), true}};
    for (const auto& c : cases) {
        const std::string file = dir.file("h.bmp"), ppm = dir.file("h.ppm");
        WriteFile(file, std::string(c.bytes.begin(), c.bytes.end()));
        if (c.byPillow) {
            ASSERT_FALSE(pillow.empty()) << "Pillow is not installed";
            ASSERT_EQ(std::system((pillow + Quoted(file) + " " + Quoted(ppm)).c_str()), 0);
        }
        const Picture expected = Decode(c.byPillow ? ppm : file, dir);
        ASSERT_GT(expected.width, 0) << "the other reader cannot read it";
        TovarBMPInfoHeader info;
        unsigned char* pixels = LoadBmp(file, info);
        EXPECT_TRUE(SamePicture(pixels, info.biWidth, std::abs(info.biHeight), expected.channels, expected, 1))
            << texture.LastError();
        delete[] pixels;
    }
}

TEST_F(TextureMagick, TopDownBmp)
{
    // ImageMagick writes bottom-up files only; turn one top-down by hand:
    // negate the height and store the rows in the other order.
    const Picture source = Pattern(7, 4, 3, 1000);
    const std::string file = dir.file("up.bmp");
    Make(source, "-type TrueColor", "BMP3", file);
    std::string bytes = ReadWholeFile(file);
    ASSERT_EQ(bytes.size(), 54u + 4 * 24);
    std::string flipped = bytes.substr(0, 54);
    for (int row = 3; row >= 0; --row)
        flipped += bytes.substr(54 + size_t(row) * 24, 24);
    const std::int32_t height = -4;
    for (int i = 0; i < 4; ++i)
        flipped[22 + i] = static_cast<char>(std::uint32_t(height) >> (8 * i));
    const std::string down = dir.file("down.bmp");
    WriteFile(down, flipped);
    ASSERT_EQ(Decode(down, dir).pixels, source.pixels) << "ImageMagick reads our top-down file as the picture";

    TovarBMPInfoHeader info;
    unsigned char* pixels = LoadBmp(down, info);
    EXPECT_EQ(info.biHeight, -4);
    EXPECT_TRUE(SamePicture(pixels, info.biWidth, 4, 3, source));
    delete[] pixels;
}

// ---- TGA ---------------------------------------------------------------------------

TEST_F(TextureMagick, Tga24And32BothOriginsWithAndWithoutImageId)
{
    struct Case {
        const char* what;
        int channels;
        std::string options;
        unsigned char idLength;
    };
    const std::vector<Case> cases = {
        {"24-bit", 3, "", 0},
        {"24-bit, top-left origin", 3, "-orient TopLeft", 0},
        {"24-bit with an image ID", 3, "-set comment 'Quellin test image'", 18},
        {"32-bit", 4, "", 0},
        {"32-bit, top-left origin, image ID", 4, "-orient TopLeft -set comment 'id'", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = dir.file("a.tga");
        const Picture expected = Make(Pattern(6, 3, c.channels, 1000), c.options + " -compress None", "TGA", file);
        ASSERT_EQ(expected.channels, c.channels);
        const std::string bytes = ReadWholeFile(file);
        ASSERT_GT(bytes.size(), 18u);
        ASSERT_EQ(static_cast<unsigned char>(bytes[0]), c.idLength) << "ImageMagick wrote another image ID";
        ASSERT_EQ(bytes[2], 2);
        ASSERT_TRUE(texture.LoadTGA(file.c_str()));
        EXPECT_EQ(texture.type, c.channels == 4 ? GL_RGBA : GL_RGB);
        EXPECT_TRUE(SamePicture(texture.image, texture.imageWidth, texture.imageHeight, c.channels, expected));
    }
}

TEST_F(TextureMagick, TgaGreyscaleExpandsToRgb)
{
    Picture grey = Pattern(5, 4, 3, 1000);
    for (size_t i = 0; i < grey.pixels.size(); i += 3)
        grey.pixels[i + 1] = grey.pixels[i + 2] = grey.pixels[i];
    const std::string file = dir.file("g.tga");
    const Picture expected = Make(grey, "-type Grayscale -compress None", "TGA", file);
    ASSERT_EQ(ReadWholeFile(file)[2], 3) << "ImageMagick did not write a greyscale TGA";
    ASSERT_TRUE(texture.LoadTGA(file.c_str()));
    EXPECT_EQ(texture.type, GL_RGB);
    EXPECT_TRUE(SamePicture(texture.image, texture.imageWidth, texture.imageHeight, 3, expected));
}

TEST_F(TextureMagick, RunLengthTgaIsRefused)
{
    const std::string file = dir.file("rle.tga");
    Make(Pattern(6, 3, 3, 4), "-compress RLE", "TGA", file);
    ASSERT_EQ(ReadWholeFile(file)[2], 10);
    EXPECT_FALSE(texture.LoadTGA(file.c_str()));
    EXPECT_EQ(texture.image, nullptr);
}

// ---- PCX ---------------------------------------------------------------------------

TEST_F(TextureMagick, Pcx8BitPowerOfTwoSizesKeepEveryPixel)
{
    for (int w : {8, 64}) {
        SCOPED_TRACE(w);
        const std::string file = dir.file("a.pcx");
        const Picture source = Pattern(w, 4, 3, 200);
        ASSERT_EQ(Make(source, "-type Palette", "PCX", file).pixels, source.pixels);
        ASSERT_TRUE(texture.LoadPcx(file.c_str()));
        EXPECT_EQ(texture.type, GL_RGBA);
        ASSERT_NE(texture.palette, nullptr);
        // Alpha is 255 everywhere: compare with the picture given full alpha.
        Picture opaque = source;
        opaque.channels = 4;
        opaque.pixels.clear();
        for (size_t i = 0; i < source.pixels.size(); i += 3)
            opaque.pixels.insert(opaque.pixels.end(),
                                 {source.pixels[i], source.pixels[i + 1], source.pixels[i + 2], 255});
        EXPECT_TRUE(SamePicture(texture.image, texture.imageWidth, texture.imageHeight, 4, opaque));
    }
}

TEST_F(TextureMagick, PcxOtherSizesShrinkToThePowerOfTwoBelow)
{
    const std::string file = dir.file("s.pcx");
    Make(Pattern(100, 60, 3, 200), "-type Palette", "PCX", file);
    ASSERT_TRUE(texture.LoadPcx(file.c_str()));
    EXPECT_EQ(texture.imageWidth, 64);
    EXPECT_EQ(texture.imageHeight, 32);
    for (int i = 0; i < 64 * 32; ++i)
        ASSERT_EQ(texture.image[i * 4 + 3], 255) << i;

    // Rows of one colour each, odd width: shrinking along a row keeps the colour.
    Picture rows;
    rows.width = 101;
    rows.height = 4;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < rows.width; ++x)
            rows.pixels.insert(rows.pixels.end(), {static_cast<unsigned char>(10 + 60 * y),
                                                   static_cast<unsigned char>(200 - 40 * y),
                                                   static_cast<unsigned char>(77)});
    Make(rows, "-type Palette", "PCX", file);
    ASSERT_TRUE(texture.LoadPcx(file.c_str()));
    ASSERT_EQ(texture.imageWidth, 64);
    ASSERT_EQ(texture.imageHeight, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 64; ++x) {
            const unsigned char* p = texture.image + (size_t(3 - y) * 64 + x) * 4;
            ASSERT_EQ(Bytes(p, p + 4), (Bytes{rows.At(0, y)[0], rows.At(0, y)[1], rows.At(0, y)[2], 255}))
                << x << "," << y;
        }
}

TEST_F(TextureMagick, TrueColourPcxWithThreePlanesIsRefused)
{
    const std::string file = dir.file("tc.pcx");
    Make(Pattern(8, 4, 3, 1000), "-type TrueColor", "PCX", file);
    ASSERT_EQ(ReadWholeFile(file)[65], 3) << "ImageMagick did not write three planes";
    EXPECT_FALSE(texture.LoadPcx(file.c_str()));
    EXPECT_EQ(texture.image, nullptr);
}
