#pragma once

// Handle types of the browser backend, shared by its units. Nothing outside
// toolkit/platform/web/ includes this.

#include "toolkit/platform/common/DeviceContext.h"

#include <emscripten/html5.h>

// The one canvas of the page: the only window there can be.
#define TOVAR_WEB_CANVAS "#canvas"

struct HWND__ {
    WNDPROC proc = nullptr;
    HDC__ dc;
    int width = 0, height = 0;
};

struct HGLRC__ {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    HWND window = nullptr;
    bool instancing = false; // ANGLE_instanced_arrays is on
};

namespace TovarWeb {

// The window on the canvas; null while there is none.
HWND CurrentWindow();
// Starts and stops taking the page's key and mouse events.
void ListenForInput(bool on);
// Mouse motion on the canvas, in canvas pixels, and the motion since the last
// event, which is all a locked pointer reports.
void CursorMoved(long x, long y, long dx, long dy);
// Whether the pointer is locked to the canvas now.
bool PointerLocked();
// A left click on the canvas: while the game hides the cursor it asks for
// the pointer lock (browsers grant it only inside such an event).
void CanvasClicked();
// Whether an Escape pressed now goes to the browser to free the pointer
// (locked, or freed by this very press a moment ago) rather than to the game.
bool EscapeReleasesPointer();
// Starts and stops following the pointer lock.
void ListenForPointerLock(bool on);
// Called when the window goes: the pointer is given back.
void ResetCursor();
// Gives the browser control until its next animation frame: that is when
// the page is drawn and its events are delivered. Returns the frame's time,
// in ms, which the browser takes from the display's refresh.
double WaitForAnimationFrame();

} // namespace TovarWeb

namespace TovarWeb {

// The swap interval SetSwapInterval chose: how many of the browser's frames
// SwapBuffers waits for (0: it only yields).
int SwapInterval();
// The display's refresh period in ms, once DisplayRefreshRate has timed it;
// 0 before.
double RefreshPeriodMs();

} // namespace TovarWeb
