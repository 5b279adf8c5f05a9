// The cursor. While it is hidden the mouse steers the view, so the layer
// switches SDL to relative mode and keeps a virtual cursor: it reads as the
// point last set plus the motion since. That works wherever the window
// manager puts the window, and under Wayland, where no program may move the
// real pointer.
//
// Cursor coordinates are those of a screen whose top-left corner is the
// window's: the window stands at (0, 0), as the game asks when it creates it.
// When the mouse takes over the view, the cursor starts where the program
// last put it (the first time: the middle of the window, focused or not), so
// the view does not jump when it is hidden again. Where relative mode cannot
// be had the cursor is only hidden, and shown again by hand.

#include "toolkit/platform/sdl2/Internal.h"

namespace {

bool g_visible = true;
bool g_known = false; // false until the position was first read or set
POINT g_cursor = {0, 0};
bool g_everSet = false;
POINT g_lastSet = {0, 0};

bool g_fallbackHidden = false; // hidden by SDL_ShowCursor, relative mode refused

SDL_Window* FocusWindow()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    SDL_Window* window = SDL_GetMouseFocus();
    return window ? window : SDL_GetKeyboardFocus();
}

// The window the mouse steers: the focused one, or, before any window has
// the focus, the one the game draws into.
SDL_Window* SteeredWindow()
{
    SDL_Window* window = FocusWindow();
    if (!window && SDL_WasInit(SDL_INIT_VIDEO))
        window = SDL_GL_GetCurrentWindow();
    return window;
}

void ReadRealCursor()
{
    int x = 0, y = 0;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_GetMouseState(&x, &y);
    g_cursor.x = x;
    g_cursor.y = y;
    g_known = true;
}

void PlaceForSteering()
{
    if (g_everSet) {
        g_cursor = g_lastSet;
        g_known = true;
        return;
    }
    SDL_Window* window = SteeredWindow();
    if (!window)
        return;
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    g_cursor.x = w / 2;
    g_cursor.y = h / 2;
    g_known = true;
}

} // namespace

namespace TovarSdl {

void CursorMoved(const SDL_MouseMotionEvent& motion)
{
    if (!g_known)
        ReadRealCursor();
    if (g_visible) {
        g_cursor.x = motion.x;
        g_cursor.y = motion.y;
    } else {
        g_cursor.x += motion.xrel;
        g_cursor.y += motion.yrel;
    }
}

void MoveCursor(int dx, int dy)
{
    if (g_visible)
        return;
    g_cursor.x += dx;
    g_cursor.y += dy;
}

void ResetCursor()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_SetRelativeMouseMode(SDL_FALSE);
        if (g_fallbackHidden)
            SDL_ShowCursor(SDL_ENABLE);
    }
    g_fallbackHidden = false;
    g_visible = true;
}

} // namespace TovarSdl

int ShowCursor(BOOL bShow)
{
    bool visible = bShow != FALSE;
    if (visible != g_visible) {
        g_visible = visible;
        if (!visible)
            PlaceForSteering();
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            if (visible) {
                SDL_SetRelativeMouseMode(SDL_FALSE);
                // Turning relative mode off succeeds even where it was never
                // on; a cursor the fallback hid must be shown by hand.
                if (g_fallbackHidden)
                    SDL_ShowCursor(SDL_ENABLE);
                g_fallbackHidden = false;
            } else if (SDL_SetRelativeMouseMode(SDL_TRUE) != 0) {
                SDL_ShowCursor(SDL_DISABLE); // no relative mode: at least hide it
                g_fallbackHidden = true;
            }
        }
    }
    return g_visible ? 0 : -1;
}

BOOL GetCursorPos(POINT* lpPoint)
{
    if (!lpPoint)
        return FALSE;
    if (!g_known)
        ReadRealCursor();
    *lpPoint = g_cursor;
    return TRUE;
}

BOOL SetCursorPos(int X, int Y)
{
    g_cursor.x = X;
    g_cursor.y = Y;
    g_known = true;
    g_lastSet = g_cursor;
    g_everSet = true;
    if (g_visible) {
        if (SDL_Window* window = FocusWindow())
            SDL_WarpMouseInWindow(window, X, Y);
    }
    return TRUE;
}

namespace TovarPlatform {

void SetCursorVisible(bool visible) { ShowCursor(visible ? TRUE : FALSE); }

bool IsCursorVisible() { return g_visible; }

} // namespace TovarPlatform
