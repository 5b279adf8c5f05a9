#include "game/main.h"
#include "support/GameState.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace TovarToolkit;

namespace {

void ExpectAt(const TovarVector3f& v, float x, float y, float z, float tol = 1e-4f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

int BulletsInFlight()
{
    int n = 0;
    for (int i = 0; i < BList.totalbullets; ++i)
        n += BList.Bullets[i].Used;
    return n;
}

} // namespace

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGameState();
        Stand(0, 4, 0);
    }

    // Eye at (x, y, z), looking 10 units toward -z; right is +x.
    void Stand(float x, float y, float z)
    {
        Camera.PositionCamera(x, y, z, x, y, z - 10, 0, 1, 0);
        Camera.Update();
    }

    // One living enemy whose sphere (radius 7) is centred at c.
    void EnemyAt(float x, float y, float z, int health = 100)
    {
        EnemyList.AddEntity();
        TEntity& e = EnemyList.Entity[EnemyList.TotalEntities - 1];
        e.IsEnemy = true;
        e.Health = health;
        e.Position = TovarVector3f(x, y, z);
        e.CalculateBSphere();
    }

    // Holds one key for one frame from (0, 4, 0); returns where the eye went.
    TovarVector3f StepWith(int key)
    {
        Stand(0, 4, 0);
        TW.KeyDown(key);
        CheckKeys();
        TW.KeyUp(key);
        return Camera.m_vPosition;
    }

    // A frame as the main loop and the scene see it: the cool-downs run down at
    // the end of the scene, then the keys act.
    void Frame()
    {
        if (WaitTime > 0)
            --WaitTime;
        if (EnemyShootWaitTime > 0)
            --EnemyShootWaitTime;
        CheckKeys();
    }
};

// ---- Movement ------------------------------------------------------------------

TEST_F(Controls, EachDirectionAndItsSecondKey)
{
    ExpectAt(StepWith('W'), 0, 4, -0.5f);
    ExpectAt(StepWith(VK_UP), 0, 4, -0.5f);
    ExpectAt(StepWith('S'), 0, 4, 0.5f);
    ExpectAt(StepWith(VK_DOWN), 0, 4, 0.5f);
    ExpectAt(StepWith('A'), -0.5f, 4, 0);
    ExpectAt(StepWith(VK_LEFT), -0.5f, 4, 0);
    ExpectAt(StepWith('D'), 0.5f, 4, 0);
    ExpectAt(StepWith(VK_RIGHT), 0.5f, 4, 0);
    // Other keys do nothing to the eye.
    ExpectAt(StepWith('X'), 0, 4, 0, 0);
    ExpectAt(StepWith(VK_F1), 0, 4, 0, 0);
}

TEST_F(Controls, ForwardAndBackwardInOneFrame)
{
    TW.KeyDown('W');
    TW.KeyDown('S');
    CheckKeys();
    // Both steps were taken: the backward one started where the forward one ended.
    EXPECT_NEAR(Camera.LastPosz, -0.5f, 1e-5f);
    ExpectAt(Camera.m_vPosition, 0, 4, 0);
    EXPECT_TRUE(TW.CheckKey('W')); // held keys stay held
}

TEST_F(Controls, TheWalkingModeDecidesWhetherHeightChanges)
{
    Camera.PositionCamera(0, 4, 0, 0, 10, -8, 0, 1, 0); // looking up at an angle
    TW.KeyDown('W');
    CheckKeys();
    EXPECT_FLOAT_EQ(Camera.m_vPosition.y, 4.0f); // level walk
    EXPECT_NEAR(Camera.m_vPosition.z, -0.4f, 1e-5f);

    TW.KeyDown('C');
    CheckKeys(); // the walk comes before the toggle in the same frame
    EXPECT_TRUE(UseCameraNewMovement);
    EXPECT_FALSE(TW.CheckKey('C'));
    EXPECT_FLOAT_EQ(Camera.m_vPosition.y, 4.0f);
    EXPECT_NEAR(Camera.m_vPosition.z, -0.8f, 1e-5f);

    CheckKeys(); // now free flight, up along the line of sight
    EXPECT_NEAR(Camera.m_vPosition.y, 4.3f, 1e-5f);
    EXPECT_NEAR(Camera.m_vPosition.z, -1.2f, 1e-5f);
}

