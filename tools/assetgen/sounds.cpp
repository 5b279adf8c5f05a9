// The game's seven sounds, synthesised: oscillators, noise and envelopes,
// each normalised to a peak well below full scale so that none clips, and
// a few may sound together before the mixer has to saturate.

#include "tools/assetgen/assetgen.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace AssetGen {

namespace {

const int kRate = 22050;
const double kPi = 3.14159265358979323846;

// A sine from + - * / only (no library sine, whose last bits vary between
// machines): a parabola refined once, within 0.1 % of the true curve.
double Sine(double phase)
{
    double x = phase - static_cast<double>(static_cast<long long>(phase)); // 0 <= x < 1 for phase >= 0
    x = x * 2.0 * kPi;
    if (x > kPi)
        x -= 2.0 * kPi;
    const double ax = x < 0 ? -x : x;
    double y = 4.0 / kPi * x - 4.0 / (kPi * kPi) * x * ax;
    const double ay = y < 0 ? -y : y;
    return 0.225 * (y * ay - y) + y;
}

double Square(double phase)
{
    double x = phase - static_cast<double>(static_cast<long long>(phase));
    return x < 0.5 ? 1.0 : -1.0;
}

// White noise from a fixed integer generator, in [-1, 1).
struct Noise {
    std::uint32_t state;
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
};

// Rises over `attack` seconds, then falls by half every `half` seconds.
struct Envelope {
    double attack, half;
    double level = 1.0, fall = 1.0;
    Envelope(double a, double h) : attack(a), half(h)
    {
        // 2^(-1 / samples) by its series, to stay within + - * /; the step
        // x is below 0.1, where four terms are exact to far below a sample.
        const double x = 0.69314718055994531 / (half * kRate);
        fall = 1.0 - x + x * x / 2.0 - x * x * x / 6.0 + x * x * x * x / 24.0;
    }
    double At(int i)
    {
        const double t = static_cast<double>(i) / kRate;
        if (t < attack)
            return t / attack;
        level *= fall;
        return level;
    }
};

using Samples = std::vector<double>;

Samples Make(double seconds) { return Samples(static_cast<std::size_t>(seconds * kRate)); }

// A tone whose frequency glides from f0 to f1 over the sound.
template <typename Wave>
void Glide(Samples& s, Wave wave, double f0, double f1, double gain, Envelope env)
{
    double phase = 0.0;
    const double n = static_cast<double>(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        s[i] += gain * env.At(static_cast<int>(i)) * wave(phase);
        phase += (f0 + (f1 - f0) * (static_cast<double>(i) / n)) / kRate;
    }
}

// Noise through a one-pole low-pass: `smooth` near 1 keeps only the rumble.
void Hiss(Samples& s, std::uint32_t seed, double smooth, double gain, Envelope env)
{
    Noise noise{seed};
    double y = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        y += (1.0 - smooth) * (noise.Next() - y);
        s[i] += gain * env.At(static_cast<int>(i)) * y;
    }
}

// Notes one after another, each with its own decay.
void Notes(Samples& s, const double* freqs, int count, double each, double half)
{
    const std::size_t length = static_cast<std::size_t>(each * kRate);
    for (int n = 0; n < count; ++n) {
        Envelope env(0.005, half);
        double phase = 0.0;
        for (std::size_t i = 0; i < length && n * length + i < s.size(); ++i) {
            const double e = env.At(static_cast<int>(i));
            s[n * length + i] += e * (0.7 * Sine(phase) + 0.3 * Sine(2.0 * phase));
            phase += freqs[n] / kRate;
        }
    }
}

// Scaled to the given peak (a fraction of full scale), ends faded out over
// the last 5 ms so that no sound stops with a click, as 16-bit samples.
std::vector<std::int16_t> Finish(Samples s, double peak)
{
    const std::size_t fade = kRate / 200;
    for (std::size_t i = 0; i < fade && i < s.size(); ++i)
        s[s.size() - 1 - i] *= static_cast<double>(i) / fade;
    double top = 0.0;
    for (double v : s)
        top = v > top ? v : (-v > top ? -v : top);
    const double scale = top > 0.0 ? peak * 32767.0 / top : 0.0;
    std::vector<std::int16_t> out(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double v = s[i] * scale;
        out[i] = static_cast<std::int16_t>(v < 0 ? v - 0.5 : v + 0.5);
    }
    return out;
}

