// Culling changes no pixel and no frame of animation: the same frames drawn
// with and without it, from the same state and the same clock, read back
// identical, and leave the model on the same frame after the same clock reads.

#include "game/main.h"
#include "support/GLWindow.h"
#include "support/GameState.h"

#include <cmath>
#include <filesystem>
#include <vector>

using namespace TovarToolkit;

namespace {

DWORD g_now = 0;
int g_reads = 0;
// Each reading moves the clock on, so frames switch part-way through a
// frame's creatures, not only between frames.
DWORD SteppingClock()
{
    ++g_reads;
    g_now += 37;
    return g_now;
}

struct Played {
    std::vector<std::vector<unsigned char>> pixels;
    std::vector<int> modelFrames;
    int clockReads = 0;
    int drawn = 0;
};

class CullTest : public GLWindowTest {
protected:
    static void SetUpTestSuite()
    {
        GLWindowTest::SetUpTestSuite();
        std::filesystem::current_path(QUELLIN_SOURCE_DIR "/data");
        ASSERT_EQ(Init(), 1);
    }
    static void TearDownTestSuite()
    {
        SetAnimationTickSource(nullptr);
        CullUnseen = true;
        GLWindowTest::TearDownTestSuite();
    }

    // Three frames from the same start, read back after each.
    Played Play(bool cull, const std::vector<TEntity>& wave, TovarVector3f eye, TovarVector3f at)
    {
        ResetGameState();
        level = 1;
        EnemyList.Set(static_cast<int>(wave.size()));
        for (size_t i = 0; i < wave.size(); ++i)
            EnemyList.Entity[i] = wave[i];
        Camera.PositionCamera(eye.x, eye.y, eye.z, at.x, at.y, at.z, 0, 1, 0);
        OgroMDL.currentAnim = 0;
        OgroMDL.currentFrame = 0;
        ResetAnimationClock();
        SetAnimationTickSource(SteppingClock);
        g_now = 1000;
        g_reads = 0;
        CullUnseen = cull;

        Played run;
        for (int frame = 0; frame < 3; ++frame) {
            Camera.Update();
            DrawGLScene();
            std::vector<unsigned char> image(800 * 600 * 4);
            glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
            run.pixels.push_back(image);
            run.modelFrames.push_back(OgroMDL.currentFrame);
            run.drawn += CreaturesDrawn;
        }
        run.clockReads = g_reads;
        return run;
    }
};

TEST_F(CullTest, FramesAndAnimationAreTheSameWithAndWithoutCulling)
{
    struct View {
        TovarVector3f eye, at;
    };
    // In the middle of the wave looking one way, at the start pose, from a
    // corner over the whole arena, and down onto creatures close by, where
    // the near plane cuts through them.
    const View views[] = {{{250, 4, 250}, {400, 4, 260}},
                          {{5, 4, 10}, {0, 3, 0}},
                          {{-480, 60, -480}, {250, 0, 250}},
                          {{0, 30, 0}, {12, 0, 8}},
                          {{0, 4, -200}, {100, 4, -200}}};
    for (int wave : {1, 5, 20, 40}) {
        level = wave - 1;
        ReBuildEnemyes();
        std::vector<TEntity> creatures(EnemyList.Entity, EnemyList.Entity + EnemyList.TotalEntities);
        if (wave == 40) {
            // A few creatures right around the eye of the last view.
            creatures[0].Position = TovarVector3f(12, 0, 8);
            creatures[1].Position = TovarVector3f(-3, 0, 2);
            creatures[2].Position = TovarVector3f(4, 0, -6);
            // Astride the left and right edges of the last view, at 29 to 37
            // degrees off its axis (the edges stand near 28.9).
            for (int k = 0; k < 10; ++k) {
                float angle = (29.0f + 2.0f * static_cast<float>(k / 2)) * 3.14159265f / 180.0f;
                float side = (k % 2 == 0) ? 1.0f : -1.0f;
                creatures[3 + k].Position =
                    TovarVector3f(25.0f * std::cos(angle), 0, -200.0f + side * 25.0f * std::sin(angle));
            }
        }
        for (const View& v : views) {
            Played all = Play(false, creatures, v.eye, v.at);
            Played culled = Play(true, creatures, v.eye, v.at);
            SCOPED_TRACE(testing::Message() << "level " << wave << ", eye " << v.eye.x << "," << v.eye.y << ","
                                            << v.eye.z);
            EXPECT_EQ(all.drawn, 3 * wave * 5) << "without culling every creature is drawn";
            EXPECT_EQ(culled.clockReads, all.clockReads);
            EXPECT_EQ(culled.modelFrames, all.modelFrames);
            for (size_t f = 0; f < all.pixels.size(); ++f)
                EXPECT_TRUE(culled.pixels[f] == all.pixels[f]) << "frame " << f << " differs";
            if (wave >= 5 && v.eye.x == 250) {
                EXPECT_LT(culled.drawn, all.drawn) << "creatures behind the eye should be skipped";
            }
        }
    }
}

} // namespace