TEST_F(Controls, MTogglesTheSoundOncePerPress)
{
    const bool before = SoundMuted();
    for (bool muted : {!before, before}) {
        TW.KeyDown('M');
        CheckKeys();
        CheckKeys(); // the same press: no second toggle
        EXPECT_EQ(SoundMuted(), muted);
    }
}

TEST_F(Controls, TurningAndRaisingTheEye)
{
    TW.KeyDown('Q');
    CheckKeys();
    TovarVector3f sight = Camera.m_vView - Camera.m_vPosition;
    // 0.125 radians to the left of -z.
    EXPECT_NEAR(std::atan2(-sight.x, -sight.z), 0.125f, 1e-5f);
    TW.KeyUp('Q');
    TW.KeyDown('E');
    CheckKeys();
    CheckKeys();
    sight = Camera.m_vView - Camera.m_vPosition;
    EXPECT_NEAR(std::atan2(-sight.x, -sight.z), -0.125f, 1e-5f);
    TW.KeyUp('E');

    Stand(0, 4, 0);
    TW.KeyDown('R');
    CheckKeys();
    CheckKeys(); // once per press
    EXPECT_FALSE(TW.CheckKey('R'));
    ExpectAt(Camera.m_vPosition, 0, 5, 0, 0);
    ExpectAt(Camera.m_vView, 0, 5, -10, 0);
    for (int i = 0; i < 7; ++i) {
        TW.KeyDown('F');
        CheckKeys();
    }
    ExpectAt(Camera.m_vPosition, 0, -2, 0, 0); // below the floor too
}

// ---- The arena and collisions -------------------------------------------------

TEST_F(Controls, AllFourDirectionsOutsideTheArena)
{
    Stand(500.3f, 4, 0);
    for (int key : {'W', 'S', 'A', 'D'})
        TW.KeyDown(key);
    CheckKeys();
    // Four pushes back, no step at all.
    EXPECT_NEAR(Camera.m_vPosition.x, 500.1f, 1e-3f);
    EXPECT_EQ(Camera.m_vPosition.z, 0.0f);
    EXPECT_NEAR(Camera.m_vView.x, Camera.m_vPosition.x, 1e-4f);

    // Likewise beyond each of the other sides.
    Stand(-500.3f, 4, 0);
    CheckKeys();
    EXPECT_NEAR(Camera.m_vPosition.x, -500.1f, 1e-3f);
    EXPECT_EQ(Camera.m_vPosition.z, 0.0f);
    Stand(0, 4, 502.5f);
    CheckKeys();
    EXPECT_NEAR(Camera.m_vPosition.z, 500.5f, 1e-3f);
    EXPECT_EQ(Camera.m_vPosition.x, 0.0f);
    Stand(0, 4, -500.3f);
    CheckKeys();
    EXPECT_NEAR(Camera.m_vPosition.z, -500.1f, 1e-3f);
    EXPECT_EQ(Camera.m_vPosition.x, 0.0f);
}

TEST_F(Controls, WalkingResumesOnceBackInside)
{
    Stand(500.2f, 4, 0);
    TW.KeyDown('W');
    CheckKeys();
    EXPECT_NEAR(Camera.m_vPosition.x, 500.15f, 1e-3f);
    EXPECT_EQ(Camera.m_vPosition.z, 0.0f);
    int frames = 1;
    while (Camera.m_vPosition.z == 0.0f && frames < 20) {
        CheckKeys();
        ++frames;
    }
    EXPECT_NEAR(Camera.m_vPosition.z, -0.5f, 1e-5f);
    EXPECT_LE(Camera.m_vPosition.x, 500.0f);
    EXPECT_GE(Camera.m_vPosition.x, 499.95f);
}

