// Window class, window, display mode, GL context and buffer swap on SDL2.

#include "toolkit/platform/common/MessageQueue.h"
#include "toolkit/platform/sdl2/Internal.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<HWND> g_windows;

// A full-screen mode asked for by ChangeDisplaySettingsA and applied to the
// popup window created next, since SDL changes modes per window.
bool g_fullscreenPending = false;
DEVMODEA g_fullscreenMode = {};

// Drivers that draw where nobody sees it; SDL falls back to them when it
// cannot reach the display.
bool DrawsOffScreen(const char* driver)
{
    return driver && (std::string(driver) == "offscreen" || std::string(driver) == "dummy");
}

bool EnsureVideo()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    // Closing our window posts WM_CLOSE; the game decides when to quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Keep a Ctrl+C in the terminal working as a close request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
    // A window nobody can see is a failure, not a window: an off-screen
    // driver is taken only when asked for by name. A busy display that
    // refused the connection is asked again, briefly.
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    std::string fallback;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!DrawsOffScreen(driver) || DrawsOffScreen(asked))
            return true;
        fallback = driver;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Delay(100);
    }
    std::fprintf(stderr, "No display could be opened (is DISPLAY set?); SDL_VIDEODRIVER=%s runs without one.\n",
                 fallback.c_str());
    return false;
}

void ApplyGLAttributes(const PIXELFORMATDESCRIPTOR& pfd)
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (pfd.dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, pfd.cDepthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, pfd.cStencilBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, pfd.cAlphaBits);
    // 16 colour bits or more: at least 5-6-5; the display gives what it has.
    int channel = pfd.cColorBits >= 24 ? 8 : 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel == 5 ? 6 : channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    // No profile asked for: a compatibility context that takes OpenGL 1.1 calls.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
}

} // namespace

namespace TovarSdl {

HWND FindWindow(Uint32 windowID)
{
    SDL_Window* sdl = SDL_GetWindowFromID(windowID);
    for (HWND w : g_windows)
        if (w->sdl == sdl)
            return w;
    return nullptr;
}

void ToggleFullScreen(HWND window)
{
    const Uint32 flags = SDL_GetWindowFlags(window->sdl);
    // A window made full screen by a change of display mode stays so.
    if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN)
        return;
    // The size messages that follow set the projection.
    if (!(flags & SDL_WINDOW_FULLSCREEN)) {
        SDL_GetWindowPosition(window->sdl, &window->windowed.x, &window->windowed.y);
        SDL_GetWindowSize(window->sdl, &window->windowed.w, &window->windowed.h);
        SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    // On X11 the window manager does the work, and puts the window back
    // itself; where none runs, nobody does, and SDL would keep the size of
    // the screen for a window that never grew. Setting the old size and
    // place again costs nothing where it was done already.
    SDL_SetWindowFullscreen(window->sdl, 0);
    SDL_SetWindowSize(window->sdl, window->windowed.w, window->windowed.h);
    SDL_SetWindowPosition(window->sdl, window->windowed.x, window->windowed.y);
}

} // namespace TovarSdl

