// The millisecond count the animation clock reads. Windows' GetTickCount
// advances in steps of 10 to 16 ms, which makes interpolated models move in
// visible jerks at 60 frames a second; the performance counter gives whole
// milliseconds. Counted from the first call, wrapping after 2^32 ms like
// GetTickCount.

#include "toolkit/platform/Platform.h"

#include <mmsystem.h>

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

namespace {

// Time since the first call in units per second, or false without a counter.
bool Elapsed(unsigned long long perSecond, unsigned long long& out)
{
    static const Counter counter;
    if (counter.frequency.QuadPart <= 0)
        return false;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const unsigned long long elapsed = static_cast<unsigned long long>(now.QuadPart - counter.start.QuadPart);
    const unsigned long long f = static_cast<unsigned long long>(counter.frequency.QuadPart);
    // Whole seconds and the rest apart, so that elapsed * perSecond cannot overflow.
    out = elapsed / f * perSecond + elapsed % f * perSecond / f;
    return true;
}

} // namespace

DWORD TickCount()
{
    unsigned long long ms;
    if (!Elapsed(1000u, ms))
        return GetTickCount();
    return static_cast<DWORD>(ms); // keeps the low 32 bits: the wrap of GetTickCount
}

long long SteadyMicroseconds()
{
    unsigned long long us;
    if (!Elapsed(1000000u, us))
        return static_cast<long long>(GetTickCount64()) * 1000;
    return static_cast<long long>(us);
}

void SleepMicroseconds(long long micro)
{
    // The system timer ticks every 15.6 ms unless asked for 1 ms; the request
    // holds until the process ends.
    static const bool fineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)fineTimer;
    if (micro > 0)
        Sleep(static_cast<DWORD>((micro + 999) / 1000));
}

} // namespace TovarPlatform
