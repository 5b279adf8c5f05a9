#include "toolkit/Mixer.h"

#include <cstring>

namespace TovarToolkit {

bool TovarMixer::Play(const std::int16_t* samples, std::size_t count)
{
    if (!samples || count == 0 || !running_.load(std::memory_order_acquire))
        return false;
    const unsigned written = written_.load(std::memory_order_relaxed);
    if (written - read_.load(std::memory_order_acquire) >= kQueue)
        return false;
    queue_[written % kQueue] = Request{samples, count};
    written_.store(written + 1, std::memory_order_release);
    return true;
}

void TovarMixer::Start(const Request& request)
{
    Voice* chosen = nullptr;
    for (Voice& v : voices_) {
        if (!v.samples) {
            chosen = &v;
            break;
        }
        if (!chosen || v.order < chosen->order)
            chosen = &v;
    }
    chosen->samples = request.samples;
    chosen->count = request.count;
    chosen->position = 0;
    chosen->order = started_++;
}

void TovarMixer::Mix(std::int16_t* out, std::size_t count)
{
    const unsigned written = written_.load(std::memory_order_acquire);
    unsigned read = read_.load(std::memory_order_relaxed);
    if (!running_.load(std::memory_order_relaxed)) {
        // A device starts: whatever was asked for before is stale.
        read = written;
        for (Voice& v : voices_)
            v.samples = nullptr;
        running_.store(true, std::memory_order_release);
    }
    for (; read != written; ++read)
        Start(queue_[read % kQueue]);
    read_.store(read, std::memory_order_release);

    const bool muted = Muted();
    for (std::size_t i = 0; i < count; ++i) {
        std::int32_t sum = 0;
        for (Voice& v : voices_) {
            if (!v.samples)
                continue;
            sum += v.samples[v.position];
            if (++v.position == v.count)
                v.samples = nullptr;
        }
        if (sum > 32767)
            sum = 32767;
        if (sum < -32768)
            sum = -32768;
        out[i] = muted ? 0 : static_cast<std::int16_t>(sum);
    }
}

void TovarMixer::Pull(void* mixer, std::int16_t* out, std::size_t count)
{
    TovarMixer* m = static_cast<TovarMixer*>(mixer);
    if (out)
        m->Mix(out, count);
    else
        m->Stop();
}

int TovarMixer::ActiveVoices() const
{
    int n = 0;
    for (const Voice& v : voices_)
        n += v.samples ? 1 : 0;
    return n;
}

} // namespace TovarToolkit
