// PCX decoder: any bytes give either a refusal with a reason, or an opaque
// RGBA image with power-of-two sides and a 768-byte palette.

#include "FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TovarToolkit::DecodedImage image;
    std::string reason;
    const bool ok = TovarToolkit::DecodePCX(data, size, image, reason, kFuzzMaxPixels);
    CheckDecoded(ok, image, reason);
    if (!ok)
        return 0;
    const std::int64_t w = image.width, h = image.height;
    if (!image.palette || image.channels != 4 || (w & (w - 1)) != 0 || (h & (h - 1)) != 0)
        std::abort();
    for (std::int64_t i = 3; i < w * h * 4; i += 4)
        if (image.pixels[i] != 255)
            std::abort();
    return 0;
}
