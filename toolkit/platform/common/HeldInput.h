#pragma once

// Keys and the left button that more than one device may hold at once: the
// keyboard, the mouse, a finger on the page, a gamepad. The window procedure
// keeps one state per key, so a device's release may only reach it once no
// other device still holds that key. Every backend routes each device's
// presses and releases through one HeldInput and posts what it answers.

#include "toolkit/platform/Platform.h"

#ifndef VK_LBUTTON
#define VK_LBUTTON 0x01
#endif

namespace TovarCommon {

// Who holds a key: one bit each, so several at once.
enum InputDevice : unsigned {
    kKeyboard = 1u << 0,
    kMouse = 1u << 1,
    kTouch = 1u << 2,
    kPad = 1u << 3,
};

class HeldInput {
public:
    // `vk` is a virtual-key code, VK_LBUTTON for the left button. Press
    // returns true when nobody held it before; Release, when nobody holds it
    // now, so that the window hears of it.
    bool Press(unsigned device, int vk);
    bool Release(unsigned device, int vk);
    bool Held(int vk) const;
    bool HeldBy(unsigned device, int vk) const;
    // Lets go of every key the device holds and calls `freed` for each that
    // nobody holds any longer (a device unplugged, a touch cancelled).
    template <class Freed> void ReleaseAll(unsigned device, Freed&& freed)
    {
        for (int vk = 0; vk < 256; ++vk)
            if (HeldBy(device, vk) && Release(device, vk))
                freed(vk);
    }
    // Forgets every holder, as when the window loses the focus.
    void Clear();

private:
    unsigned char holders_[256] = {};
};

// The message a press or release of `vk` posts: a key message with the
// keyboard's repeat count and transition bits, or the left-button message.
struct InputMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
InputMessage KeyMessage(int vk, bool down);

// One control of `device` that holds `vk` while `want`: `have` is what it
// held so far. Calls post(vk, down) when the window's state of the key
// changes with it.
template <class Post> void HoldKey(HeldInput& held, unsigned device, int vk, bool want, bool& have, Post& post)
{
    if (want == have)
        return;
    have = want;
    if (want ? held.Press(device, vk) : held.Release(device, vk))
        post(vk, want);
}

// The keys a stick holds. x points right and y forward, both in [-1, 1].
// Inside the dead zone (a circle of that radius) it holds none, so a worn
// stick that rests off centre does not walk; outside, each eighth of the
// circle holds its key, or both keys of a diagonal.
struct StickKeys {
    bool forward = false, back = false, left = false, right = false;
    bool operator==(const StickKeys& o) const
    {
        return forward == o.forward && back == o.back && left == o.left && right == o.right;
    }
    bool operator!=(const StickKeys& o) const { return !(*this == o); }
};
StickKeys KeysOfStick(float x, float y, float deadZone);

// One stick held by one device, that posts only what changed.
class StickHold {
public:
    // The key each direction holds: W, S, A, D for walking, the arrows for a
    // pad's D-pad.
    StickHold(int forward, int back, int left, int right);
    // Moves to `now`; calls post(vk, down) for every key whose window state
    // changes.
    template <class Post> void Update(HeldInput& held, unsigned device, StickKeys now, Post&& post)
    {
        HoldKey(held, device, keys_[0], now.forward, held_.forward, post);
        HoldKey(held, device, keys_[1], now.back, held_.back, post);
        HoldKey(held, device, keys_[2], now.left, held_.left, post);
        HoldKey(held, device, keys_[3], now.right, held_.right, post);
    }
    StickKeys Keys() const { return held_; }

private:
    int keys_[4];
    StickKeys held_;
};

} // namespace TovarCommon
