#include "game/main.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace TovarToolkit;

namespace {

bool Finite(const TovarVector3f& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void ResetPool(int slots)
{
    delete[] BList.Bullets;
    BList.Bullets = new Bullet[1];
    BList.totalbullets = 1;
    while (BList.totalbullets < slots)
        BList.Add();
}

} // namespace

TEST(BulletFlight, Defaults)
{
    Bullet b;
    EXPECT_TRUE(b.Pos.IsEqual(TovarVector3f(0, 0, 0)));
    EXPECT_TRUE(b.Vec.IsEqual(TovarVector3f(0, 0, 0)));
    EXPECT_FALSE(b.Used);
    EXPECT_EQ(b.Length, 0);
    EXPECT_EQ(b.MaxLength, 0);
    EXPECT_EQ(b.Speed, 0.0f);
    EXPECT_EQ(b.Owner, 0);
    EXPECT_EQ(b.Gravity, 0.000098f);
}

TEST(BulletFlight, AStepCoversSpeedUnitsAndBendsDown)
{
    Bullet b;
    b.Pos = TovarVector3f(10, 5, 0);
    b.Vec = TovarVector3f(20, 0, 0); // any length
    b.Speed = 3.5f;
    b.ProcessMovement();
    EXPECT_NEAR(b.Vec.GetLength(), 1.0f, 1e-6f);
    EXPECT_LT(b.Vec.y, 0.0f); // gravity, before the normalisation
    EXPECT_NEAR(b.Vec.y, -0.000098f / 20, 1e-9f);
    EXPECT_NEAR(b.Pos.GetDist(TovarVector3f(10, 5, 0)), 3.5f, 1e-5f);
    EXPECT_EQ(b.Length, 1);
    b.ProcessMovement();
    EXPECT_EQ(b.Length, 2);
    EXPECT_NEAR(b.Pos.x, 17.0f, 1e-4f);
}

TEST(BulletFlight, FreedInItsThousandthStep)
{
    Bullet b;
    b.Used = true;
    b.Vec = TovarVector3f(0, 0, 1);
    b.Speed = 3.5f;
    b.Length = 0;
    b.MaxLength = 1000;
    int steps = 0;
    while (b.Used && steps < 2000) {
        b.ProcessMovement();
        b.ProcessLength();
        ++steps;
    }
    EXPECT_EQ(steps, 1000);
    EXPECT_EQ(b.Length, 1000);
}

TEST(BulletFlight, ADirectionWithoutLengthStaysFinite)
{
    // A zero aim: gravity alone gives it a direction, straight down.
    Bullet b;
    b.Speed = 3.5f;
    b.ProcessMovement();
    EXPECT_TRUE(Finite(b.Vec));
    EXPECT_TRUE(b.Pos.IsEqual(TovarVector3f(0, -3.5f, 0)));

    // An aim that gravity cancels exactly: the bullet hangs where it is.
    Bullet c;
    c.Speed = 3.5f;
    c.Pos = TovarVector3f(1, 2, 3);
    c.Vec = TovarVector3f(0, c.Gravity, 0);
    c.ProcessMovement();
    EXPECT_TRUE(Finite(c.Vec));
    EXPECT_TRUE(Finite(c.Pos));
    EXPECT_TRUE(c.Pos.IsEqual(TovarVector3f(1, 2, 3)));
    EXPECT_EQ(c.Length, 1);

    // Too short for its length to be a float: still no infinities.
    Bullet d;
    d.Speed = 3.5f;
    d.Vec = TovarVector3f(1e-30f, c.Gravity, 0);
    d.ProcessMovement();
    EXPECT_TRUE(Finite(d.Vec));
    EXPECT_TRUE(Finite(d.Pos));
}

// ---- The pool -------------------------------------------------------------------

TEST(BulletPool, AddKeepsEverySlotAtItsIndex)
{
    BulletsList pool;
    ASSERT_EQ(pool.totalbullets, 1);
    EXPECT_FALSE(pool.Bullets[0].Used);

    // A player bullet in flight when the pool grows.
    Bullet& p = pool.Bullets[0];
    p.Pos = TovarVector3f(1, 2, 3);
    p.Vec = TovarVector3f(0, 0, -1);
    p.Length = 17;
    p.MaxLength = 1000;
    p.Speed = 3.5f;
    p.Owner = 1;
    pool.SetUsed(0, true);

    pool.Add();
    pool.Add();
    ASSERT_EQ(pool.totalbullets, 3);
    const Bullet& q = pool.Bullets[0];
    EXPECT_TRUE(q.Used);
    EXPECT_EQ(q.Owner, 1);
    EXPECT_TRUE(q.Pos.IsEqual(TovarVector3f(1, 2, 3)));
    EXPECT_TRUE(q.Vec.IsEqual(TovarVector3f(0, 0, -1)));
    EXPECT_EQ(q.Length, 17);
    EXPECT_EQ(q.MaxLength, 1000);
    EXPECT_EQ(q.Speed, 3.5f);
    for (int i = 1; i < 3; ++i) {
        EXPECT_FALSE(pool.Bullets[i].Used);
        EXPECT_EQ(pool.Bullets[i].Owner, 0);
    }

    pool.SetLengthAndMaxLength(2, 4, 9);
    EXPECT_EQ(pool.Bullets[2].Length, 4);
    EXPECT_EQ(pool.Bullets[2].MaxLength, 9);
    // Indices outside the pool are refused rather than written past its end.
    pool.SetUsed(3, true);
    pool.SetUsed(-1, true);
    pool.SetLengthAndMaxLength(3, 1, 1);
    EXPECT_EQ(pool.totalbullets, 3);
}

// ---- Enemy fire -------------------------------------------------------------------

class EnemyFire : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPool(1);
        EnemyShootWaitTime = 0;
        EnemyWaitTimeToShoot = 100;
        EnemyList.Set(2);
        for (int i = 0; i < 2; ++i)
            EnemyList.Entity[i].Health = 100;
        EnemyList.Entity[1].Position = TovarVector3f(50, 0, 50);
        Camera.PositionCamera(0, 4, 3, 0, 4, -7, 0, 1, 0);
    }
};

