// BMP reader: any bytes give either null or a pixel array of exactly the
// size the returned header promises.

#include "FuzzFile.h"

#include "toolkit/Texture.h"
#include "toolkit/platform/GL.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* file = FuzzInputFile(data, size);
    if (!file)
        return 0;
    TovarToolkit::TovarTexture texture;
    TovarToolkit::TovarBMPInfoHeader info;
    unsigned char* pixels = texture.LoadBitmapA(file, &info);
    if (!pixels)
        return 0;
    const long long w = info.biWidth, h = info.biHeight < 0 ? -(long long)info.biHeight : info.biHeight;
    const int bpp = texture.type == GL_RGBA ? 4 : 3;
    if (w <= 0 || h <= 0 || w > 65536 || h > 65536 || (texture.type != GL_RGB && texture.type != GL_RGBA))
        std::abort();
    FuzzTouch(pixels, w * h * bpp);
    delete[] pixels;
    return 0;
}
