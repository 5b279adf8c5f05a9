// The WAV reader (what it takes, what it refuses and why), the change of
// rate, the mixer's sums, saturation and stealing, and the game's own sounds.

#include "toolkit/File.h"
#include "toolkit/Mixer.h"
#include "toolkit/Wave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace TovarToolkit;

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& b, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A WAV file with the given format fields and sample bytes; `extra` goes
// between the format and the samples.
Bytes Wav(unsigned format, unsigned channels, std::uint32_t rate, unsigned bits, const Bytes& samples,
          const Bytes& extra = {}, int blockAlign = -1)
{
    Bytes b = {'R', 'I', 'F', 'F'};
    Put(b, static_cast<std::uint32_t>(36 + extra.size() + samples.size()), 4);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0});
    Put(b, format, 2);
    Put(b, channels, 2);
    Put(b, rate, 4);
    Put(b, rate * channels * bits / 8, 4);
    Put(b, blockAlign >= 0 ? unsigned(blockAlign) : channels * bits / 8, 2);
    Put(b, bits, 2);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Put(b, static_cast<std::uint32_t>(samples.size()), 4);
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

Bytes S16(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        Put(b, static_cast<std::uint32_t>(v), 2);
    return b;
}

std::vector<int> Ints(const std::int16_t* s, std::size_t n) { return std::vector<int>(s, s + n); }

} // namespace

TEST(Wave, AcceptedAndRefusedFiles)
{
    Bytes odd = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0}; // odd length, padded
    Bytes cut = Wav(1, 1, 8000, 16, S16({100, 200, 300}));
    cut.pop_back(); // the last sample half there: two whole ones are kept
    struct Case {
        const char* what;
        Bytes file;
        int rate;                    // 0: refused
        std::vector<int> samples;    // when accepted
        const char* reason;          // when refused: a part of the reason
    } cases[] = {
        {"16-bit mono", Wav(1, 1, 22050, 16, S16({0, 32767, -32768, -5})), 22050, {0, 32767, -32768, -5}, ""},
        {"16-bit stereo, averaged", Wav(1, 2, 44100, 16, S16({100, 300, -32768, -32768})), 44100, {200, -32768}, ""},
        {"8-bit mono", Wav(1, 1, 8000, 8, {0, 128, 255}), 8000, {-32768, 0, 32512}, ""},
        {"8-bit stereo", Wav(1, 2, 48000, 8, {0, 255, 128, 130}), 48000, {-128, 256}, ""},
        {"a chunk before the samples", Wav(1, 1, 11025, 16, S16({7}), odd), 11025, {7}, ""},
        {"samples cut short", cut, 8000, {100, 200}, ""},
        {"empty", {}, 0, {}, "not a WAV file"},
        {"another RIFF", [] { Bytes b = Wav(1, 1, 8000, 16, S16({1})); b[8] = 'A'; return b; }(), 0, {}, "not a WAV file"},
        {"compressed", Wav(2, 1, 22050, 16, S16({1})), 0, {}, "format 2; only PCM"},
        {"float", Wav(3, 1, 22050, 32, S16({1, 2})), 0, {}, "format 3"},
        {"three channels", Wav(1, 3, 22050, 16, S16({1, 2, 3})), 0, {}, "3 channels"},
        {"24 bits", Wav(1, 1, 22050, 24, {1, 2, 3}), 0, {}, "24 bits"},
        {"too slow", Wav(1, 1, 7999, 16, S16({1})), 0, {}, "7999 Hz"},
        {"too fast", Wav(1, 1, 48001, 16, S16({1})), 0, {}, "48001 Hz"},
        {"frames mis-sized", Wav(1, 2, 22050, 16, S16({1, 2}), {}, 2), 0, {}, "said to be 2 bytes"},
        {"no samples", Wav(1, 1, 22050, 16, {}), 0, {}, "no samples"},
        {"no data chunk", [] { Bytes b = Wav(1, 1, 8000, 16, {}); b.resize(36); return b; }(), 0, {}, "no \"data\""},
        {"no format", [] { Bytes b = Wav(1, 1, 8000, 16, {}); b.resize(12); return b; }(), 0, {}, "no \"fmt \""},
        {"format too short", [] { Bytes b = Wav(1, 1, 8000, 16, S16({1})); b[16] = 8; return b; }(), 0, {}, "fewer than the 16"},
        {"cut inside the format", [] { Bytes b = Wav(1, 1, 8000, 16, {}); b.resize(30); return b; }(), 0, {}, "ends inside its format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DecodedSound sound;
        sound.rate = 1;
        std::string reason = "stale";
        const bool ok = DecodeWAV(c.file.data(), c.file.size(), sound, reason);
        if (c.rate) {
            ASSERT_TRUE(ok) << reason;
            EXPECT_EQ(reason, "");
            EXPECT_EQ(sound.rate, c.rate);
            EXPECT_EQ(Ints(sound.samples.data(), sound.samples.size()), c.samples);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
            EXPECT_TRUE(sound.rate == 0 && sound.samples.empty());
        }
    }
}

TEST(Wave, ResamplingInterpolatesBetweenSamples)
{
    DecodedSound up{22050, {0, 1000, -1000, 3}};
    ASSERT_TRUE(ResampleSound(up, 44100));
    EXPECT_EQ(up.rate, 44100);
    EXPECT_EQ(Ints(up.samples.data(), up.samples.size()), (std::vector<int>{0, 500, 1000, 0, -1000, -499, 3}));

    DecodedSound down{48000, {0, 300, 600, 900, 1200, 1500, 1800}};
    ASSERT_TRUE(ResampleSound(down, 32000)); // 2 out for every 3 in
    EXPECT_EQ(Ints(down.samples.data(), down.samples.size()), (std::vector<int>{0, 450, 900, 1350, 1800}));

    DecodedSound same{44100, {5, -5}};
    EXPECT_TRUE(ResampleSound(same, 44100) && same.samples.size() == 2u);
    EXPECT_FALSE(ResampleSound(same, 0));
}

