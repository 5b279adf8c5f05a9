// Judges what the game wrote through SDL's disk audio driver (raw 16-bit
// mono at the mixer's rate): whether it is silent, and whether a sound file
// is heard in it, as the best match of that sound at any point of the output.
//
//   sound_heard <output.raw> [<sound.wav>]
// prints "silent" or "loud", then, with a sound, "match <0..1>".

#include "toolkit/File.h"
#include "toolkit/Mixer.h"
#include "toolkit/Wave.h"

#include <cmath>
#include <cstdio>
#include <vector>

using namespace TovarToolkit;

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::vector<unsigned char> raw;
    std::string reason;
    if (!ReadWholeFile(argv[1], raw, &reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return 1;
    }
    std::vector<double> out(raw.size() / 2);
    bool silent = true;
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::int16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
        silent = silent && out[i] == 0;
    }
    std::printf("%s\n", silent ? "silent" : "loud");
    if (argc < 3)
        return 0;

    std::vector<unsigned char> bytes;
    DecodedSound sound;
    if (!ReadWholeFile(argv[2], bytes, &reason) || !DecodeWAV(bytes.data(), bytes.size(), sound, reason) ||
        !ResampleSound(sound, TovarMixer::kDefaultRate)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return 1;
    }
    // Normalised correlation: 1 where the output is the sound alone.
    const std::vector<std::int16_t>& t = sound.samples;
    double tt = 0.0;
    for (std::int16_t v : t)
        tt += double(v) * v;
    double best = 0.0;
    for (std::size_t at = 0; at + t.size() <= out.size(); ++at) {
        double xt = 0.0, xx = 0.0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            xt += out[at + i] * t[i];
            xx += out[at + i] * out[at + i];
        }
        if (xx > 0.0 && tt > 0.0)
            best = std::fmax(best, xt / std::sqrt(xx * tt));
    }
    std::printf("match %.3f\n", best);
    return 0;
}
