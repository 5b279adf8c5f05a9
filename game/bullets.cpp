#include "game/main.h"

#include <algorithm>
#include <cmath>

using namespace TovarToolkit;

Bullet::Bullet()
    : Used(false), Length(0), MaxLength(0), Speed(0.0f), Owner(0), Gravity(0.000098f)
{
}

void Bullet::ProcessMovement()
{
    Vec.y -= Gravity;
    // A direction without length (or one whose reciprocal length overflows)
    // is left as it is: the bullet then hangs where it is until its time is up,
    // instead of carrying infinities and NaNs into every later test.
    float length = Vec.GetLength();
    if (length > 0.0f && std::isfinite(1.0f / length))
        Vec.Normalize();
    Pos = Pos + Vec * Speed;
    Length += 1;
}

void Bullet::ProcessLength() { Used = Length < MaxLength; }

BulletsList::BulletsList() : Bullets(new Bullet[1]), totalbullets(1) {}

// The pool owns its array; a local one (a test's) must not leak it.
BulletsList::~BulletsList()
{
    delete[] Bullets;
}

void BulletsList::Add()
{
    Bullet* grown = new Bullet[totalbullets + 1];
    std::copy(Bullets, Bullets + totalbullets, grown);
    delete[] Bullets;
    Bullets = grown;
    ++totalbullets;
}

void BulletsList::SetUsed(int ID, bool val)
{
    if (ID >= 0 && ID < totalbullets)
        Bullets[ID].Used = val;
}

void BulletsList::SetLengthAndMaxLength(int ID, int length, int maxlength)
{
    if (ID < 0 || ID >= totalbullets)
        return;
    Bullets[ID].Length = length;
    Bullets[ID].MaxLength = maxlength;
}

void Enemy_Shoot(int i)
{
    if (EnemyShootWaitTime > 0)
        return;
    if (i < 0 || i >= EnemyList.TotalEntities)
        return;

    const TEntity& enemy = EnemyList.Entity[i];
    // Aimed at the eye as it is now, from the enemy's feet; no lead.
    if (FireBullet(enemy.Position, Camera.m_vPosition - enemy.Position, 0)) {
        EnemyShootWaitTime = EnemyWaitTimeToShoot;
        PlayGameSound(SoundEnemyShot);
    }
}

bool FireBullet(TovarVector3f from, TovarVector3f direction, int owner)
{
    for (int j = 0; j < BList.totalbullets; ++j) {
        Bullet& b = BList.Bullets[j];
        if (b.Used)
            continue;
        b.Pos = from;
        b.Vec = direction;
        b.Speed = 3.5f;
        BList.SetLengthAndMaxLength(j, 0, 1000);
        b.Owner = owner;
        BList.SetUsed(j, true);
        return true;
    }
    // Every slot is in flight: make room; the next shot fires into it.
    BList.Add();
    return false;
}
