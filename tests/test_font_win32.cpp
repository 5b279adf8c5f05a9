// The font as Windows makes it (wglUseFontOutlinesA). Under Wine the face is
// a substitute, so its metrics are checked by relation, never by value.

#include "support/GLWindow.h"

#include "toolkit/Font.h"

using namespace TovarToolkit;

namespace {

TovarFont font; // static storage: zero-filled like the game's own font

class WindowsFontTest : public GLWindowTest {
protected:
    static void SetUpTestSuite()
    {
        GLWindowTest::SetUpTestSuite();
        if (TW.hRC)
            font.CreateGLFont("Comic Sans MS");
    }
    const GLYPHMETRICSFLOAT& Info(unsigned char c) const { return font.GlyphInfo[c]; }
};

} // namespace

TEST_F(WindowsFontTest, ListsAndMetricsComeFromTheSystemFont)
{
    ASSERT_NE(font.FontListID, 0u);
    for (int c = 0; c < 256; ++c)
        EXPECT_TRUE(glIsList(font.FontListID + c)) << "code " << c;
    // Em square 1.0: a capital stands less than one em high; W is wider than i.
    EXPECT_GT(Info('H').gmfBlackBoxY, 0.3f);
    EXPECT_LT(Info('H').gmfBlackBoxY, 1.0f);
    EXPECT_GT(Info('W').gmfCellIncX, Info('i').gmfCellIncX);
    EXPECT_GT(Info('i').gmfCellIncX, 0.0f);
    // Only codes 0 to 254 are asked for: 255 keeps zero metrics.
    EXPECT_EQ(Info(255).gmfCellIncX, 0.0f);

    // The lists advance by exactly the metrics' increments: after a text the
    // matrix stands moved along x by its total advance.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    font.DrawTextA(0, 0, 0, "Wi");
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
    EXPECT_NEAR(m[12], Info('W').gmfCellIncX + Info('i').gmfCellIncX, 1e-4f);
}
