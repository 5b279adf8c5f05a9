// The millisecond count the animation clock reads. Windows' GetTickCount
// advances in steps of 10 to 16 ms, which makes interpolated models move in
// visible jerks at 60 frames a second; the performance counter gives whole
// milliseconds. Counted from the first call, wrapping after 2^32 ms like
// GetTickCount.

#include "toolkit/platform/Platform.h"

namespace {

struct Counter {
    LARGE_INTEGER frequency = {};
    LARGE_INTEGER start = {};
    Counter()
    {
        // Never fails on Windows XP and later; a zero frequency is still guarded.
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
    }
};

} // namespace

namespace TovarPlatform {

DWORD TickCount()
{
    static const Counter counter;
    if (counter.frequency.QuadPart <= 0)
        return GetTickCount();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const unsigned long long elapsed = static_cast<unsigned long long>(now.QuadPart - counter.start.QuadPart);
    const unsigned long long f = static_cast<unsigned long long>(counter.frequency.QuadPart);
    // Whole seconds and the rest apart, so that elapsed * 1000 cannot overflow.
    const unsigned long long ms = elapsed / f * 1000u + elapsed % f * 1000u / f;
    return static_cast<DWORD>(ms); // keeps the low 32 bits: the wrap of GetTickCount
}

} // namespace TovarPlatform