TEST_F(EnemyFire, TheFirstShotAndItsFirstStep)
{
    Enemy_Shoot(0);
    const Bullet& b = BList.Bullets[0];
    ASSERT_TRUE(b.Used);
    EXPECT_EQ(b.Owner, 0);
    EXPECT_EQ(b.Speed, 3.5f);
    EXPECT_EQ(b.Length, 0);
    EXPECT_EQ(b.MaxLength, 1000);
    EXPECT_TRUE(b.Pos.IsEqual(TovarVector3f(0, 0, 0)));
    EXPECT_TRUE(b.Vec.IsEqual(TovarVector3f(0, 4, 3))); // feet to eye, as is
    EXPECT_EQ(EnemyShootWaitTime, 100);

    BList.Bullets[0].ProcessMovement();
    EXPECT_NEAR(b.Vec.GetLength(), 1.0f, 1e-6f);
    EXPECT_NEAR(b.Pos.GetLength(), 3.5f, 1e-5f);
    EXPECT_NEAR(b.Pos.x, 0.0f, 1e-6f);
    EXPECT_NEAR(b.Pos.y, 2.8f, 1e-3f);
    EXPECT_NEAR(b.Pos.z, 2.1f, 1e-3f);
}

TEST_F(EnemyFire, AFullPoolGrowsAndFiresNothing)
{
    BList.Bullets[0].Used = true;
    BList.Bullets[0].Owner = 1;
    Enemy_Shoot(0);
    ASSERT_EQ(BList.totalbullets, 2);
    EXPECT_FALSE(BList.Bullets[1].Used);
    EXPECT_EQ(BList.Bullets[0].Owner, 1);
    EXPECT_EQ(EnemyShootWaitTime, 0);

    // The next enemy in range, in the same frame, fires into the new slot.
    Enemy_Shoot(1);
    ASSERT_TRUE(BList.Bullets[1].Used);
    EXPECT_TRUE(BList.Bullets[1].Pos.IsEqual(TovarVector3f(50, 0, 50)));
    EXPECT_EQ(BList.totalbullets, 2);
    EXPECT_EQ(EnemyShootWaitTime, 100);
}

TEST_F(EnemyFire, OneCoolDownForTheWholeWave)
{
    EnemyShootWaitTime = 1;
    Enemy_Shoot(0);
    EXPECT_FALSE(BList.Bullets[0].Used);
    EXPECT_EQ(EnemyShootWaitTime, 1);

    // Count frames as the scene does: every enemy in range tries, then the
    // cool-down runs down by one.
    ResetPool(20);
    EnemyShootWaitTime = 0;
    int shots[3] = {-1, -1, -1};
    int fired = 0;
    for (int frame = 0; frame < 250; ++frame) {
        int before = 0;
        for (int i = 0; i < BList.totalbullets; ++i)
            before += BList.Bullets[i].Used;
        Enemy_Shoot(0);
        Enemy_Shoot(1);
        int after = 0;
        for (int i = 0; i < BList.totalbullets; ++i)
            after += BList.Bullets[i].Used;
        ASSERT_LE(after - before, 1) << "two shots in frame " << frame;
        if (after > before && fired < 3)
            shots[fired++] = frame;
        if (EnemyShootWaitTime > 0)
            --EnemyShootWaitTime;
    }
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(shots[0], 0);
    EXPECT_EQ(shots[1], 100);
    EXPECT_EQ(shots[2], 200);
    // Always the lowest-indexed enemy that tries.
    EXPECT_TRUE(BList.Bullets[1].Pos.IsEqual(TovarVector3f(0, 0, 0)));
}

TEST_F(EnemyFire, AnEyeAtTheEnemysFeetGivesAFiniteBullet)
{
    Camera.PositionCamera(50, 0, 50, 50, 0, 40, 0, 1, 0);
    Enemy_Shoot(1);
    Bullet& b = BList.Bullets[0];
    ASSERT_TRUE(b.Used);
    b.ProcessMovement();
    EXPECT_TRUE(Finite(b.Vec));
    EXPECT_TRUE(Finite(b.Pos));
}

TEST_F(EnemyFire, AnEnemyOutsideTheListFiresNothing)
{
    Enemy_Shoot(2);
    Enemy_Shoot(-1);
    EXPECT_FALSE(BList.Bullets[0].Used);
    EXPECT_EQ(BList.totalbullets, 1);
    EXPECT_EQ(EnemyShootWaitTime, 0);
}
