// The page's key and mouse events become Win32 messages, one message per
// event, queued in the common message queue; they reach the window procedure
// through DispatchMessageA. Events arrive only while the program has given the
// browser control (in SwapBuffers and while sleeping). Keys and the left
// button go through the one HeldInput that the touch controls share, so a
// key held by the keyboard and the stick is let go by the last of them.

#include "toolkit/platform/common/MessageQueue.h"
#include "toolkit/platform/web/Internal.h"

#include <cmath>

namespace {

TovarCommon::HeldInput g_held;
bool g_listening = false;
bool g_escapeToBrowser = false; // an Escape press went to the browser; its release goes too

// The page's key codes are the Win32 virtual-key codes for every key the
// game reads (letters, digits, arrows, Escape, Space, F keys).
WPARAM VirtualKey(const EmscriptenKeyboardEvent& key)
{
    unsigned long code = key.keyCode ? key.keyCode : key.which;
    return code > 0 && code < 256 ? static_cast<WPARAM>(code) : 0;
}

// The browser keeps shortcuts with Ctrl or Meta, and the F keys (reload,
// full screen, developer tools); every other key is the game's.
bool LeaveToBrowser(const EmscriptenKeyboardEvent& key, WPARAM vk)
{
    return key.ctrlKey || key.metaKey || (vk >= VK_F1 && vk <= VK_F12);
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* key, void*)
{
    HWND window = TovarWeb::CurrentWindow();
    WPARAM vk = VirtualKey(*key);
    if (!window || vk == 0)
        return EM_FALSE;
    bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    // Escape that frees a locked pointer, or leaves full screen, is the
    // browser's: the game must not read it as quit, nor see it at all.
    if (vk == VK_ESCAPE) {
        // A fresh press: the last one's release may have stayed with the
        // browser (leaving full screen).
        if (down && !key->repeat)
            g_escapeToBrowser = false;
        if (down && (g_escapeToBrowser || TovarWeb::EscapeReleasesPointer() || TovarWeb::EscapeLeavesFullScreen())) {
            g_escapeToBrowser = true;
            return EM_FALSE;
        }
        if (!down && g_escapeToBrowser) {
            g_escapeToBrowser = false;
            return EM_FALSE;
        }
    } else if (down && !TovarWeb::PlayerEverCameIn() && !LeaveToBrowser(*key, vk)) {
        TovarWeb::PlayPressed(TovarCommon::kKeyboard);
    }
    // A key the stick holds too is down for the window already, and up only
    // once both have let go; the keyboard's own repeats are still posted.
    if (down ? !g_held.Press(TovarCommon::kKeyboard, static_cast<int>(vk)) && !key->repeat
             : !g_held.Release(TovarCommon::kKeyboard, static_cast<int>(vk)))
        return LeaveToBrowser(*key, vk) ? EM_FALSE : EM_TRUE;
    bool system = key->altKey || vk == VK_MENU;
    UINT message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    LPARAM lParam = 1;
    if (key->repeat || !down)
        lParam |= (LPARAM)1 << 30;
    if (!down)
        lParam |= (LPARAM)1 << 31;
    TovarCommon::Post(window, message, vk, lParam);
    return LeaveToBrowser(*key, vk) ? EM_FALSE : EM_TRUE;
}

LPARAM CanvasPoint(long x, long y)
{
    double scale = TovarWeb::CanvasScale();
    return MAKELPARAM(std::lround(x * scale), std::lround(y * scale));
}

EM_BOOL OnMouseButton(int eventType, const EmscriptenMouseEvent* mouse, void*)
{
    HWND window = TovarWeb::CurrentWindow();
    if (!window)
        return EM_FALSE;
    bool down = eventType == EMSCRIPTEN_EVENT_MOUSEDOWN;
    LPARAM at = CanvasPoint(mouse->targetX, mouse->targetY);
    if (mouse->button == 0) {
        if (down)
            TovarWeb::PlayPressed(TovarCommon::kMouse);
        // Fire held too keeps the button down.
        if (down ? g_held.Press(TovarCommon::kMouse, VK_LBUTTON) : g_held.Release(TovarCommon::kMouse, VK_LBUTTON))
            TovarCommon::Post(window, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, at);
    } else if (mouse->button == 2) {
        TovarCommon::Post(window, down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, at);
    }
    return EM_FALSE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* mouse, void*)
{
    HWND window = TovarWeb::CurrentWindow();
    if (!window)
        return EM_FALSE;
    double scale = TovarWeb::CanvasScale();
    TovarWeb::CursorMoved(std::lround(mouse->targetX * scale), std::lround(mouse->targetY * scale), mouse->movementX,
                          mouse->movementY);
    TovarCommon::Post(window, WM_MOUSEMOVE, 0, CanvasPoint(mouse->targetX, mouse->targetY));
    return EM_FALSE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*)
{
    HWND window = TovarWeb::CurrentWindow();
    if (!window)
        return EM_FALSE;
    if (eventType == EMSCRIPTEN_EVENT_BLUR) {
        // A key or finger let go while the page was away never reports it:
        // let go of everything now, as the desktop does when the window loses
        // focus.
        TovarWeb::LiftFingers();
        for (int vk = 0; vk < 256; ++vk)
            if (g_held.Held(vk))
                TovarWeb::PostInput(vk, false);
        g_held.Clear();
        g_escapeToBrowser = false;
    }
    TovarWeb::PageFocused(eventType != EMSCRIPTEN_EVENT_BLUR);
    return EM_FALSE;
}

// A hidden tab is the page's minimised window: the browser stops its frames,
// and the game waits with its clocks, as it does for a minimised window.
EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*)
{
    if (TovarWeb::CurrentWindow())
        TovarWeb::PageHidden(event->hidden != 0);
    return EM_FALSE;
}

} // namespace

