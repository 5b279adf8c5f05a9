// Windows hands keys and buttons straight to the window procedure, so the
// layer puts a procedure of its own in front of the toolkit's (a subclass of
// the one window) and sees every message first:
// - keys and the left button go through the one record of which device
//   holds them: every press reaches the window, a release only once no pad
//   still holds the key;
// - pads are read on a timer of the window's, through XInput loaded at run
//   time (xinput1_4.dll, else xinput9_1_0.dll; with neither there is no pad
//   and no error), and what they change is handed to the toolkit's window
//   procedure as key and button messages;
// - Alt+Enter and F11 toggle desktop full screen: a borderless popup over
//   the window's monitor, without a mode change, and back.

#include "toolkit/platform/win32/Input.h"

#include "toolkit/platform/common/Gamepad.h"

#include <algorithm>
#include <iterator>

namespace {

const UINT_PTR kPadTimer = 0x7051; // the toolkit sets no timers of its own
const UINT kPadPollMs = 8;         // Windows makes it its 10 ms floor
// Asking XInput about an empty slot is slow on some systems: a slot found
// empty is asked again only after this long, which is how soon a pad plugged
// in starts to play.
const long long kEmptySlotWaitMicro = 1000000;

HWND g_window = nullptr;
WNDPROC g_next = nullptr; // the toolkit's window procedure
TovarCommon::HeldInput g_held;
TovarCommon::PadMapping g_mapping;

bool g_loaded = false;
TovarWin32::XInputGetStateProc g_systemGetState = nullptr;
TovarWin32::XInputGetStateProc g_standIn = nullptr;
long long g_emptyUntil[XUSER_MAX_COUNT] = {};

bool g_fullScreen = false;
LONG g_style = 0, g_exStyle = 0;
WINDOWPLACEMENT g_placement = {};

TovarWin32::XInputGetStateProc GetState()
{
    if (g_standIn)
        return g_standIn;
    if (!g_loaded) {
        g_loaded = true;
        HMODULE xinput = LoadLibraryA("xinput1_4.dll");
        if (!xinput)
            xinput = LoadLibraryA("xinput9_1_0.dll");
        if (xinput)
            g_systemGetState = reinterpret_cast<TovarWin32::XInputGetStateProc>(
                reinterpret_cast<void (*)()>(GetProcAddress(xinput, "XInputGetState")));
    }
    return g_systemGetState;
}

float Thumb(SHORT value) { return std::max(-1.0f, static_cast<float>(value) / 32767.0f); }

TovarCommon::PadState Read(const XINPUT_GAMEPAD& pad)
{
    TovarCommon::PadState state;
    state.leftX = Thumb(pad.sThumbLX);
    state.leftY = Thumb(pad.sThumbLY); // XInput's y points forward already
    state.rightX = Thumb(pad.sThumbRX);
    state.rightY = Thumb(pad.sThumbRY);
    state.leftTrigger = static_cast<float>(pad.bLeftTrigger) / 255.0f;
    state.rightTrigger = static_cast<float>(pad.bRightTrigger) / 255.0f;
    const WORD b = pad.wButtons;
    state.a = (b & XINPUT_GAMEPAD_A) != 0;
    state.b = (b & XINPUT_GAMEPAD_B) != 0;
    state.x = (b & XINPUT_GAMEPAD_X) != 0;
    state.y = (b & XINPUT_GAMEPAD_Y) != 0;
    state.back = (b & XINPUT_GAMEPAD_BACK) != 0;
    state.start = (b & XINPUT_GAMEPAD_START) != 0;
    state.up = (b & XINPUT_GAMEPAD_DPAD_UP) != 0;
    state.down = (b & XINPUT_GAMEPAD_DPAD_DOWN) != 0;
    state.left = (b & XINPUT_GAMEPAD_DPAD_LEFT) != 0;
    state.right = (b & XINPUT_GAMEPAD_DPAD_RIGHT) != 0;
    return state;
}

// Every pad plugged in, as one. XInput reads pads whichever window has the
// focus: while ours has not, they hold nothing.
TovarCommon::PadState ReadPads(HWND window, long long now)
{
    TovarCommon::PadState state;
    TovarWin32::XInputGetStateProc getState = GetState();
    if (!getState || GetForegroundWindow() != window)
        return state;
    for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) {
        if (now < g_emptyUntil[user])
            continue;
        XINPUT_STATE pad = {};
        if (getState(user, &pad) != ERROR_SUCCESS) {
            g_emptyUntil[user] = now + kEmptySlotWaitMicro;
            continue;
        }
        TovarCommon::MergePad(state, Read(pad.Gamepad));
    }
    return state;
}

