// What the frame leaves out. Creatures out of view: no pixel and no frame of
// animation changes, from the same state and the same clock. The creatures'
// back faces: the picture changes only along their outline, where a face
// turned away ties in depth with one turned toward the eye.

#include "game/main.h"
#include "support/GLWindow.h"
#include "support/GameState.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

using namespace TovarToolkit;

namespace {

const int kWidth = 800, kHeight = 600;

DWORD g_now = 0;
int g_reads = 0;
// Each reading moves the clock on, so frames switch part-way through a
// frame's creatures, not only between frames.
DWORD SteppingClock() { return ++g_reads, g_now += 37; }

// How the frame is drawn. The setting that ships is what Init and the
// game's defaults leave.
struct Drawing {
    bool unseen, backFaces, nearestFirst, floorAfter;
};

Drawing Shipped() { return {true, MD2Load.BackFaceCulling(), DrawNearestFirst, FloorAfterCreatures}; }

struct Shot {
    std::vector<unsigned char> rgba;
    std::vector<float> depth;
};

struct Played {
    std::vector<Shot> shots;
    std::vector<int> modelFrames;
    int clockReads = 0, drawn = 0;
};

// Three frames from the same start, read back after each.
Played Play(const Drawing& d, const std::vector<TEntity>& wave, TovarVector3f eye, TovarVector3f at)
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
    CullUnseen = d.unseen;
    MD2Load.SetBackFaceCulling(d.backFaces);
    DrawNearestFirst = d.nearestFirst;
    FloorAfterCreatures = d.floorAfter;
    Played run;
    for (int frame = 0; frame < 3; ++frame) {
        Camera.Update();
        DrawGLScene();
        Shot shot{std::vector<unsigned char>(kWidth * kHeight * 4), std::vector<float>(kWidth * kHeight)};
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, shot.rgba.data());
        glReadPixels(0, 0, kWidth, kHeight, GL_DEPTH_COMPONENT, GL_FLOAT, shot.depth.data());
        run.shots.push_back(std::move(shot));
        run.modelFrames.push_back(OgroMDL.currentFrame);
        run.drawn += CreaturesDrawn;
    }
    run.clockReads = g_reads;
    return run;
}

class CullTest : public GLWindowTest {
protected:
    void SetUp() override
    {
        GLWindowTest::SetUp();
        if (IsSkipped())
            return;
        std::filesystem::current_path(QUELLIN_SOURCE_DIR "/data");
        ASSERT_EQ(Init(), 1);
        shipped = Shipped();
    }
    // Every test leaves the drawing as the game set it.
    void TearDown() override
    {
        SetAnimationTickSource(nullptr);
        CullUnseen = shipped.unseen;
        MD2Load.SetBackFaceCulling(shipped.backFaces);
        DrawNearestFirst = shipped.nearestFirst;
        FloorAfterCreatures = shipped.floorAfter;
    }

    Drawing shipped = {};
};

// In the middle of the wave looking one way, at the start pose, from a
// corner over the whole arena, down onto creatures close by (the near plane
// cuts through them), along a row astride the view's edges, and from inside
// a creature's reach.
const TovarVector3f kViews[][2] = {{{250, 4, 250}, {400, 4, 260}},  {{5, 4, 10}, {0, 3, 0}},
                                   {{-480, 60, -480}, {250, 0, 250}}, {{0, 30, 0}, {12, 0, 8}},
                                   {{0, 4, -200}, {100, 4, -200}},   {{0, 1, 0}, {0, 1, -10}}};

std::vector<TEntity> Wave(int wave)
{
    level = wave - 1;
    ReBuildEnemyes();
    std::vector<TEntity> creatures(EnemyList.Entity, EnemyList.Entity + EnemyList.TotalEntities);
    creatures[0].Position = TovarVector3f(0, 0, 0);
    if (wave == 40) {
        creatures[1].Position = TovarVector3f(12, 0, 8);
        creatures[12].Position = TovarVector3f(-3, 0, 2);
        // 29 to 37 degrees off the row's view axis; its edges stand near 28.9.
        for (int k = 0; k < 10; ++k) {
            float angle = (29.0f + 2.0f * static_cast<float>(k / 2)) * 3.14159265f / 180.0f;
            float z = (k % 2 == 0 ? 25.0f : -25.0f) * std::sin(angle);
            creatures[2 + k].Position = TovarVector3f(25.0f * std::cos(angle), 0, -200.0f + z);
        }
    }
    return creatures;
}

