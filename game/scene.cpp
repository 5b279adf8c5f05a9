// The frame: advances the game by one step and draws it. The rules run in
// a pass of their own that needs no GL context; the drawing pass reads what
// that pass noted.

#include "game/main.h"

#include "toolkit/platform/GL.h"

#include <vector>

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

// What the drawing pass shows of this frame's world, written by the
// simulation before it moves anything: the bullets where they stood and the
// living creatures where the arena clamp put them. Kept between frames so
// that a frame allocates nothing once the pool and the wave stop growing.
struct SeenWorld {
    std::vector<TovarVector3f> bullets;
    std::vector<TovarVector3f> creatures;
    bool running = true; // the game was not over as the frame began
};

SeenWorld g_seen;

void MoveBullets(SeenWorld* seen)
{
    for (int i = 0; i < BList.totalbullets; ++i) {
        Bullet& b = BList.Bullets[i];
        if (!b.Used)
            continue;
        if (seen)
            seen->bullets.push_back(b.Pos);
        b.ProcessMovement();
        b.ProcessLength();
    }
}

void StepEnemies(SeenWorld* seen)
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
        if (seen)
            seen->creatures.push_back(e.Position);

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
                    PlayGameSound(e.Health <= 0 ? SoundCreatureFalls : SoundCreatureHit);
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
                        PlayGameSound(gameover ? SoundGameOver : SoundPlayerHit);
                    }
                }
            }
        }
    }
}

void DrawBullets(const std::vector<TovarVector3f>& at)
{
    for (const TovarVector3f& pos : at) {
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        // Additive glow: black texels leave the background as it is.
        glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
        glEnable(GL_BLEND);
        glTranslatef(pos.x, pos.y, pos.z);
        DrawBox(&ParticleTex);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();
    }
}

void DrawCreatures(const std::vector<TovarVector3f>& at)
{
    CreaturesDrawn = 0;
    if (at.empty())
        return;
    TovarFrustum view;
    float radius = 0.0f;
    if (CullUnseen) {
        view.FromGL(); // the camera is set: the modelview holds the view
        // Scaled as drawn; the model's rotation about its origin cannot carry
        // a vertex out of this sphere.
        radius = TovarMD2Radius(&OgroMDL) * kEnemyScale;
    }

    for (const TovarVector3f& pos : at) {
        // Every creature steps the shared clock, seen or not, so the
        // animation runs exactly as if all were drawn.
        TovarMD2Pose pose;
        if (!MD2Load.StepAnimation(&OgroMDL, &pose))
            continue;
        if (CullUnseen) {
            // Past t = 1 the blend reaches beyond both frames, by at most
            // (t - 1) times their distance apart, itself within 2 radii.
            float reach = pose.blend && pose.t > 1.0f ? radius * (1.0f + 2.0f * (pose.t - 1.0f)) : radius;
            if (view.SphereOutside(pos, reach))
                continue;
        }
        ++CreaturesDrawn;
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        glTranslatef(pos.x, pos.y, pos.z);
        glScalef(kEnemyScale, kEnemyScale, kEnemyScale);
        glRotatef(kEnemyTurn, 0, 1, 0);
        MD2Load.DrawPose(&OgroMDL, &OgroSkin, pose);
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();
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

// One step of the rules. With seen given, it also notes what this frame
// shows, before anything moves.
void Simulate(SeenWorld* seen)
{
    if (seen) {
        seen->bullets.clear();
        seen->creatures.clear();
    }
    if (!gameover) {
        MoveBullets(seen);
        StepEnemies(seen);

        // Kills come later in this frame, so a wave emptied now is rebuilt
        // in the next one.
        if (EnemyList.CountLiving() == 0)
            ReBuildEnemyes();

        ApplyHits();
    }

    if (WaitTime > 0)
        --WaitTime;
    if (EnemyShootWaitTime > 0)
        --EnemyShootWaitTime;
}

} // namespace

bool CullUnseen = true;
int CreaturesDrawn = 0;

void StepGame() { Simulate(nullptr); }

void DrawGLScene()
{
    // The frame in which the player dies is still a running frame: the world
    // and the heads-up texts, then the shade.
    g_seen.running = !gameover;
    Simulate(&g_seen);
    RedrawLastFrame();
}

void RedrawLastFrame()
{
    const bool running = g_seen.running;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    Camera.Look();

    if (running) {
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        DrawFloor(0, kFloorY, 0, kArenaHalf, kArenaHalf, &Floor);
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();

        DrawBullets(g_seen.bullets);
        DrawCreatures(g_seen.creatures);

        // The texts show the state after this frame's hits.
        DrawCrossHair(&Crosshair);
        DrawHeadsUpTexts();
    }

    if (gameover)
        DrawShade();

    glFlush();
}
