#pragma once

// The platform services the toolkit and the game call, and nothing else.
// They carry the Win32 names, types and numbering, so that the window
// procedure and the main loop read the same on every platform: on Windows
// they are the system's own; elsewhere a backend in toolkit/platform/<name>/
// provides them (SDL2 on Linux).

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else

#include <cstdint>

// ---- Types ----------------------------------------------------------------

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef unsigned int UINT;
typedef long LONG;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef WORD ATOM;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* HGDIOBJ;

typedef struct HWND__* HWND;
typedef struct HDC__* HDC;
typedef struct HGLRC__* HGLRC;
typedef struct HFONT__* HFONT;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HICON__* HICON;
typedef struct HICON__* HCURSOR;
typedef struct HBRUSH__* HBRUSH;
typedef struct HMENU__* HMENU;
typedef HINSTANCE HMODULE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x, y;
};

struct RECT {
    LONG left, top, right, bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    BYTE cAlphaBits, cAlphaShift;
    BYTE cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};

// Only the fields a display-mode change needs.
struct DEVMODEA {
    WORD dmSize;
    DWORD dmFields;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
};

struct POINTFLOAT {
    float x, y;
};

struct GLYPHMETRICSFLOAT {
    float gmfBlackBoxX;
    float gmfBlackBoxY;
    POINTFLOAT gmfptGlyphOrigin;
    float gmfCellIncX;
    float gmfCellIncY;
};
typedef GLYPHMETRICSFLOAT* LPGLYPHMETRICSFLOAT;

// ---- Numbers --------------------------------------------------------------

#define LOWORD(l) ((WORD)(((std::uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((std::uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)(((WORD)(lo)) | (((DWORD)(WORD)(hi)) << 16)))
#define MAKEWPARAM(lo, hi) ((WPARAM)(DWORD)(((WORD)(lo)) | (((DWORD)(WORD)(hi)) << 16)))

#define WM_NULL 0x0000
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_PAINT 0x000F // Windows' only: part of the window to be drawn again
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCOMMAND 0x0112
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2

#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2

#define SC_SCREENSAVE 0xF140
#define SC_MONITORPOWER 0xF170

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_NUMPAD0 0x60
#define VK_F1 0x70
#define VK_F11 0x7A
#define VK_F12 0x7B

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_APPWINDOW 0x00040000L

#define SW_SHOW 5

#define IDI_WINLOGO ((LPCSTR)32517)
#define IDC_ARROW ((LPCSTR)32512)

#define PFD_TYPE_RGBA 0
#define PFD_MAIN_PLANE 0
#define PFD_DOUBLEBUFFER 0x00000001
#define PFD_DRAW_TO_WINDOW 0x00000004
#define PFD_SUPPORT_OPENGL 0x00000020

#define DM_BITSPERPEL 0x00040000L
#define DM_PELSWIDTH 0x00080000L
#define DM_PELSHEIGHT 0x00100000L
#define CDS_FULLSCREEN 0x00000004
#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_FAILED (-1)

#define FW_BOLD 700
#define ANSI_CHARSET 0
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FF_DONTCARE (0 << 4)
#define WGL_FONT_LINES 0
#define WGL_FONT_POLYGONS 1

// ---- Window class and window ----------------------------------------------

HMODULE GetModuleHandleA(LPCSTR lpModuleName);
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
ATOM RegisterClassA(const WNDCLASSA* lpWndClass);
BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);
// There is no frame around our windows: the window rectangle is the client area.
BOOL AdjustWindowRectEx(RECT* lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle);
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                     int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     void* lpParam);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL SetForegroundWindow(HWND hWnd);
HWND SetFocus(HWND hWnd);
BOOL DestroyWindow(HWND hWnd);

// ---- Messages ---------------------------------------------------------------

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);

// ---- Display mode, GL context, buffer swap ---------------------------------

LONG ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD dwFlags);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
int ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* ppfd);
BOOL SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR* ppfd);
HGLRC wglCreateContext(HDC hdc);
BOOL wglMakeCurrent(HDC hdc, HGLRC hglrc);
BOOL wglDeleteContext(HGLRC hglrc);
BOOL SwapBuffers(HDC hdc);

// ---- Cursor -----------------------------------------------------------------

int ShowCursor(BOOL bShow);
BOOL GetCursorPos(POINT* lpPoint);
BOOL SetCursorPos(int X, int Y);

// ---- Outline font -----------------------------------------------------------

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                  DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                  LPCSTR pszFaceName);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
BOOL DeleteObject(HGDIOBJ ho);
BOOL wglUseFontOutlinesA(HDC hdc, DWORD first, DWORD count, DWORD listBase, float deviation,
                         float extrusion, int format, LPGLYPHMETRICSFLOAT lpgmf);

// ---- Clock ------------------------------------------------------------------

// Milliseconds since the platform layer started; wraps after 2^32.
DWORD GetTickCount();

#endif // _WIN32

// ---- What our own layer adds -------------------------------------------------

namespace TovarPlatform {

// The cursor is shown or hidden as a state rather than by the Win32 display
// count: hidden while the mouse steers the view, shown on the game-over
// screen, however many frames each lasted. Everything that shows or hides
// it goes through SetCursorVisible.
void SetCursorVisible(bool visible);
// Whether the cursor is shown now.
bool IsCursorVisible();

// Milliseconds since the platform layer started, in steps of 1 ms (Windows'
// own GetTickCount moves in steps of 10 to 16); wraps after 2^32.
DWORD TickCount();

// Microseconds on a clock that never goes back, for pacing frames.
long long SteadyMicroseconds();
// Sleeps about that long; on Windows with the system timer at 1 ms, so that
// a short wait does not last a whole 15.6 ms tick.
void SleepMicroseconds(long long micro);

// The refresh rate, in Hz, of the display that shows the window of the
// current GL context; 0 when it cannot be told.
int DisplayRefreshRate();
// Sets the swap interval of the current GL context: 0 presents at once, n
// waits for n refreshes. False where the driver refuses.
bool SetSwapInterval(int interval);
// Whether the platform itself tells the player that the game waits for
// them (a page's notice); where it does not, the game says "Paused" in its
// window.
bool ShowsPauseNotice();

// Where standard error goes now. None: nowhere a person reads it, as for a
// GUI program on Windows (no handle), or a desktop start on Linux (/dev/null,
// the session's journal socket), or a closed one.
enum class ErrorStream { Terminal, File, Pipe, None };
ErrorStream StandardErrorKind();
// A message box with one line of text, titled `title`; returns once the
// player has closed it. False where none could be shown.
bool ShowErrorBox(const char* title, const char* text);
// Puts the layer's own input in front of the window procedure: keys and the
// left button go through the one record of which device holds them, pads
// are read, and Alt+Enter and F11 toggle desktop full screen. Windows hands
// its messages straight to the window procedure, so the layer steps in
// there; the other backends make every message themselves and need nothing.
#ifdef _WIN32
void AttachInput(HWND window);
#else
inline void AttachInput(HWND) {}
#endif

// Makes the folder that holds the running program the working directory,
// where the platform's programs keep their data beside them (Windows). False
// where it does not (the Linux build's data is found through its launcher),
// or when it cannot.
bool ChangeToProgramFolder();

} // namespace TovarPlatform