TEST_F(Controls, AnEnemyAtTheViewPointBlocksForwardAndRight)
{
    EnemyAt(0, 0, -10); // holds the view point (0, 4, -10), not the eye
    EXPECT_TRUE(IsPlayerColliding_View());
    EXPECT_FALSE(IsPlayerColliding_Pos());
    ExpectAt(StepWith('W'), 0, 4, 0, 0);
    ExpectAt(StepWith('D'), 0, 4, 0, 0);
    ExpectAt(StepWith('S'), 0, 4, 0.5f);
    ExpectAt(StepWith('A'), -0.5f, 4, 0);
}

TEST_F(Controls, AnEnemyAtTheEyeBlocksBackwardAndLeft)
{
    EnemyAt(0, 0, 0); // holds the eye (0, 4, 0), not the view point
    EXPECT_FALSE(IsPlayerColliding_View());
    EXPECT_TRUE(IsPlayerColliding_Pos());
    ExpectAt(StepWith('S'), 0, 4, 0, 0);
    ExpectAt(StepWith('A'), 0, 4, 0, 0);
    ExpectAt(StepWith('W'), 0, 4, -0.5f);
    ExpectAt(StepWith('D'), 0.5f, 4, 0);
}

TEST_F(Controls, DeadEnemiesNeverBlock)
{
    EXPECT_FALSE(IsPlayerColliding_View()); // empty list
    EXPECT_FALSE(IsPlayerColliding_Pos());
    EnemyAt(0, 0, 0, 0);
    EnemyAt(0, 0, -10, -30);
    EXPECT_FALSE(IsPlayerColliding_View());
    EXPECT_FALSE(IsPlayerColliding_Pos());
    ExpectAt(StepWith('W'), 0, 4, -0.5f);
    ExpectAt(StepWith('S'), 0, 4, 0.5f);

    // A living one behind the dead is still found; on the surface counts.
    EnemyAt(0, 4, 7);
    EXPECT_TRUE(IsPlayerColliding_Pos());
}

// ---- Restart and game over ----------------------------------------------------

