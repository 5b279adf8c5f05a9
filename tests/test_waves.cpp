#include "game/main.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

using namespace TovarToolkit;

namespace {

void ExpectDefaultEntity(const TEntity& e, bool isEnemy)
{
    EXPECT_EQ(e.direction, 0.0f);
    EXPECT_TRUE(e.Position.IsEqual(TovarVector3f(0, 0, 0)));
    EXPECT_EQ(e.EntityID, 0);
    EXPECT_TRUE(e.Velocity.IsEqual(TovarVector3f(0, 0, 0)));
    EXPECT_TRUE(e.Size.IsEqual(TovarVector3f(0, 0, 0)));
    EXPECT_FALSE(e.Static);
    EXPECT_EQ(e.Health, 0);
    EXPECT_EQ(e.Status, STATUS_ALIVE);
    EXPECT_EQ(e.IsEnemy, isEnemy);
    EXPECT_TRUE(e.BSphere.Center.IsEqual(TovarVector3f(0, 0, 0)));
    EXPECT_EQ(e.BSphere.Radius, 0.0f);
}

// An entity with every field away from its default.
TEntity Marked(int n)
{
    TEntity e;
    e.direction = 1.5f * n;
    e.Position = TovarVector3f(n, 2.0f * n, 3.0f * n);
    e.EntityID = 10 + n;
    e.Velocity = TovarVector3f(-1, -2, -n);
    e.Size = TovarVector3f(4, 5, 6);
    e.Static = true;
    e.Health = 40 + n;
    e.Status = STATUS_ATTACK;
    e.IsEnemy = true;
    e.CalculateBSphere();
    return e;
}

void ExpectSame(const TEntity& a, const TEntity& b)
{
    EXPECT_EQ(a.direction, b.direction);
    EXPECT_TRUE(a.Position.IsEqual(b.Position));
    EXPECT_EQ(a.EntityID, b.EntityID);
    EXPECT_TRUE(a.Velocity.IsEqual(b.Velocity));
    EXPECT_TRUE(a.Size.IsEqual(b.Size));
    EXPECT_EQ(a.Static, b.Static);
    EXPECT_EQ(a.Health, b.Health);
    EXPECT_EQ(a.Status, b.Status);
    EXPECT_EQ(a.IsEnemy, b.IsEnemy);
    EXPECT_TRUE(a.BSphere.Center.IsEqual(b.BSphere.Center));
    EXPECT_EQ(a.BSphere.Radius, b.BSphere.Radius);
}

} // namespace

TEST(Entity, DefaultsAndBoundingSphere)
{
    TEntity e;
    ExpectDefaultEntity(e, false);
    EXPECT_EQ(STATUS_DEAD, 0);
    EXPECT_EQ(STATUS_PAIN, 6);
    EXPECT_EQ(TOTAL_STATUS, 7);

    e.Position = TovarVector3f(10, 0, 20);
    e.CalculateBSphere();
    EXPECT_TRUE(e.BSphere.Center.IsEqual(TovarVector3f(10, 0, 20)));
    EXPECT_EQ(e.BSphere.Radius, 7.0f);
    // A default sphere touches nothing but its own centre.
    TEntity fresh;
    TovarVector3f nearOrigin(0.01f, 0, 0);
    EXPECT_FALSE(fresh.BSphere.IsPointInSphere(&nearOrigin));
}

TEST(EntityList, ConstructorsSetAndClear)
{
    TEntityList one;
    ASSERT_EQ(one.TotalEntities, 1);
    ExpectDefaultEntity(one.Entity[0], false);

    TEntityList four(3); // one more than asked for
    EXPECT_EQ(four.TotalEntities, 4);
    TEntityList none(-5); // no negative array sizes
    EXPECT_EQ(none.TotalEntities, 0);

    TEntityList list;
    list.Set(10);
    list.Entity[2] = Marked(2);
    list.Set(3);
    ASSERT_EQ(list.TotalEntities, 3);
    for (int i = 0; i < 3; ++i)
        ExpectDefaultEntity(list.Entity[i], true);

    list.Set(0);
    EXPECT_EQ(list.TotalEntities, 0);
    list.Set(-1);
    EXPECT_EQ(list.TotalEntities, 0);

    list.Set(4);
    list.ClearEntities();
    EXPECT_EQ(list.TotalEntities, 0);
    list.AddEntity(); // usable again after clearing
    ASSERT_EQ(list.TotalEntities, 1);
    ExpectDefaultEntity(list.Entity[0], false);
}

