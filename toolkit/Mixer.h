#pragma once

// The sound mixer: a fixed set of voices summed into one channel of signed
// 16-bit samples. It knows no device: a device pulls samples through Pull,
// and a test can do the same. The game thread starts sounds and the device's
// thread mixes them; the two meet only in a ring of requests and four
// atomics, so neither ever waits for the other, and mixing allocates nothing.
// Sounds are heard only while a device runs: one asked for before it starts,
// or after it stops, is dropped, so a device that starts late (a page's
// first click) begins with silence, not with every sound it missed.

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace TovarToolkit {

class TovarMixer {
public:
    static constexpr int kVoices = 8;
    static constexpr int kDefaultRate = 44100;

    explicit TovarMixer(int rate = kDefaultRate) : rate_(rate) {}
    TovarMixer(const TovarMixer&) = delete;
    TovarMixer& operator=(const TovarMixer&) = delete;

    // Samples a second, as the sounds played must already be.
    int Rate() const { return rate_; }

    static constexpr unsigned kQueue = 64; // requests that can wait between two pulls

    // From one thread (the game's): starts `count` samples, which must stay
    // where they are until the mixer is no longer mixed. False, and the sound
    // is not heard, when no device runs or the ring of requests is full (a
    // burst of more than kQueue sounds between two pulls).
    bool Play(const std::int16_t* samples, std::size_t count);

    // While muted the output is silence, and what plays goes on unheard.
    void SetMuted(bool muted) { muted_.store(muted, std::memory_order_relaxed); }
    bool Muted() const { return muted_.load(std::memory_order_relaxed); }

    // From one thread (the device's): the next `count` samples. Sounds
    // started since the last call begin at out[0]; with every voice busy, the
    // one that started first gives way. The sum saturates at the 16-bit limits.
    // The first call after a stop is the device starting: it begins empty.
    void Mix(std::int16_t* out, std::size_t count);
    // From the device's thread: it stopped. Requests are dropped until it
    // mixes again.
    void Stop() { running_.store(false, std::memory_order_release); }

    // The shape an audio device pulls through (TovarPlatform::OpenAudio),
    // `mixer` being the mixer: samples into `out`, or, with `out` null, the
    // word that the device stopped.
    static void Pull(void* mixer, std::int16_t* out, std::size_t count);

    // Voices sounding now (seen from the mixing thread).
    int ActiveVoices() const;

private:
    // The ring's counters wrap at 2^32, which a power of two divides.
    static_assert((kQueue & (kQueue - 1)) == 0, "the ring's size is a power of two");
    struct Request {
        const std::int16_t* samples;
        std::size_t count;
    };
    struct Voice {
        const std::int16_t* samples = nullptr;
        std::size_t count = 0;
        std::size_t position = 0;
        std::uint64_t order = 0; // when it started, in requests taken
    };

    void Start(const Request& request);

    int rate_;
    Request queue_[kQueue] = {};
    std::atomic<unsigned> written_{0}; // requests put in, by the game thread
    std::atomic<unsigned> read_{0};    // requests taken out, by the mixing thread
    std::atomic<bool> muted_{false};
    std::atomic<bool> running_{false}; // a device pulls; set and cleared by the device's thread
    Voice voices_[kVoices];
    std::uint64_t started_ = 0;
};

} // namespace TovarToolkit
