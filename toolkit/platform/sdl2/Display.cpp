// The display's refresh rate and the swap interval, on SDL2.

#include "toolkit/platform/sdl2/Internal.h"

namespace TovarPlatform {

int DisplayRefreshRate()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return 0;
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    if (display < 0)
        return 0;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(display, &mode) != 0)
        return 0;
    return mode.refresh_rate > 0 ? mode.refresh_rate : 0; // SDL gives 0 for "unknown"
}

bool SetSwapInterval(int interval)
{
    if (!SDL_GL_GetCurrentContext())
        return false;
    return SDL_GL_SetSwapInterval(interval) == 0;
}

bool ShowsPauseNotice() { return false; }

} // namespace TovarPlatform
