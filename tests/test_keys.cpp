// The SDL backend's key table through real SDL key events: each key it maps
// arrives as a key message with its virtual-key code and transition bits.

#include "support/GLWindow.h"

#include <SDL.h>

#include <tuple>
#include <utility>
#include <vector>

namespace {

// The key message that one SDL key event becomes; WM_NULL for none.
MSG Push(SDL_Keycode key, bool down, bool repeat = false, Uint16 mod = KMOD_NONE)
{
    SDL_Event e = {};
    e.type = e.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym = {SDL_GetScancodeFromKey(key), key, mod, 0};
    SDL_PushEvent(&e);
    MSG msg = {};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP)
            return msg;
    return MSG{};
}

using KeyTable = GLWindowTest;

} // namespace

TEST_F(KeyTable, EveryMappedKeyArrivesWithItsCodeAndTransitionBits)
{
    std::vector<std::pair<SDL_Keycode, WPARAM>> table = {
        {SDLK_KP_0, VK_NUMPAD0}, {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB}, {SDLK_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, VK_RETURN}, {SDLK_LSHIFT, VK_SHIFT}, {SDLK_RSHIFT, VK_SHIFT}, {SDLK_LCTRL, VK_CONTROL},
        {SDLK_RCTRL, VK_CONTROL}, {SDLK_PAUSE, VK_PAUSE}, {SDLK_CAPSLOCK, VK_CAPITAL}, {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_SPACE, VK_SPACE}, {SDLK_PAGEUP, VK_PRIOR}, {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_END, VK_END},
        {SDLK_HOME, VK_HOME}, {SDLK_LEFT, VK_LEFT}, {SDLK_UP, VK_UP}, {SDLK_RIGHT, VK_RIGHT}, {SDLK_DOWN, VK_DOWN},
        {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE}, {SDLK_SEMICOLON, 0xBA}, {SDLK_EQUALS, 0xBB},
        {SDLK_COMMA, 0xBC}, {SDLK_MINUS, 0xBD}, {SDLK_PERIOD, 0xBE}, {SDLK_SLASH, 0xBF}, {SDLK_BACKQUOTE, 0xC0},
        {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC}, {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE}};
    for (int i = 0; i < 26; ++i) // letters, digits, F1 to F12, keypad 1 to 9: runs of codes on both sides
        table.push_back({SDLK_a + i, WPARAM('A' + i)});
    for (int i = 0; i < 10; ++i)
        table.push_back({SDLK_0 + i, WPARAM('0' + i)});
    for (int i = 0; i < 12; ++i)
        table.push_back({SDLK_F1 + i, WPARAM(VK_F1 + i)});
    for (int i = 0; i < 9; ++i)
        table.push_back({SDLK_KP_1 + i, WPARAM(VK_NUMPAD0 + 1 + i)});

    // A press, its auto-repeat and the release: bit 30 says the key was down, bit 31 that it goes up.
    const LPARAM was = LPARAM(1) << 30, up = LPARAM(1) << 31;
    const std::tuple<UINT, bool, LPARAM> steps[] = {
        {WM_KEYDOWN, false, 0}, {WM_KEYDOWN, true, was}, {WM_KEYUP, false, was | up}};
    for (const auto& [key, vk] : table) {
        SCOPED_TRACE(SDL_GetKeyName(key));
        for (const auto& [message, repeat, bits] : steps) {
            MSG msg = Push(key, message == WM_KEYDOWN, repeat);
            EXPECT_EQ(msg.message, message);
            EXPECT_EQ(msg.wParam, vk);
            EXPECT_EQ(msg.lParam & (was | up | 0xFFFF), bits | 1) << "transition bits, repeat count 1";
        }
    }
    // Alt, and keys held with it, are system keys; keys left out send nothing.
    for (SDL_Keycode alt : {SDLK_LALT, SDLK_RALT}) {
        MSG msg = Push(alt, true);
        EXPECT_EQ(msg.message, UINT(WM_SYSKEYDOWN));
        EXPECT_EQ(msg.wParam, WPARAM(VK_MENU));
    }
    EXPECT_EQ(Push(SDLK_w, true, false, KMOD_LALT).message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(Push(SDLK_F13, true).message, UINT(WM_NULL));
}
