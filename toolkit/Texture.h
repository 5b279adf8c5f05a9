#pragma once

// Textures: an image in memory (24-bit RGB or 32-bit RGBA) and its GL
// texture with mipmaps. Reads uncompressed BMP, TGA and 8-bit PCX; writes
// BMP and TGA, also from the frame buffer. No compressed or RLE files, no
// 16-bit colour, at most 65536 pixels a side and 2^28 pixels in all.

#include <cstdint>

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

// An image in memory and the GL texture made from it.
class TovarTexture {
public:
    unsigned int ID;      // GL texture name; 0 until GenerateTexture
    int imageWidth;
    int imageHeight;
    unsigned char* image; // tightly packed rows, bottom row first
    unsigned char* palette; // 768 bytes after a PCX read, else null
    bool textureExist;
    int type; // GL_RGB, GL_RGBA or GL_LUMINANCE; 0 when empty

    TovarTexture();
    ~TovarTexture();
    TovarTexture(const TovarTexture&) = delete;
    TovarTexture& operator=(const TovarTexture&) = delete;

    bool LoadBMPFile(const char* file);
    bool LoadTGAFile(const char* file);
    bool LoadPCXFile(const char* file);

    unsigned char* LoadBitmapA(const char* file, TovarBMPInfoHeader* bitmapInfoHeader);
    bool LoadTGA(const char* file);
    bool LoadPcx(const char* file);

    void GenerateTexture();
    void FreeImage();
    bool CreateImage(int w, int h, int b);

    bool WriteBMP(const char* file, int width, int height, const unsigned char* output);
    bool WriteTGA(const char* file, short width, short height, const unsigned char* outImage);
    void SaveBMPScreenShot(const char* filename, int w, int h);
    void SaveTGAScreenShot(const char* filename, int w, int h);
    void GetColor(unsigned int x, unsigned int y, unsigned char* r, unsigned char* g, unsigned char* b);
    void SetColor(unsigned int x, unsigned int y, unsigned char r, unsigned char g, unsigned char b);

private:
    // Turns the image a reader just made into the texture; false when it made none.
    bool UploadLoaded();
};

} // namespace TovarToolkit
