// WAV decoder: any bytes give either a refusal with a reason and no samples,
// or samples at a rate we play; changing their rate keeps them in bounds.

#include "toolkit/Wave.h"

#include <cstdint>
#include <cstdlib>

using namespace TovarToolkit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DecodedSound sound;
    std::string reason;
    if (!DecodeWAV(data, size, sound, reason)) {
        if (reason.empty() || sound.rate != 0 || !sound.samples.empty())
            std::abort();
        return 0;
    }
    if (sound.rate < kMinSoundRate || sound.rate > kMaxSoundRate || sound.samples.empty() ||
        static_cast<std::int64_t>(sound.samples.size()) > kMaxSoundFrames || !reason.empty())
        std::abort();
    // The input's length picks the output rate, so both directions are tried.
    const int rate = size % 2 ? 44100 : 11025;
    const std::int64_t before = static_cast<std::int64_t>(sound.samples.size());
    const std::int64_t from = sound.rate;
    if (!ResampleSound(sound, rate) || sound.rate != rate ||
        static_cast<std::int64_t>(sound.samples.size()) != (before - 1) * rate / from + 1)
        std::abort();
    return 0;
}