TEST_F(CullTest, CreaturesOutOfViewLeftOutChangeNothing)
{
    for (int wave : {1, 5, 20, 40}) {
        const std::vector<TEntity> creatures = Wave(wave);
        for (const auto& v : kViews) {
            SCOPED_TRACE(testing::Message() << "level " << wave << ", eye " << v[0].x << "," << v[0].z);
            Drawing every = shipped;
            every.unseen = false;
            Played all = Play(every, creatures, v[0], v[1]);
            Played culled = Play(shipped, creatures, v[0], v[1]);
            EXPECT_EQ(all.drawn, 3 * wave * 5) << "without culling every creature is drawn";
            EXPECT_EQ(culled.clockReads, all.clockReads);
            EXPECT_EQ(culled.modelFrames, all.modelFrames);
            for (size_t f = 0; f < all.shots.size(); ++f)
                EXPECT_TRUE(culled.shots[f].rgba == all.shots[f].rgba) << "frame " << f << " differs";
            EXPECT_TRUE(wave < 5 || v[0].x != 250 || culled.drawn < all.drawn) << "none behind the eye skipped";
        }
    }
}

// One frame as shipped against the same frame with every face drawn, in the
// wave's order with the floor first, as the game drew before.
struct Comparison {
    const Shot& shipped;   // the faces toward the eye: the surface as seen
    const Shot& every;     // every face
    const Shot& coloured;  // shipped, with a skin of one colour: where creatures are
    const Shot& backs;     // shipped, with the faces toward the eye left out instead
    float step;            // one step of the depth buffer

    static size_t At(int x, int y) { return static_cast<size_t>(y) * kWidth + static_cast<size_t>(x); }
    bool Covered(int x, int y) const
    {
        const size_t i = 4 * At(x, y);
        return !std::equal(&shipped.rgba[i], &shipped.rgba[i + 3], &coloured.rgba[i]);
    }
    float Depth(int x, int y) const
    {
        return shipped.depth[At(std::min(std::max(x, 0), kWidth - 1), std::min(std::max(y, 0), kHeight - 1))];
    }
    // The depth buffer's step at d: a fixed-point buffer's, or a float's at d.
    float Steps(float a, float b) const
    {
        const float d = std::max(a, b);
        return std::fabs(a - b) / std::max(step, std::nextafter(d, 2.0f) - d);
    }
    // Coverage changes between the two pixels, or the surface as seen steps
    // there by more than it slopes on either side: one part of a creature,
    // or one creature, in front of another.
    bool Jump(int x, int y, int dx, int dy) const
    {
        if (Covered(x, y) != Covered(x + dx, y + dy))
            return true;
        const float here = Depth(x, y), there = Depth(x + dx, y + dy);
        const float slope = std::max(Steps(here, Depth(x - dx, y - dy)), Steps(there, Depth(x + 2 * dx, y + 2 * dy)));
        return Steps(here, there) > slope + 2.0f;
    }
    // Where a creature's faces turned away come as near as those toward the
    // eye: its contour, where the surface turns away. The coverage or depth
    // jumps there, though far away by less than the depth buffer shows (a
    // step is a third of a unit at 700 units), and there the contour cannot
    // be told from a part thinner than that.
    bool Contour(int x, int y) const
    {
        const size_t i = At(x, y);
        return Covered(x, y) && Steps(backs.depth[i], shipped.depth[i]) <= kTieSteps;
    }
    bool OnOutline(int x, int y) const
    {
        for (int qy = std::max(y - 1, 0); qy <= std::min(y + 1, kHeight - 1); ++qy)
            for (int qx = std::max(x - 1, 0); qx <= std::min(x + 1, kWidth - 1); ++qx) {
                if (Contour(qx, qy))
                    return true;
                for (const int d : {-1, 1})
                    if ((qx + d >= 0 && qx + d < kWidth && Jump(qx, qy, d, 0)) ||
                        (qy + d >= 0 && qy + d < kHeight && Jump(qx, qy, 0, d)))
                        return true;
            }
        return false;
    }

