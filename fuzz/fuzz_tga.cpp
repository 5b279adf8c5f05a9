// TGA reader: any bytes give either false and an empty texture, or an image
// of exactly the size and format the texture says.

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
    if (!texture.LoadTGA(file)) {
        if (texture.image || texture.palette || texture.type != 0)
            std::abort();
        return 0;
    }
    const long long w = texture.imageWidth, h = texture.imageHeight;
    if (!texture.image || w <= 0 || h <= 0 || w > 65535 || h > 65535 ||
        (texture.type != GL_RGB && texture.type != GL_RGBA))
        std::abort();
    const int bpp = texture.type == GL_RGBA ? 4 : 3;
    FuzzTouch(texture.image, w * h * bpp);
    return 0;
}
