// Texture upload, texture names and screenshots in a real GL context.

#include "support/GLWindow.h"
#include "support/TempDir.h"

#include "toolkit/Texture.h"

#include <filesystem>
#include <string>
#include <vector>

using namespace TovarToolkit;

namespace {

using Bytes = std::vector<unsigned char>;
using TextureGL = GLWindowTest;

void Fill(TovarTexture& t, int bpp)
{
    const size_t n = size_t(t.imageWidth) * t.imageHeight * bpp;
    for (size_t i = 0; i < n; ++i)
        t.image[i] = static_cast<unsigned char>(i * 29 + i / 5);
}

// Level 0 of the bound texture, rows tightly packed.
Bytes LevelZero(GLenum format, int bpp, int w, int h)
{
    Bytes pixels(size_t(w) * h * bpp, 0xCD);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

GLint LevelSize(GLenum which, int level)
{
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &v);
    return v;
}

} // namespace

TEST_F(TextureGL, UploadedLevelZeroReadsBackTheImage)
{
    struct Case {
        int w, h, bits;
        GLenum format;
        int bpp;
    };
    // 2 x 4 RGB has 6-byte rows: only byte alignment reads them right.
    for (const Case& c : {Case{2, 4, 24, GL_RGB, 3}, Case{8, 4, 32, GL_RGBA, 4}, Case{16, 2, 8, GL_LUMINANCE, 1}}) {
        SCOPED_TRACE(c.bits);
        TovarTexture t;
        ASSERT_TRUE(t.CreateImage(c.w, c.h, c.bits));
        Fill(t, c.bpp);
        t.GenerateTexture();
        ASSERT_NE(t.ID, 0u);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), t.ID) << "the texture stays bound";
        EXPECT_EQ(LevelSize(GL_TEXTURE_WIDTH, 0), c.w);
        EXPECT_EQ(LevelSize(GL_TEXTURE_HEIGHT, 0), c.h);
        EXPECT_EQ(LevelZero(c.format, c.bpp, c.w, c.h), Bytes(t.image, t.image + size_t(c.w) * c.h * c.bpp));
        // The whole mipmap chain down to 1 x 1 is there.
        int levels = 0;
        for (int w = c.w, h = c.h; w > 1 || h > 1; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1)
            ++levels;
        EXPECT_EQ(LevelSize(GL_TEXTURE_WIDTH, levels), 1);
        EXPECT_EQ(LevelSize(GL_TEXTURE_HEIGHT, levels), 1);

        GLint v = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &v);
        EXPECT_EQ(v, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &v);
        EXPECT_EQ(v, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &v);
        EXPECT_EQ(v, GL_REPEAT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &v);
        EXPECT_EQ(v, GL_REPEAT);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(TextureGL, EveryFormatLoadsIntoATexture)
{
    TempDir dir;
    const int w = 4, h = 2;
    Bytes rgb(w * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<unsigned char>(i * 23 + 5);
    TovarTexture writer;
    ASSERT_TRUE(writer.WriteBMP(dir.file("a.bmp").c_str(), w, h, rgb.data()));
    ASSERT_TRUE(writer.WriteTGA(dir.file("a.tga").c_str(), w, h, rgb.data()));

    TovarTexture bmp;
    ASSERT_TRUE(bmp.LoadBMPFile(dir.file("a.bmp").c_str()));
    EXPECT_TRUE(bmp.textureExist);
    EXPECT_EQ(bmp.imageWidth, w);
    EXPECT_EQ(bmp.imageHeight, h);
    EXPECT_EQ(LevelZero(GL_RGB, 3, w, h), rgb);

    TovarTexture tga;
    ASSERT_TRUE(tga.LoadTGAFile(dir.file("a.tga").c_str()));
    EXPECT_TRUE(tga.textureExist);
    EXPECT_EQ(LevelZero(GL_RGB, 3, w, h), rgb);

    // A 2 x 1 PCX: indices 1 and 2 of a palette where entry i is (i, 2i, 3i).
    Bytes pcx(128, 0);
    pcx[0] = 10;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 1;
    pcx[65] = 1;
    pcx[66] = 2;
    pcx.insert(pcx.end(), {1, 2, 12});
    for (int i = 0; i < 256; ++i)
        pcx.insert(pcx.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(2 * i),
                               static_cast<unsigned char>(3 * i)});
    {
        FILE* f = std::fopen(dir.file("a.pcx").c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(pcx.data(), 1, pcx.size(), f);
        std::fclose(f);
    }
    TovarTexture pcxTexture;
    ASSERT_TRUE(pcxTexture.LoadPCXFile(dir.file("a.pcx").c_str()));
    EXPECT_TRUE(pcxTexture.textureExist);
    EXPECT_EQ(LevelZero(GL_RGBA, 4, 2, 1), (Bytes{1, 2, 3, 255, 2, 4, 6, 255}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureGL, ReloadingReplacesTheTextureNameAndFailureMakesNone)
{
    TempDir dir;
    Bytes rgb(4 * 4 * 3, 100);
    TovarTexture writer;
    ASSERT_TRUE(writer.WriteBMP(dir.file("a.bmp").c_str(), 4, 4, rgb.data()));

    TovarTexture t;
    ASSERT_TRUE(t.LoadBMPFile(dir.file("a.bmp").c_str()));
    const GLuint first = t.ID;
    ASSERT_TRUE(glIsTexture(first));
    ASSERT_TRUE(t.LoadBMPFile(dir.file("a.bmp").c_str()));
    EXPECT_NE(t.ID, first);
    EXPECT_TRUE(glIsTexture(t.ID));
    EXPECT_FALSE(glIsTexture(first)) << "the earlier name is deleted";

    // A failed load leaves no image and makes no new texture name.
    const GLuint second = t.ID;
    EXPECT_FALSE(t.LoadBMPFile(dir.file("missing.bmp").c_str()));
    EXPECT_FALSE(t.textureExist);
    EXPECT_EQ(t.image, nullptr);
    EXPECT_EQ(t.ID, second);

    TovarTexture never;
    EXPECT_FALSE(never.LoadTGAFile(dir.file("a.bmp").c_str()));
    EXPECT_FALSE(never.LoadPCXFile(dir.file("a.bmp").c_str()));
    EXPECT_EQ(never.ID, 0u);
}

TEST_F(TextureGL, TheDestructorDeletesTheTextureName)
{
    GLuint id = 0;
    {
        TovarTexture t;
        ASSERT_TRUE(t.CreateImage(2, 2, 24));
        t.GenerateTexture();
        id = t.ID;
        ASSERT_TRUE(glIsTexture(id));
    }
    EXPECT_FALSE(glIsTexture(id));
}

TEST_F(TextureGL, ScreenshotsHoldThePixelsDrawn)
{
    // Blue everywhere, a red block in the lower-left corner and a green one
    // higher up to the right; an odd width makes unpadded rows matter.
    const int w = 37, h = 23;
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 10, 5);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(20, 10, 17, 13);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glFinish();

    auto expected = [](int x, int y) {
        if (x < 10 && y < 5)
            return Bytes{255, 0, 0};
        if (x >= 20 && y >= 10)
            return Bytes{0, 255, 0};
        return Bytes{0, 0, 255};
    };

    TempDir dir;
    TovarTexture shooter;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_TRUE(shooter.SaveBMPScreenShot(dir.file("s.bmp").c_str(), w, h));
    EXPECT_TRUE(shooter.SaveTGAScreenShot(dir.file("s.tga").c_str(), w, h));
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the caller's pack alignment is restored";
    EXPECT_EQ(shooter.image, nullptr) << "the screenshot does not touch the object";

    TovarTexture reader;
    TovarBMPInfoHeader info;
    unsigned char* bmp = reader.LoadBitmapA(dir.file("s.bmp").c_str(), &info);
    ASSERT_NE(bmp, nullptr);
    ASSERT_EQ(info.biWidth, w);
    ASSERT_EQ(info.biHeight, h);
    ASSERT_TRUE(reader.LoadTGA(dir.file("s.tga").c_str()));
    ASSERT_EQ(reader.imageWidth, w);
    ASSERT_EQ(reader.imageHeight, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = (size_t(y) * w + x) * 3;
            ASSERT_EQ(Bytes(bmp + at, bmp + at + 3), expected(x, y)) << "BMP " << x << "," << y;
            ASSERT_EQ(Bytes(reader.image + at, reader.image + at + 3), expected(x, y)) << "TGA " << x << "," << y;
        }
    delete[] bmp;

    EXPECT_FALSE(shooter.SaveBMPScreenShot(dir.file("none.bmp").c_str(), 0, 10));
    EXPECT_FALSE(shooter.SaveTGAScreenShot(dir.file("none.tga").c_str(), 10, -1));
    EXPECT_FALSE(shooter.SaveBMPScreenShot(dir.file("no/folder.bmp").c_str(), w, h));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.tga")));
}