TEST(EntityList, AddEntityKeepsEveryEntityAtItsIndex)
{
    TEntityList list;
    list.Set(5);
    for (int i = 0; i < 5; ++i)
        list.Entity[i] = Marked(i);
    list.AddEntity();
    ASSERT_EQ(list.TotalEntities, 6);
    for (int i = 0; i < 5; ++i)
        ExpectSame(list.Entity[i], Marked(i));
    ExpectDefaultEntity(list.Entity[5], false);
}

TEST(EntityList, ReBuildDataRefreshesTheSpheres)
{
    TEntityList list;
    list.Set(2);
    list.Entity[0].Position = TovarVector3f(1, 2, 3);
    list.Entity[1].Position = TovarVector3f(-4, 0, 9);
    list.ReBuildData();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(list.Entity[i].BSphere.Center.IsEqual(list.Entity[i].Position));
        EXPECT_EQ(list.Entity[i].BSphere.Radius, 7.0f);
    }
}

// ---- Waves ----------------------------------------------------------------------

class Waves : public ::testing::Test {
protected:
    void SetUp() override
    {
        level = 0;
        EnemyDamage = 50;
        EnemyWaitTimeToShoot = 100;
        EnemyList.Set(0);
    }
};

TEST_F(Waves, TheNthWaveHasLevelSizeAndDamage)
{
    const int damage[] = {40, 30, 20, 10, 10, 10, 10};
    for (int n = 1; n <= 7; ++n) {
        SCOPED_TRACE(n);
        ReBuildEnemyes();
        EXPECT_EQ(level, n);
        ASSERT_EQ(EnemyList.TotalEntities, 5 * n);
        EXPECT_EQ(EnemyDamage, damage[n - 1]);
        EXPECT_EQ(EnemyWaitTimeToShoot, 100);

        std::set<std::pair<float, float>> places;
        for (int i = 0; i < EnemyList.TotalEntities; ++i) {
            const TEntity& e = EnemyList.Entity[i];
            EXPECT_EQ(e.Health, 100);
            EXPECT_TRUE(e.IsEnemy);
            EXPECT_EQ(e.Status, STATUS_ALIVE);
            EXPECT_EQ(e.Position.y, 0.0f);
            EXPECT_GE(e.Position.x, 0.0f);
            EXPECT_LE(e.Position.x, 499.0f);
            EXPECT_GE(e.Position.z, 0.0f);
            EXPECT_LE(e.Position.z, 499.0f);
            EXPECT_EQ(e.Position.x, std::floor(e.Position.x));
            EXPECT_EQ(e.Position.z, std::floor(e.Position.z));
            EXPECT_TRUE(e.Velocity.IsEqual(TovarVector3f(0, 0, 0)));
            EXPECT_EQ(e.BSphere.Radius, 0.0f);
            places.insert({e.Position.x, e.Position.z});
        }
        // Scattered, not stacked: the draws really vary.
        EXPECT_GT(places.size(), static_cast<size_t>(EnemyList.TotalEntities / 2));
    }
}

TEST_F(Waves, TheFireIntervalOnlyDropsWhileItStaysAbove50)
{
    for (int n = 0; n < 10; ++n)
        ReBuildEnemyes();
    EXPECT_EQ(EnemyWaitTimeToShoot, 100);

    EnemyWaitTimeToShoot = 160;
    ReBuildEnemyes();
    EXPECT_EQ(EnemyWaitTimeToShoot, 110);
    ReBuildEnemyes();
    EXPECT_EQ(EnemyWaitTimeToShoot, 60);
    ReBuildEnemyes();
    EXPECT_EQ(EnemyWaitTimeToShoot, 60);
}

