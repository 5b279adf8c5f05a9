// Pads in the browser: the Gamepad API through html5.h, sampled while the
// game takes its messages, every pad in the standard layout playing as one
// through the common mapping. A page may not start sound for a pad, so the
// first press of a pad button takes the player in but leaves the sound to
// the first click, tap or key.

#include "toolkit/platform/common/Gamepad.h"
#include "toolkit/platform/web/Internal.h"

#include <cstring>

namespace {

TovarCommon::PadMapping g_mapping;
long long g_lastRead = -1;
bool g_pressed = false; // some button was down at the last reading

// The game asks for messages every 2 ms or so while it waits for its next
// frame; the pads need reading only a few times a frame.
const long long kReadEveryMicro = 4000;

// Browsers hand pad data only to a page in front; a page behind another
// window gets none, so its pad lets go of everything.
EM_JS(int, tovar_page_in_front, (), { return document.hasFocus() && !document.hidden ? 1 : 0; });

float Axis(const EmscriptenGamepadEvent& pad, int i) { return i < pad.numAxes ? static_cast<float>(pad.axis[i]) : 0.0f; }
bool Button(const EmscriptenGamepadEvent& pad, int i) { return i < pad.numButtons && pad.digitalButton[i]; }
float Analog(const EmscriptenGamepadEvent& pad, int i)
{
    return i < pad.numButtons ? static_cast<float>(pad.analogButton[i]) : 0.0f;
}

// The standard layout's numbering: axes 0 to 3 the sticks (y pointing
// back), buttons 0 to 3 A, B, X, Y, 6 and 7 the triggers, 8 Back, 9 Start,
// 12 to 15 the D-pad.
TovarCommon::PadState Read(const EmscriptenGamepadEvent& pad)
{
    TovarCommon::PadState state;
    state.leftX = Axis(pad, 0);
    state.leftY = -Axis(pad, 1);
    state.rightX = Axis(pad, 2);
    state.rightY = -Axis(pad, 3);
    state.leftTrigger = Analog(pad, 6);
    state.rightTrigger = Analog(pad, 7);
    state.a = Button(pad, 0);
    state.b = Button(pad, 1);
    state.x = Button(pad, 2);
    state.y = Button(pad, 3);
    state.back = Button(pad, 8);
    state.start = Button(pad, 9);
    state.up = Button(pad, 12);
    state.down = Button(pad, 13);
    state.left = Button(pad, 14);
    state.right = Button(pad, 15);
    return state;
}

TovarCommon::PadState ReadAll()
{
    TovarCommon::PadState all;
    if (!tovar_page_in_front() || emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS)
        return all;
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count; ++i) {
        EmscriptenGamepadEvent pad;
        // A pad whose layout the browser does not know numbers its parts its
        // own way: reading it as standard would fire or quit at random.
        if (emscripten_get_gamepad_status(i, &pad) == EMSCRIPTEN_RESULT_SUCCESS && pad.connected &&
            std::strcmp(pad.mapping, "standard") == 0)
            TovarCommon::MergePad(all, Read(pad));
    }
    return all;
}

bool AnyButton(const TovarCommon::PadState& pad)
{
    return pad.a || pad.b || pad.x || pad.y || pad.back || pad.start || pad.up || pad.down || pad.left ||
           pad.right || pad.leftTrigger > TovarCommon::PadMapping::kTriggerPull ||
           pad.rightTrigger > TovarCommon::PadMapping::kTriggerPull;
}

} // namespace

namespace TovarWeb {

void ReadPads()
{
    if (!CurrentWindow())
        return;
    const long long now = TovarPlatform::SteadyMicroseconds();
    if (g_lastRead >= 0 && now - g_lastRead < kReadEveryMicro)
        return;
    g_lastRead = now;
    const TovarCommon::PadState pad = ReadAll();
    const bool pressed = AnyButton(pad);
    if (pressed && !g_pressed && !PlayerIn())
        PlayPressed(TovarCommon::kPad);
    g_pressed = pressed;
    TovarCommon::CursorMotion motion = g_mapping.Update(Held(), pad, now, PostInput);
    if (motion.dx || motion.dy)
        TurnBy(motion.dx, motion.dy);
}

} // namespace TovarWeb
