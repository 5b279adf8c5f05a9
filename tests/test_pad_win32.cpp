// A stand-in XInput pad through the Windows layer's own seam: read on the
// window's timer, from its state to what the window procedure makes of the
// messages, beside the keyboard's and the mouse's through the same seam.

#include "support/GLWindow.h"
#include "toolkit/platform/win32/Input.h"

#include <cmath>

using namespace TovarToolkit;

namespace {

XINPUT_STATE g_pad;
bool g_plugged = false;

DWORD WINAPI StandInGetState(DWORD user, XINPUT_STATE* state)
{
    if (user != 0 || !g_plugged)
        return ERROR_DEVICE_NOT_CONNECTED;
    *state = g_pad;
    return ERROR_SUCCESS;
}

// Takes the messages for that long, as the game's loop does.
void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

class PadTest : public GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        g_pad = XINPUT_STATE();
        g_plugged = true;
        TovarWin32::UseXInputGetState(StandInGetState);
        Pump(50);
    }
    void TearDown() override
    {
        g_plugged = false;
        Pump(50);
        TovarWin32::UseXInputGetState(nullptr);
    }
};

} // namespace

TEST_F(PadTest, StandInPadHoldsKeysSharedWithKeyboardAndMouseUntilUnplugged)
{
    ASSERT_EQ(GetForegroundWindow(), hwnd) << "the pad plays only in the window with the focus";
    g_pad.Gamepad.sThumbLY = 30000;
    g_pad.Gamepad.sThumbLX = -30000; // forward and left
    g_pad.Gamepad.wButtons = XINPUT_GAMEPAD_START | XINPUT_GAMEPAD_DPAD_DOWN;
    g_pad.Gamepad.bRightTrigger = 200;
    Pump(100);
    EXPECT_TRUE(TW.Key['W'] && TW.Key['A'] && TW.Key[VK_SPACE] && TW.Key[VK_DOWN] && TW.lmouse);

    // The keyboard presses W and the mouse lets go of a click while the pad
    // holds both: the window keeps them until the last device lets go.
    SendMessageA(hwnd, WM_KEYDOWN, 'W', 1);
    SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(TW.lmouse);
    g_pad.Gamepad.sThumbLY = 0;
    g_pad.Gamepad.sThumbLX = 0;
    g_pad.Gamepad.bRightTrigger = 0;
    Pump(100);
    EXPECT_TRUE(TW.Key['W']);
    EXPECT_FALSE(TW.Key['A'] || TW.lmouse);
    SendMessageA(hwnd, WM_KEYUP, 'W', 1 | LPARAM(3) << 30);
    EXPECT_FALSE(TW.Key['W']);

    g_plugged = false;
    Pump(100);
    EXPECT_FALSE(TW.Key[VK_SPACE] || TW.Key[VK_DOWN]);
}

TEST_F(PadTest, BackHeldASecondIsEscapeAndTheRightStickMovesTheHiddenCursor)
{
    g_pad.Gamepad.wButtons = XINPUT_GAMEPAD_BACK;
    Pump(800);
    EXPECT_FALSE(TW.Key[VK_ESCAPE]);
    Pump(400);
    EXPECT_TRUE(TW.Key[VK_ESCAPE]);
    g_pad.Gamepad.wButtons = 0;
    Pump(50);
    EXPECT_FALSE(TW.Key[VK_ESCAPE]);

    TovarPlatform::SetCursorVisible(false);
    SetCursorPos(400, 300);
    g_pad.Gamepad.sThumbRX = 32767;
    const long long start = TovarPlatform::SteadyMicroseconds();
    Pump(300);
    const double seconds = (TovarPlatform::SteadyMicroseconds() - start) / 1e6;
    g_pad.Gamepad.sThumbRX = 0;
    Pump(30);
    POINT cursor = {};
    GetCursorPos(&cursor);
    TovarPlatform::SetCursorVisible(true);
    EXPECT_EQ(cursor.y, 300);
    EXPECT_NEAR(cursor.x - 400, 1571 * seconds, 1571 * seconds * 0.15) << "over " << seconds << " s";
}
