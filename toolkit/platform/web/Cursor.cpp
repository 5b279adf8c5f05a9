// The cursor. A page cannot hide the cursor and read the mouse past the
// canvas's edges except through the pointer lock, and a browser grants that
// only inside a click, so hiding the cursor here means: the next click on
// the canvas takes the lock. While locked the layer keeps a virtual cursor,
// the point last set plus the motion since, as the SDL2 backend does in
// relative mode. While the game wants the cursor hidden but the pointer is
// free (before the first click, after Escape), the cursor stays put, and the
// game waits for the player to click back in (Play.cpp). A finger on the
// look half moves the same virtual cursor.

#include "toolkit/platform/web/Internal.h"

#include <emscripten.h>

namespace {

bool g_visible = true;
bool g_locked = false;
double g_unlockedAt = -1e9; // ms, when the lock last ended
POINT g_cursor = {0, 0};
bool g_everSet = false;
POINT g_lastSet = {0, 0};

// A browser frees the pointer on Escape before or after handing the key to
// the page, depending on the browser: a press this soon after the lock ended
// is the one that ended it.
const double kEscapeGraceMs = 250.0;

void PlaceForSteering()
{
    if (g_everSet) {
        g_cursor = g_lastSet;
        return;
    }
    if (HWND window = TovarWeb::CurrentWindow()) {
        g_cursor.x = window->width / 2;
        g_cursor.y = window->height / 2;
    }
}

EM_BOOL OnPointerLockChange(int, const EmscriptenPointerlockChangeEvent* event, void*)
{
    bool locked = event->isActive != 0;
    if (g_locked && !locked)
        g_unlockedAt = emscripten_get_now();
    g_locked = locked;
    if (locked)
        PlaceForSteering();
    TovarWeb::PointerLockChanged(locked, !g_visible);
    return EM_FALSE;
}

} // namespace

namespace TovarWeb {

void CursorMoved(long x, long y, long dx, long dy)
{
    if (g_locked) {
        g_cursor.x += dx;
        g_cursor.y += dy;
    } else if (g_visible) {
        g_cursor.x = x;
        g_cursor.y = y;
    }
}

bool PointerLocked() { return g_locked; }

void TurnBy(long dx, long dy)
{
    if (!g_visible) {
        g_cursor.x += dx;
        g_cursor.y += dy;
    }
}

bool EscapeReleasesPointer()
{
    if (g_locked) {
        // Where the browser leaves it to the page (headless ones do), the
        // layer frees the pointer itself.
        emscripten_exit_pointerlock();
        return true;
    }
    return emscripten_get_now() - g_unlockedAt < kEscapeGraceMs;
}

bool RequestPointerLock()
{
    return !g_visible && !g_locked &&
           emscripten_request_pointerlock(TOVAR_WEB_CANVAS, EM_FALSE) == EMSCRIPTEN_RESULT_SUCCESS;
}

void ListenForPointerLock(bool on)
{
    emscripten_set_pointerlockchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                              on ? OnPointerLockChange : nullptr);
}

void ResetCursor()
{
    if (g_locked)
        emscripten_exit_pointerlock();
    g_locked = false;
    g_visible = true;
}

} // namespace TovarWeb

int ShowCursor(BOOL bShow)
{
    bool visible = bShow != FALSE;
    if (visible != g_visible) {
        g_visible = visible;
        if (visible) {
            if (g_locked)
                emscripten_exit_pointerlock();
        } else {
            PlaceForSteering();
        }
        TovarWeb::CursorChanged(visible, g_locked);
    }
    return g_visible ? 0 : -1;
}

BOOL GetCursorPos(POINT* lpPoint)
{
    if (!lpPoint)
        return FALSE;
    *lpPoint = g_cursor;
    return TRUE;
}

BOOL SetCursorPos(int X, int Y)
{
    g_cursor.x = X;
    g_cursor.y = Y;
    g_lastSet = g_cursor;
    g_everSet = true;
    return TRUE;
}

namespace TovarPlatform {

void SetCursorVisible(bool visible) { ShowCursor(visible ? TRUE : FALSE); }

bool IsCursorVisible() { return g_visible; }

} // namespace TovarPlatform
