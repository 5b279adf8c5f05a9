#pragma once

// Sound files, decoded from bytes in memory, and the change of rate the mixer
// needs. Nothing here touches a file, a device or the clock: the game reads
// the file, and the fuzz target feeds bytes straight in.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace TovarToolkit {

const int kMinSoundRate = 8000;
const int kMaxSoundRate = 48000;
// Longer sounds are refused: a game's sounds last seconds, not minutes.
const std::int64_t kMaxSoundFrames = std::int64_t(kMaxSoundRate) * 60;

// One channel of signed 16-bit samples at `rate` samples a second.
struct DecodedSound {
    int rate = 0;
    std::vector<std::int16_t> samples;
};

// RIFF WAVE with PCM samples: 8 bits (unsigned) or 16 bits (signed), one or
// two channels (two are averaged into one), 8000 to 48000 Hz. Either fills
// `sound` and returns true, or returns false, says why in `reason` (a
// sentence without the file's name) and leaves `sound` empty.
bool DecodeWAV(const unsigned char* data, std::size_t size, DecodedSound& sound, std::string& reason);

// `sound` at `rate` samples a second, by linear interpolation; the same
// samples when the rates agree. False (and `sound` unchanged) for a rate
// outside 8000 to 192000 Hz.
bool ResampleSound(DecodedSound& sound, int rate);

} // namespace TovarToolkit
