// PCX reader: any bytes give either false and an empty texture, or an RGBA
// image with power-of-two sides and a 768-byte palette.

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
    if (!texture.LoadPcx(file)) {
        if (texture.image || texture.palette || texture.type != 0)
            std::abort();
        return 0;
    }
    const long long w = texture.imageWidth, h = texture.imageHeight;
    if (!texture.image || !texture.palette || texture.type != GL_RGBA || w <= 0 || h <= 0 || (w & (w - 1)) != 0 ||
        (h & (h - 1)) != 0)
        std::abort();
    for (long long i = 3; i < w * h * 4; i += 4)
        if (texture.image[i] != 255)
            std::abort();
    FuzzTouch(texture.image, w * h * 4);
    FuzzTouch(texture.palette, 768);
    return 0;
}
