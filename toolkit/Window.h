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

    // constexpr: the global window is ready before any other global object.
    constexpr TovarWindow()
        : hRC(nullptr), hInstance(nullptr), Key{}, Active(false), FullScreen(false), lmouse(false),
          rmouse(false), maxperspective(100.0f)
    {
    }

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
