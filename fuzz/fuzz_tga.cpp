// TGA decoder: any bytes give either a refusal with a reason, or an image of
// exactly the size and channels it says.

#include "FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TovarToolkit::DecodedImage image;
    std::string reason;
    const bool ok = TovarToolkit::DecodeTGA(data, size, image, reason, kFuzzMaxPixels);
    CheckDecoded(ok, image, reason);
    if (ok && (image.width > 65535 || image.height > 65535 || image.palette))
        std::abort();
    return 0;
}
