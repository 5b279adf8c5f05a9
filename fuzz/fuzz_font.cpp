// Baked font decoder: any bytes give either a refusal with a reason and no
// glyphs, or a font that encodes back to exactly those bytes (so every check
// the encoder makes held for what was read).

#include "toolkit/platform/common/BakedFont.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TovarToolkit::TovarBakedFont font;
    std::string reason;
    if (!TovarToolkit::DecodeBakedFont(data, size, "fuzz.font", font, reason)) {
        if (reason.compare(0, 11, "fuzz.font: ") != 0 || reason.size() <= 11 || !font.glyphs.empty())
            std::abort();
        return 0;
    }
    std::vector<unsigned char> again;
    if (!TovarToolkit::EncodeBakedFont(font, again, reason) || again.size() != size
        || std::memcmp(again.data(), data, size) != 0)
        std::abort();
    return 0;
}
