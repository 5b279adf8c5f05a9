// The browser's fixed-function layer on Mesa's OpenGL ES 2, against the same
// calls through the desktop's GL 1.x (both on llvmpipe, in EGL pbuffers):
// the pixels, the matrices and the state each leaves, and how few draws and
// uploads a frame like the game's costs.
//
// Tolerance: a pixel matches when no channel is more than 2 from the
// desktop's. The two draw the same triangles from the same floats, but the
// layer works out clip coordinates itself and the desktop in its vertex
// code, so a coordinate can land a last bit apart and move an edge pixel;
// each case states how many such pixels it allows.

#include "gl_layer/Scenes.h"
#include "support/EglContexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

// The layer's own names in this build (toolkit/platform/gles2/Renamed.h).
extern "C" {
void TovarGLES2_glFogf(GLenum, GLfloat);
void TovarGLES2_glEnable(GLenum);
GLboolean TovarGLES2_glIsEnabled(GLenum);
void TovarGLES2_glGenTextures(GLsizei, GLuint*);
void TovarGLES2_glBindTexture(GLenum, GLuint);
void TovarGLES2_glDeleteTextures(GLsizei, const GLuint*);
GLboolean TovarGLES2_glIsTexture(GLuint);
}

namespace {

struct Difference {
    int pixels = 0;  // with a channel more than 2 apart
    int largest = 0; // the largest channel difference
};

Difference Compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    Difference d;
    for (size_t i = 0; i + 3 <= a.size() && i + 3 <= b.size(); i += 3) {
        int worst = 0;
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(a[i + c] - b[i + c]));
        d.pixels += worst > 2;
        d.largest = std::max(d.largest, worst);
    }
    return d;
}

std::string Describe(const Difference& d)
{
    return std::to_string(d.pixels) + " pixels beyond the tolerance, largest difference " + std::to_string(d.largest);
}

class GLLayer : public ::testing::Test {
protected:
    EglContexts* egl = nullptr;

    void SetUp() override
    {
        egl = EglContexts::Open();
        if (!egl)
            GTEST_SKIP() << "no surfaceless EGL with both desktop GL and GLES2";
        ASSERT_TRUE(egl->StartLayer());
    }

    std::vector<unsigned char> Desktop(void (*scene)())
    {
        egl->MakeDesktopCurrent();
        scene();
        return DesktopGL::Read(0, 0, 800, 600, GL_RGB, 1);
    }

    std::vector<unsigned char> Layer(void (*scene)())
    {
        egl->MakeLayerCurrent();
        scene();
        return LayerGL::Read(0, 0, 800, 600, GL_RGB, 1);
    }

    Difference Both(void (*desktop)(), void (*layer)()) { return Compare(Desktop(desktop), Layer(layer)); }
};

TEST_F(GLLayer, ImmediateModeDrawsEveryPrimitiveAsTheDesktopDoes)
{
    const Difference d = Both(DesktopGL::Immediate, LayerGL::Immediate);
    EXPECT_LE(d.pixels, 20) << Describe(d);
}

TEST_F(GLLayer, MatricesComeOutAsTheDesktopsToTheBit)
{
    egl->MakeDesktopCurrent();
    const std::vector<float> desktop = DesktopGL::Matrices();
    egl->MakeLayerCurrent();
    const std::vector<float> layer = LayerGL::Matrices();
    ASSERT_EQ(desktop.size(), layer.size());
    for (size_t i = 0; i + 2 < desktop.size(); ++i)
        EXPECT_EQ(desktop[i], layer[i]) << "matrix " << i / 16 << ", element " << i % 16;
    EXPECT_EQ(layer[layer.size() - 2], GL_STACK_UNDERFLOW);
    EXPECT_EQ(layer.back(), GL_STACK_OVERFLOW);
}

TEST_F(GLLayer, TexturesSampleTheSameTexelsAndMipmapLevels)
{
    const Difference d = Both(DesktopGL::Textures, LayerGL::Textures);
    EXPECT_LE(d.pixels, 20) << Describe(d);
}

TEST_F(GLLayer, BlendingAndTheAlphaTestMixAsTheDesktopDoes)
{
    const Difference d = Both(DesktopGL::Blending, LayerGL::Blending);
    EXPECT_EQ(d.pixels, 0) << Describe(d);
}

TEST_F(GLLayer, CullingLeavesOutTheSameFaces)
{
    const Difference d = Both(DesktopGL::Culling, LayerGL::Culling);
    EXPECT_EQ(d.pixels, 0) << Describe(d);
}

TEST_F(GLLayer, DisplayListsNestedAndThroughABaseDrawAndLeaveWhatTheDesktopsDo)
{
    egl->MakeDesktopCurrent();
    const std::vector<float> desktopLeft = DesktopGL::Lists();
    const std::vector<unsigned char> desktop = DesktopGL::Read(0, 0, 800, 600, GL_RGB, 1);
    const std::vector<unsigned> desktopNames = DesktopGL::ListNames();
    egl->MakeLayerCurrent();
    const std::vector<float> layerLeft = LayerGL::Lists();
    const Difference d = Compare(desktop, LayerGL::Read(0, 0, 800, 600, GL_RGB, 1));
    EXPECT_LE(d.pixels, 10) << Describe(d);
    EXPECT_EQ(desktopLeft, layerLeft) << "the modelview matrix and the colour the lists leave";
    EXPECT_EQ(desktopNames, LayerGL::ListNames()) << "names handed out and freed";
}

