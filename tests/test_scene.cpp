// The frame's rules, driven through StepGame: no window, no GL context.

#include "game/main.h"
#include "support/GameState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace TovarToolkit;

namespace {

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGameState();
        level = 1;
        // Enemies hold their fire unless a test wants it.
        EnemyShootWaitTime = 1000000;
        Camera.PositionCamera(0, 0, 0, 1, 0, 0, 0, 1, 0);
    }

    // Enemies at the given places, alive with full health.
    void PlaceEnemies(std::initializer_list<TovarVector3f> places)
    {
        EnemyList.Set(static_cast<int>(places.size()));
        int i = 0;
        for (const TovarVector3f& p : places) {
            EnemyList.Entity[i].Position = p;
            EnemyList.Entity[i].Health = 100;
            ++i;
        }
    }

    // A bullet that stands still where it is put, so the hit pass finds it there.
    int PlaceBullet(TovarVector3f at, int owner, int maxLength = 1000)
    {
        int slot = -1;
        for (int i = 0; i < BList.totalbullets; ++i)
            if (!BList.Bullets[i].Used) {
                slot = i;
                break;
            }
        if (slot < 0) {
            BList.Add();
            slot = BList.totalbullets - 1;
        }
        Bullet& b = BList.Bullets[slot];
        b.Pos = at;
        b.Vec = TovarVector3f(1, 0, 0);
        b.Speed = 0.0f;
        b.Length = 0;
        b.MaxLength = maxLength;
        b.Owner = owner;
        b.Used = true;
        return slot;
    }

    static int UsedBullets()
    {
        int n = 0;
        for (int i = 0; i < BList.totalbullets; ++i)
            n += BList.Bullets[i].Used ? 1 : 0;
        return n;
    }

    static int Living()
    {
        int n = 0;
        for (int i = 0; i < EnemyList.TotalEntities; ++i)
            n += EnemyList.Entity[i].Health > 0 ? 1 : 0;
        return n;
    }
};

// Far from the player: out of chase and fire range, so it only keeps the wave alive.
const TovarVector3f kFarAway(400, 0, 400);

} // namespace

TEST_F(SceneTest, TheTwentiethEnemyHitEndsTheGameInThatFrame)
{
    PlaceEnemies({kFarAway});
    for (int i = 0; i < 25; ++i)
        PlaceBullet(TovarVector3f(1, 0, 0), 0);
    StepGame();
    EXPECT_EQ(PlayerHealth, 0);
    EXPECT_TRUE(gameover);
    EXPECT_EQ(UsedBullets(), 0) << "hits after the last are used up all the same";
}

TEST_F(SceneTest, HealthOnlyFallsByWholeHitsAndStopsAtZero)
{
    PlaceEnemies({kFarAway});
    PlayerHealth = 10;
    PlaceBullet(TovarVector3f(0, 6.9f, 0), 0);
    StepGame();
    EXPECT_EQ(PlayerHealth, 5);
    EXPECT_FALSE(gameover);
    PlaceBullet(TovarVector3f(0, 7.1f, 0), 0); // outside the player's sphere
    StepGame();
    EXPECT_EQ(PlayerHealth, 5);
    EXPECT_EQ(UsedBullets(), 1);
}

TEST_F(SceneTest, KillsTakeAsManyHitsAsTheDamageAllowsAndScoreOnce)
{
    struct Case {
        int damage;
        int hitsToKill;
    };
    for (Case c : {Case{40, 3}, Case{10, 10}}) {
        SetUp();
        EnemyDamage = c.damage;
        // Out of chase range (under 30) so it stays put; the far one keeps the wave.
        PlaceEnemies({TovarVector3f(10, 0, 0), kFarAway});
        for (int hit = 1; hit <= c.hitsToKill; ++hit) {
            PlaceBullet(TovarVector3f(10, 0, 0), 1);
            StepGame();
            EXPECT_EQ(EnemyList.Entity[0].Health > 0, hit < c.hitsToKill) << "damage " << c.damage << " hit " << hit;
        }
        EXPECT_EQ(player_score, 50);
        // Later bullets pass through the dead and score nothing.
        int slot = PlaceBullet(TovarVector3f(10, 0, 0), 1);
        StepGame();
        EXPECT_TRUE(BList.Bullets[slot].Used);
        EXPECT_EQ(player_score, 50);
    }
}

