// Keys held by several devices at once, a stick turned into held keys, and
// fingers on a touch screen as a stick and a look.

#include "toolkit/platform/common/HeldInput.h"
#include "toolkit/platform/common/TouchControls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace TovarCommon;

namespace {

struct Posted {
    int vk;
    bool down;
    bool operator==(const Posted& o) const { return vk == o.vk && down == o.down; }
};

StickKeys Keys(bool forward, bool back, bool left, bool right)
{
    StickKeys k;
    k.forward = forward;
    k.back = back;
    k.left = left;
    k.right = right;
    return k;
}

} // namespace

TEST(HeldInput, StickHoldsNothingInsideTheDeadZoneAndEightDirectionsOutside)
{
    EXPECT_EQ(KeysOfStick(0.0f, 0.0f, 0.25f), StickKeys());
    EXPECT_EQ(KeysOfStick(0.17f, 0.17f, 0.25f), StickKeys()); // 0.24 from the centre
    EXPECT_EQ(KeysOfStick(0.0f, 0.26f, 0.25f), Keys(true, false, false, false));
    // Each eighth of the circle, sampled at its middle and near both edges.
    const StickKeys eighths[8] = {Keys(false, false, false, true), Keys(true, false, false, true),
                                  Keys(true, false, false, false), Keys(true, false, true, false),
                                  Keys(false, false, true, false), Keys(false, true, true, false),
                                  Keys(false, true, false, false), Keys(false, true, false, true)};
    const float pi = 3.14159265f;
    for (int i = 0; i < 8; ++i)
        for (float offset : {-22.0f, 0.0f, 22.0f}) {
            float angle = (i * 45.0f + offset) * pi / 180.0f;
            EXPECT_EQ(KeysOfStick(std::cos(angle), std::sin(angle), 0.25f), eighths[i])
                << "eighth " << i << " offset " << offset;
        }
}

TEST(HeldInput, AKeyHeldByTwoDevicesIsReleasedByTheLastOne)
{
    HeldInput held;
    EXPECT_TRUE(held.Press(kKeyboard, 'W'));
    EXPECT_FALSE(held.Press(kTouch, 'W'));
    EXPECT_FALSE(held.Release(kKeyboard, 'W'));
    EXPECT_TRUE(held.Held('W'));
    EXPECT_TRUE(held.Release(kTouch, 'W'));
    EXPECT_FALSE(held.Held('W'));
    // A release from a device that never held the key still frees it.
    EXPECT_TRUE(held.Release(kKeyboard, 'S'));

    held.Press(kPad, 'A');
    held.Press(kPad, VK_LBUTTON);
    held.Press(kMouse, VK_LBUTTON);
    std::vector<int> freed;
    held.ReleaseAll(kPad, [&](int vk) { freed.push_back(vk); });
    EXPECT_EQ(freed, std::vector<int>{'A'});
    EXPECT_TRUE(held.HeldBy(kMouse, VK_LBUTTON));
}

