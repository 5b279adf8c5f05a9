// Playback in a real GL context: what Animate and RenderSingleFrame send to GL
// is read back in feedback mode, and the clock runs on an injected tick count.

#include "test_md2_writer.h"
#include "support/GLWindow.h"
#include "support/TempDir.h"
#include "toolkit/MD2.h"

#include <gtest/gtest.h>

#include <vector>

using namespace TovarToolkit;
using md2test::Concat;
using md2test::Sequence;

namespace {

DWORD g_ticks = 0;
DWORD FakeTicks()
{
    return g_ticks;
}

struct DrawnVertex {
    float x, y, z; // model coordinates, undone from window coordinates
    float s, t;
};

class MD2Play : public GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (IsSkipped())
            return;
        SetAnimationTickSource(FakeTicks);
        ResetAnimationClock();
        // Identity transforms over the whole window, so window coordinates
        // map straight back to the vertices that were sent.
        glViewport(0, 0, 800, 600);
        glDepthRange(0.0, 1.0);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_CULL_FACE);
    }
    void TearDown() override
    {
        SetAnimationTickSource(nullptr);
        ResetAnimationClock();
    }

    void Load(const std::vector<std::string>& names)
    {
        md2test::Model m = md2test::Named(names);
        // Small scale so that every vertex lies inside the clip volume.
        for (md2test::Frame& f : m.frames)
            f.scale[0] = f.scale[1] = f.scale[2] = 0.005f;
        std::string path = dir.file("play.md2");
        md2test::WriteBytes(path, md2test::Build(m));
        ASSERT_TRUE(loader.ImportMD2(&model, path.c_str(), false, ""));
    }

    template <class Draw>
    std::vector<DrawnVertex> Capture(Draw draw)
    {
        std::vector<GLfloat> buffer(4096);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        GLint n = glRenderMode(GL_RENDER);
        EXPECT_GE(n, 0);
        std::vector<DrawnVertex> out;
        for (GLint i = 0; i < n;) {
            GLint token = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
            if (token != GL_POLYGON_TOKEN) {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
            GLint count = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
            for (GLint c = 0; c < count; ++c, i += 11) {
                const GLfloat* v = &buffer[static_cast<size_t>(i)];
                out.push_back({v[0] / 400.0f - 1.0f, v[1] / 300.0f - 1.0f, v[2] * 2.0f - 1.0f, v[7], v[8]});
            }
        }
        return out;
    }
    std::vector<DrawnVertex> Animate()
    {
        return Capture([&] { loader.Animate(&model, &texture); });
    }
    std::vector<DrawnVertex> Single(int frame)
    {
        return Capture([&] { loader.RenderSingleFrame(&model, &texture, frame); });
    }

    // What the two triangles of the test model should look like at t
    // between frames a and b.
    void ExpectBlend(const std::vector<DrawnVertex>& drawn, int a, int b, float t)
    {
        static const int corners[6] = {0, 1, 2, 0, 2, 3};
        ASSERT_EQ(drawn.size(), 6u);
        const TovarVector2f* tex = model.pObject[0].pTexVerts;
        for (size_t i = 0; i < 6; ++i) {
            const TovarVector3f& p1 = model.pObject[static_cast<size_t>(a)].pVerts[corners[i]];
            const TovarVector3f& p2 = model.pObject[static_cast<size_t>(b)].pVerts[corners[i]];
            EXPECT_NEAR(drawn[i].x, p1.x + t * (p2.x - p1.x), 1e-4) << "corner " << i;
            EXPECT_NEAR(drawn[i].y, p1.y + t * (p2.y - p1.y), 1e-4) << "corner " << i;
            EXPECT_NEAR(drawn[i].z, p1.z + t * (p2.z - p1.z), 1e-4) << "corner " << i;
            EXPECT_FLOAT_EQ(drawn[i].s, tex[corners[i]].x);
            EXPECT_FLOAT_EQ(drawn[i].t, tex[corners[i]].y);
        }
    }

    TempDir dir;
    TovarMD2Loader loader;
    TovarMD23DModel model;
    TovarTexture texture;
};

} // namespace

TEST_F(MD2Play, ClockBlendsSwitchesAndMeasuresFromTheSwitch)
{
    Load(Concat({Sequence("stand", 1, 4), Sequence("run", 1, 3)}));
    g_ticks = 5000000; // long after start: the first step must not leap
    ExpectBlend(Animate(), 0, 1, 0.0f);
    EXPECT_EQ(model.currentFrame, 0);

    g_ticks += 100;
    ExpectBlend(Animate(), 0, 1, 0.5f);
    EXPECT_EQ(model.currentFrame, 0);

    g_ticks += 150; // 250 ms since the clock started: switch, drawn a quarter beyond
    ExpectBlend(Animate(), 0, 1, 1.25f);
    EXPECT_EQ(model.currentFrame, 1);

    g_ticks += 100; // measured from the switch, not from 200 ms after the start
    ExpectBlend(Animate(), 1, 2, 0.5f);
    EXPECT_EQ(model.currentFrame, 1);
}

