// Plays the game for many frames with random input: held keys, mouse motion,
// clicks, restarts. Input goes through the window procedure and the cursor,
// the frame through RunFrame without its drawing, so no window is needed. At the end (and
// now and then on the way) it checks that every position, direction and
// velocity is finite and that the bullet pool stayed within what the fire
// cool-downs allow.
//
//   quellin_soak <data dir> <frames> [seed]

#include "game/main.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

using namespace TovarToolkit;

namespace {

// 1000 frames of flight at one player shot per 8 frames, one enemy shot per
// 100 frames, and the one slot a full pool adds before it fires.
const int kPoolBound = 125 + 10 + 1;

bool Finite(const TovarVector3f& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool CheckState(long frame)
{
    bool ok = true;
    auto complain = [&](const char* what, int index) {
        std::fprintf(stderr, "frame %ld: %s %d is not finite\n", frame, what, index);
        ok = false;
    };
    if (!Finite(Camera.m_vPosition) || !Finite(Camera.m_vView) || !Finite(Camera.m_vUpVector) ||
        !Finite(Camera.m_vStrafe))
        complain("camera vector", 0);
    for (int i = 0; i < EnemyList.TotalEntities; ++i) {
        const TEntity& e = EnemyList.Entity[i];
        if (!Finite(e.Position) || !Finite(e.Velocity) || !Finite(e.BSphere.Center))
            complain("enemy", i);
    }
    for (int i = 0; i < BList.totalbullets; ++i) {
        const Bullet& b = BList.Bullets[i];
        if (!Finite(b.Pos) || !Finite(b.Vec))
            complain("bullet", i);
    }
    if (BList.totalbullets > kPoolBound) {
        std::fprintf(stderr, "frame %ld: the bullet pool has %d slots (bound %d)\n", frame, BList.totalbullets,
                     kPoolBound);
        ok = false;
    }
    return ok;
}

void Key(int vk, bool down) { WindowProc(hwnd, down ? WM_KEYDOWN : WM_KEYUP, vk, 0); }

// Points the view at the nearest living enemy, as a player taking aim would;
// false when none is left.
bool AimAtNearestEnemy()
{
    const TEntity* nearest = nullptr;
    float best = 0;
    for (int i = 0; i < EnemyList.TotalEntities; ++i) {
        const TEntity& e = EnemyList.Entity[i];
        float d = Camera.m_vPosition.GetDist(e.Position);
        if (e.Health > 0 && (!nearest || d < best)) {
            nearest = &e;
            best = d;
        }
    }
    if (!nearest || best < 1.0f)
        return false;
    TovarVector3f target = nearest->Position;
    target.y = Camera.m_vPosition.y * 0.5f; // mid-body
    TovarVector3f dir = target - Camera.m_vPosition;
    dir.Normalize();
    Camera.m_vView = Camera.m_vPosition + dir * 10.0f;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <data dir> <frames> [seed]\n", argv[0]);
        return 2;
    }
    std::filesystem::current_path(argv[1]);
    long frames = std::atol(argv[2]);
    unsigned seed = argc > 3 ? static_cast<unsigned>(std::atol(argv[3])) : 1u;

    // What Init does after the files and the GL state: the rules need no more.
    PlaceCameraAtStart();
    EnemyList.Set(level * 5);
    ReBuildEnemyes();

    std::mt19937 random(seed);
    auto chance = [&](int per) { return random() % per == 0; };
    const int held[] = {'W', 'S', 'A', 'D', VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, 'Q', 'E'};
    const int pressed[] = {'R', 'F', 'C'};

    bool ok = true;
    long restarts = 0, gameOvers = 0;
    int maxLevel = 0, maxPool = 0;
    bool wasOver = false;
    int aiming = 0;
    for (long frame = 0; frame < frames && ok; ++frame) {
        for (int vk : held)
            if (chance(40))
                Key(vk, !TW.Key[vk]);
        for (int vk : pressed)
            if (chance(400))
                Key(vk, true);
        if (chance(3000)) {
            Key(VK_SPACE, true);
            ++restarts;
        }
        if (chance(30))
            WindowProc(hwnd, TW.lmouse ? WM_LBUTTONUP : WM_LBUTTONDOWN, 0, 0);
        if (chance(4)) {
            POINT p;
            GetCursorPos(&p);
            SetCursorPos(static_cast<int>(p.x + random() % 41) - 20, static_cast<int>(p.y + random() % 41) - 20);
        }
        // Now and then fight for a while: aim at the nearest enemy and hold
        // the button, so that kills, new waves and a full pool happen too.
        if (aiming == 0 && chance(2000))
            aiming = 600;
        if (aiming > 0) {
            --aiming;
            if (!gameover && AimAtNearestEnemy() && !TW.lmouse)
                WindowProc(hwnd, WM_LBUTTONDOWN, 0, 0);
        }

        RunFrame(false);

        if (gameover && !wasOver)
            ++gameOvers;
        wasOver = gameover;
        if (level > maxLevel)
            maxLevel = level;
        if (BList.totalbullets > maxPool)
            maxPool = BList.totalbullets;
        if (frame % 1000 == 999 || frame == frames - 1)
            ok = CheckState(frame);
    }

    std::printf("%ld frames: %ld restarts, %ld game overs, highest level %d, largest bullet pool %d slots\n",
                frames, restarts, gameOvers, maxLevel, maxPool);
    std::printf(ok ? "soak passed\n" : "soak FAILED\n");
    return ok ? 0 : 1;
}
