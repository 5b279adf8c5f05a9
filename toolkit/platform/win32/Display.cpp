// The display's refresh rate and the swap interval, on Windows: the settings
// of the display the window is on, and the WGL extension that sets the
// interval where the driver has it.

#include "toolkit/platform/Platform.h"

namespace TovarPlatform {

int DisplayRefreshRate()
{
    // The display under the window of the current context, which on a PC
    // with several need not be the primary one.
    HDC dc = wglGetCurrentDC();
    HWND window = dc ? WindowFromDC(dc) : nullptr;
    if (!window)
        return 0;
    MONITORINFOEXA monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return 0;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode))
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

bool ShowsPauseNotice() { return false; }

} // namespace TovarPlatform
