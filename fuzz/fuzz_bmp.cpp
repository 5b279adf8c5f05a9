// BMP decoder: any bytes give either a refusal with a reason, or an image
// whose size agrees with the header it hands back.

#include "FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TovarToolkit::DecodedImage image;
    TovarToolkit::TovarBMPInfoHeader info;
    std::string reason;
    const bool ok = TovarToolkit::DecodeBMP(data, size, image, reason, &info, kFuzzMaxPixels);
    CheckDecoded(ok, image, reason);
    const std::int64_t height = info.biHeight < 0 ? -std::int64_t(info.biHeight) : std::int64_t(info.biHeight);
    if (ok && (info.biWidth != image.width || height != image.height || image.palette))
        std::abort();
    return 0;
}
