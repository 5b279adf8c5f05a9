// Keys held by several devices at once, and a stick turned into held keys.

#include "toolkit/platform/common/HeldInput.h"

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