bool WriteWav(const std::string& file, const std::vector<std::int16_t>& samples)
{
    std::vector<unsigned char> b;
    const auto u32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    const auto u16 = [&b](unsigned v) {
        b.push_back(static_cast<unsigned char>(v));
        b.push_back(static_cast<unsigned char>(v >> 8));
    };
    const std::uint32_t bytes = static_cast<std::uint32_t>(samples.size() * 2);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    u32(36 + bytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    u32(16);
    u16(1); // PCM
    u16(1); // one channel
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    u32(bytes);
    for (std::int16_t v : samples)
        u16(static_cast<std::uint16_t>(v));

    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && written;
}

// A sharp crack falling in pitch: the player's gun.
Samples PlayerShot()
{
    Samples s = Make(0.11);
    Hiss(s, 11, 0.3, 0.8, Envelope(0.001, 0.012));
    Glide(s, Square, 900.0, 180.0, 0.35, Envelope(0.001, 0.02));
    return s;
}

// A lower zap rising in pitch: an enemy's shot, told apart from ours.
Samples EnemyShot()
{
    Samples s = Make(0.2);
    Glide(s, Sine, 320.0, 1100.0, 0.8, Envelope(0.004, 0.05));
    Glide(s, Square, 160.0, 550.0, 0.15, Envelope(0.004, 0.04));
    return s;
}

// A short dull thud: a bullet going into a creature.
Samples CreatureHit()
{
    Samples s = Make(0.09);
    Glide(s, Sine, 190.0, 90.0, 1.0, Envelope(0.002, 0.025));
    Hiss(s, 23, 0.85, 0.6, Envelope(0.001, 0.008));
    return s;
}

// A long falling groan and a rumble: a creature going down.
Samples CreatureFalls()
{
    Samples s = Make(0.55);
    Glide(s, Square, 220.0, 55.0, 0.3, Envelope(0.01, 0.15));
    Glide(s, Sine, 110.0, 40.0, 0.7, Envelope(0.01, 0.2));
    Hiss(s, 37, 0.97, 1.5, Envelope(0.05, 0.12));
    return s;
}

// Three rising notes: a new wave arrives.
Samples NewWave()
{
    Samples s = Make(0.66);
    const double notes[] = {440.0, 554.37, 659.26};
    Notes(s, notes, 3, 0.22, 0.08);
    return s;
}

// A harsh low buzz: the player is hit.
Samples PlayerHit()
{
    Samples s = Make(0.2);
    Glide(s, Square, 130.0, 95.0, 0.5, Envelope(0.002, 0.05));
    Hiss(s, 41, 0.5, 0.5, Envelope(0.002, 0.04));
    return s;
}

// Three falling notes, slow to fade: the game is over.
Samples GameOver()
{
    Samples s = Make(1.35);
    const double notes[] = {392.0, 311.13, 196.0};
    Notes(s, notes, 3, 0.45, 0.18);
    return s;
}

} // namespace

bool GenerateSounds(const std::string& outdir)
{
    struct Sound {
        const char* file;
        Samples (*make)();
        double peak;
    };
    const Sound sounds[] = {
        {"PlayerShot.wav", PlayerShot, 0.5},   {"EnemyShot.wav", EnemyShot, 0.45},
        {"CreatureHit.wav", CreatureHit, 0.5}, {"CreatureFalls.wav", CreatureFalls, 0.55},
        {"NewWave.wav", NewWave, 0.4},         {"PlayerHit.wav", PlayerHit, 0.5},
        {"GameOver.wav", GameOver, 0.45},
    };
    const std::string dir = JoinPath(outdir, "Sounds");
    if (!MakeDirectories(dir))
        return false;
    for (const Sound& sound : sounds)
        if (!WriteWav(JoinPath(dir, sound.file), Finish(sound.make(), sound.peak)))
            return false;
    return true;
}

} // namespace AssetGen
