// SDL events become Win32 messages, one message per event, queued in the
// common message queue; they reach the window procedure through
// DispatchMessageA. Keys and the left button go through the one record of
// who holds them, so that a release the pads still hold waits for them.

#include "toolkit/platform/common/MessageQueue.h"
#include "toolkit/platform/sdl2/Internal.h"

namespace {

TovarCommon::HeldInput g_held;

// Win32 virtual-key code of an SDL key; 0 for keys the layer does not map.
WPARAM VirtualKey(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_SEMICOLON: return 0xBA;
    case SDLK_EQUALS: return 0xBB;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_SLASH: return 0xBF;
    case SDLK_BACKQUOTE: return 0xC0;
    case SDLK_LEFTBRACKET: return 0xDB;
    case SDLK_BACKSLASH: return 0xDC;
    case SDLK_RIGHTBRACKET: return 0xDD;
    case SDLK_QUOTE: return 0xDE;
    default: return 0;
    }
}

void TranslateKey(const SDL_KeyboardEvent& key)
{
    HWND window = TovarSdl::FindWindow(key.windowID);
    WPARAM vk = VirtualKey(key.keysym.sym);
    if (!window || vk == 0)
        return;
    bool down = key.type == SDL_KEYDOWN;
    // Keys held with Alt, and Alt itself, are system keys, as on Windows.
    bool system = (key.keysym.mod & KMOD_ALT) || vk == VK_MENU;
    // Every press reaches the window, auto-repeat included; a release only
    // once no other device holds the key. A system key holds nothing in the
    // window, as on Windows.
    if (down && !system)
        g_held.Press(TovarCommon::kKeyboard, static_cast<int>(vk));
    else if (!down && !g_held.Release(TovarCommon::kKeyboard, static_cast<int>(vk)))
        return;
    if (down && !key.repeat && ((vk == VK_RETURN && (key.keysym.mod & KMOD_ALT)) || vk == VK_F11))
        TovarSdl::ToggleFullScreen(window);
    UINT message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    // lParam: repeat count 1, scan code, previous-state and transition bits.
    LPARAM lParam = 1 | ((LPARAM)(key.keysym.scancode & 0xff) << 16);
    if (key.repeat || !down)
        lParam |= (LPARAM)1 << 30;
    if (!down)
        lParam |= (LPARAM)1 << 31;
    TovarCommon::Post(window, message, vk, lParam);
}

void TranslateButton(const SDL_MouseButtonEvent& button)
{
    HWND window = TovarSdl::FindWindow(button.windowID);
    if (!window)
        return;
    bool down = button.type == SDL_MOUSEBUTTONDOWN;
    UINT message;
    if (button.button == SDL_BUTTON_LEFT) {
        if (down)
            g_held.Press(TovarCommon::kMouse, VK_LBUTTON);
        else if (!g_held.Release(TovarCommon::kMouse, VK_LBUTTON))
            return; // a pad still fires
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    } else if (button.button == SDL_BUTTON_RIGHT)
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    else
        return;
    TovarCommon::Post(window, message, 0, MAKELPARAM(button.x, button.y));
}

// The wParam of a size message: whether the window is minimised or maximised now.
WPARAM SizeKind(HWND window)
{
    const Uint32 flags = SDL_GetWindowFlags(window->sdl);
    if (flags & SDL_WINDOW_MINIMIZED)
        return SIZE_MINIMIZED;
    return (flags & SDL_WINDOW_MAXIMIZED) ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

void TranslateWindowEvent(const SDL_WindowEvent& event)
{
    HWND window = TovarSdl::FindWindow(event.windowID);
    if (!window)
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        TovarCommon::Post(window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        TovarCommon::Post(window, WM_SIZE, SizeKind(window), MAKELPARAM(event.data1, event.data2));
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        TovarCommon::Post(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
        break;
    case SDL_WINDOWEVENT_RESTORED: {
        // As on Windows: a restore is a size message; the focus comes on its own.
        int w = 0, h = 0;
        SDL_GetWindowSize(window->sdl, &w, &h);
        TovarCommon::Post(window, WM_SIZE, SizeKind(window), MAKELPARAM(w, h));
        break;
    }
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        TovarCommon::Post(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        TovarCommon::Post(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
        break;
    default:
        break;
    }
}

void Translate(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(event.key);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(event.button);
        break;
    case SDL_MOUSEMOTION:
        TovarSdl::CursorMoved(event.motion);
        if (HWND window = TovarSdl::FindWindow(event.motion.windowID))
            TovarCommon::Post(window, WM_MOUSEMOVE, 0, MAKELPARAM(event.motion.x, event.motion.y));
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        TovarSdl::PadPlugged(event.cdevice);
        break;
    case SDL_QUIT:
        // Only a signal gets here (closing a window is WM_CLOSE): end the run.
        PostQuitMessage(0);
        break;
    default:
        break;
    }
}

} // namespace

TovarCommon::HeldInput& TovarSdl::HeldKeys() { return g_held; }

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    if (!lpMsg)
        return FALSE;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            Translate(event);
        TovarSdl::PollPads();
    }
    return TovarCommon::Peek(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE
                                                                                                     : FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg || !lpMsg->hwnd || !lpMsg->hwnd->proc)
        return 0;
    return lpMsg->hwnd->proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
