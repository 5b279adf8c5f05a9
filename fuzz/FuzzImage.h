#pragma once

// What every image decoder promises, checked after each input: a refusal
// leaves no image and gives a reason; a decoded image has a size in range,
// 3 or 4 channels and a pixel array as long as that says (every byte is read,
// so the address sanitizer reports a shorter one). Anything else aborts.

#include "toolkit/Image.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// Larger images are refused while fuzzing: a few bytes of run-length data
// may describe a picture of a gigabyte, which is slow but not wrong.
const std::int64_t kFuzzMaxPixels = std::int64_t(1) << 22;

inline volatile unsigned g_fuzzSink;

inline void CheckDecoded(bool ok, const TovarToolkit::DecodedImage& image, const std::string& reason)
{
    if (!ok) {
        if (image.pixels || image.palette || reason.empty())
            std::abort();
        return;
    }
    const std::int64_t w = image.width, h = image.height;
    if (!image.pixels || w <= 0 || h <= 0 || w * h > kFuzzMaxPixels || (image.channels != 3 && image.channels != 4))
        std::abort();
    unsigned sum = 0;
    for (std::int64_t i = 0; i < w * h * image.channels; ++i)
        sum += image.pixels[i];
    if (image.palette)
        for (int i = 0; i < 768; ++i)
            sum += image.palette[i];
    g_fuzzSink = sum;
}
