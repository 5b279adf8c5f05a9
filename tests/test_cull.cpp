// Culling what is out of view changes no pixel and no frame of animation:
// the same frames drawn with and without it, from the same state and the
// same clock, read back identical, and leave the model on the same frame
// after the same clock reads. Leaving out the creature's back faces
// uncovers nothing.

#include "game/main.h"
#include "support/GLWindow.h"
#include "support/GameState.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

using namespace TovarToolkit;

namespace {

DWORD g_now = 0;
int g_reads = 0;
// Each reading moves the clock on, so frames switch part-way through a
// frame's creatures, not only between frames.
DWORD SteppingClock() { return ++g_reads, g_now += 37; }

struct Played {
    std::vector<std::vector<unsigned char>> pixels;
    std::vector<std::vector<float>> depths;
    std::vector<int> modelFrames;
    int clockReads = 0, drawn = 0;
};

// Three frames from the same start, read back after each.
Played Play(bool cull, const std::vector<TEntity>& wave, TovarVector3f eye, TovarVector3f at, bool backFaces = false)
{
    ResetGameState();
    level = 1;
    EnemyList.Set(static_cast<int>(wave.size()));
    std::copy(wave.begin(), wave.end(), EnemyList.Entity);
    Camera.PositionCamera(eye.x, eye.y, eye.z, at.x, at.y, at.z, 0, 1, 0);
    OgroMDL.currentAnim = OgroMDL.currentFrame = 0;
    ResetAnimationClock();
    SetAnimationTickSource(SteppingClock);
    g_now = 1000, g_reads = 0;
    CullUnseen = cull;
    MD2Load.SetBackFaceCulling(!backFaces);
    Played run;
    for (int frame = 0; frame < 3; ++frame) {
        Camera.Update();
        DrawGLScene();
        run.pixels.emplace_back(800 * 600 * 4);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, run.pixels.back().data());
        run.depths.emplace_back(800 * 600);
        glReadPixels(0, 0, 800, 600, GL_DEPTH_COMPONENT, GL_FLOAT, run.depths.back().data());
        run.modelFrames.push_back(OgroMDL.currentFrame);
        run.drawn += CreaturesDrawn;
    }
    run.clockReads = g_reads;
    return run;
}

using CullTest = GLWindowTest;

TEST_F(CullTest, FramesAndAnimationAreTheSameWithAndWithoutCulling)
{
    std::filesystem::current_path(QUELLIN_SOURCE_DIR "/data");
    ASSERT_EQ(Init(), 1);
    // In the middle of the wave looking one way, at the start pose, from a
    // corner over the whole arena, down onto creatures close by (the near
    // plane cuts through them), and along a row astride the view's edges.
    const TovarVector3f views[][2] = {{{250, 4, 250}, {400, 4, 260}}, {{5, 4, 10}, {0, 3, 0}},
                                      {{-480, 60, -480}, {250, 0, 250}}, {{0, 30, 0}, {12, 0, 8}},
                                      {{0, 4, -200}, {100, 4, -200}}};
    for (int wave : {1, 5, 20, 40}) {
        level = wave - 1;
        ReBuildEnemyes();
        std::vector<TEntity> creatures(EnemyList.Entity, EnemyList.Entity + EnemyList.TotalEntities);
        if (wave == 40) {
            creatures[0].Position = TovarVector3f(12, 0, 8);
            creatures[1].Position = TovarVector3f(-3, 0, 2);
            // 29 to 37 degrees off the last view's axis; its edges stand near 28.9.
            for (int k = 0; k < 10; ++k) {
                float angle = (29.0f + 2.0f * static_cast<float>(k / 2)) * 3.14159265f / 180.0f;
                float z = (k % 2 == 0 ? 25.0f : -25.0f) * std::sin(angle);
                creatures[2 + k].Position = TovarVector3f(25.0f * std::cos(angle), 0, -200.0f + z);
            }
        }
        for (const auto& v : views) {
            SCOPED_TRACE(testing::Message() << "level " << wave << ", eye " << v[0].x << "," << v[0].z);
            Played all = Play(false, creatures, v[0], v[1]);
            Played culled = Play(true, creatures, v[0], v[1]);
            EXPECT_EQ(all.drawn, 3 * wave * 5) << "without culling every creature is drawn";
            EXPECT_EQ(culled.clockReads, all.clockReads);
            EXPECT_EQ(culled.modelFrames, all.modelFrames);
            for (size_t f = 0; f < all.pixels.size(); ++f)
                EXPECT_TRUE(culled.pixels[f] == all.pixels[f]) << "frame " << f << " differs";
            EXPECT_TRUE(wave < 5 || v[0].x != 250 || culled.drawn < all.drawn) << "none behind the eye skipped";
        }
    }
    SetAnimationTickSource(nullptr);
    CullUnseen = true;
}

// Where a pixel differs, a face turned away and one turned toward the eye
// meet along the creature's outline at one depth, give or take rounding (a
// few steps of the depth buffer, a few dozen for a face seen almost edge-on
// close by), and the last drawn wins the less-or-equal test. A hole, a wrong
// winding or a creature cut open by the near plane would show what lies
// behind it, thousands of steps farther.
TEST_F(CullTest, BackFacesLeftOutUncoverNothing)
{
    std::filesystem::current_path(QUELLIN_SOURCE_DIR "/data");
    ASSERT_EQ(Init(), 1);
    ASSERT_TRUE(OgroMDL.closed);
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    const float step = bits < 32 ? 2.0f * std::ldexp(1.0f, -bits) : 0.0f;
    // The views of the test above, and one from inside a creature's reach.
    const TovarVector3f views[][2] = {{{250, 4, 250}, {400, 4, 260}}, {{5, 4, 10}, {0, 3, 0}},
                                      {{-480, 60, -480}, {250, 0, 250}}, {{0, 30, 0}, {12, 0, 8}},
                                      {{0, 4, -200}, {100, 4, -200}}, {{0, 1, 0}, {0, 1, -10}}};
    for (int wave : {5, 40}) {
        level = wave - 1;
        ReBuildEnemyes();
        std::vector<TEntity> creatures(EnemyList.Entity, EnemyList.Entity + EnemyList.TotalEntities);
        creatures[0].Position = TovarVector3f(0, 0, 0);
        for (const auto& v : views) {
            SCOPED_TRACE(testing::Message() << "level " << wave << ", eye " << v[0].x << "," << v[0].z);
            Played all = Play(true, creatures, v[0], v[1], true);
            Played culled = Play(true, creatures, v[0], v[1], false);
            EXPECT_EQ(culled.modelFrames, all.modelFrames);
            int uncovered = 0;
            for (size_t f = 0; f < all.depths.size(); ++f)
                for (size_t i = 0; i < all.depths[f].size(); ++i) {
                    const float d = culled.depths[f][i];
                    uncovered += d - all.depths[f][i] > std::max(64.0f * (std::nextafter(d, 2.0f) - d), step);
                }
            EXPECT_EQ(uncovered, 0);
        }
    }
    MD2Load.SetBackFaceCulling(false);
}

} // namespace
