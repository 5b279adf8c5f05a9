#include "support/GLWindow.h"
#include "toolkit/Camera.h"

#include <cmath>

using namespace TovarToolkit;

namespace {

// Modelview times the point (x, y, z, 1).
void Transform(const GLdouble m[16], double x, double y, double z, double out[3])
{
    for (int r = 0; r < 3; ++r)
        out[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
}

} // namespace

using CameraLook = GLWindowTest;

TEST_F(CameraLook, SetsTheViewingTransformAndCopiesTheNineComponents)
{
    TovarCamera c;
    c.PositionCamera(5, 4, 10, 0, 3, 0, 0, 0.1f, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    c.Look();

    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The eye goes to the origin, the point looked at onto the -z axis.
    double eye[3], view[3], above[3];
    Transform(m, 5, 4, 10, eye);
    Transform(m, 0, 3, 0, view);
    Transform(m, 5, 5, 10, above);
    for (double e : eye)
        EXPECT_NEAR(e, 0.0, 1e-5);
    EXPECT_NEAR(view[0], 0.0, 1e-5);
    EXPECT_NEAR(view[1], 0.0, 1e-5);
    EXPECT_NEAR(view[2], -std::sqrt(25.0 + 1.0 + 100.0), 1e-4);
    // Above the eye shows up above the centre of the screen.
    EXPECT_NEAR(above[0], 0.0, 1e-5);
    EXPECT_GT(above[1], 0.9);

    const float expected[9] = {5, 4, 10, 0, 3, 0, 0, 0.1f, 0};
    const float got[9] = {c.posx, c.posy, c.posz, c.viewx, c.viewy, c.viewz, c.upx, c.upy, c.upz};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(got[i], expected[i]) << "component " << i;
}