TEST(HeldInput, StickHoldPostsOnlyWhatChangesForTheWindow)
{
    HeldInput held;
    StickHold stick('W', 'S', 'A', 'D');
    std::vector<Posted> posted;
    auto post = [&](int vk, bool down) { posted.push_back({vk, down}); };

    held.Press(kKeyboard, 'D');
    stick.Update(held, kTouch, Keys(true, false, false, true), post);
    EXPECT_EQ(posted, (std::vector<Posted>{{'W', true}})); // D was down already
    posted.clear();
    stick.Update(held, kTouch, Keys(true, false, false, true), post);
    EXPECT_TRUE(posted.empty());
    stick.Update(held, kTouch, StickKeys(), post); // the finger lifts
    EXPECT_EQ(posted, (std::vector<Posted>{{'W', false}})); // the keyboard still holds D
    EXPECT_TRUE(held.Held('D'));

    InputMessage up = KeyMessage('W', false);
    EXPECT_EQ(up.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(up.wParam, static_cast<WPARAM>('W'));
    EXPECT_EQ(up.lParam >> 30, 3);
    EXPECT_EQ(KeyMessage(VK_LBUTTON, true).message, static_cast<UINT>(WM_LBUTTONDOWN));
}

TEST(TouchControls, TheLeftHalfIsAStickCentredWhereTheFingerLanded)
{
    HeldInput held;
    TouchControls touch(40.0f, 0.25f);
    std::vector<Posted> posted;
    auto post = [&](int vk, bool down) { posted.push_back({vk, down}); };
    float dx = 0.0f, dy = 0.0f;

    touch.Down(1, 100.0f, 300.0f, 800.0f);
    touch.Move(held, 1, 100.0f, 291.0f, dx, dy, post); // 9 up: inside the dead zone of 10
    EXPECT_TRUE(posted.empty());
    touch.Move(held, 1, 100.0f, 270.0f, dx, dy, post);
    EXPECT_EQ(posted, (std::vector<Posted>{{'W', true}}));
    EXPECT_EQ(dx, 0.0f); // the stick turns nothing
    posted.clear();
    touch.Move(held, 1, 75.0f, 275.0f, dx, dy, post); // up and left
    EXPECT_EQ(posted, (std::vector<Posted>{{'A', true}}));
    posted.clear();

    // Pushed past its radius, the stick's centre follows the finger, so a
    // short way back reverses it.
    touch.Move(held, 1, 100.0f, 100.0f, dx, dy, post);
    EXPECT_EQ(posted, (std::vector<Posted>{{'A', false}}));
    EXPECT_FLOAT_EQ(touch.Stick().cx, 100.0f);
    EXPECT_FLOAT_EQ(touch.Stick().cy, 140.0f);
    posted.clear();
    touch.Move(held, 1, 100.0f, 165.0f, dx, dy, post);
    EXPECT_EQ(posted, (std::vector<Posted>{{'W', false}, {'S', true}}));
    posted.clear();

    // The keyboard holds S too: lifting the finger leaves it down.
    held.Press(kKeyboard, 'S');
    touch.Up(held, 1, post);
    EXPECT_TRUE(posted.empty());
    EXPECT_FALSE(touch.Stick().down);
    EXPECT_TRUE(held.Release(kKeyboard, 'S'));
}

TEST(TouchControls, StickAndLookWorkTogetherAndKeepTheirFingers)
{
    HeldInput held;
    TouchControls touch(40.0f, 0.25f);
    std::vector<Posted> posted;
    auto post = [&](int vk, bool down) { posted.push_back({vk, down}); };
    float dx = 0.0f, dy = 0.0f;

    touch.Down(7, 500.0f, 200.0f, 800.0f); // right half: look
    touch.Down(3, 200.0f, 200.0f, 800.0f); // left half: stick
    touch.Down(9, 100.0f, 100.0f, 800.0f); // a second finger on the left: nothing
    touch.Down(8, 700.0f, 100.0f, 800.0f); // and on the right
    touch.Move(held, 9, 100.0f, 0.0f, dx, dy, post);
    touch.Move(held, 8, 600.0f, 0.0f, dx, dy, post);
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(dx, 0.0f);

    touch.Move(held, 7, 530.0f, 190.0f, dx, dy, post);
    EXPECT_EQ(dx, 30.0f);
    EXPECT_EQ(dy, -10.0f);
    touch.Move(held, 3, 240.0f, 200.0f, dx, dy, post);
    EXPECT_EQ(posted, (std::vector<Posted>{{'D', true}}));
    touch.Move(held, 7, 525.0f, 190.0f, dx, dy, post);
    EXPECT_EQ(dx, -5.0f);
    EXPECT_EQ(dy, 0.0f);

    // A stick finger that wanders into the right half stays the stick.
    posted.clear();
    touch.Move(held, 3, 600.0f, 200.0f, dx, dy, post);
    EXPECT_EQ(dx, 0.0f);
    EXPECT_TRUE(posted.empty());

    touch.Up(held, 7, post);
    EXPECT_FALSE(touch.Look().down);
    touch.Down(4, 450.0f, 300.0f, 800.0f); // the right half is free again
    EXPECT_EQ(touch.Look().id, 4);
    touch.UpAll(held, post);
    EXPECT_EQ(posted, (std::vector<Posted>{{'D', false}}));
    EXPECT_FALSE(touch.Stick().down || touch.Look().down);
}
