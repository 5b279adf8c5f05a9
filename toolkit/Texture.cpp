#include "toolkit/Texture.h"

#include "toolkit/File.h"
#include "toolkit/platform/GL.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace TovarToolkit {

namespace {

// The one place where a decoded image's channel count becomes a GL type.
int GLTypeOf(int channels)
{
    return channels == 4 ? GL_RGBA : GL_RGB;
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

// Closes the file; a failed write or close (a full disk) is a failed write,
// and the part written is removed: no file is left whose header promises
// pixels it lacks. Only a regular file is removed, never a device written to.
bool FinishWrite(FILE* f, bool ok, const char* file)
{
    ok = std::fclose(f) == 0 && ok;
    struct stat st;
    const std::string path = NativePath(file);
    if (!ok && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        std::remove(path.c_str());
    return ok;
}

} // namespace

TovarTexture::TovarTexture()
    : ID(0), imageWidth(0), imageHeight(0), image(nullptr), palette(nullptr), textureExist(false), type(0)
{
}

TovarTexture::~TovarTexture() { Release(); }

void TovarTexture::Release()
{
    FreeImage();
    // Only a texture that was uploaded has a name to give back. (At exit the
    // context may be gone already; the call is then harmless.)
    if (ID != 0)
        glDeleteTextures(1, &ID);
    ID = 0;
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

bool TovarTexture::ReadAndDecode(
    const char* file, const std::function<bool(const unsigned char*, std::size_t, DecodedImage&, std::string&)>& decode,
    DecodedImage& decoded)
{
    lastError.clear();
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, bytes, &lastError))
        return false;
    std::string why;
    if (decode(bytes.data(), bytes.size(), decoded, why))
        return true;
    lastError = (file ? NativePath(file) : std::string("(no file name)")) + ": " + why;
    return false;
}

void TovarTexture::Keep(DecodedImage& decoded)
{
    image = decoded.pixels.release();
    palette = decoded.palette.release();
    imageWidth = decoded.width;
    imageHeight = decoded.height;
    type = GLTypeOf(decoded.channels);
}

unsigned char* TovarTexture::LoadBitmapA(const char* file, TovarBMPInfoHeader* bitmapInfoHeader)
{
    DecodedImage decoded;
    TovarBMPInfoHeader info;
    auto decodeBMP = [&info](const unsigned char* data, std::size_t size, DecodedImage& image, std::string& why) {
        return DecodeBMP(data, size, image, why, &info);
    };
    if (!ReadAndDecode(file, decodeBMP, decoded))
        return nullptr;
    type = GLTypeOf(decoded.channels);
    if (bitmapInfoHeader)
        *bitmapInfoHeader = info;
    return decoded.pixels.release();
}

bool TovarTexture::LoadTGA(const char* file)
{
    FreeImage();
    DecodedImage decoded;
    auto decodeTGA = [](const unsigned char* data, std::size_t size, DecodedImage& image, std::string& why) {
        return DecodeTGA(data, size, image, why);
    };
    if (!ReadAndDecode(file, decodeTGA, decoded))
        return false;
    Keep(decoded);
    return true;
}

bool TovarTexture::LoadPcx(const char* file)
{
    FreeImage();
    DecodedImage decoded;
    auto decodePCX = [](const unsigned char* data, std::size_t size, DecodedImage& image, std::string& why) {
        return DecodePCX(data, size, image, why);
    };
    if (!ReadAndDecode(file, decodePCX, decoded))
        return false;
    Keep(decoded);
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
    if (!ImageSizeFits(w, h) || b <= 0 || b > 32)
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
    if (!file || !output || !ImageSizeFits(width, absHeight))
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
    return FinishWrite(f, ok, file);
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
    return FinishWrite(f, ok, file);
}

namespace {

// The lower-left w x h pixels of the current read buffer, bottom row first,
// rows tightly packed; empty for sizes we refuse.
std::vector<unsigned char> ReadFrame(int w, int h)
{
    std::vector<unsigned char> pixels;
    if (!ImageSizeFits(w, h))
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

bool TovarTexture::SaveBMPScreenShot(const char* filename, int w, int h)
{
    std::vector<unsigned char> pixels = ReadFrame(w, h);
    return !pixels.empty() && WriteBMP(filename, w, h, pixels.data());
}

bool TovarTexture::SaveTGAScreenShot(const char* filename, int w, int h)
{
    // A TGA holds 16-bit sizes; anything larger would be cut short.
    if (w > 32767 || h > 32767)
        return false;
    std::vector<unsigned char> pixels = ReadFrame(w, h);
    return !pixels.empty() && WriteTGA(filename, static_cast<short>(w), static_cast<short>(h), pixels.data());
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
