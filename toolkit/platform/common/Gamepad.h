#pragma once

// One gamepad mapping for every platform. Each backend reads its pads in the
// standard layout (two sticks, two triggers, A/B/X/Y, the D-pad, Start and
// Back) into a PadState, several times a frame, and hands it to one
// PadMapping together with the HeldInput its keyboard and mouse go through.
// The pad then becomes what the game already reads: held keys, the left
// button, and cursor motion that the mouse look turns into a turn of the
// view.
//
//   left stick          W / S / A / D, both keys of a diagonal
//   D-pad               the arrow keys
//   right stick         cursor motion, faster the further it is pushed
//   right trigger or A  the left button (fire)
//   Start               Space
//   Back, held 1 s      Escape; a shorter press does nothing

#include "toolkit/platform/common/HeldInput.h"

namespace TovarCommon {

// A pad as its platform reads it. Sticks: x right and y forward, in
// [-1, 1]; triggers in [0, 1]. A default state holds nothing, as no pad at
// all does.
struct PadState {
    float leftX = 0.0f, leftY = 0.0f;
    float rightX = 0.0f, rightY = 0.0f;
    float leftTrigger = 0.0f, rightTrigger = 0.0f;
    bool a = false, b = false, x = false, y = false;
    bool back = false, start = false;
    bool up = false, down = false, left = false, right = false; // the D-pad
};

// Several pads play as one: a button counts when any pad holds it, and each
// stick and trigger is that of the pad that pushes it furthest.
void MergePad(PadState& into, const PadState& pad);

// Cursor motion in whole pixels: x right, y down, as the mouse moves it.
struct CursorMotion {
    int dx = 0, dy = 0;
};

// How fast the right stick at (x, y) moves the cursor, in pixels a second.
// Nothing inside the dead zone, so a worn stick resting off centre does not
// turn the view; beyond it the speed grows with the square of the push, fine
// near the centre and full at the rim.
struct LookSpeed {
    float x = 0.0f, y = 0.0f;
};
LookSpeed LookSpeedOfStick(float x, float y);

// Pixels a second at full deflection. The mouse look turns 2/1000 of a
// radian a pixel (the game's sensitivity of 2 over 1000 pixels), so this is
// about half a turn a second.
const float kLookPixelsPerSecond = 1571.0f;

class PadMapping {
public:
    // Takes the pads' state at `nowMicro` on a steady clock. Calls
    // post(vk, down) for every key and the left button whose window state
    // changes, and returns the cursor motion made since the last call. A
    // state that holds nothing (the pad unplugged, the window left) lets go
    // of all the pad held.
    template <class Post>
    CursorMotion Update(HeldInput& held, const PadState& pad, long long nowMicro, Post&& post)
    {
        walk_.Update(held, kPad, KeysOfStick(pad.leftX, pad.leftY, kWalkDeadZone), post);
        StickKeys dpad;
        dpad.forward = pad.up;
        dpad.back = pad.down;
        dpad.left = pad.left;
        dpad.right = pad.right;
        arrows_.Update(held, kPad, dpad, post);
        HoldKey(held, kPad, VK_LBUTTON, pad.a || pad.rightTrigger > kTriggerPull, fire_, post);
        HoldKey(held, kPad, VK_SPACE, pad.start, start_, post);
        HoldKey(held, kPad, VK_ESCAPE, BackHeldLongEnough(pad.back, nowMicro), escape_, post);
        return Look(pad.rightX, pad.rightY, nowMicro);
    }

    static constexpr float kWalkDeadZone = 0.25f;
    static constexpr float kTriggerPull = 0.3f;
    static constexpr long long kBackHoldMicro = 1000000;

private:
    bool BackHeldLongEnough(bool back, long long nowMicro);
    CursorMotion Look(float x, float y, long long nowMicro);

    StickHold walk_{'W', 'S', 'A', 'D'};
    StickHold arrows_{VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
    bool fire_ = false, start_ = false, escape_ = false;
    bool back_ = false;
    long long backSince_ = 0;
    bool looked_ = false; // false until the first call: no time has passed before it
    long long lastLook_ = 0;
    float restX_ = 0.0f, restY_ = 0.0f; // the fractions of a pixel not yet moved
};

} // namespace TovarCommon
