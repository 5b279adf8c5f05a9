#include "support/GLWindow.h"

#include <cmath>

using namespace TovarToolkit;

namespace {

void ExpectProjection(double aspect)
{
    GLdouble got[16], want[16];
    glGetDoublev(GL_PROJECTION_MATRIX, got);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(45.0, aspect, 0.1f, 10000.0f);
    glGetDoublev(GL_PROJECTION_MATRIX, want);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-6 * (1 + std::fabs(want[i]))) << "element " << i;
}

} // namespace

using WindowTest = GLWindowTest;

TEST_F(WindowTest, CreateGivesTheClientAreaAndThe45DegreeProjection)
{
    ASSERT_NE(hwnd, nullptr);
    ASSERT_NE(hdc, nullptr);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    ExpectProjection(800.0 / 600.0);
    GLint depthBits = 0, doubleBuffer = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffer);
    EXPECT_GE(depthBits, 16);
    EXPECT_TRUE(doubleBuffer);
}

TEST_F(WindowTest, AZeroHeightIsTakenAsOne)
{
    TW.ReSize(640, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 1);
    ExpectProjection(640.0);
    TW.ReSize(800, 600);
}

TEST_F(WindowTest, SizeMessagesReachTheProjection)
{
    WindowProc(hwnd, WM_SIZE, 0, MAKELPARAM(400, 300));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 300);
    TW.ReSize(800, 600);
}

TEST_F(WindowTest, AClearedFramePresentsAndReadsBack)
{
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    unsigned char pixel[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(400, 300, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_TRUE(SwapBuffers(hdc));
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

#ifndef _WIN32
// Before the window has the focus the mouse look still starts from its middle:
// the first look does not jump the view. (The SDL layer's virtual cursor;
// Windows keeps the real one where the user left it.)
TEST_F(WindowTest, TheCursorHiddenBeforeTheFocusStartsInTheMiddle)
{
    ASSERT_TRUE(TovarPlatform::IsCursorVisible());
    ShowCursor(FALSE);
    POINT p = {-1, -1};
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    ShowCursor(TRUE);
    EXPECT_TRUE(TovarPlatform::IsCursorVisible());
}
#endif

#ifdef _WIN32
// The refresh rate is that of the window's monitor (not the primary one), so
// there is none without a window.
TEST_F(WindowTest, TheRefreshRateIsThatOfTheWindowsMonitor)
{
    MONITORINFOEXA monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    ASSERT_TRUE(EnumDisplaySettingsA(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(TovarPlatform::DisplayRefreshRate(), mode.dmDisplayFrequency > 1 ? int(mode.dmDisplayFrequency) : 0);
    wglMakeCurrent(nullptr, nullptr);
    EXPECT_EQ(TovarPlatform::DisplayRefreshRate(), 0);
    wglMakeCurrent(hdc, TW.hRC);
}
#endif
