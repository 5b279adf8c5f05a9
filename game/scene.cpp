// The frame: draws the world and advances the game by one step.

#include "game/main.h"

#include "toolkit/platform/GL.h"

using namespace TovarToolkit;

namespace {

const float kArenaHalf = 500.0f;
const float kFloorY = -5.0f;
const float kEnemyScale = 0.2f;
const float kEnemyTurn = 100.0f; // degrees about +y, the same for every enemy
const float kEnemyStep = 0.4f;
const float kChaseMin = 30.0f;
const float kChaseMax = 200.0f;
const float kFireRange = 200.0f;
const float kPlayerRadius = 7.0f;
const int kHitCost = 5;
const int kKillScore = 50;

void DrawBullets()
{
    for (int i = 0; i < BList.totalbullets; ++i) {
        Bullet& b = BList.Bullets[i];
        if (!b.Used)
            continue;
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        // Additive glow: black texels leave the background as it is.
        glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
        glEnable(GL_BLEND);
        glTranslatef(b.Pos.x, b.Pos.y, b.Pos.z);
        DrawBox(&ParticleTex);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();

        b.ProcessMovement();
        b.ProcessLength();
    }
}

void StepEnemies()
{
    const TovarVector3f eye = Camera.m_vPosition;
    for (int i = 0; i < EnemyList.TotalEntities; ++i) {
        TEntity& e = EnemyList.Entity[i];
        if (!e.IsAlive())
            continue;

        if (e.Position.x > kArenaHalf)
            e.Position.x = kArenaHalf;
        if (e.Position.x < -kArenaHalf)
            e.Position.x = -kArenaHalf;
        if (e.Position.z > kArenaHalf)
            e.Position.z = kArenaHalf;
        if (e.Position.z < -kArenaHalf)
            e.Position.z = -kArenaHalf;

        e.CalculateBSphere();

        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        glTranslatef(e.Position.x, e.Position.y, e.Position.z);
        glScalef(kEnemyScale, kEnemyScale, kEnemyScale);
        glRotatef(kEnemyTurn, 0, 1, 0);
        MD2Load.Animate(&OgroMDL, &OgroSkin);
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();

        TovarVector3f heading(eye.x - e.Position.x, 0.0f, eye.z - e.Position.z);
        if (heading.GetLengthSquare() > 0.0f) {
            heading.Normalize();
            e.Velocity = heading * kEnemyStep;
        } else {
            // Standing right below or above the player: no direction to walk in.
            e.Velocity = TovarVector3f();
        }

        float d = eye.GetDist(e.Position);
        if (d >= kChaseMin && d <= kChaseMax)
            e.Position = e.Position + e.Velocity;

        if (eye.GetDist(e.Position) <= kFireRange)
            Enemy_Shoot(i);
    }
}

void ApplyHits()
{
    for (int i = 0; i < BList.totalbullets; ++i) {
        Bullet& b = BList.Bullets[i];
        for (int j = 0; j < EnemyList.TotalEntities; ++j) {
            TEntity& e = EnemyList.Entity[j];

            if (b.Used && b.Owner == 1 && e.IsAlive() && e.BSphere.IsPointInSphere(&b.Pos)) {
                b.Used = false;
                if (e.IsAlive() && e.IsEnemy) {
                    e.Health -= EnemyDamage;
                    if (e.Health <= 0)
                        player_score += kKillScore;
                }
            }

            if (b.Pos.x < -kArenaHalf || b.Pos.x > kArenaHalf || b.Pos.z < -kArenaHalf || b.Pos.z > kArenaHalf)
                b.Used = false;

            if (b.Used && b.Owner == 0) {
                PlayerBSphere.Center = Camera.m_vPosition;
                PlayerBSphere.Radius = kPlayerRadius;
                if (PlayerBSphere.IsPointInSphere(&b.Pos)) {
                    b.Used = false;
                    if (PlayerHealth > 0) {
                        PlayerHealth -= kHitCost;
                        if (PlayerHealth == 0)
                            gameover = true;
                    }
                }
            }
        }
    }
}

void DrawShade()
{
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 0, 0, 0.7f);
    glBegin(GL_QUADS);
    glVertex3f(-5, -5, -3);
    glVertex3f(5, -5, -3);
    glVertex3f(5, 5, -3);
    glVertex3f(-5, 5, -3);
    glEnd();
    glColor4f(1, 1, 1, 1);
    DrawGameOver();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glPopMatrix();
}

} // namespace

void DrawGLScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    Camera.Look();

    if (!gameover) {
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        DrawFloor(0, kFloorY, 0, kArenaHalf, kArenaHalf, &Floor);
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();

        DrawBullets();
        StepEnemies();

        // Kills come later in this frame, so a wave emptied now is rebuilt
        // in the next one.
        if (EnemyList.CountLiving() == 0)
            ReBuildEnemyes();

        ApplyHits();

        DrawCrossHair(&Crosshair);
        DrawCameraPosCoords();
        DrawCameraViewCoords();
        DrawTotalEnemyes();
        DrawPlayerScore();
        DrawPlayerHealth();
        DrawPlayerLevel();
    }

    if (gameover)
        DrawShade();

    glFlush();

    if (WaitTime > 0)
        --WaitTime;
    if (EnemyShootWaitTime > 0)
        --EnemyShootWaitTime;
}
