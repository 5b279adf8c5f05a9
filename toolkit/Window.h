#pragma once

// The program's one window: creation with a double-buffered GL context and
// the 45-degree projection, resizing, and the key and mouse state the game
// polls. One window per program (the global TW); full screen changes the
// display mode for as long as the window lives.

#include "toolkit/platform/Platform.h"

namespace TovarToolkit {

// The program's one top-level window, its GL context, and the input state the
// game polls once per frame. WindowProc writes the state as messages arrive.
class TovarWindow {
public:
    HGLRC hRC;
    HINSTANCE hInstance;
    bool Key[256];     // by virtual-key code, true while held
    bool Active;       // false while minimised
    bool FullScreen;
    bool lmouse;
    bool rmouse;
    float maxperspective; // far clipping distance
    bool Minimised;       // as the last activation or size message said
    bool Focus;           // the window has the keyboard focus
    bool HadFocus;        // it has had the focus at some time

    // constexpr: the global window is ready before any other global object.
    constexpr TovarWindow()
        : hRC(nullptr), hInstance(nullptr), Key{}, Active(false), FullScreen(false), lmouse(false),
          rmouse(false), maxperspective(100.0f), Minimised(false), Focus(false), HadFocus(false)
    {
    }

    // The player has left the window: it is minimised, or it has lost the
    // focus it had. A window that never had the focus is not away (a bare
    // display without a window manager may give it none).
    bool Away() const { return Minimised || (HadFocus && !Focus); }

    bool Create(const char* title, int width, int height, int bits);
    void ReSize(int w, int h);
    void Destroy();

    bool CheckKey(int key) const;
    // Both return whether the key was down before the call.
    bool KeyUp(int key);
    bool KeyDown(int key);
};

extern TovarWindow TW;
extern HWND hwnd;
extern HDC hdc;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

} // namespace TovarToolkit
