#include "toolkit/platform/Platform.h"

#include <chrono>

namespace {
const auto g_start = std::chrono::steady_clock::now();
}

DWORD GetTickCount()
{
    auto elapsed = std::chrono::steady_clock::now() - g_start;
    // Unsigned arithmetic wraps after 2^32 ms, as the callers expect.
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}
