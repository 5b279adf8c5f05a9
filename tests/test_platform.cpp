// The window procedure fed with messages, and the message queue, without a window.

#include "game/main.h"
#include "toolkit/Window.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace TovarToolkit;

namespace {

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return WindowProc(nullptr, message, wParam, lParam);
}

void DrainQueue()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TW = TovarWindow();
        DrainQueue();
    }
    void TearDown() override { DrainQueue(); }
};

} // namespace

TEST_F(WindowProcTest, KeysFollowDownAndUpThroughAutoRepeat)
{
    EXPECT_EQ(Send(WM_KEYDOWN, 'W'), 0);
    EXPECT_TRUE(TW.CheckKey('W'));
    Send(WM_KEYDOWN, 'W', 1 << 30); // auto-repeat sets it again
    EXPECT_TRUE(TW.Key['W']);
    Send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(Send(WM_KEYUP, 'W'), 0);
    EXPECT_FALSE(TW.CheckKey('W'));
    EXPECT_TRUE(TW.CheckKey(VK_SPACE));

    EXPECT_TRUE(TW.KeyUp(VK_SPACE));
    EXPECT_FALSE(TW.CheckKey(VK_SPACE));
    EXPECT_FALSE(TW.KeyUp(VK_SPACE));
    EXPECT_FALSE(TW.KeyDown('Q'));
    EXPECT_TRUE(TW.CheckKey('Q'));
    // Codes outside the array are refused, never written.
    EXPECT_FALSE(TW.CheckKey(256));
    EXPECT_FALSE(TW.CheckKey(-1));
    Send(WM_KEYDOWN, 300);
}

TEST_F(WindowProcTest, KeysHeldWithAltLeaveTheKeyArrayAlone)
{
    Send(WM_SYSKEYDOWN, 'W');
    Send(WM_SYSKEYDOWN, VK_MENU);
    EXPECT_FALSE(TW.Key['W']);
    EXPECT_FALSE(TW.Key[VK_MENU]);
}

TEST_F(WindowProcTest, MouseButtonsSetTheirFlags)
{
    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(TW.lmouse);
    EXPECT_FALSE(TW.rmouse);
    Send(WM_RBUTTONDOWN);
    EXPECT_TRUE(TW.rmouse);
    Send(WM_LBUTTONUP);
    Send(WM_RBUTTONUP);
    EXPECT_FALSE(TW.lmouse);
    EXPECT_FALSE(TW.rmouse);
}

TEST_F(WindowProcTest, ActivationFollowsTheMinimisedFlag)
{
    Send(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0));
    EXPECT_TRUE(TW.Active);
    Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1));
    EXPECT_FALSE(TW.Active);
    Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0)); // lost focus, not minimised
    EXPECT_TRUE(TW.Active);
}

TEST_F(WindowProcTest, AwayWhileMinimisedOrAfterLosingTheFocusItHad)
{
    EXPECT_FALSE(TW.Away()) << "never had the focus: plays, as on a bare display";
    Send(WM_SIZE, SIZE_MINIMIZED);
    Send(WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1)); // Windows activates it first, then restores it
    EXPECT_TRUE(TW.Away());
    Send(WM_SIZE, SIZE_RESTORED);
    EXPECT_FALSE(TW.Away());
    Send(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0));
    EXPECT_TRUE(TW.Away());
}

TEST_F(WindowProcTest, TimeAwayIsKeptOutOfTheAnimationClock)
{
    const DWORD ticks = TovarPlatform::TickCount(), game = GameTicks();
    Send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_TRUE(WaitWhileAway());
    const DWORD frozen = GameTicks();
    while (TovarPlatform::TickCount() - ticks < 200)
        EXPECT_TRUE(WaitWhileAway());
    EXPECT_EQ(GameTicks(), frozen) << "the animation clock ran while away";
    Send(WM_SIZE, SIZE_RESTORED);
    EXPECT_FALSE(WaitWhileAway());
    const DWORD played = GameTicks() - game, passed = TovarPlatform::TickCount() - ticks;
    EXPECT_GE(passed - played, 190u) << "the time away was not kept out of the clock";
}

TEST_F(WindowProcTest, CloseOnlyPostsTheQuitMessage)
{
    EXPECT_EQ(Send(WM_CLOSE), 0);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowProcTest, ScreenSaverAndMonitorPowerAreRefused)
{
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(WindowProcTest, SizeBeforeAContextChangesNoState)
{
    EXPECT_EQ(Send(WM_SIZE, 0, MAKELPARAM(640, 0)), 0);
    EXPECT_EQ(TW.hRC, nullptr);
}

TEST(MessageQueue, QuitStaysQueuedUntilTakenWithCodeZero)
{
    DrainQueue();
    PostQuitMessage(0);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT); // still there: the queue is not empty
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// Our own virtual cursor; on Windows these are the system's calls.
#ifndef _WIN32
TEST(Cursor, PositionReadsWhatWasSet)
{
    SetCursorPos(123, 456);
    POINT p = {};
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 123);
    EXPECT_EQ(p.y, 456);
}
#endif

// However many play frames hid it, one game-over frame shows it again. The
// system's own call then reads back one step: hidden at -1, shown at 0 (on
// Windows that is the display count, which a hide per frame would have sunk).
TEST(Cursor, VisibilityIsAStateWhateverTheNumberOfFrames)
{
    for (int frame = 0; frame < 100; ++frame)
        TovarPlatform::SetCursorVisible(false);
    EXPECT_FALSE(TovarPlatform::IsCursorVisible());
    TovarPlatform::SetCursorVisible(true);
    EXPECT_TRUE(TovarPlatform::IsCursorVisible());
    TovarPlatform::SetCursorVisible(true);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(TovarPlatform::IsCursorVisible());
}

// The animation reads this count: whole milliseconds, in steps of one (not
// the 10 to 16 ms steps of Windows' GetTickCount), never going back.
TEST(Clock, TicksAdvanceInSingleMilliseconds)
{
    DWORD first = TovarPlatform::TickCount();
    DWORD last = first, smallestStep = ~0u;
    while (last - first < 200) {
        DWORD now = TovarPlatform::TickCount();
        ASSERT_LT(now - last, 1000u) << "went back or jumped";
        if (now != last)
            smallestStep = std::min(smallestStep, now - last);
        last = now;
    }
    EXPECT_EQ(smallestStep, 1u);
}