void Send(HWND window, int vk, bool down)
{
    const TovarCommon::InputMessage message = TovarCommon::KeyMessage(vk, down);
    CallWindowProcA(g_next, window, message.message, message.wParam, message.lParam);
}

void PollPads(HWND window)
{
    const long long now = TovarPlatform::SteadyMicroseconds();
    const TovarCommon::CursorMotion motion = g_mapping.Update(
        g_held, ReadPads(window, now), now, [window](int vk, bool down) { Send(window, vk, down); });
    // The mouse look reads the cursor and puts it back each frame: moving it
    // is turning the view, by the game's own sensitivity. A shown cursor is
    // the player's pointer and stays where the mouse put it.
    POINT cursor;
    if ((motion.dx != 0 || motion.dy != 0) && !TovarPlatform::IsCursorVisible() && GetCursorPos(&cursor))
        SetCursorPos(cursor.x + motion.dx, cursor.y + motion.dy);
}

// A key let go of while another window has the focus never reaches ours:
// what the keyboard and the mouse held is let go of when ours loses it.
void LetGoOfKeyboardAndMouse(HWND window)
{
    const auto tell = [window](int vk) { Send(window, vk, false); };
    g_held.ReleaseAll(TovarCommon::kKeyboard, tell);
    g_held.ReleaseAll(TovarCommon::kMouse, tell);
}

void ToggleFullScreen(HWND window)
{
    if (!g_fullScreen) {
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        if (style & WS_POPUP)
            return; // made full screen by a change of display mode: stays so
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof monitor;
        g_placement.length = sizeof g_placement;
        if (!GetWindowPlacement(window, &g_placement) ||
            !GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        g_style = style;
        g_exStyle = GetWindowLongA(window, GWL_EXSTYLE);
        SetWindowLongA(window, GWL_STYLE, (style & ~WS_OVERLAPPEDWINDOW) | WS_POPUP);
        SetWindowLongA(window, GWL_EXSTYLE,
                       g_exStyle & ~(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME));
        const RECT& r = monitor.rcMonitor;
        SetWindowPos(window, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
        g_fullScreen = true;
        return;
    }
    SetWindowLongA(window, GWL_STYLE, g_style);
    SetWindowLongA(window, GWL_EXSTYLE, g_exStyle);
    SetWindowPlacement(window, &g_placement);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    g_fullScreen = false;
}

void Detach(HWND window)
{
    KillTimer(window, kPadTimer);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_next));
    g_window = nullptr;
    g_held.Clear();
    g_mapping = TovarCommon::PadMapping();
    g_fullScreen = false;
    std::fill(std::begin(g_emptyUntil), std::end(g_emptyUntil), 0LL);
}

LRESULT CALLBACK InputProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool firstPress = (lParam & (LPARAM(1) << 30)) == 0; // for key downs: not an auto-repeat
    const int vk = static_cast<int>(wParam);
    switch (message) {
    case WM_KEYDOWN:
        g_held.Press(TovarCommon::kKeyboard, vk);
        if (vk == VK_F11 && firstPress)
            ToggleFullScreen(window);
        break;
    case WM_SYSKEYDOWN: // with Alt held
        if ((vk == VK_RETURN || vk == VK_F11) && firstPress)
            ToggleFullScreen(window);
        break;
    case WM_SYSCHAR:
        if (wParam == '\r')
            return 0; // Alt+Enter: no beep for the menu the window does not have
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!g_held.Release(TovarCommon::kKeyboard, vk))
            return 0; // a pad still holds it
        break;
    case WM_LBUTTONDOWN:
        g_held.Press(TovarCommon::kMouse, VK_LBUTTON);
        break;
    case WM_LBUTTONUP:
        if (!g_held.Release(TovarCommon::kMouse, VK_LBUTTON))
            return 0; // a pad still fires
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            LetGoOfKeyboardAndMouse(window);
        break;
    case WM_TIMER:
        if (wParam == kPadTimer) {
            PollPads(window);
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        WNDPROC next = g_next;
        Detach(window);
        return CallWindowProcA(next, window, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallWindowProcA(g_next, window, message, wParam, lParam);
}

} // namespace

namespace TovarPlatform {

void AttachInput(HWND window)
{
    if (!window || g_window)
        return; // one window at a time, as the toolkit makes
    g_next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputProcedure)));
    if (!g_next)
        return;
    g_window = window;
    SetTimer(window, kPadTimer, kPadPollMs, nullptr);
}

} // namespace TovarPlatform

namespace TovarWin32 {

void UseXInputGetState(XInputGetStateProc proc)
{
    g_standIn = proc;
    std::fill(std::begin(g_emptyUntil), std::end(g_emptyUntil), 0LL);
}

} // namespace TovarWin32
