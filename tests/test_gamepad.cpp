// The one gamepad mapping: what a pad holds, shares with the keyboard and
// lets go of, and how far its right stick moves the cursor.

#include "toolkit/platform/common/Gamepad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using namespace TovarCommon;

namespace {

using Posted = std::pair<int, bool>; // a key, and whether it goes down

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
    std::vector<Posted> Take() { return std::exchange(posted, {}); }
};

PadState Stick(float x, float y, bool right = false)
{
    PadState state;
    (right ? state.rightX : state.leftX) = x;
    (right ? state.rightY : state.leftY) = y;
    return state;
}

} // namespace

TEST(Gamepad, StickDPadFireAndStartHoldKeysSharedWithTheKeyboardAndUnpluggingLetsGoOfThem)
{
    Pad pad;
    pad.held.Press(kKeyboard, 'D');
    pad.Feed(Stick(0.2f, 0.1f)); // inside the dead zone
    EXPECT_TRUE(pad.Take().empty());
    pad.Feed(Stick(0.6f, 0.6f)); // a diagonal
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{'W', true}})); // D was down already

    PadState all = Stick(0.0f, -0.9f);
    all.left = true;
    all.rightTrigger = 0.8f;
    all.start = true;
    pad.Feed(all);
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{'W', false}, {'S', true}, {VK_LEFT, true}, {VK_LBUTTON, true},
                                               {VK_SPACE, true}})); // the keyboard still holds D
    all.rightTrigger = 0.1f; // a trigger resting near the top does not fire; A does
    all.a = true;
    pad.Feed(all);
    EXPECT_TRUE(pad.Take().empty());

    pad.Feed(PadState()); // unplugged
    EXPECT_EQ(pad.Take(), (std::vector<Posted>{{'S', false}, {VK_LEFT, false}, {VK_LBUTTON, false},
                                               {VK_SPACE, false}}));
    EXPECT_TRUE(pad.held.Release(kKeyboard, 'D'));
    for (int vk = 0; vk < 256; ++vk)
        EXPECT_FALSE(pad.held.Held(vk)) << vk;
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
    EXPECT_EQ(LookSpeedOfStick(-0.17f, 0.17f).x, 0.0f); // 0.24 from the centre
    EXPECT_TRUE(LookSpeedOfStick(0.26f, 0.0f).x > 0.0f && LookSpeedOfStick(0.26f, 0.0f).x < 1.0f); // barely
    EXPECT_NEAR(LookSpeedOfStick(0.625f, 0.0f).x, kLookPixelsPerSecond / 4, 0.5f); // halfway: a quarter
    EXPECT_NEAR(LookSpeedOfStick(0.0f, 1.0f).y, -kLookPixelsPerSecond, 0.5f); // forward: up the screen
    const LookSpeed corner = LookSpeedOfStick(-1.0f, 1.0f); // a square gate's corner: full, not more
    EXPECT_NEAR(std::hypot(corner.x, corner.y), kLookPixelsPerSecond, 0.5f);
}

TEST(Gamepad, FullRightStickTurnsHalfATurnASecond)
{
    // Polled every 2 ms, as the backends do while the game waits for its next
    // frame; the mouse look turns 2/1000 of a radian a pixel.
    Pad pad;
    pad.Feed(Stick(1.0f, 0.0f, true));
    int pixels = 0;
    for (int poll = 0; poll < 480; ++poll) // 60 frames of 8 polls
        pixels += pad.Feed(Stick(1.0f, 0.0f, true), 2083).dx;
    EXPECT_NEAR(pixels * 2.0 / 1000.0, 3.14159, 0.01);

    // A stick back at rest moves nothing more, however long it rests, and a
    // poll after a long stall moves no more than a tenth of a second's worth.
    EXPECT_EQ(pad.Feed(Stick(0.1f, 0.1f, true), 1000000).dx, 0);
    EXPECT_EQ(pad.Feed(Stick(0.1f, 0.1f, true), 1000000).dx, 0);
    EXPECT_EQ(pad.Feed(Stick(-1.0f, 0.0f, true), 5000000).dx, -157);
}

TEST(Gamepad, SeveralPadsPlayAsOne)
{
    PadState merged, first = Stick(0.3f, 0.0f), second = Stick(0.0f, -0.8f);
    first.a = true;
    MergePad(merged, first);
    MergePad(merged, second);
    EXPECT_TRUE(merged.leftX == 0.0f && merged.leftY == -0.8f); // the stick pushed furthest, whole
    EXPECT_TRUE(merged.a && !merged.start);
}
