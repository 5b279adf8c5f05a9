// Pads on SDL2: its game controller API, which knows the layout of each pad
// from SDL's own mapping database (and from SDL_GAMECONTROLLERCONFIG where a
// player adds one), plugged in and out during play. Every pad is read each
// time the messages are, and all of them play as one through the common
// mapping. SDL itself ignores presses while none of our windows has the
// focus, and lets releases through.

#include "toolkit/platform/common/Gamepad.h"
#include "toolkit/platform/common/MessageQueue.h"
#include "toolkit/platform/sdl2/Internal.h"

#include <algorithm>
#include <vector>

namespace {

bool g_started = false;
std::vector<SDL_GameController*> g_pads;
TovarCommon::PadMapping g_mapping;

SDL_JoystickID InstanceOf(SDL_GameController* pad) { return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)); }

float Axis(SDL_GameController* pad, SDL_GameControllerAxis axis)
{
    // -32768 to 32767, triggers 0 to 32767.
    return std::max(-1.0f, static_cast<float>(SDL_GameControllerGetAxis(pad, axis)) / 32767.0f);
}

bool Button(SDL_GameController* pad, SDL_GameControllerButton button)
{
    return SDL_GameControllerGetButton(pad, button) != 0;
}

TovarCommon::PadState Read(SDL_GameController* pad)
{
    TovarCommon::PadState state;
    state.leftX = Axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    state.leftY = -Axis(pad, SDL_CONTROLLER_AXIS_LEFTY); // SDL's y points back
    state.rightX = Axis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    state.rightY = -Axis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
    state.leftTrigger = Axis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    state.rightTrigger = Axis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    state.a = Button(pad, SDL_CONTROLLER_BUTTON_A);
    state.b = Button(pad, SDL_CONTROLLER_BUTTON_B);
    state.x = Button(pad, SDL_CONTROLLER_BUTTON_X);
    state.y = Button(pad, SDL_CONTROLLER_BUTTON_Y);
    state.back = Button(pad, SDL_CONTROLLER_BUTTON_BACK);
    state.start = Button(pad, SDL_CONTROLLER_BUTTON_START);
    state.up = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    state.down = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    state.left = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    state.right = Button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    return state;
}

void Open(int deviceIndex)
{
    if (!SDL_IsGameController(deviceIndex))
        return;
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (SDL_GameController* pad : g_pads)
        if (InstanceOf(pad) == id)
            return; // told twice: at start-up SDL reports the pads it found
    if (SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex))
        g_pads.push_back(pad);
}

// The window the pads play in: ours with the keyboard focus, or else the
// one the game draws into.
HWND PlayedWindow()
{
    SDL_Window* focus = SDL_GetKeyboardFocus();
    if (!focus)
        focus = SDL_GL_GetCurrentWindow();
    return focus ? TovarSdl::FindWindow(SDL_GetWindowID(focus)) : nullptr;
}

} // namespace

namespace TovarSdl {

void StartPads()
{
    if (g_started)
        return;
    g_started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void StopPads()
{
    if (!g_started)
        return;
    for (SDL_GameController* pad : g_pads)
        SDL_GameControllerClose(pad);
    g_pads.clear();
    g_mapping = TovarCommon::PadMapping();
    HeldKeys().ReleaseAll(TovarCommon::kPad, [](int) {}); // no window is left to tell
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_started = false;
}

void PadPlugged(const SDL_ControllerDeviceEvent& event)
{
    if (!g_started)
        return;
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        Open(event.which);
        return;
    }
    auto gone = std::find_if(g_pads.begin(), g_pads.end(),
                             [&](SDL_GameController* pad) { return InstanceOf(pad) == event.which; });
    if (gone != g_pads.end()) {
        SDL_GameControllerClose(*gone);
        g_pads.erase(gone); // what it held is let go of at the next poll
    }
}

void PollPads()
{
    if (!g_started)
        return;
    TovarCommon::PadState state;
    for (SDL_GameController* pad : g_pads)
        TovarCommon::MergePad(state, Read(pad));
    HWND window = PlayedWindow();
    TovarCommon::CursorMotion motion = g_mapping.Update(
        HeldKeys(), state, TovarPlatform::SteadyMicroseconds(), [window](int vk, bool down) {
            if (!window)
                return;
            TovarCommon::InputMessage message = TovarCommon::KeyMessage(vk, down);
            TovarCommon::Post(window, message.message, message.wParam, message.lParam);
        });
    if (motion.dx != 0 || motion.dy != 0)
        MoveCursor(motion.dx, motion.dy);
}

} // namespace TovarSdl
