#pragma once

// Puts the game's globals back to a fresh start, but with no enemies and a
// pool of one free bullet, so each test builds exactly the scene it needs.

#include "game/main.h"

inline void ResetGameState()
{
    using TovarToolkit::TW;
    for (bool& k : TW.Key)
        k = false;
    TW.lmouse = false;
    gameover = false;
    UseCameraNewMovement = false;
    WaitTime = 0;
    EnemyShootWaitTime = 0;
    EnemyWaitTimeToShoot = 100;
    EnemyDamage = 50;
    PlayerHealth = 100;
    player_score = 0;
    level = 0;
    EnemyList.Set(0);
    delete[] BList.Bullets;
    BList.Bullets = new Bullet[1];
    BList.totalbullets = 1;
}
