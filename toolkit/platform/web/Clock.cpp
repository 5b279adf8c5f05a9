// The clock and sleep in the browser: the page's high-resolution clock, and
// a sleep that hands the browser control, since a program that never does
// freezes the page.

#include "toolkit/platform/web/Internal.h"

#include <emscripten.h>

namespace {
const double g_startMs = emscripten_get_now();
}

namespace TovarPlatform {

DWORD TickCount()
{
    // Unsigned arithmetic wraps after 2^32 ms, as the callers expect.
    return static_cast<DWORD>(static_cast<unsigned long long>(emscripten_get_now() - g_startMs));
}

long long SteadyMicroseconds() { return static_cast<long long>((emscripten_get_now() - g_startMs) * 1000.0); }

void SleepMicroseconds(long long micro)
{
    // The browser's timers count whole milliseconds and may wake a few late;
    // a shorter wait is better spent here, in the caller's loop.
    if (micro >= 1000)
        emscripten_sleep(static_cast<unsigned>(micro / 1000));
}

} // namespace TovarPlatform

DWORD GetTickCount() { return TovarPlatform::TickCount(); }
