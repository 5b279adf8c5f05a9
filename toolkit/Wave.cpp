#include "toolkit/Wave.h"

#include "toolkit/File.h"

#include <utility>

namespace TovarToolkit {

namespace {

bool Refuse(DecodedSound& sound, std::string& reason, std::string why)
{
    sound = DecodedSound();
    reason = std::move(why);
    return false;
}

std::string Num(std::int64_t v) { return std::to_string(v); }

bool Tag(const ByteReader& in, std::int64_t at, const char* tag)
{
    if (!in.Has(at, 4))
        return false;
    const unsigned char* p = in.At(at);
    return p[0] == tag[0] && p[1] == tag[1] && p[2] == tag[2] && p[3] == tag[3];
}

} // namespace

bool DecodeWAV(const unsigned char* data, std::size_t size, DecodedSound& sound, std::string& reason)
{
    const ByteReader in(data, size);
    if (!Tag(in, 0, "RIFF") || !Tag(in, 8, "WAVE"))
        return Refuse(sound, reason, "it is not a WAV file (it does not begin with \"RIFF\" and \"WAVE\")");

    // Chunks follow one another, each padded to an even length; the format
    // must come before the samples. A RIFF size that overstates the file is
    // common in the wild, so the end is the file's own.
    bool haveFormat = false;
    unsigned channels = 0, bits = 0, blockAlign = 0;
    std::uint32_t rate = 0;
    std::int64_t at = 12;
    while (true) {
        if (!in.Has(at, 8))
            return Refuse(sound, reason,
                          haveFormat ? "the file ends before its samples (no \"data\" chunk)"
                                     : "the file ends before its format (no \"fmt \" chunk)");
        const std::int64_t length = in.U32(at + 4);
        const std::int64_t body = at + 8;
        if (Tag(in, at, "fmt ")) {
            if (length < 16)
                return Refuse(sound, reason, "its format chunk is " + Num(length) + " bytes, fewer than the 16 it needs");
            if (!in.Has(body, 16))
                return Refuse(sound, reason, "it ends inside its format chunk");
            const unsigned tag = in.U16(body);
            channels = in.U16(body + 2);
            rate = in.U32(body + 4);
            blockAlign = in.U16(body + 12);
            bits = in.U16(body + 14);
            // The extensible format names its true type in a GUID whose first
            // two bytes are the plain format tag.
            const unsigned type = tag == 0xFFFE && length >= 40 && in.Has(body, 26) ? in.U16(body + 24) : tag;
            if (type != 1)
                return Refuse(sound, reason, "its samples are of format " + Num(type) + "; only PCM (1) can be read");
            if (channels != 1 && channels != 2)
                return Refuse(sound, reason, "it has " + Num(channels) + " channels; only 1 or 2 can be read");
            if (bits != 8 && bits != 16)
                return Refuse(sound, reason, "its samples have " + Num(bits) + " bits; only 8 or 16 can be read");
            if (rate < std::uint32_t(kMinSoundRate) || rate > std::uint32_t(kMaxSoundRate))
                return Refuse(sound, reason,
                              "its rate of " + Num(rate) + " Hz is not one we read (" + Num(kMinSoundRate) + " to " +
                                  Num(kMaxSoundRate) + " Hz)");
            if (blockAlign != channels * bits / 8)
                return Refuse(sound, reason,
                              "its frames are said to be " + Num(blockAlign) + " bytes, not the " +
                                  Num(channels * bits / 8) + " its channels and bits make");
            haveFormat = true;
        } else if (Tag(in, at, "data")) {
            if (!haveFormat)
                return Refuse(sound, reason, "its samples come before its format");
            // A stream cut short keeps the whole frames it has.
            const std::int64_t available = in.Size() - body;
            const std::int64_t bytes = length < available ? length : available;
            const std::int64_t frames = bytes / blockAlign;
            if (frames == 0)
                return Refuse(sound, reason, "it holds no samples");
            if (frames > kMaxSoundFrames)
                return Refuse(sound, reason,
                              "it holds " + Num(frames) + " frames, more than the " + Num(kMaxSoundFrames) +
                                  " we read (a minute at 48000 Hz)");
            DecodedSound out;
            out.rate = static_cast<int>(rate);
            out.samples.resize(static_cast<std::size_t>(frames)); // at most a few megabytes
            for (std::int64_t i = 0; i < frames; ++i) {
                std::int32_t sum = 0;
                for (unsigned c = 0; c < channels; ++c) {
                    const std::int64_t o = body + i * blockAlign + c * (bits / 8);
                    sum += bits == 8 ? (std::int32_t(in.U8(o)) - 128) * 256 : std::int32_t(in.S16(o));
                }
                out.samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(sum / std::int32_t(channels));
            }
            sound = std::move(out);
            reason.clear();
            return true;
        }
        at = body + length + (length & 1);
    }
}

bool ResampleSound(DecodedSound& sound, int rate)
{
    if (rate < kMinSoundRate || rate > 4 * kMaxSoundRate || sound.rate <= 0)
        return false;
    if (rate == sound.rate || sound.samples.empty()) {
        sound.rate = rate;
        return true;
    }
    const std::int64_t from = sound.rate;
    const std::int64_t count = static_cast<std::int64_t>(sound.samples.size());
    // The last output sample lies on or before the last input one.
    const std::int64_t outCount = ((count - 1) * rate) / from + 1;
    std::vector<std::int16_t> out(static_cast<std::size_t>(outCount));
    for (std::int64_t i = 0; i < outCount; ++i) {
        // Position i * from / rate in input samples, exactly, as a whole part
        // and a remainder over `rate`.
        const std::int64_t num = i * from;
        const std::int64_t whole = num / rate;
        const std::int64_t part = num % rate;
        const std::int64_t a = sound.samples[static_cast<std::size_t>(whole)];
        const std::int64_t b = whole + 1 < count ? sound.samples[static_cast<std::size_t>(whole + 1)] : a;
        const std::int64_t scaled = a * rate + (b - a) * part;
        // Rounded to nearest, halves away from zero.
        const std::int64_t v = scaled >= 0 ? (scaled + rate / 2) / rate : -((-scaled + rate / 2) / rate);
        out[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(v);
    }
    sound.samples = std::move(out);
    sound.rate = rate;
    return true;
}

} // namespace TovarToolkit
