// A pad through the real SDL backend: SDL's virtual joystick, read through
// the game controller API, to the messages the window procedure receives.

#include "support/GLWindow.h"
#include "toolkit/platform/common/HeldInput.h"

#include <SDL.h>

#include <vector>

using namespace TovarToolkit;

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    bool operator==(const Received& o) const { return message == o.message && wParam == o.wParam; }
};

class PadTest : public GLWindowTest {
protected:
    static void SetUpTestSuite()
    {
        // Other tests' windows on the same display may take the focus, and
        // SDL ignores a pad while none of ours has it, as a player wants.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        GLWindowTest::SetUpTestSuite();
    }

    void SetUp() override
    {
        GLWindowTest::SetUp();
        SDL_VirtualJoystickDesc desc = {};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.name = "Quellin test pad";
        Plug(desc);
    }
    void TearDown() override { Unplug(); }

    void Plug(const SDL_VirtualJoystickDesc& desc)
    {
        int index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(index);
        ASSERT_NE(joystick_, nullptr) << SDL_GetError();
        Pump(50); // the backend hears of it and opens it
    }
    void Unplug()
    {
        if (!joystick_)
            return;
        SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                SDL_JoystickDetachVirtual(i);
    }
    void Axis(SDL_GameControllerAxis axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick_, axis, value); }
    void Button(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
    }

    // Takes the messages for that long and hands each to the window
    // procedure; keeps the key and left-button ones.
    std::vector<Received> Pump(int ms)
    {
        std::vector<Received> received;
        Uint32 until = SDL_GetTicks() + static_cast<Uint32>(ms);
        MSG msg = {};
        do {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if ((msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP) || msg.message == WM_LBUTTONDOWN ||
                    msg.message == WM_LBUTTONUP)
                    received.push_back({msg.message, msg.wParam});
                DispatchMessageA(&msg);
            }
            SDL_Delay(2);
        } while (!SDL_TICKS_PASSED(SDL_GetTicks(), until));
        return received;
    }

    static void Key(SDL_Keycode key, bool down)
    {
        SDL_Event e = {};
        e.type = e.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym = {SDL_GetScancodeFromKey(key), key, KMOD_NONE, 0};
        SDL_PushEvent(&e);
    }

    SDL_Joystick* joystick_ = nullptr;
};

} // namespace

TEST_F(PadTest, StickAndButtonsHoldKeysSharedWithTheKeyboardUntilThePadIsUnplugged)
{
    Axis(SDL_CONTROLLER_AXIS_LEFTX, 25000);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, -25000); // forward and right
    Button(SDL_CONTROLLER_BUTTON_A, true);
    Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(Pump(50), (std::vector<Received>{{WM_KEYDOWN, 'W'}, {WM_KEYDOWN, 'D'}, {WM_KEYDOWN, VK_LEFT},
                                               {WM_LBUTTONDOWN, 0}}));
    EXPECT_TRUE(TW.Key['W'] && TW.Key['D'] && TW.Key[VK_LEFT] && TW.lmouse);

    // The keyboard holds W too: the stick let go, W stays down until the key is.
    Key(SDLK_w, true);
    Pump(20);
    Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    EXPECT_EQ(Pump(50), (std::vector<Received>{{WM_KEYUP, 'D'}}));
    EXPECT_TRUE(TW.Key['W']);
    Key(SDLK_w, false);
    EXPECT_EQ(Pump(20), (std::vector<Received>{{WM_KEYUP, 'W'}}));

    // Unplugged while holding the arrow and the button: both are let go of.
    Unplug();
    EXPECT_EQ(Pump(50), (std::vector<Received>{{WM_KEYUP, VK_LEFT}, {WM_LBUTTONUP, 0}}));
    EXPECT_FALSE(TW.Key[VK_LEFT] || TW.lmouse);
}

TEST_F(PadTest, BackHeldASecondIsEscapeAndTheRightStickMovesTheHiddenCursor)
{
    Button(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_TRUE(Pump(800).empty());
    EXPECT_EQ(Pump(400), (std::vector<Received>{{WM_KEYDOWN, VK_ESCAPE}}));
    Button(SDL_CONTROLLER_BUTTON_BACK, false);
    EXPECT_EQ(Pump(50), (std::vector<Received>{{WM_KEYUP, VK_ESCAPE}}));

    TovarPlatform::SetCursorVisible(false);
    POINT before = {}, after = {};
    GetCursorPos(&before);
    Axis(SDL_CONTROLLER_AXIS_RIGHTX, -32768);
    const long long start = TovarPlatform::SteadyMicroseconds();
    Pump(300);
    const double seconds = (TovarPlatform::SteadyMicroseconds() - start) / 1e6;
    Axis(SDL_CONTROLLER_AXIS_RIGHTX, 0);
    Pump(20);
    GetCursorPos(&after);
    TovarPlatform::SetCursorVisible(true);
    EXPECT_EQ(after.y, before.y);
    EXPECT_NEAR(after.x - before.x, -1571 * seconds, 1571 * seconds * 0.15) << "over " << seconds << " s";
}
