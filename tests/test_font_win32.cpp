// The font as Windows makes it (wglUseFontOutlinesA). Under Wine the face is
// a substitute, so its metrics are checked by relation, never by value.

#include "support/GLWindow.h"

#include "toolkit/Font.h"

#include <vector>

using namespace TovarToolkit;

namespace {

TovarFont font; // static storage: zero-filled like the game's own font

class WindowsFontTest : public GLWindowTest {
protected:
    static unsigned int built;
    static void SetUpTestSuite()
    {
        GLWindowTest::SetUpTestSuite();
        if (TW.hRC)
            built = font.CreateGLFont("Comic Sans MS");
    }
    const GLYPHMETRICSFLOAT& Info(unsigned char c) const { return font.GlyphInfo[c]; }

    // Lit pixels after drawing one glyph 100 pixels to the em.
    static int LitPixels(unsigned char c)
    {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        glTranslatef(100, 100, 0);
        glScalef(100, 100, 1);
        glCallList(font.FontListID + c);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        std::vector<unsigned char> pixels(300 * 300 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(50, 50, 300, 300, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        int lit = 0;
        for (size_t i = 0; i < pixels.size(); i += 3)
            lit += pixels[i] > 128;
        return lit;
    }
};
unsigned int WindowsFontTest::built = 0;

} // namespace

TEST_F(WindowsFontTest, ListsAndMetricsComeFromTheSystemFont)
{
    ASSERT_NE(built, 0u);
    for (int c = 0; c < 256; ++c)
        EXPECT_TRUE(glIsList(font.FontListID + c)) << "code " << c;
    // Em square 1.0: a capital stands less than one em high, and W is wider than i.
    EXPECT_GT(Info('H').gmfBlackBoxY, 0.3f);
    EXPECT_LT(Info('H').gmfBlackBoxY, 1.0f);
    EXPECT_GT(Info('W').gmfCellIncX, Info('i').gmfCellIncX);
    EXPECT_GT(Info('i').gmfCellIncX, 0.0f);
    EXPECT_GT(Info(' ').gmfCellIncX, 0.0f);
    // Only codes 0 to 254 are asked for: 255 keeps zero metrics.
    EXPECT_EQ(Info(255).gmfCellIncX, 0.0f);
    EXPECT_EQ(Info(255).gmfBlackBoxX, 0.0f);
}

TEST_F(WindowsFontTest, GlyphsDrawFilledAndAdvanceByTheirCellIncrement)
{
    ASSERT_NE(built, 0u);
    EXPECT_GT(LitPixels('W'), 500);
    EXPECT_EQ(LitPixels(' '), 0);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    font.DrawTextA(0, 0, 0, "Wi");
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
    // The lists advance by exactly the metrics' increments: the matrix ends
    // moved along x by the text's total advance.
    EXPECT_NEAR(m[12], Info('W').gmfCellIncX + Info('i').gmfCellIncX, 1e-4f);
    EXPECT_NEAR(m[13], 0.0f, 1e-6f);
}