TEST_F(GLLayer, IndexedArraysDrawTheirContentsEvenWhenTheMemoryIsReused)
{
    const Difference d = Both(DesktopGL::Arrays, LayerGL::Arrays);
    EXPECT_LE(d.pixels, 20) << Describe(d);
}

TEST_F(GLLayer, ReadBackHonoursFormatAndAlignmentAndWritesNothingPastTheRows)
{
    Desktop(DesktopGL::Culling);
    Layer(LayerGL::Culling);
    for (GLenum format : {GL_RGB, GL_RGBA})
        for (int alignment : {1, 2, 4, 8}) {
            egl->MakeDesktopCurrent();
            const std::vector<unsigned char> desktop = DesktopGL::Read(25, 40, 13, 7, format, alignment);
            egl->MakeLayerCurrent();
            EXPECT_EQ(desktop, LayerGL::Read(25, 40, 13, 7, format, alignment))
                << (format == GL_RGB ? "RGB" : "RGBA") << " at alignment " << alignment;
        }
}

TEST_F(GLLayer, AFrameLikeTheGamesIsFourDrawsAndSendsOnlyWhatChanged)
{
    GLES2Counts& counts = EglContexts::Counts();
    auto frame = [&](float pose, float eye) {
        counts = GLES2Counts();
        LayerGL::Frame(pose, eye);
        return counts;
    };
    const GLES2Counts first = frame(0.0f, 5.0f);
    EXPECT_EQ(first.draws, 4) << "floor, the five creatures as one, crosshair, text";
    EXPECT_EQ(first.uploads, 5) << "the stream, the creatures' positions, coordinates, indices and matrices";
    const GLES2Counts same = frame(0.0f, 5.0f);
    EXPECT_EQ(same.draws, 4);
    EXPECT_EQ(same.uploads, 0) << "nothing changed";
    EXPECT_EQ(same.switches, 2) << "blending on for the text and off after it; the rest stays as it was";
    const GLES2Counts posed = frame(0.3f, 5.0f);
    EXPECT_EQ(posed.uploads, 1) << "a new pose: its positions, once for five creatures";
    EXPECT_EQ(posed.uploadBytes, 300 * 3 * 4);
    const std::vector<unsigned char> layer = LayerGL::Read(0, 0, 800, 600, GL_RGB, 1);
    const GLES2Counts moved = frame(0.3f, 6.0f);
    EXPECT_EQ(moved.uploads, 2) << "the eye moved: the stream where it changed, and the matrices";
    EXPECT_LT(moved.uploadBytes, first.uploadBytes);

    // Without instancing, a draw a creature, and the same picture.
    ASSERT_TRUE(egl->StartLayer(false));
    LayerGL::Frame(0.3f, 5.0f);
    const GLES2Counts one = frame(0.3f, 5.0f);
    EXPECT_EQ(one.draws, 8);
    EXPECT_EQ(Compare(LayerGL::Read(0, 0, 800, 600, GL_RGB, 1), layer).largest, 0);

    egl->MakeDesktopCurrent();
    DesktopGL::Frame(0.3f, 5.0f);
    const Difference d = Compare(DesktopGL::Read(0, 0, 800, 600, GL_RGB, 1), layer);
    EXPECT_LE(d.pixels, 20) << Describe(d);
}

TEST_F(GLLayer, ACallOutsideTheSubsetIsToldOnceAndStoppingLeavesNothingToCall)
{
    egl->MakeLayerCurrent();
    testing::internal::CaptureStderr();
    TovarGLES2_glFogf(GL_FOG_DENSITY, 0.5f);
    TovarGLES2_glFogf(GL_FOG_DENSITY, 0.7f);
    TovarGLES2_glEnable(GL_LIGHTING);
    TovarGLES2_glEnable(GL_LIGHTING);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, "GL: glFogf is not supported by the WebGL layer; the call is ignored\n"
                    "GL: glEnable(0x0B50) is not supported by the WebGL layer; the call is ignored\n");
    EXPECT_TRUE(TovarGLES2_glIsEnabled(GL_LIGHTING)) << "kept, to be read back";

    // The context gone, textures are still freed by the game's destructors.
    GLuint texture = 0;
    TovarGLES2_glGenTextures(1, &texture);
    TovarGLES2_glBindTexture(GL_TEXTURE_2D, texture);
    TovarGLES2::Stop();
    EglContexts::Counts() = GLES2Counts();
    LayerGL::Immediate();
    TovarGLES2_glDeleteTextures(1, &texture);
    EXPECT_FALSE(TovarGLES2_glIsTexture(texture));
    EXPECT_EQ(EglContexts::Counts().draws, 0);
}

} // namespace