TEST_F(SceneTest, TwoBulletsInOneSphereBothCount)
{
    PlaceEnemies({TovarVector3f(10, 0, 0), kFarAway});
    PlaceBullet(TovarVector3f(10, 1, 0), 1);
    PlaceBullet(TovarVector3f(11, 0, 0), 1);
    StepGame();
    EXPECT_LE(EnemyList.Entity[0].Health, 0);
    EXPECT_EQ(player_score, 50);
    EXPECT_EQ(UsedBullets(), 0);
}

TEST_F(SceneTest, EnemiesStepOnlyWithinTheChaseBand)
{
    const float distances[] = {29.99f, 30.0f, 200.0f, 200.01f};
    const bool steps[] = {false, true, true, false};
    for (int k = 0; k < 4; ++k) {
        SetUp();
        PlaceEnemies({TovarVector3f(distances[k], 0, 0)});
        StepGame();
        float expected = steps[k] ? distances[k] - 0.4f : distances[k];
        EXPECT_FLOAT_EQ(EnemyList.Entity[0].Position.x, expected) << "at " << distances[k];
        EXPECT_EQ(EnemyList.Entity[0].Position.z, 0.0f);
    }
}

TEST_F(SceneTest, EnemiesFireWithinRangeUnderTheSharedCoolDown)
{
    EnemyShootWaitTime = 0;
    PlaceEnemies({TovarVector3f(200.01f, 0, 0), TovarVector3f(0, 0, 200.0f), TovarVector3f(0, 0, -150)});
    StepGame();
    // The first is out of range; the second steps from 200 to 199.6 and fires;
    // the third is in range too, but the wave shares one cool-down.
    ASSERT_EQ(UsedBullets(), 1);
    const Bullet& b = BList.Bullets[0];
    EXPECT_EQ(b.Owner, 0);
    EXPECT_FLOAT_EQ(b.Pos.z, 199.6f);
    EXPECT_EQ(EnemyShootWaitTime, 99) << "set to 100, then counted down at the end of the frame";
}

TEST_F(SceneTest, AnEnemyExactly200AwayFires)
{
    EnemyShootWaitTime = 0;
    // Straight below a raised eye: exactly 200 away, and with no direction to
    // walk in it cannot come closer first.
    Camera.PositionCamera(0, 200, 0, 1, 200, 0, 0, 1, 0);
    PlaceEnemies({TovarVector3f(0, 0, 0)});
    StepGame();
    EXPECT_EQ(UsedBullets(), 1);
    EXPECT_TRUE(EnemyList.Entity[0].Position.IsEqual(TovarVector3f(0, 0, 0)));
}

TEST_F(SceneTest, AnEnemyRightBelowThePlayerStaysFinite)
{
    Camera.PositionCamera(50, 40, 50, 51, 40, 50, 0, 1, 0);
    PlaceEnemies({TovarVector3f(50, 0, 50)});
    StepGame();
    const TEntity& e = EnemyList.Entity[0];
    EXPECT_TRUE(std::isfinite(e.Velocity.x) && std::isfinite(e.Velocity.y) && std::isfinite(e.Velocity.z));
    EXPECT_EQ(e.Position.x, 50.0f);
    EXPECT_EQ(e.Position.z, 50.0f);
}

TEST_F(SceneTest, BulletsLeavingTheArenaAreDropped)
{
    PlaceEnemies({kFarAway});
    int inside = PlaceBullet(TovarVector3f(500.0f, 0, 0), 1);
    int outside = PlaceBullet(TovarVector3f(500.01f, 0, 0), 1);
    int below = PlaceBullet(TovarVector3f(0, 0, -500.01f), 0);
    StepGame();
    EXPECT_TRUE(BList.Bullets[inside].Used);
    EXPECT_FALSE(BList.Bullets[outside].Used);
    EXPECT_FALSE(BList.Bullets[below].Used);
}

TEST_F(SceneTest, ABulletFliesExactlyItsMaximumLength)
{
    PlaceEnemies({kFarAway});
    int once = PlaceBullet(TovarVector3f(-100, 0, 0), 1, 1);
    BList.Bullets[once].Speed = 3.5f;
    StepGame();
    EXPECT_FALSE(BList.Bullets[once].Used);
    EXPECT_EQ(BList.Bullets[once].Length, 1);
    EXPECT_FLOAT_EQ(BList.Bullets[once].Pos.x, -96.5f);
    StepGame();
    EXPECT_EQ(BList.Bullets[once].Length, 1) << "a free slot is neither drawn nor moved";
}

