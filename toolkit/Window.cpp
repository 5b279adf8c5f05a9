#include "toolkit/Window.h"

#include "toolkit/platform/GL.h"

namespace TovarToolkit {

TovarWindow TW;
HWND hwnd = nullptr;
HDC hdc = nullptr;

namespace {

const char kClassName[] = "OpenGL";

// Shared by every Create; its colour bits come from the first window made.
PIXELFORMATDESCRIPTOR pfd = {
    40, 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, PFD_TYPE_RGBA,
    0, // colour bits: set once, below
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    16, // depth buffer
    0, 0, PFD_MAIN_PLANE, 0, 0, 0, 0};
bool pfdBitsSet = false;

bool InRange(int key) { return key >= 0 && key < 256; }

} // namespace

bool TovarWindow::Create(const char* title, int width, int height, int bits)
{
    RECT WindowRect = {0, 0, width, height};
    hInstance = GetModuleHandleA(nullptr);

    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return false;

    DWORD dwExStyle, dwStyle;
    if (FullScreen) {
        DEVMODEA dmScreenSettings = {};
        dmScreenSettings.dmSize = sizeof(dmScreenSettings);
        dmScreenSettings.dmPelsWidth = width;
        dmScreenSettings.dmPelsHeight = height;
        dmScreenSettings.dmBitsPerPel = bits;
        dmScreenSettings.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
        if (ChangeDisplaySettingsA(&dmScreenSettings, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
            return false;
        TovarPlatform::SetCursorVisible(false);
        dwExStyle = WS_EX_APPWINDOW;
        dwStyle = WS_POPUP;
    } else {
        dwExStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        dwStyle = WS_OVERLAPPEDWINDOW;
    }

    AdjustWindowRectEx(&WindowRect, dwStyle, FALSE, dwExStyle);

    hwnd = CreateWindowExA(dwExStyle, kClassName, title, dwStyle | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                           WindowRect.right - WindowRect.left, WindowRect.bottom - WindowRect.top, nullptr,
                           nullptr, hInstance, nullptr);
    if (!hwnd) {
        Destroy();
        return false;
    }
    TovarPlatform::AttachInput(hwnd);

    if (!pfdBitsSet) {
        pfd.cColorBits = static_cast<BYTE>(bits);
        pfdBitsSet = true;
    }

    hdc = GetDC(hwnd);
    int PixelFormat = hdc ? ChoosePixelFormat(hdc, &pfd) : 0;
    if (!PixelFormat || !SetPixelFormat(hdc, PixelFormat, &pfd)) {
        Destroy();
        return false;
    }
    hRC = wglCreateContext(hdc);
    if (!hRC || !wglMakeCurrent(hdc, hRC)) {
        Destroy();
        return false;
    }

    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    ReSize(width, height);
    return true;
}

void TovarWindow::ReSize(int w, int h)
{
    if (h == 0)
        h = 1;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, (GLdouble)w / (GLdouble)h, 0.1f, maxperspective);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void TovarWindow::Destroy()
{
    if (FullScreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        TovarPlatform::SetCursorVisible(true);
    }
    if (hRC) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(hRC);
        hRC = nullptr;
    }
    if (hdc) {
        ReleaseDC(hwnd, hdc);
        hdc = nullptr;
    }
    if (hwnd) {
        DestroyWindow(hwnd);
        hwnd = nullptr;
    }
    UnregisterClassA(kClassName, hInstance);
}

bool TovarWindow::CheckKey(int key) const { return InRange(key) && Key[key]; }

bool TovarWindow::KeyUp(int key)
{
    if (!InRange(key))
        return false;
    bool was = Key[key];
    Key[key] = false;
    return was;
}

bool TovarWindow::KeyDown(int key)
{
    if (!InRange(key))
        return false;
    bool was = Key[key];
    Key[key] = true;
    return was;
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_ACTIVATE:
        TW.Active = HIWORD(wParam) == 0;
        TW.Minimised = HIWORD(wParam) != 0;
        TW.Focus = LOWORD(wParam) != WA_INACTIVE;
        TW.HadFocus = TW.HadFocus || TW.Focus;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam < 256)
            TW.Key[wParam] = true;
        return 0;
    case WM_KEYUP:
        if (wParam < 256)
            TW.Key[wParam] = false;
        return 0;
    case WM_LBUTTONDOWN:
        TW.lmouse = true;
        break;
    case WM_LBUTTONUP:
        TW.lmouse = false;
        break;
    case WM_RBUTTONDOWN:
        TW.rmouse = true;
        break;
    case WM_RBUTTONUP:
        TW.rmouse = false;
        break;
    case WM_SIZE:
        // Windows activates a minimised window before it restores it: the
        // restore says that it is minimised no more.
        if (wParam == SIZE_MINIMIZED)
            TW.Minimised = true;
        else if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
            TW.Minimised = false;
        // A size change can arrive before the context exists; the projection
        // is then set by Create itself.
        if (TW.hRC)
            TW.ReSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

} // namespace TovarToolkit
