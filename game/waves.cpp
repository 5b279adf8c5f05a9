#include "game/main.h"

#include <random>

using namespace TovarToolkit;

namespace {

// Placements come from a generator of fixed definition and fixed seed, never
// reseeded: every run, on every platform, places the same waves.
std::minstd_rand& PlacementGenerator()
{
    static std::minstd_rand generator(1);
    return generator;
}

} // namespace

void ReBuildEnemyes()
{
    ++level;
    if (EnemyWaitTimeToShoot - 50 > 50)
        EnemyWaitTimeToShoot -= 50;
    EnemyList.Set(level * 5);
    EnemyDamage -= 10;
    if (EnemyDamage <= 0)
        EnemyDamage = 10;

    std::minstd_rand& generator = PlacementGenerator();
    for (int i = 0; i < EnemyList.TotalEntities; ++i) {
        int x = static_cast<int>(generator() % 500); // x is always drawn before z
        int z = static_cast<int>(generator() % 500);
        EnemyList.Entity[i].Position = TovarVector3f(static_cast<float>(x), 0.0f, static_cast<float>(z));
        EnemyList.Entity[i].Health = 100;
    }
    PlayGameSound(SoundNewWave);
}

bool CheckIfPlayerIsOutOfArea()
{
    // The push-back is worked out in double and stored as float; the far Z side
    // pushes ten times harder than the other three.
    const double step = 0.05;
    TovarVector3f& pos = Camera.m_vPosition;
    TovarVector3f& view = Camera.m_vView;
    if (pos.x > 500) {
        pos.x = static_cast<float>(pos.x - step);
        view.x = static_cast<float>(view.x - step);
        return true;
    }
    if (pos.x < -500) {
        pos.x = static_cast<float>(pos.x + step);
        view.x = static_cast<float>(view.x + step);
        return true;
    }
    if (pos.z > 500) {
        pos.z = static_cast<float>(pos.z - 0.5);
        view.z = static_cast<float>(view.z - 0.5);
        return true;
    }
    if (pos.z < -500) {
        pos.z = static_cast<float>(pos.z + step);
        view.z = static_cast<float>(view.z + step);
        return true;
    }
    return false;
}