TEST_F(MD2Play, ClockSurvivesTheTickCountWrap)
{
    Load(Sequence("stand", 1, 4));
    g_ticks = 0xFFFFFFFFu - 95; // 96 ms before the wrap
    Animate();
    g_ticks = 4;
    ExpectBlend(Animate(), 0, 1, 0.5f);
    EXPECT_EQ(model.currentFrame, 0);
    g_ticks = 104;
    Animate();
    EXPECT_EQ(model.currentFrame, 1);
}

TEST_F(MD2Play, AnimationsLoopInsideTheirFrames)
{
    Load(Concat({Sequence("stand", 1, 40, true), Sequence("run", 1, 6), Sequence("jump", 1, 6)}));
    g_ticks = 1000;
    auto play = [&](int steps) {
        std::vector<int> frames;
        for (int i = 0; i < steps; ++i) {
            g_ticks += 200;
            Animate();
            frames.push_back(model.currentFrame);
        }
        return frames;
    };
    Animate(); // starts the clock

    std::vector<int> stand = play(41);
    for (int i = 0; i < 39; ++i)
        EXPECT_EQ(stand[static_cast<size_t>(i)], i + 1);
    EXPECT_EQ(stand[39], 0);
    EXPECT_EQ(stand[40], 1);

    EXPECT_FALSE(loader.SetAnimation(&model, "run"));
    EXPECT_TRUE(loader.SetAnimation(&model, "run"));
    EXPECT_EQ(model.currentFrame, 40);
    EXPECT_EQ(play(7), (std::vector<int>{41, 42, 43, 44, 45, 40, 41}));

    loader.ChangeAnimation(&model);
    EXPECT_EQ(model.currentFrame, 46);
    EXPECT_EQ(play(6), (std::vector<int>{47, 48, 49, 50, 46, 47})); // never 51

    // Every draw blends the frame it shows toward the next one of the loop.
    g_ticks += 40;
    ExpectBlend(Animate(), 47, 48, 0.2f);
}

TEST_F(MD2Play, SingleFrameLeavesClockAndFrameAlone)
{
    Load(Sequence("stand", 1, 4));
    g_ticks = 1000;
    Animate();

    g_ticks = 1150;
    ExpectBlend(Single(3), 3, 3, 0.0f);
    EXPECT_EQ(model.currentFrame, 0);
    g_ticks = 1300; // would have switched, had anything touched the clock
    ExpectBlend(Single(2), 2, 2, 0.0f);
    EXPECT_EQ(model.currentFrame, 0);

    g_ticks = 1100;
    ExpectBlend(Animate(), 0, 1, 0.5f);

    EXPECT_TRUE(Single(-1).empty());
    EXPECT_TRUE(Single(4).empty());
    EXPECT_TRUE(Single(1 << 30).empty());
}

TEST_F(MD2Play, ModelsThatCannotAnimateStillDrawSafely)
{
    TovarMD23DModel empty;
    EXPECT_TRUE(Capture([&] { loader.Animate(&empty, &texture); }).empty());
    EXPECT_TRUE(Capture([&] { loader.RenderSingleFrame(&empty, &texture, 0); }).empty());

    // One frame: no animations, so the frame is drawn as it is.
    Load({"stand01"});
    ASSERT_EQ(model.numOfAnimations, 0);
    g_ticks = 1000;
    ExpectBlend(Animate(), 0, 0, 0.0f);
    g_ticks = 5000;
    ExpectBlend(Animate(), 0, 0, 0.0f);
    EXPECT_EQ(model.currentFrame, 0);

    // Frames past the model, set by a caller, are brought back inside.
    Load(Sequence("stand", 1, 4));
    model.currentFrame = 99;
    model.currentAnim = 5;
    g_ticks = 6000;
    ExpectBlend(Animate(), 3, 1, 0.0f);
    EXPECT_EQ(model.currentAnim, 0);

    // A cleared model draws nothing until it is imported again.
    loader.Clear3DObjects(&model);
    EXPECT_TRUE(Animate().empty());
    EXPECT_TRUE(Single(0).empty());
}

