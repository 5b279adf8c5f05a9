#include "toolkit/platform/common/Gamepad.h"

#include <cmath>

namespace TovarCommon {

namespace {

const float kLookDeadZone = 0.25f;
// A poll that comes late (the window dragged, the program stalled) moves the
// cursor as for this long at most, so the view never leaps.
const long long kLongestLookStepMicro = 100000;

float Further(float a, float b) { return std::fabs(b) > std::fabs(a) ? b : a; }

} // namespace

void MergePad(PadState& into, const PadState& pad)
{
    if (pad.leftX * pad.leftX + pad.leftY * pad.leftY > into.leftX * into.leftX + into.leftY * into.leftY) {
        into.leftX = pad.leftX;
        into.leftY = pad.leftY;
    }
    if (pad.rightX * pad.rightX + pad.rightY * pad.rightY >
        into.rightX * into.rightX + into.rightY * into.rightY) {
        into.rightX = pad.rightX;
        into.rightY = pad.rightY;
    }
    into.leftTrigger = Further(into.leftTrigger, pad.leftTrigger);
    into.rightTrigger = Further(into.rightTrigger, pad.rightTrigger);
    into.a |= pad.a;
    into.b |= pad.b;
    into.x |= pad.x;
    into.y |= pad.y;
    into.back |= pad.back;
    into.start |= pad.start;
    into.up |= pad.up;
    into.down |= pad.down;
    into.left |= pad.left;
    into.right |= pad.right;
}

LookSpeed LookSpeedOfStick(float x, float y)
{
    LookSpeed speed;
    const float length = std::sqrt(x * x + y * y);
    if (!(length > kLookDeadZone))
        return speed;
    // A square gate reaches past the unit circle in its corners: that is full
    // deflection too.
    float push = (length - kLookDeadZone) / (1.0f - kLookDeadZone);
    if (push > 1.0f)
        push = 1.0f;
    const float pixels = kLookPixelsPerSecond * push * push;
    speed.x = pixels * x / length;
    speed.y = -pixels * y / length; // forward looks up: the cursor goes up the screen
    return speed;
}

bool PadMapping::BackHeldLongEnough(bool back, long long nowMicro)
{
    if (!back) {
        back_ = false;
        return false;
    }
    if (!back_) {
        back_ = true;
        backSince_ = nowMicro;
    }
    return nowMicro - backSince_ >= kBackHoldMicro;
}

CursorMotion PadMapping::Look(float x, float y, long long nowMicro)
{
    long long step = looked_ ? nowMicro - lastLook_ : 0;
    looked_ = true;
    lastLook_ = nowMicro;
    if (step < 0)
        step = 0;
    if (step > kLongestLookStepMicro)
        step = kLongestLookStepMicro;

    CursorMotion motion;
    const LookSpeed speed = LookSpeedOfStick(x, y);
    if (speed.x == 0.0f && speed.y == 0.0f) {
        // Back in the dead zone: what was left over goes too, so a released
        // stick never nudges the view afterwards.
        restX_ = restY_ = 0.0f;
        return motion;
    }
    // Whole pixels move now; the fractions wait for the next call, so that
    // many small steps add up to the same motion as a few large ones.
    const float seconds = static_cast<float>(step) / 1e6f;
    restX_ += speed.x * seconds;
    restY_ += speed.y * seconds;
    motion.dx = static_cast<int>(restX_);
    motion.dy = static_cast<int>(restY_);
    restX_ -= static_cast<float>(motion.dx);
    restY_ -= static_cast<float>(motion.dy);
    return motion;
}

} // namespace TovarCommon