TEST_F(Controls, SpaceDuringPlayRestarts)
{
    level = 3;
    player_score = 650;
    PlayerHealth = 35;
    EnemyDamage = 20;
    EnemyWaitTimeToShoot = 60;
    EnemyShootWaitTime = 42;
    WaitTime = 5;
    UseCameraNewMovement = true;
    EnemyList.Set(15);
    BList.Add();
    BList.Add();
    BList.Bullets[0].Used = BList.Bullets[2].Used = true;
    Stand(123, 9, -45);

    TW.KeyDown(VK_SPACE);
    TW.KeyDown('X');
    CheckKeys();
    EXPECT_FALSE(TW.CheckKey(VK_SPACE));
    EXPECT_TRUE(TW.CheckKey('X'));
    EXPECT_FALSE(gameover);
    EXPECT_EQ(level, 1);
    ASSERT_EQ(EnemyList.TotalEntities, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(EnemyList.Entity[i].Health, 100);
    EXPECT_EQ(player_score, 0);
    EXPECT_EQ(PlayerHealth, 100);
    ExpectAt(Camera.m_vPosition, 5, 4, 10, 0);
    ExpectAt(Camera.m_vView, 0, 3, 0, 0);
    ExpectAt(Camera.m_vUpVector, 0, 0.1f, 0, 0);
    EXPECT_EQ(EnemyDamage, 50); // set after the rebuild
    EXPECT_EQ(EnemyWaitTimeToShoot, 100);
    EXPECT_EQ(WaitTime, 0);
    EXPECT_EQ(BulletsInFlight(), 0);
    EXPECT_EQ(BList.totalbullets, 3);
    EXPECT_EQ(EnemyShootWaitTime, 42);
    EXPECT_TRUE(UseCameraNewMovement);
}

TEST_F(Controls, RestartComesBeforeTheStepsOfTheSameFrame)
{
    Stand(300, 4, 300);
    TW.KeyDown(VK_SPACE);
    TW.KeyDown('W');
    CheckKeys();
    // The new wave's spheres are not set yet; they must not stop the walk
    // toward the origin, where they all sit.
    TovarVector3f moved = Camera.m_vPosition - TovarVector3f(5, 4, 10);
    EXPECT_NEAR(std::sqrt(moved.x * moved.x + moved.z * moved.z), 0.5f * std::sqrt(125.0f / 126.0f), 1e-4f);
    EXPECT_LT(moved.x, 0.0f);
    EXPECT_LT(moved.z, 0.0f);
}

TEST_F(Controls, DuringGameOverOnlySpaceAndCAct)
{
    gameover = true;
    PlayerHealth = 0;
    BList.Add();
    WaitTime = 0;
    TW.lmouse = true;
    for (int key : {'W', 'S', 'A', 'D', 'Q', 'E', 'R', 'F', 'C'})
        TW.KeyDown(key);
    CheckKeys();
    ExpectAt(Camera.m_vPosition, 0, 4, 0, 0);
    ExpectAt(Camera.m_vView, 0, 4, -10, 0);
    EXPECT_EQ(BulletsInFlight(), 0);
    EXPECT_EQ(BList.totalbullets, 2);
    EXPECT_EQ(WaitTime, 0);
    EXPECT_TRUE(UseCameraNewMovement);
    // R and F are consumed, C too; held keys stay held.
    EXPECT_FALSE(TW.CheckKey('R'));
    EXPECT_FALSE(TW.CheckKey('F'));
    EXPECT_FALSE(TW.CheckKey('C'));
    EXPECT_TRUE(TW.CheckKey('W'));

    // Space: back to play. The R pressed during game over does not act now.
    for (int key : {'W', 'S', 'A', 'D', 'Q', 'E'})
        TW.KeyUp(key);
    TW.lmouse = false;
    TW.KeyDown(VK_SPACE);
    CheckKeys();
    EXPECT_FALSE(gameover);
    EXPECT_EQ(PlayerHealth, 100);
    ExpectAt(Camera.m_vPosition, 5, 4, 10, 0);
    EXPECT_TRUE(UseCameraNewMovement);
}

// ---- Fire -------------------------------------------------------------------------

TEST_F(Controls, AShotLeavesFromTheViewPoint)
{
    Stand(1, 4, 2);
    TW.lmouse = true;
    CheckKeys();
    const Bullet& b = BList.Bullets[0];
    ASSERT_TRUE(b.Used);
    EXPECT_EQ(b.Owner, 1);
    ExpectAt(b.Pos, 1, 4, -8, 0);
    ExpectAt(b.Vec, 0, 0, -10, 0); // the view direction, not yet normalised
    EXPECT_EQ(b.Speed, 3.5f);
    EXPECT_EQ(b.Length, 0);
    EXPECT_EQ(b.MaxLength, 1000);
    EXPECT_EQ(WaitTime, 8);
}

TEST_F(Controls, HoldingTheButtonFiresEveryEighthFrame)
{
    for (int i = 0; i < 9; ++i)
        BList.Add(); // room for every shot
    TW.lmouse = true;
    int shots[6];
    int fired = 0;
    for (int frame = 0; frame < 41; ++frame) {
        int before = BulletsInFlight();
        Frame();
        if (BulletsInFlight() > before) {
            ASSERT_LT(fired, 6);
            shots[fired++] = frame;
        }
    }
    ASSERT_EQ(fired, 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(shots[i], 8 * i);
    EXPECT_EQ(BList.totalbullets, 10);
}

TEST_F(Controls, AFullPoolGrowsAndTheShotComesOneFrameLater)
{
    TW.lmouse = true;
    Frame(); // frame 0: slot 0
    ASSERT_EQ(BulletsInFlight(), 1);
    for (int frame = 1; frame < 8; ++frame)
        Frame();
    Frame(); // frame 8: no free slot, the pool grows, nothing is fired
    EXPECT_EQ(BList.totalbullets, 2);
    EXPECT_EQ(BulletsInFlight(), 1);
    EXPECT_EQ(WaitTime, 0);
    EXPECT_EQ(BList.Bullets[0].Owner, 1);
    Frame(); // frame 9: into the new slot
    EXPECT_TRUE(BList.Bullets[1].Used);
    EXPECT_EQ(BList.totalbullets, 2);
    EXPECT_EQ(WaitTime, 8);
}