TEST(Mixer, SumsVoicesAndSaturates)
{
    TovarMixer mixer;
    const std::int16_t a[] = {1000, -2000, 30000, -30000, 7};
    const std::int16_t b[] = {500, 500, 30000, -30000};
    std::int16_t out[6] = {1, 1, 1, 1, 1, 1};
    mixer.Mix(out, 6);
    EXPECT_EQ(Ints(out, 6), std::vector<int>(6, 0)) << "silence with nothing playing";

    ASSERT_TRUE(mixer.Play(a, 5));
    ASSERT_TRUE(mixer.Play(b, 4));
    mixer.Mix(out, 3);
    EXPECT_EQ(Ints(out, 3), (std::vector<int>{1500, -1500, 32767}));
    EXPECT_EQ(mixer.ActiveVoices(), 2);
    mixer.Mix(out, 3); // voices go on where they stopped, then end
    EXPECT_EQ(Ints(out, 3), (std::vector<int>{-32768, 7, 0}));
    EXPECT_EQ(mixer.ActiveVoices(), 0);

    // Muted: silence, while the sound runs on unheard.
    mixer.SetMuted(true);
    ASSERT_TRUE(mixer.Play(a, 5));
    mixer.Mix(out, 2);
    EXPECT_EQ(Ints(out, 2), (std::vector<int>{0, 0}));
    mixer.SetMuted(false);
    mixer.Mix(out, 3);
    EXPECT_EQ(Ints(out, 3), (std::vector<int>{30000, -30000, 7}));
}

TEST(Mixer, TheOldestVoiceGivesWay)
{
    TovarMixer mixer;
    // Sound k is the constant 1 << k (k < 9): the sum tells which are heard.
    std::vector<std::vector<std::int16_t>> sounds;
    for (int k = 0; k <= TovarMixer::kVoices; ++k)
        sounds.emplace_back(100, static_cast<std::int16_t>(1 << k));
    std::int16_t out[1];
    mixer.Mix(out, 0); // the device starts
    for (int k = 0; k < TovarMixer::kVoices; ++k)
        ASSERT_TRUE(mixer.Play(sounds[k].data(), sounds[k].size()));
    mixer.Mix(out, 1);
    EXPECT_EQ(out[0], (1 << TovarMixer::kVoices) - 1);
    ASSERT_TRUE(mixer.Play(sounds.back().data(), sounds.back().size()));
    mixer.Mix(out, 1);
    EXPECT_EQ(out[0], (1 << (TovarMixer::kVoices + 1)) - 1 - 1) << "sound 0 gave way to the newest";
    EXPECT_EQ(mixer.ActiveVoices(), TovarMixer::kVoices);

    // A burst larger than the ring between two pulls: the ring holds 64,
    // and a 65th would overwrite a request the device may be reading.
    int taken = 0;
    for (int i = 0; i < 1000; ++i)
        taken += mixer.Play(sounds[0].data(), 1) ? 1 : 0;
    EXPECT_EQ(taken, 64);
    mixer.Mix(out, 1);
    EXPECT_EQ(out[0], TovarMixer::kVoices) << "the last eight started, each 1";
    EXPECT_TRUE(mixer.Play(sounds[0].data(), 1)) << "room again once pulled";
}

TEST(Mixer, OnlyARunningDeviceTakesRequestsAndItStartsEmpty)
{
    TovarMixer mixer;
    const std::int16_t a[] = {100, 200, 300, 400}, b[] = {7, 7, 7, 7};
    std::int16_t out[2];
    // Before the device runs (a page not yet clicked): dropped, however many.
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(mixer.Play(a, 4));
    TovarMixer::Pull(&mixer, out, 2); // the device starts: nothing stale
    EXPECT_EQ(Ints(out, 2), (std::vector<int>{0, 0}));
    ASSERT_TRUE(mixer.Play(a, 4));
    TovarMixer::Pull(&mixer, out, 2);
    EXPECT_EQ(Ints(out, 2), (std::vector<int>{100, 200}));

    ASSERT_TRUE(mixer.Play(b, 4)); // asked for, not yet pulled
    TovarMixer::Pull(&mixer, nullptr, 0); // the device stops mid-sound
    EXPECT_FALSE(mixer.Play(b, 4));
    TovarMixer::Pull(&mixer, out, 2); // and restarts empty: neither the rest of a nor b
    EXPECT_EQ(Ints(out, 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(mixer.ActiveVoices(), 0);
}

TEST(Wave, TheGameSoundsAreShortAndUnclipped)
{
    for (const char* name : {"PlayerShot", "EnemyShot", "CreatureHit", "CreatureFalls", "NewWave", "PlayerHit", "GameOver"}) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> bytes;
        const std::string file = std::string(QUELLIN_SOURCE_DIR) + "/data/Sounds/" + name + ".wav";
        ASSERT_TRUE(ReadWholeFile(file.c_str(), bytes));
        DecodedSound sound;
        std::string reason;
        ASSERT_TRUE(DecodeWAV(bytes.data(), bytes.size(), sound, reason)) << reason;
        EXPECT_LE(sound.samples.size(), std::size_t(sound.rate) * 3 / 2) << "longer than 1.5 s";
        int peak = 0;
        for (std::int16_t v : sound.samples)
            peak = std::max(peak, v < 0 ? -int(v) : int(v));
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32767 * 6 / 10) << "room left for a few to sound together";
    }
}
