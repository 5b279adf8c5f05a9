#include "game/main.h"

using namespace TovarToolkit;

namespace {

void Walk(float speed)
{
    if (UseCameraNewMovement)
        Camera.MoveCameraB(speed);
    else
        Camera.MoveCamera(speed);
}

// Looks at where the player stands now, never where the step would lead.
bool StepAllowed(bool (*collides)())
{
    if (CheckIfPlayerIsOutOfArea())
        return false;
    return !collides();
}

bool Held(int key) { return TW.CheckKey(key); }

void Restart()
{
    TW.KeyUp(VK_SPACE);
    gameover = false;
    level = 0;
    ReBuildEnemyes();
    player_score = 0;
    PlayerHealth = 100;
    PlaceCameraAtStart();
    // After the rebuild on purpose: the first wave after a restart is fought
    // with the full damage.
    EnemyWaitTimeToShoot = 100;
    EnemyDamage = 50;
    WaitTime = 0;
    for (int i = 0; i < BList.totalbullets; ++i)
        BList.Bullets[i].Used = false;
}

void Fire()
{
    // From the view point, not the eye. With the pool full it grows instead,
    // and the shot comes next frame, into the new slot.
    if (FireBullet(Camera.m_vView, Camera.m_vView - Camera.m_vPosition, 1)) {
        WaitTime = 8;
        PlayGameSound(SoundPlayerShot);
    }
}

bool PointBlocked(const TovarVector3f& point)
{
    for (int i = 0; i < EnemyList.TotalEntities; ++i) {
        const TEntity& e = EnemyList.Entity[i];
        if (!e.IsAlive())
            continue;
        if (e.BSphere.IsPointInSphere(&point))
            return true;
    }
    return false;
}

} // namespace

bool IsPlayerColliding_View() { return PointBlocked(Camera.m_vView); }

bool IsPlayerColliding_Pos() { return PointBlocked(Camera.m_vPosition); }

void CheckKeys()
{
    if (Held(VK_SPACE))
        Restart();

    if (!gameover && (Held('W') || Held(VK_UP)) && StepAllowed(IsPlayerColliding_View))
        Walk(CameraSpeed);
    if (!gameover && (Held('S') || Held(VK_DOWN)) && StepAllowed(IsPlayerColliding_Pos))
        Walk(-CameraSpeed);
    if (!gameover && (Held('A') || Held(VK_LEFT)) && StepAllowed(IsPlayerColliding_Pos))
        Camera.StrafeCamera(-CameraSpeed);
    if (!gameover && (Held('D') || Held(VK_RIGHT)) && StepAllowed(IsPlayerColliding_View))
        Camera.StrafeCamera(CameraSpeed);

    if (!gameover && Held('Q'))
        Camera.RotateView(0.25f * CameraSpeed, 0, 1, 0);
    if (!gameover && Held('E'))
        Camera.RotateView(-0.25f * CameraSpeed, 0, 1, 0);

    // R and F act once per press; during game over the press is consumed unused.
    if (Held('R')) {
        TW.KeyUp('R');
        if (!gameover) {
            Camera.m_vPosition.y += 1;
            Camera.m_vView.y += 1;
        }
    }
    if (Held('F')) {
        TW.KeyUp('F');
        if (!gameover) {
            Camera.m_vPosition.y -= 1;
            Camera.m_vView.y -= 1;
        }
    }
    if (Held('C')) {
        TW.KeyUp('C');
        UseCameraNewMovement = !UseCameraNewMovement;
    }
    // Sound only, never the rules: once per press, in play or not.
    if (Held('M')) {
        TW.KeyUp('M');
        ToggleSoundMuted();
    }

    if (!gameover && TW.lmouse && WaitTime <= 0)
        Fire();
}
