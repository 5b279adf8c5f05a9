#pragma once

// Textures: an image in memory (24-bit RGB, 32-bit RGBA or 8-bit luminance)
// and its GL texture with mipmaps. The files are decoded by toolkit/Image;
// this unit reads them, keeps the reason of a refusal, uploads, and writes
// BMP and TGA, also from the frame buffer. At most 65536 pixels a side and
// 2^28 pixels in all.

#include "toolkit/Image.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace TovarToolkit {

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

    // Why the last load or read refused its file, naming the file, e.g.
    // "Images\Floor.bmp: the file cannot be opened"; empty after a success.
    const std::string& LastError() const { return lastError; }

    void GenerateTexture();
    void FreeImage();
    // The image and the GL texture name; the texture is empty again after.
    void Release();
    bool CreateImage(int w, int h, int b);

    // The writers and screenshots return whether the whole file was written;
    // a file they could not finish (a full disk) is removed.
    bool WriteBMP(const char* file, int width, int height, const unsigned char* output);
    bool WriteTGA(const char* file, short width, short height, const unsigned char* outImage);
    bool SaveBMPScreenShot(const char* filename, int w, int h);
    bool SaveTGAScreenShot(const char* filename, int w, int h);
    void GetColor(unsigned int x, unsigned int y, unsigned char* r, unsigned char* g, unsigned char* b);
    void SetColor(unsigned int x, unsigned int y, unsigned char r, unsigned char g, unsigned char b);

private:
    // Turns the image a reader just made into the texture; false when it made none.
    bool UploadLoaded();
    // Reads `file` whole and decodes it with `decode`; on a refusal, keeps
    // the reason and returns false.
    bool ReadAndDecode(const char* file,
                       const std::function<bool(const unsigned char*, std::size_t, DecodedImage&, std::string&)>& decode,
                       DecodedImage& decoded);
    // Takes a decoded image as this texture's own.
    void Keep(DecodedImage& decoded);

    std::string lastError;
};

} // namespace TovarToolkit
