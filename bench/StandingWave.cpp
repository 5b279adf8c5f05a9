#include "bench/StandingWave.h"

#include "game/main.h"

#include <cmath>
#include <vector>

using namespace TovarToolkit;

namespace {

std::vector<TovarVector3f> g_stand;

} // namespace

void StandInView(int creatures)
{
    g_stand.clear();
    int cols = static_cast<int>(std::ceil(std::sqrt(creatures * 2.0)));
    int rows = (creatures + cols - 1) / cols;
    for (int i = 0; i < creatures; ++i) {
        int r = i / cols, c = i % cols;
        float d = rows > 1 ? 60.0f + 190.0f * r / (rows - 1) : 80.0f;
        float half = d * 0.36f; // inside the 29-degree half width of the view
        float x = cols > 1 ? -half + 2.0f * half * c / (cols - 1) : 0.0f;
        g_stand.push_back(TovarVector3f(x, 0.0f, -d));
    }
}

void PrepareFrame()
{
    for (int i = 0; i < EnemyList.TotalEntities && i < static_cast<int>(g_stand.size()); ++i) {
        EnemyList.Entity[i].Position = g_stand[static_cast<size_t>(i)];
        EnemyList.Entity[i].Health = 100;
    }
    EnemyShootWaitTime = 100;
    PlayerHealth = 100;
    gameover = false;
    Camera.PositionCamera(0, 4, 0, 0, 2, -30, 0, 1, 0);
    Camera.Update();
}
