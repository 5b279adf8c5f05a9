#pragma once

// Handle types of the SDL2 backend, shared by its units. Nothing outside
// toolkit/platform/sdl2/ includes this.

#include "toolkit/platform/common/DeviceContext.h"
#include "toolkit/platform/common/HeldInput.h"

#include <SDL.h>

struct HWND__ {
    SDL_Window* sdl = nullptr;
    WNDPROC proc = nullptr;
    HDC__ dc;
    SDL_Rect windowed = {0, 0, 0, 0}; // the size and place before desktop full screen
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
// Moves the virtual cursor by that much while it steers the view, as mouse
// motion would; a shown cursor stays where the mouse put it.
void MoveCursor(int dx, int dy);

// The one record of who holds each key and the left button: the keyboard,
// the mouse and the pads press and release through it.
TovarCommon::HeldInput& HeldKeys();

// Pads are opened with the first window and closed with the last; without
// SDL's game controller part there are none, and no error.
void StartPads();
void StopPads();
// A pad plugged in or out.
void PadPlugged(const SDL_ControllerDeviceEvent& event);
// Reads every pad and posts what changed to our window that has the focus.
void PollPads();

// Alt+Enter and F11: desktop full screen on the window's display, and back
// to the size and place it had.
void ToggleFullScreen(HWND window);

} // namespace TovarSdl
