// The display's refresh rate and the swap interval, on Windows: the display
// settings, and the WGL extension that sets the interval where the driver
// has it.

#include "toolkit/platform/Platform.h"

namespace TovarPlatform {

int DisplayRefreshRate()
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode))
        return 0;
    // 0 and 1 stand for "the hardware's default", which says nothing.
    return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency) : 0;
}

bool SetSwapInterval(int interval)
{
    typedef BOOL(WINAPI * SwapIntervalProc)(int);
    if (!wglGetCurrentContext())
        return false;
    PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
    if (!proc)
        return false;
    SwapIntervalProc swapInterval = reinterpret_cast<SwapIntervalProc>(reinterpret_cast<void (*)()>(proc));
    return swapInterval(interval) != FALSE;
}

} // namespace TovarPlatform
