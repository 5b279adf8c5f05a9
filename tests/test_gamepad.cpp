// The one gamepad mapping: what a pad holds, shares with the keyboard and
// lets go of, and how far its right stick moves the cursor.

#include "toolkit/platform/common/Gamepad.h"

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

// A mapping fed states on a clock the test moves; what it posts piles up.
struct Pad {
    HeldInput held;
    PadMapping mapping;
    std::vector<Posted> posted;
    long long now = 0;

    CursorMotion Feed(const PadState& state, long long afterMicro = 0)
    {
        now += afterMicro;
        return mapping.Update(held, state, now, [&](int vk, bool down) { posted.push_back({vk, down}); });
    }
    std::vector<Posted> Take()
    {
        std::vector<Posted> taken;
        taken.swap(posted);
        return taken;
    }
};

PadState Stick(float x, float y, bool right = false)
{
    PadState state;
    (right ? state.rightX : state.leftX) = x;
    (right ? state.rightY : state.leftY) = y;
    return state;
}

} // namespace

TEST(Gamepad, LeftStickDPadFireAndStartHoldTheirKeysAndUnpluggingLetsGoOfAll)
{
    Pad pad;
    pad.Feed(Stick(0.2f, 0.1f)); // inside the dead zone
    EXPECT_TRUE(pad.Take().empty());
    pad.Feed(Stick(0.6f, 0.6f)); // a diagonal
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{'W', true}, {'D', true}}));

    PadState all = Stick(0.0f, -0.9f);
    all.left = true;
    all.rightTrigger = 0.8f;
    all.start = true;
    pad.Feed(all);
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{'W', false}, {'S', true}, {'D', false}, {VK_LEFT, true},
                                               {VK_LBUTTON, true}, {VK_SPACE, true}}));
    all.rightTrigger = 0.1f; // a trigger resting near the top does not fire; A does
    all.a = true;
    pad.Feed(all);
    EXPECT_TRUE(pad.Take().empty());

    pad.Feed(PadState()); // unplugged
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{'S', false}, {VK_LEFT, false}, {VK_LBUTTON, false},
                                               {VK_SPACE, false}}));
    for (int vk = 0; vk < 256; ++vk)
        EXPECT_FALSE(pad.held.Held(vk)) << vk;
}

TEST(Gamepad, KeysHeldWithTheKeyboardAreReleasedByTheLastDevice)
{
    Pad pad;
    pad.held.Press(kKeyboard, 'W');
    pad.held.Press(kMouse, VK_LBUTTON);
    PadState state = Stick(0.0f, 1.0f);
    state.a = true;
    pad.Feed(state);
    EXPECT_TRUE(pad.Take().empty()); // the window has both already
    pad.Feed(PadState());
    EXPECT_TRUE(pad.Take().empty()); // the keyboard and the mouse still hold them
    EXPECT_TRUE(pad.held.Release(kKeyboard, 'W'));

    pad.Feed(state);
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{'W', true}}));
    EXPECT_FALSE(pad.held.Release(kKeyboard, 'W')); // the stick still walks
}

TEST(Gamepad, BackQuitsOnlyWhenHeldForASecond)
{
    Pad pad;
    PadState back;
    back.back = true;
    pad.Feed(back);
    pad.Feed(back, 900000);
    pad.Feed(PadState(), 100000); // let go after 0.9 s: a tap
    pad.Feed(back, 50000);
    pad.Feed(back, PadMapping::kBackHoldMicro - 1); // the timer began again with this press
    EXPECT_TRUE(pad.Take().empty());
    pad.Feed(back, 1);
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{VK_ESCAPE, true}}));
    pad.Feed(back, 500000);
    pad.Feed(PadState());
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{VK_ESCAPE, false}}));
}

TEST(Gamepad, RightStickSpeedHasADeadZoneACurveAndAFullSpeed)
{
    EXPECT_EQ(LookSpeedOfStick(0.24f, 0.0f).x, 0.0f);
    EXPECT_EQ(LookSpeedOfStick(-0.15f, 0.15f).y, 0.0f); // 0.21 from the centre
    EXPECT_GT(LookSpeedOfStick(0.26f, 0.0f).x, 0.0f);
    EXPECT_LT(LookSpeedOfStick(0.26f, 0.0f).x, 1.0f); // barely past it: barely moving
    EXPECT_NEAR(LookSpeedOfStick(1.0f, 0.0f).x, kLookPixelsPerSecond, 0.5f);
    EXPECT_NEAR(LookSpeedOfStick(-1.0f, 0.0f).x, -kLookPixelsPerSecond, 0.5f);
    EXPECT_NEAR(LookSpeedOfStick(0.0f, 1.0f).y, -kLookPixelsPerSecond, 0.5f); // forward: up the screen
    // Halfway between the dead zone and the rim: a quarter of the speed.
    EXPECT_NEAR(LookSpeedOfStick(0.625f, 0.0f).x, kLookPixelsPerSecond / 4, 0.5f);
    // A square gate's corner is full deflection, not more.
    LookSpeed corner = LookSpeedOfStick(1.0f, 1.0f);
    EXPECT_NEAR(std::hypot(corner.x, corner.y), kLookPixelsPerSecond, 0.5f);
}

TEST(Gamepad, FullRightStickTurnsHalfATurnInASecondAtSixtyFrames)
{
    // Polled every 2 ms, as the backends do while the game waits for its next
    // frame; the game reads the cursor 60 times a second and turns 2/1000 of a
    // radian a pixel.
    Pad pad;
    pad.Feed(Stick(1.0f, 0.0f, true));
    int frameMotion = 0;
    double turned = 0.0;
    for (int frame = 0; frame < 60; ++frame) {
        for (int poll = 0; poll < 8; ++poll) // 8 polls of 2083 us: one frame
            frameMotion += pad.Feed(Stick(1.0f, 0.0f, true), 2083).dx;
        turned += frameMotion * 2.0 / 1000.0;
        frameMotion = 0;
    }
    EXPECT_NEAR(turned, 3.14159, 0.01);

    // A stick back at rest moves nothing more, however long it rests, and a
    // poll after a long stall moves no more than a tenth of a second's worth.
    EXPECT_EQ(pad.Feed(Stick(0.1f, 0.1f, true), 1000000).dx, 0);
    EXPECT_EQ(pad.Feed(Stick(0.1f, 0.1f, true), 1000000).dx, 0);
    EXPECT_EQ(pad.Feed(Stick(-1.0f, 0.0f, true), 5000000).dx, -157);
}

TEST(Gamepad, SeveralPadsPlayAsOne)
{
    PadState merged;
    PadState first = Stick(0.3f, 0.0f);
    first.rightX = 0.9f;
    first.a = true;
    PadState second = Stick(0.0f, -0.8f);
    second.rightY = 0.5f;
    second.rightTrigger = 0.7f;
    second.back = true;
    MergePad(merged, first);
    MergePad(merged, second);
    EXPECT_EQ(merged.leftX, 0.0f);
    EXPECT_EQ(merged.leftY, -0.8f);
    EXPECT_EQ(merged.rightX, 0.9f);
    EXPECT_EQ(merged.rightY, 0.0f);
    EXPECT_EQ(merged.rightTrigger, 0.7f);
    EXPECT_TRUE(merged.a && merged.back);
    EXPECT_FALSE(merged.start);
}