    // Each face's depth comes from its plane, summed in single precision
    // across the window (a0 + x dz/dx + y dz/dy). Where the two faces at an
    // outline are seen almost edge-on near the eye, those terms reach several
    // times the depth itself and round by several steps each: up to 24 steps
    // apart here. A hole or a face the wrong way round shows the creature's
    // far side or what lies behind it, hundreds to thousands of steps away at
    // the distances where a triangle is larger than a pixel.
    static constexpr float kDepthSteps = 32.0f;
    // Faces whose depths round to within this many steps of each other meet.
    static constexpr float kTieSteps = 2.0f;
};

TEST_F(CullTest, BackFacesLeftOutChangeOnlyOutlinePixels)
{
    ASSERT_TRUE(OgroMDL.closed);
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    ASSERT_EQ(shipped.backFaces, bits >= 24) << "the back faces are left out where the depth buffer has 24 bits";
    if (!shipped.backFaces)
        GTEST_SKIP() << "a " << bits << "-bit depth buffer: every face is drawn, as before";
    // A one-colour skin: wherever it changes the shipped frame, a creature is seen.
    GLuint plain = 0;
    glGenTextures(1, &plain);
    glBindTexture(GL_TEXTURE_2D, plain);
    const unsigned char magenta[3] = {255, 0, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, magenta);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    const Drawing before = {true, false, false, false};

    int most = 0, frames = 0, probed = 0;
    for (int wave : {5, 20, 40}) {
        const std::vector<TEntity> creatures = Wave(wave);
        for (const auto& v : kViews) {
            SCOPED_TRACE(testing::Message() << "level " << wave << ", eye " << v[0].x << "," << v[0].z);
            const Played every = Play(before, creatures, v[0], v[1]);
            const Played seen = Play(shipped, creatures, v[0], v[1]);
            const unsigned skin = OgroSkin.ID;
            OgroSkin.ID = plain;
            const Played coloured = Play(shipped, creatures, v[0], v[1]);
            OgroSkin.ID = skin;
            OgroMDL.clockwise = !OgroMDL.clockwise;
            const Played backs = Play(shipped, creatures, v[0], v[1]);
            OgroMDL.clockwise = !OgroMDL.clockwise;
            EXPECT_EQ(seen.modelFrames, every.modelFrames);

            for (size_t f = 0; f < seen.shots.size(); ++f) {
                const Comparison c{seen.shots[f], every.shots[f], coloured.shots[f], backs.shots[f],
                                   bits < 32 ? std::ldexp(1.0f, -bits) : 0.0f};
                int differ = 0, apart = 0, inside = 0;
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x) {
                        const size_t i = Comparison::At(x, y);
                        if (std::equal(&c.shipped.rgba[4 * i], &c.shipped.rgba[4 * i + 3], &c.every.rgba[4 * i]))
                            continue;
                        ++differ;
                        apart += c.Steps(c.shipped.depth[i], c.every.depth[i]) > Comparison::kDepthSteps;
                        inside += !c.OnOutline(x, y);
                    }
                ++frames;
                probed += c.coloured.rgba != c.shipped.rgba && c.backs.depth != c.shipped.depth;
                EXPECT_LT(differ, kWidth * kHeight / 1000) << "frame " << f;
                EXPECT_EQ(apart, 0) << "frame " << f << ": depths apart where the pictures differ";
                EXPECT_EQ(inside, 0) << "frame " << f << ": pixels that differ off the outline";
                most = std::max(most, differ);
            }
        }
    }
    glDeleteTextures(1, &plain);
    // The passes that find the outline draw something of their own (where a
    // creature is cut by the near plane, or none is in view, they cannot).
    EXPECT_GT(probed, frames / 2);
    RecordProperty("most_differing_pixels", most);
}

} // namespace