TEST_F(MD2Play, GroupNumberedFromZeroAtTheStartStaysInsideTheModel)
{
    // "a00" at index 0 makes the loop restart at frame -1; playback keeps to
    // frame 0 instead.
    Load({"a00", "a01", "a02", "b1", "b2"});
    ASSERT_EQ(model.pAnimations[0].startFrame, -1);
    g_ticks = 1000;
    Animate();
    std::vector<int> frames;
    for (int i = 0; i < 5; ++i) {
        g_ticks += 200;
        std::vector<DrawnVertex> drawn = Animate();
        EXPECT_EQ(drawn.size(), 6u);
        frames.push_back(model.currentFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1, 2}));
}

TEST_F(MD2Play, ClosedModelsLeaveOutTheFacesTurnedAwayAndPutTheStateBack)
{
    md2test::Model cube;
    md2test::AddCube(cube);
    for (float& s : cube.frames[0].scale)
        s = 0.02f;
    TovarMD23DModel closed, open;
    md2test::WriteBytes(dir.file("closed.md2"), md2test::Build(cube));
    cube.triangles.pop_back();
    md2test::WriteBytes(dir.file("open.md2"), md2test::Build(cube));
    ASSERT_TRUE(loader.ImportMD2(&closed, dir.file("closed.md2").c_str(), false, "") &&
                loader.ImportMD2(&open, dir.file("open.md2").c_str(), false, ""));
    glEnable(GL_DEPTH_TEST);
    glRotatef(30, 1, 1, 0); // no face edge-on
    EXPECT_FALSE(loader.BackFaceCulling()) << "every face is drawn unless asked otherwise";
    loader.SetBackFaceCulling(true);
    auto faces = [&](TovarMD23DModel& m) { return Capture([&] { loader.RenderSingleFrame(&m, &texture, 0); }).size() / 3; };
    EXPECT_EQ(faces(closed), 6u) << "three sides of the cube face the eye";
    EXPECT_EQ(faces(open), 11u);
    GLint front = 0; // drawn clockwise-front under this mirroring projection
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_TRUE(!glIsEnabled(GL_CULL_FACE) && front == GL_CCW) << "the cull state is put back";
    loader.SetBackFaceCulling(false);
    EXPECT_EQ(faces(closed), 12u);
    glDisable(GL_DEPTH_TEST);
}

TEST_F(MD2Play, EachModelKeepsItsOwnArraysAndPose)
{
    Load(Sequence("stand", 1, 4));
    md2test::Model cube;
    md2test::AddCube(cube);
    md2test::WriteBytes(dir.file("cube.md2"), md2test::Build(cube));
    TovarMD23DModel other;
    ASSERT_TRUE(loader.ImportMD2(&other, dir.file("cube.md2").c_str(), false, ""));
    g_ticks = 1000;
    auto inTurn = [&] { Animate(), Capture([&] { loader.Animate(&other, &texture); }); };
    inTurn(), inTurn(), inTurn(); // one pose
    g_ticks += 50;
    inTurn(), inTurn(); // the next
    EXPECT_TRUE(model.drawArrays.builds == 1 && other.drawArrays.builds == 1);
    EXPECT_EQ(model.drawArrays.blends, 2u) << "one per pose";
    EXPECT_EQ(other.drawArrays.blends, 1u) << "one frame, one pose";
}

TEST_F(MD2Play, CornersPastSixteenBitIndicesAreRefusedNotWrapped)
{
    // Filled in by hand, past the decoder's limits: every face three new
    // corners, then one that shares two. 65536 corners fit 16-bit indices.
    auto build = [](TovarMD23DModel& m, int corners) {
        const int faces = (corners - 1) / 3 + 1;
        TovarMD23DObject o = {};
        o.numOfVerts = corners;
        o.numOfFaces = faces;
        o.pVerts = new TovarVector3f[static_cast<size_t>(corners)];
        o.pFaces = new TovarFace[static_cast<size_t>(faces)];
        for (int f = 0; f < faces; ++f)
            for (int c = 0; c < 3; ++c)
                o.pFaces[f].vertIndex[c] = o.pFaces[f].coordIndex[c] = 3 * f + c < corners ? 3 * f + c : c;
        m.pObject.push_back(o);
        m.numOfObjects = 1;
    };
    TovarMD23DModel most, tooMany;
    build(most, 65536);
    build(tooMany, 65537);
    loader.RenderSingleFrame(&most, &texture, 0);
    EXPECT_EQ(most.drawArrays.vertexOf.size(), 65536u);
    EXPECT_EQ(most.drawArrays.indices[3 * 21845], 65535) << "the last new corner";
    EXPECT_TRUE(Capture([&] { loader.RenderSingleFrame(&tooMany, &texture, 0); }).empty());
    EXPECT_TRUE(tooMany.drawArrays.indices.empty());
}
