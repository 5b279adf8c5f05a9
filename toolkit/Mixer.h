#pragma once

// The sound mixer: a fixed set of voices summed into one channel of signed
// 16-bit samples. It knows no device: a backend's audio callback asks it
// for samples, and a test can do the same. The game thread starts sounds and
// the callback mixes them; the two meet only in a ring of requests and
// three atomics, so neither ever waits for the other, and mixing allocates nothing.

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

    // From one thread (the game's): starts `count` samples, which must stay
    // where they are until the mixer is no longer mixed. False when the ring
    // of requests is full (a burst of more than kQueue sounds between two
    // callbacks); the sound is then not heard.
    bool Play(const std::int16_t* samples, std::size_t count);

    // While muted the output is silence, and what plays goes on unheard.
    void SetMuted(bool muted) { muted_.store(muted, std::memory_order_relaxed); }
    bool Muted() const { return muted_.load(std::memory_order_relaxed); }

    // From one thread (the audio callback's): the next `count` samples. Sounds
    // started since the last call begin at out[0]; with every voice busy, the
    // one that started first gives way. The sum saturates at the 16-bit limits.
    void Mix(std::int16_t* out, std::size_t count);

    // Voices sounding now (seen from the mixing thread).
    int ActiveVoices() const;

private:
    static constexpr unsigned kQueue = 64;
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
    Voice voices_[kVoices];
    std::uint64_t started_ = 0;
};

} // namespace TovarToolkit
