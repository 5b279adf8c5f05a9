#pragma once

// Handle types of the SDL2 backend, shared by its units. Nothing outside
// toolkit/platform/sdl2/ includes this.

#include "toolkit/platform/common/DeviceContext.h"

#include <SDL.h>

struct HWND__ {
    SDL_Window* sdl = nullptr;
    WNDPROC proc = nullptr;
    HDC__ dc;
};

struct HGLRC__ {
    SDL_GLContext context = nullptr;
    HWND window = nullptr;
};

namespace TovarSdl {

// Our window behind an SDL window id; null when it is not one of ours.
HWND FindWindow(Uint32 windowID);
// Keeps the cursor position that GetCursorPos reports in step with the mouse.
void CursorMoved(const SDL_MouseMotionEvent& motion);
// Called when the last window closes: relative mouse mode ends with it.
void ResetCursor();

} // namespace TovarSdl