namespace TovarWeb {

void ListenForInput(bool on)
{
    if (on == g_listening)
        return;
    g_listening = on;
    const char* page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    // Keys go to whatever has the focus, so they are taken from the page;
    // buttons and motion from the canvas, where a locked pointer reports
    // them; a button let go anywhere still counts as let go.
    emscripten_set_keydown_callback(page, nullptr, EM_FALSE, on ? OnKey : nullptr);
    emscripten_set_keyup_callback(page, nullptr, EM_FALSE, on ? OnKey : nullptr);
    emscripten_set_mousedown_callback(TOVAR_WEB_CANVAS, nullptr, EM_FALSE, on ? OnMouseButton : nullptr);
    emscripten_set_mouseup_callback(page, nullptr, EM_FALSE, on ? OnMouseButton : nullptr);
    emscripten_set_mousemove_callback(TOVAR_WEB_CANVAS, nullptr, EM_FALSE, on ? OnMouseMove : nullptr);
    emscripten_set_blur_callback(page, nullptr, EM_FALSE, on ? OnFocus : nullptr);
    emscripten_set_focus_callback(page, nullptr, EM_FALSE, on ? OnFocus : nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, on ? OnVisibility : nullptr);
    ListenForPointerLock(on);
    ListenForTouch(on);
    ListenForPlay(on);
    if (!on)
        g_held.Clear();
}

TovarCommon::HeldInput& Held() { return g_held; }

void PostInput(int vk, bool down)
{
    if (HWND window = CurrentWindow()) {
        TovarCommon::InputMessage m = TovarCommon::KeyMessage(vk, down);
        TovarCommon::Post(window, m.message, m.wParam, m.lParam);
    }
}

void PressInput(unsigned device, int vk, bool down)
{
    if (down ? g_held.Press(device, vk) : g_held.Release(device, vk))
        PostInput(vk, down);
}

double CanvasScale()
{
    HWND window = CurrentWindow();
    double width = 0.0, height = 0.0;
    if (!window || emscripten_get_element_css_size(TOVAR_WEB_CANVAS, &width, &height) != EMSCRIPTEN_RESULT_SUCCESS ||
        width <= 0.0)
        return 1.0;
    return window->width / width;
}

} // namespace TovarWeb

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    if (!lpMsg)
        return FALSE;
    return TovarCommon::Peek(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE
                                                                                                     : FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg || !lpMsg->hwnd || !lpMsg->hwnd->proc)
        return 0;
    return lpMsg->hwnd->proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