TEST_F(Waves, ANewWaveReplacesTheDeadOne)
{
    ReBuildEnemyes();
    for (int i = 0; i < EnemyList.TotalEntities; ++i)
        EnemyList.Entity[i].Health = -20;
    EnemyList.Entity[0].Position = TovarVector3f(-300, 7, -300);
    ReBuildEnemyes();
    ASSERT_EQ(EnemyList.TotalEntities, 10);
    for (int i = 0; i < EnemyList.TotalEntities; ++i) {
        EXPECT_EQ(EnemyList.Entity[i].Health, 100);
        EXPECT_GE(EnemyList.Entity[i].Position.x, 0.0f);
    }
}

// ---- The arena --------------------------------------------------------------------

class Arena : public ::testing::Test {
protected:
    // Eye at p, looking 10 units toward -z from it.
    void Stand(float x, float y, float z) { Camera.PositionCamera(x, y, z, x, y, z - 10, 0, 1, 0); }
    void ExpectViewFollows()
    {
        TovarVector3f sight = Camera.m_vView - Camera.m_vPosition;
        EXPECT_NEAR(sight.x, 0.0f, 1e-3f);
        EXPECT_NEAR(sight.y, 0.0f, 1e-3f);
        EXPECT_NEAR(sight.z, -10.0f, 1e-3f);
    }
};

TEST_F(Arena, InsideIncludingTheEdges)
{
    for (float x : {500.0f, -500.0f, 0.0f})
        for (float z : {500.0f, -500.0f, 0.0f}) {
            Stand(x, 4, z);
            EXPECT_FALSE(CheckIfPlayerIsOutOfArea()) << x << ", " << z;
            EXPECT_EQ(Camera.m_vPosition.x, x);
            EXPECT_EQ(Camera.m_vPosition.z, z);
        }
}

TEST_F(Arena, EachSidePushesBackOneStep)
{
    Stand(500.3f, 4, 0);
    EXPECT_TRUE(CheckIfPlayerIsOutOfArea());
    EXPECT_NEAR(Camera.m_vPosition.x, 500.25f, 1e-4f);
    ExpectViewFollows();

    Stand(-500.3f, 4, 0);
    EXPECT_TRUE(CheckIfPlayerIsOutOfArea());
    EXPECT_NEAR(Camera.m_vPosition.x, -500.25f, 1e-4f);
    ExpectViewFollows();

    // The far z side pushes ten times as hard.
    Stand(0, 4, 500.3f);
    EXPECT_TRUE(CheckIfPlayerIsOutOfArea());
    EXPECT_NEAR(Camera.m_vPosition.z, 499.8f, 1e-4f);
    ExpectViewFollows();

    Stand(0, 4, -500.3f);
    EXPECT_TRUE(CheckIfPlayerIsOutOfArea());
    EXPECT_NEAR(Camera.m_vPosition.z, -500.25f, 1e-4f);
    ExpectViewFollows();
    EXPECT_EQ(Camera.m_vPosition.y, 4.0f);
}

TEST_F(Arena, OutsideOnBothAxesCorrectsXFirst)
{
    Stand(500.3f, 4, 500.3f);
    EXPECT_TRUE(CheckIfPlayerIsOutOfArea());
    EXPECT_NEAR(Camera.m_vPosition.x, 500.25f, 1e-4f);
    EXPECT_EQ(Camera.m_vPosition.z, 500.3f);

    // Once x is back inside, z gets its turn.
    int calls = 1;
    while (Camera.m_vPosition.x > 500 && calls < 100) {
        EXPECT_TRUE(CheckIfPlayerIsOutOfArea());
        ++calls;
    }
    EXPECT_EQ(Camera.m_vPosition.z, 500.3f);
    EXPECT_TRUE(CheckIfPlayerIsOutOfArea());
    EXPECT_NEAR(Camera.m_vPosition.z, 499.8f, 1e-4f);
    EXPECT_FALSE(CheckIfPlayerIsOutOfArea());
}