TEST_F(SceneTest, EnemiesOutsideTheArenaArePulledOntoItsEdge)
{
    PlaceEnemies({TovarVector3f(620, 0, -700), kFarAway});
    StepGame();
    const TEntity& e = EnemyList.Entity[0];
    EXPECT_EQ(e.BSphere.Center.x, 500.0f) << "clamped before its sphere was set";
    EXPECT_EQ(e.BSphere.Center.z, -500.0f);
    EXPECT_EQ(e.BSphere.Radius, 7.0f);
}

TEST_F(SceneTest, GameOverFreezesTheWorldButNotTheCoolDowns)
{
    PlaceEnemies({TovarVector3f(100, 0, 0)});
    int slot = PlaceBullet(TovarVector3f(-50, 0, 0), 1);
    BList.Bullets[slot].Speed = 3.5f;
    gameover = true;
    WaitTime = 3;
    EnemyShootWaitTime = 2;
    for (int i = 0; i < 5; ++i)
        StepGame();
    EXPECT_EQ(EnemyList.Entity[0].Position.x, 100.0f);
    EXPECT_EQ(BList.Bullets[slot].Pos.x, -50.0f);
    EXPECT_EQ(BList.Bullets[slot].Length, 0);
    EXPECT_EQ(WaitTime, 0);
    EXPECT_EQ(EnemyShootWaitTime, 0);
    EXPECT_EQ(UsedBullets(), 1);
}

TEST_F(SceneTest, ANewWaveComesTheFrameAfterTheLastKill)
{
    level = 1;
    EnemyDamage = 100;
    PlaceEnemies({TovarVector3f(10, 0, 0)});
    PlaceBullet(TovarVector3f(10, 0, 0), 1);
    StepGame(); // the kill frame
    EXPECT_EQ(Living(), 0) << "the heads-up count shows 0 in the kill frame";
    EXPECT_EQ(EnemyList.TotalEntities, 1);
    EXPECT_EQ(level, 1);
    StepGame();
    EXPECT_EQ(level, 2);
    EXPECT_EQ(EnemyList.TotalEntities, 10);
    EXPECT_EQ(Living(), 10);
}

std::vector<GameSound> g_asked;

TEST_F(SceneTest, EachMomentOfTheRulesAsksForItsOwnSound)
{
    SetGameSoundListener([](GameSound s) { g_asked.push_back(s); });
    using Sounds = std::vector<GameSound>;
    auto asked = [](auto step) { return g_asked.clear(), step(), g_asked; };

    // The player's shot, and none while the fire cools down.
    PlaceEnemies({kFarAway});
    TW.lmouse = true;
    EXPECT_EQ(asked([] { CheckKeys(); }), Sounds{SoundPlayerShot});
    EXPECT_EQ(asked([] { CheckKeys(); }), Sounds{});
    TW.lmouse = false;

    // An enemy's shot, and none under the shared cool-down.
    SetUp();
    PlaceEnemies({TovarVector3f(50, 0, 0)});
    EnemyShootWaitTime = 0;
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{SoundEnemyShot});
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{});

    // A hit that leaves the enemy standing, then the one that fells it, then
    // the wave that follows.
    SetUp();
    PlaceEnemies({TovarVector3f(10, 0, 0)});
    PlaceBullet(TovarVector3f(10, 0, 0), 1);
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{SoundCreatureHit});
    PlaceBullet(TovarVector3f(10, 0, 0), 1);
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{SoundCreatureFalls});
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{SoundNewWave});

    // The player hit, and the hit that ends the game; none once it is over.
    SetUp();
    PlaceEnemies({kFarAway});
    PlaceBullet(TovarVector3f(0, 0, 0), 0);
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{SoundPlayerHit});
    PlayerHealth = 10;
    PlaceBullet(TovarVector3f(0, 0, 0), 0);
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{SoundPlayerHit});
    PlaceBullet(TovarVector3f(0, 0, 0), 0);
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{SoundGameOver});
    PlaceBullet(TovarVector3f(0, 0, 0), 0);
    EXPECT_EQ(asked([] { StepGame(); }), Sounds{});

    SetGameSoundListener(nullptr);
}
