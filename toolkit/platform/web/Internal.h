#pragma once

// Handle types of the browser backend, shared by its units. Nothing outside
// toolkit/platform/web/ includes this.

#include "toolkit/platform/common/DeviceContext.h"
#include "toolkit/platform/common/HeldInput.h"

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
// While the game hides the cursor and the pointer is free, asks for the
// pointer lock (browsers grant it only inside a click or key press); true
// when the request went out.
bool RequestPointerLock();
// Motion that turns the view as a locked pointer's does (a finger on the
// look half), in canvas pixels; nothing while the game shows the cursor.
void TurnBy(long dx, long dy);
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

// Who holds each key and the left button, over every device of the page.
TovarCommon::HeldInput& Held();
// Posts the window's message for a press or release of `vk` (VK_LBUTTON for
// the left button) whose holders HeldInput has already been told of.
void PostInput(int vk, bool down);
// A press or release by `device`: posted when it changes what the window
// has been told.
void PressInput(unsigned device, int vk, bool down);
// A CSS-pixel point or motion on the canvas in canvas pixels: the page
// scales the canvas to fit the screen.
double CanvasScale();

// The fingers on the game and on the page's Fire and Restart buttons.
void ListenForTouch(bool on);
// Every finger lifts: the page lost the focus.
void LiftFingers();

// Reads the pads, a few times a frame at most, into held keys, the left
// button and the view's turn; a button's first press takes the player in.
void ReadPads();

// The player pressed something that starts or resumes play: a click or tap
// on the game, a key before the first click, a pad's button. Call it from
// inside the event's handler: only there does the browser grant the pointer
// lock and start sound. Until then, and once the player has left (Escape
// freed the pointer, the page was hidden), the game waits as it does
// behind a hidden tab, its last frame on show, and the page says how to go
// on.
void PlayPressed(unsigned device);
// Whether the player has ever come in: before that, any key starts.
bool PlayerEverCameIn();
// Whether the player is in the game now.
bool PlayerIn();
// The page was hidden or shown again.
void PageHidden(bool hidden);
// The page gained or lost the focus.
void PageFocused(bool focused);
// A frame was shown: the game waits only once it has one on show.
void FrameShown();
// The pointer lock came or went; `steering`: the game hides the cursor.
void PointerLockChanged(bool locked, bool steering);
// The game showed or hid the cursor.
void CursorChanged(bool visible, bool locked);
// Whether an Escape pressed now leaves full screen (or just did) rather
// than going to the game.
bool EscapeLeavesFullScreen();
// Starts and stops following full screen; starting takes the focus the
// page has now, of which no event will tell.
void ListenForPlay(bool on);

} // namespace TovarWeb

namespace TovarWeb {

// The swap interval SetSwapInterval chose: how many of the browser's frames
// SwapBuffers waits for (0: it only yields).
int SwapInterval();
// The display's refresh period in ms, once DisplayRefreshRate has timed it;
// 0 before.
double RefreshPeriodMs();

} // namespace TovarWeb
