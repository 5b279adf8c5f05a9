#pragma once

// Fingers on the game as a touch screen's controls. The first finger put
// down on the left half is a stick centred where it landed: pushed, it holds
// W, S, A or D (two keys on a diagonal), lifted, it lets them go. The first
// finger on the right half turns the view by its motion, as a locked mouse
// does. A finger keeps its role until it lifts, wherever it goes; another
// finger on a half already taken does nothing.

#include "toolkit/platform/common/HeldInput.h"

namespace TovarCommon {

class TouchControls {
public:
    // A finger's place, in the area's own units (CSS pixels), x to the
    // right and y down.
    struct Finger {
        bool down = false;
        int id = 0;
        float x = 0.0f, y = 0.0f;   // where it is
        float cx = 0.0f, cy = 0.0f; // the stick's centre
    };

    // `radius`: how far from its centre the stick finger pushes the stick
    // all the way; `deadZone`: the share of that which holds no key. A
    // finger pushed further drags the centre along, so that turning back
    // never takes more than the radius.
    TouchControls(float radius, float deadZone);

    // A finger lands in an area `width` wide, whose middle splits the halves.
    // Landing holds nothing yet: the stick is centred under the finger.
    void Down(int id, float x, float y, float width)
    {
        Finger& half = x < width * 0.5f ? stick_ : look_;
        if (!half.down)
            half = Place(id, x, y);
    }

    // A finger moves; the look finger's motion since last comes back in
    // dx, dy (0 for any other).
    template <class Post> void Move(HeldInput& held, int id, float x, float y, float& dx, float& dy, Post&& post)
    {
        dx = dy = 0.0f;
        if (stick_.down && stick_.id == id) {
            PushStick(x, y);
            hold_.Update(held, kTouch, KeysOfStick((stick_.x - stick_.cx) / radius_,
                                                   (stick_.cy - stick_.y) / radius_, deadZone_),
                         post);
        } else if (look_.down && look_.id == id) {
            dx = x - look_.x;
            dy = y - look_.y;
            look_.x = x;
            look_.y = y;
        }
    }

    // A finger lifts, or the browser takes it away.
    template <class Post> void Up(HeldInput& held, int id, Post&& post)
    {
        if (stick_.down && stick_.id == id) {
            stick_.down = false;
            hold_.Update(held, kTouch, StickKeys(), post);
        } else if (look_.down && look_.id == id) {
            look_.down = false;
        }
    }

    // Every finger lifts (the page lost the focus).
    template <class Post> void UpAll(HeldInput& held, Post&& post)
    {
        if (stick_.down)
            Up(held, stick_.id, post);
        look_.down = false;
    }

    const Finger& Stick() const { return stick_; }
    const Finger& Look() const { return look_; }

private:
    static Finger Place(int id, float x, float y);
    void PushStick(float x, float y);

    float radius_, deadZone_;
    Finger stick_, look_;
    StickHold hold_;
};

} // namespace TovarCommon