HWND CreateWindowExA(DWORD, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND, HMENU, HINSTANCE, void*)
{
    WNDPROC proc = TovarCommon::ClassProcedure(lpClassName);
    if (!proc || nWidth <= 0 || nHeight <= 0)
        return nullptr;
    if (!EnsureVideo())
        return nullptr;

    // The visual is chosen when the window is made, so the pixel format the
    // caller sets afterwards is fixed here: double-buffered RGBA with depth.
    PIXELFORMATDESCRIPTOR standard = {};
    standard.dwFlags = PFD_DOUBLEBUFFER;
    standard.cColorBits = 24;
    standard.cDepthBits = 16;
    ApplyGLAttributes(standard);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (dwStyle & WS_POPUP)
        flags |= SDL_WINDOW_BORDERLESS;
    if (dwStyle & WS_THICKFRAME)
        flags |= SDL_WINDOW_RESIZABLE;
    bool fullscreen = (dwStyle & WS_POPUP) && g_fullscreenPending;
    if (fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN;

    SDL_Window* sdl = SDL_CreateWindow(lpWindowName ? lpWindowName : "", X, Y, nWidth, nHeight, flags);
    if (!sdl)
        return nullptr;
    if (fullscreen) {
        SDL_DisplayMode mode = {};
        mode.w = (int)g_fullscreenMode.dmPelsWidth;
        mode.h = (int)g_fullscreenMode.dmPelsHeight;
        SDL_SetWindowDisplayMode(sdl, &mode);
    }

    HWND window = new HWND__;
    window->sdl = sdl;
    window->proc = proc;
    window->dc.window = window;
    g_windows.push_back(window);
    TovarSdl::StartPads();
    return window;
}

BOOL ShowWindow(HWND hWnd, int)
{
    if (!hWnd)
        return FALSE;
    SDL_ShowWindow(hWnd->sdl);
    return TRUE;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    if (!hWnd)
        return FALSE;
    SDL_RaiseWindow(hWnd->sdl);
    return TRUE;
}

HWND SetFocus(HWND hWnd)
{
    if (hWnd)
        SDL_SetWindowInputFocus(hWnd->sdl); // a window manager may refuse; that is fine
    return nullptr;
}

BOOL DestroyWindow(HWND hWnd)
{
    auto it = std::find(g_windows.begin(), g_windows.end(), hWnd);
    if (it == g_windows.end())
        return FALSE;
    g_windows.erase(it);
    TovarCommon::Forget(hWnd);
    SDL_DestroyWindow(hWnd->sdl);
    delete hWnd;
    if (g_windows.empty()) {
        TovarSdl::StopPads();
        TovarSdl::ResetCursor();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD dwFlags)
{
    if (!lpDevMode) {
        g_fullscreenPending = false;
        for (HWND w : g_windows)
            SDL_SetWindowFullscreen(w->sdl, 0);
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!(dwFlags & CDS_FULLSCREEN) || !EnsureVideo())
        return DISP_CHANGE_FAILED;
    SDL_DisplayMode want = {};
    want.w = (int)lpDevMode->dmPelsWidth;
    want.h = (int)lpDevMode->dmPelsHeight;
    SDL_DisplayMode got;
    if (!SDL_GetClosestDisplayMode(0, &want, &got) || got.w != want.w || got.h != want.h)
        return DISP_CHANGE_FAILED;
    g_fullscreenMode = *lpDevMode;
    g_fullscreenPending = true;
    return DISP_CHANGE_SUCCESSFUL;
}

HDC GetDC(HWND hWnd) { return hWnd ? &hWnd->dc : nullptr; }

int ReleaseDC(HWND hWnd, HDC hDC) { return hWnd && hDC == &hWnd->dc ? 1 : 0; }

HGLRC wglCreateContext(HDC hdc)
{
    if (!hdc || hdc->pixelFormat == 0)
        return nullptr;
    ApplyGLAttributes(hdc->pfd);
    SDL_GLContext context = SDL_GL_CreateContext(hdc->window->sdl);
    if (!context)
        return nullptr;
    HGLRC rc = new HGLRC__;
    rc->context = context;
    rc->window = hdc->window;
    return rc;
}

BOOL wglMakeCurrent(HDC hdc, HGLRC hglrc)
{
    if (!hglrc)
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0 ? TRUE : FALSE;
    if (!hdc || SDL_GL_MakeCurrent(hdc->window->sdl, hglrc->context) != 0)
        return FALSE;
    // Present at the display's rate where it can; where it cannot, run free.
    SDL_GL_SetSwapInterval(1);
    return TRUE;
}

BOOL wglDeleteContext(HGLRC hglrc)
{
    if (!hglrc)
        return FALSE;
    SDL_GL_DeleteContext(hglrc->context);
    delete hglrc;
    return TRUE;
}

BOOL SwapBuffers(HDC hdc)
{
    if (!hdc)
        return FALSE;
    SDL_GL_SwapWindow(hdc->window->sdl);
    return TRUE;
}
