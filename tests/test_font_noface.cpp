// A system where fontconfig knows no face at all: the font must come out
// empty, not crash, and text must still lay out (as nothing).

#include "support/GLWindow.h"
#include "support/TempDir.h"

#include "toolkit/Font.h"

#include <cstdlib>
#include <fstream>
#include <memory>

using namespace TovarToolkit;

namespace {

TovarFont font;

class NoFaceTest : public GLWindowTest {
protected:
    static std::unique_ptr<TempDir> dir;

    static void SetUpTestSuite()
    {
        // Before anything in this process asks fontconfig: a configuration
        // with no font directories.
        dir.reset(new TempDir);
        std::ofstream(dir->file("fonts.conf")) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
        setenv("FONTCONFIG_FILE", dir->file("fonts.conf").c_str(), 1);
        GLWindowTest::SetUpTestSuite();
    }
    static void TearDownTestSuite()
    {
        GLWindowTest::TearDownTestSuite();
        dir.reset();
    }
};
std::unique_ptr<TempDir> NoFaceTest::dir;

} // namespace

TEST_F(NoFaceTest, AMissingFaceLeavesEmptyListsAndZeroMetrics)
{
    EXPECT_EQ(font.CreateGLFont("Comic Sans MS"), 0u) << "failure is reported";
    ASSERT_NE(font.FontListID, 0u) << "the names are still reserved";
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(font.GlyphInfo[c].gmfCellIncX, 0.0f) << c;
        EXPECT_EQ(font.GlyphInfo[c].gmfBlackBoxY, 0.0f) << c;
    }

    // Text draws nothing and takes no room.
    static GLfloat buffer[4096];
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer(4096, GL_3D, buffer);
    glRenderMode(GL_FEEDBACK);
    font.DrawTextA(0, 0, -5, "Score: %i", 120);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0);
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
    EXPECT_NEAR(m[12], 0.0, 1e-6);
    EXPECT_NEAR(m[14], 0.0, 1e-6);
}
