#include "toolkit/Camera.h"
#include "toolkit/platform/Platform.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace TovarToolkit;

namespace {

bool Finite(const TovarVector3f& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void ExpectVec(const TovarVector3f& v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

// Heading of the line of sight in the ground plane.
float Heading(const TovarCamera& c)
{
    TovarVector3f v = c.m_vView - c.m_vPosition;
    return std::atan2(v.x, v.z);
}

} // namespace

TEST(CameraVectors, CrossMagnitudeAndNormalize)
{
    // Right-handed: x cross y is z.
    ExpectVec(Cross(TovarVector3f(1, 0, 0), TovarVector3f(0, 1, 0)), 0, 0, 1, 0);
    ExpectVec(Cross(TovarVector3f(0, 1, 0), TovarVector3f(1, 0, 0)), 0, 0, -1, 0);
    EXPECT_FLOAT_EQ(Magnitude(TovarVector3f(2, 3, 6)), 7.0f);

    TovarVector3f v(1, 2, 2);
    TovarVector3f n = Normalize(v);
    // A true division per component, not a multiplication by 1/3.
    EXPECT_EQ(n.x, 1.0f / 3.0f);
    EXPECT_EQ(n.y, 2.0f / 3.0f);
    EXPECT_NEAR(Magnitude(n), 1.0f, 1e-6f);

    // No direction: stays zero rather than becoming NaN, also when the length
    // underflows although the components do not.
    ExpectVec(Normalize(TovarVector3f(0, 0, 0)), 0, 0, 0, 0);
    TovarVector3f tiny = Normalize(TovarVector3f(1e-30f, 0, 0));
    EXPECT_TRUE(Finite(tiny));
}

TEST(Camera, DefaultStateAndPositionCamera)
{
    TovarCamera c;
    ExpectVec(c.m_vPosition, 0, 0, 0, 0);
    ExpectVec(c.m_vView, 0, 1.0f, 0.5f, 0);
    ExpectVec(c.m_vUpVector, 0, 0, 1.0f, 0);
    ExpectVec(c.m_vStrafe, 0, 0, 0, 0);
    EXPECT_EQ(c.Yaw, 0.0f);
    EXPECT_EQ(c.Pitch, 0.0f);

    c.m_vStrafe = TovarVector3f(1, 0, 0);
    c.PositionCamera(5, 4, 10, 0, 3, 0, 0, 0.1f, 0);
    ExpectVec(c.m_vPosition, 5, 4, 10, 0);
    ExpectVec(c.m_vView, 0, 3, 0, 0);
    ExpectVec(c.m_vUpVector, 0, 0.1f, 0, 0);
    ExpectVec(c.m_vStrafe, 1, 0, 0, 0); // only the three points change
}

TEST(Camera, RotateViewTurnsTheLineOfSightAboutTheEye)
{
    TovarCamera c;
    c.PositionCamera(1, 2, 3, 1, 2, 5, 0, 1, 0); // looking along +z, 2 units
    // A positive turn about the vertical takes +z toward +x.
    c.RotateView(static_cast<float>(std::acos(0.0)), 0, 1, 0);
    ExpectVec(c.m_vPosition, 1, 2, 3, 0);
    ExpectVec(c.m_vView, 3, 2, 3);

    // Any axis: the length of the line of sight is kept and the part along the
    // axis is unchanged.
    c.PositionCamera(0, 0, 0, 3, 4, 12, 0, 1, 0);
    float a = 0.8f, s = 1.0f / std::sqrt(3.0f);
    c.RotateView(a, s, s, s);
    TovarVector3f v = c.m_vView - c.m_vPosition;
    EXPECT_NEAR(Magnitude(v), 13.0f, 1e-4f);
    EXPECT_NEAR((v.x + v.y + v.z) * s, (3 + 4 + 12) * s, 1e-4f);

    // A zero line of sight stays zero.
    c.PositionCamera(1, 1, 1, 1, 1, 1, 0, 1, 0);
    c.RotateView(0.3f, 0, 1, 0);
    ExpectVec(c.m_vView, 1, 1, 1, 0);
}

TEST(Camera, UpdateGivesTheUnitRightVectorAndKeepsItWithoutADirection)
{
    TovarCamera c;
    c.PositionCamera(5, 4, 10, 0, 3, 0, 0, 0.1f, 0);
    c.Update();
    TovarVector3f sight = c.m_vView - c.m_vPosition;
    EXPECT_NEAR(Magnitude(c.m_vStrafe), 1.0f, 1e-6f);
    EXPECT_NEAR(sight.DotProduct(sight, c.m_vStrafe), 0.0f, 1e-5f);
    EXPECT_NEAR(c.m_vStrafe.y, 0.0f, 1e-6f);
    // To the right of someone looking toward -x and -z is +x, -z.
    EXPECT_GT(c.m_vStrafe.x, 0.0f);
    EXPECT_LT(c.m_vStrafe.z, 0.0f);

    TovarVector3f right = c.m_vStrafe;
    c.PositionCamera(0, 0, 0, 0, 5, 0, 0, 0.1f, 0); // looking straight up
    c.Update();
    ExpectVec(c.m_vStrafe, right.x, right.y, right.z, 0);
    c.PositionCamera(2, 2, 2, 2, 2, 2, 0, 1, 0); // no line of sight at all
    c.Update();
    ExpectVec(c.m_vStrafe, right.x, right.y, right.z, 0);
}

TEST(Camera, StrafeUsesTheRightVectorOfTheLastUpdate)
{
    TovarCamera c;
    c.PositionCamera(0, 4, 0, 0, 4, -10, 0, 1, 0); // looking along -z
    c.Update();
    ExpectVec(c.m_vStrafe, 1, 0, 0);
    c.StrafeCamera(0.5f);
    ExpectVec(c.m_vPosition, 0.5f, 4, 0);
    ExpectVec(c.m_vView, 0.5f, 4, -10);

    // Turned but not updated yet: still strafes along the old right vector.
    c.RotateView(static_cast<float>(std::acos(0.0)), 0, 1, 0);
    c.StrafeCamera(-1.0f);
    ExpectVec(c.m_vPosition, -0.5f, 4, 0);

    // y never changes, whatever the right vector holds.
    c.m_vStrafe = TovarVector3f(0, 1, 0);
    c.StrafeCamera(3.0f);
    EXPECT_FLOAT_EQ(c.m_vPosition.y, 4.0f);
}

TEST(Camera, MoveCameraWalksLevelAndRecordsTheLastPosition)
{
    TovarCamera c;
    c.PositionCamera(0, 0, 0, 3, 4, 0, 0, 1, 0); // looking up at an angle
    c.MoveCamera(10.0f);
    // The 3-D unit vector is (0.6, 0.8, 0): only its horizontal part moves us.
    ExpectVec(c.m_vPosition, 6, 0, 0);
    ExpectVec(c.m_vView, 9, 4, 0);
    EXPECT_EQ(c.LastPosx, 0.0f);
    EXPECT_EQ(c.LastPosy, 0.0f);
    EXPECT_EQ(c.LastPosz, 0.0f);

    c.MoveCamera(-5.0f);
    ExpectVec(c.m_vPosition, 3, 0, 0);
    EXPECT_FLOAT_EQ(c.LastPosx, 6.0f);

    // Straight up: nothing moves, the last position is still recorded.
    c.PositionCamera(1, 2, 3, 1, 9, 3, 0, 1, 0);
    c.MoveCamera(4.0f);
    ExpectVec(c.m_vPosition, 1, 2, 3, 0);
    EXPECT_EQ(c.LastPosx, 1.0f);
    EXPECT_EQ(c.LastPosy, 2.0f);
    EXPECT_EQ(c.LastPosz, 3.0f);

    // No line of sight: no step, and no NaN.
    c.PositionCamera(7, 7, 7, 7, 7, 7, 0, 1, 0);
    c.MoveCamera(1.0f);
    ExpectVec(c.m_vPosition, 7, 7, 7, 0);
    ExpectVec(c.m_vView, 7, 7, 7, 0);
}

TEST(Camera, MoveCameraBFliesAlongTheLineOfSight)
{
    TovarCamera c;
    c.PositionCamera(0, 0, 0, 3, 4, 0, 0, 1, 0);
    c.LastPosx = c.LastPosy = c.LastPosz = -1.0f;
    c.MoveCameraB(10.0f);
    ExpectVec(c.m_vPosition, 6, 8, 0, 1e-4f);
    ExpectVec(c.m_vView, 9, 12, 0, 1e-4f);
    EXPECT_EQ(c.LastPosx, -1.0f); // free flight leaves the walk record alone

    c.PositionCamera(7, 7, 7, 7, 7, 7, 0, 1, 0);
    c.MoveCameraB(1.0f);
    EXPECT_TRUE(Finite(c.m_vPosition));
    ExpectVec(c.m_vPosition, 7, 7, 7, 0);
    ExpectVec(c.m_vView, 7, 7, 7, 0);
}

// ---- Mouse look ---------------------------------------------------------------
// The vertical limit is a running sum that the camera keeps from its last
// placing. Some tests drive it against a limit, to start from a known edge.

class MouseLook : public ::testing::Test {
protected:
    static constexpr int W = 800, H = 600, MX = 400, MY = 300;

    void SetUp() override { Reset(); }

#ifdef _WIN32
    // Under Wine the cursor is clipped to an empty desktop until the desktop
    // process has set it up, shortly after start: wait for a position to hold.
    static void SetUpTestSuite()
    {
        for (int i = 0; i < 500; ++i) {
            POINT p = {0, 0};
            if (SetCursorPos(MX, MY) && GetCursorPos(&p) && p.x == MX && p.y == MY)
                return;
            Sleep(10);
        }
    }
#endif

    void Reset()
    {
        cam = TovarCamera();
        cam.PositionCamera(0, 4, 0, 0, 4, -10, 0, 1, 0); // level, toward -z
    }

    // Moves the cursor by (dx, dy) from the middle and looks.
    void Look(int dx, int dy)
    {
        SetCursorPos(MX + dx, MY + dy);
        cam.ViewByMouse(W, H, 2.0f);
    }

    // Pushes the sum past a limit in steps that stay on a screen (a Windows
    // cursor cannot leave it), then places the camera level again, keeping
    // the sum at that limit.
    void PinAtLimit(int dy)
    {
        for (int i = 0; i < 8; ++i) // 8 x 0.3 passes a limit from anywhere in [-1, 1]
            Look(0, dy);
        const float sum = cam.currentRotX; // placing the camera starts the sum afresh
        Reset();
        cam.currentRotX = sum;
    }

    void PinAtUpperLimit()
    {
        PinAtLimit(300);
        TovarVector3f view = cam.m_vView;
        Look(0, 1); // past the limit: no turn
        ExpectVec(cam.m_vView, view.x, view.y, view.z, 0);
        cam.Yaw = cam.Pitch = 0;
    }

    TovarCamera cam;
};

TEST_F(MouseLook, CentredCursorChangesNothingButStillHidesIt)
{
    TovarPlatform::SetCursorVisible(true);
    ASSERT_TRUE(TovarPlatform::IsCursorVisible());
    Look(0, 0);
    EXPECT_FALSE(TovarPlatform::IsCursorVisible());
    ExpectVec(cam.m_vView, 0, 4, -10, 0);
    EXPECT_EQ(cam.Yaw, 0.0f);
    EXPECT_EQ(cam.Pitch, 0.0f);

    // The middle is half the given size, rounded down.
    SetCursorPos(400, 300);
    cam.ViewByMouse(801, 601, 2.0f);
    ExpectVec(cam.m_vView, 0, 4, -10, 0);
    EXPECT_EQ(cam.Yaw, 0.0f);
}

TEST_F(MouseLook, YawAndPitchStepByAQuarterPerCallAndTheCursorIsCentred)
{
    PinAtUpperLimit();
    Look(-300, 0); // left, however far
    EXPECT_EQ(cam.Yaw, -0.25f);
    EXPECT_EQ(cam.Pitch, 0.0f);
    POINT p = {0, 0};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, MX);
    EXPECT_EQ(p.y, MY);

    Look(1, 0);
    EXPECT_EQ(cam.Yaw, 0.0f);
    Look(0, -1); // up
    EXPECT_EQ(cam.Pitch, 0.25f);
    EXPECT_EQ(cam.Yaw, 0.0f);
    Look(2, 200); // down and right
    EXPECT_EQ(cam.Pitch, 0.0f);
    EXPECT_EQ(cam.Yaw, 0.25f);
}

TEST_F(MouseLook, HorizontalMotionTurnsAboutTheVertical)
{
    PinAtUpperLimit();
    // 100 pixels left at sensitivity 2: a 0.2 radian turn to the left, level.
    // At the limit itself a purely horizontal motion still turns: the sum is
    // left where it is, not pushed past it.
    Look(-100, 0);
    EXPECT_NEAR(cam.m_vView.x, -10 * std::sin(0.2f), 1e-4f);
    EXPECT_NEAR(cam.m_vView.z, -10 * std::cos(0.2f), 1e-4f);
    EXPECT_NEAR(cam.m_vView.y, 4.0f, 1e-5f);
    ExpectVec(cam.m_vPosition, 0, 4, 0, 0);

    float before = Heading(cam);
    Look(50, 0);
    EXPECT_NEAR(Heading(cam) - before, -0.1f, 1e-4f); // 50 pixels right: 0.1 radians back
}

TEST_F(MouseLook, MovingUpTipsTheViewUpAboutTheRightAxis)
{
    PinAtUpperLimit();
    Look(0, -100); // sum 1 - 0.1: inside, turns up by 0.2 radians
    TovarVector3f v = cam.m_vView - cam.m_vPosition;
    EXPECT_NEAR(v.y, 10 * std::sin(0.2f), 1e-4f);
    EXPECT_NEAR(v.z, -10 * std::cos(0.2f), 1e-4f);
    EXPECT_NEAR(v.x, 0.0f, 1e-5f);
}

TEST_F(MouseLook, TheLimitStopsBothTurnsForThatCall)
{
    PinAtUpperLimit();
    Look(0, -10); // 0.99
    EXPECT_NE(cam.m_vView.y, 4.0f);

    // Down by 0.05 would give 1.04: clamped to exactly 1, and not even the
    // horizontal part of the motion turns the view.
    TovarVector3f view = cam.m_vView;
    Look(300, 50);
    ExpectVec(cam.m_vView, view.x, view.y, view.z, 0);
    EXPECT_EQ(cam.Yaw, 0.25f); // the counters still step

    // Clamped to 1 rather than left at 1.04: one pixel up turns again.
    Look(0, -1);
    EXPECT_NE(cam.m_vView.y, view.y);

    // The lower limit likewise.
    PinAtLimit(-300);
    Look(0, -1);
    ExpectVec(cam.m_vView, 0, 4, -10, 0);
    Look(-100, 0); // at -1 exactly, horizontal motion turns
    EXPECT_NE(cam.m_vView.x, 0.0f);
    view = cam.m_vView;
    Look(-100, -1); // -1.001: no turn at all
    ExpectVec(cam.m_vView, view.x, view.y, view.z, 0);
}

TEST_F(MouseLook, LookingAlongTheUpVectorStillTurnsSidewaysWithoutNaN)
{
    PinAtUpperLimit();
    cam.PositionCamera(0, 0, 0, 0, 0, -10, 0, 0, -1); // up vector along the sight
    Look(-100, -10);
    EXPECT_TRUE(Finite(cam.m_vView));
    // Only the turn about the vertical: 0.2 radians to the left.
    EXPECT_NEAR(cam.m_vView.x, -10 * std::sin(0.2f), 1e-4f);
    EXPECT_NEAR(cam.m_vView.y, 0.0f, 1e-5f);
}

TEST_F(MouseLook, PlacingTheCameraAgainRestartsTheLimit)
{
    Look(0, -5000); // up to the limit: the sum stands at -1
    Reset();        // a new game places the camera again: it can look up once more
    Look(0, -1);
    EXPECT_GT(cam.m_vView.y, 4.0f);
    EXPECT_EQ(cam.currentRotX, -0.001f);
    EXPECT_EQ(TovarCamera().currentRotX, 0.0f) << "each camera keeps its own";
}
