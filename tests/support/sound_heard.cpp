// Judges what the game wrote through SDL's disk audio driver (raw 16-bit
// mono at the mixer's rate): "silent" or "loud", then, given a sound file,
// "match <0..1>": how well that sound alone explains the output where it
// fits best (normalised correlation; 1 where it sounds by itself).
//
//   sound_heard <output.raw> [<sound.wav>]

#include "toolkit/File.h"
#include "toolkit/Mixer.h"
#include "toolkit/Wave.h"

#include <cmath>
#include <cstdio>

using namespace TovarToolkit;

int main(int argc, char** argv)
{
    std::vector<unsigned char> raw, bytes;
    std::string reason;
    DecodedSound sound;
    if (argc < 2 || !ReadWholeFile(argv[1], raw, &reason) ||
        (argc > 2 && (!ReadWholeFile(argv[2], bytes, &reason) || !DecodeWAV(bytes.data(), bytes.size(), sound, reason) ||
                      !ResampleSound(sound, TovarMixer::kDefaultRate)))) {
        std::fprintf(stderr, "sound_heard: %s\n", reason.c_str());
        return 1;
    }
    std::vector<double> out(raw.size() / 2);
    bool silent = true;
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<std::int16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
        silent = silent && out[i] == 0;
    }
    std::printf("%s\n", silent ? "silent" : "loud");
    const std::vector<std::int16_t>& t = sound.samples;
    if (t.empty())
        return 0;
    double tt = 0.0, best = 0.0;
    for (std::int16_t v : t)
        tt += double(v) * v;
    for (std::size_t at = 0; at + t.size() <= out.size(); ++at) {
        double xt = 0.0, xx = 0.0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            xt += out[at + i] * t[i];
            xx += out[at + i] * out[at + i];
        }
        if (xx > 0.0)
            best = std::fmax(best, xt / std::sqrt(xx * tt));
    }
    std::printf("match %.3f\n", best);
    return 0;
}
