// The millisecond count of systems without Windows' own: the steady clock,
// counted from program start, in whole milliseconds.

#include "toolkit/platform/Platform.h"

#include <chrono>
#include <thread>

namespace {
const auto g_start = std::chrono::steady_clock::now();
}

namespace TovarPlatform {

DWORD TickCount()
{
    auto elapsed = std::chrono::steady_clock::now() - g_start;
    // Unsigned arithmetic wraps after 2^32 ms, as the callers expect.
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

long long SteadyMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - g_start)
        .count();
}

void SleepMicroseconds(long long micro)
{
    if (micro > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(micro));
}

} // namespace TovarPlatform

DWORD GetTickCount() { return TovarPlatform::TickCount(); }
