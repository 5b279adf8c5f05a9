// The browser rows of the benchmarks: the game's frame at levels 1, 5, 10
// and 20, every creature standing in view and animating as bench_game puts
// them, presented through the page's own frames as the game presents them.
// A page cannot wait for the GPU to finish, so a row is frames shown per
// second of wall time, which the display's rate caps (60 in headless
// Chromium). Prints table rows on standard output.

#include "bench/StandingWave.h"
#include "game/main.h"

#include "toolkit/platform/GL.h"

#include <cstdio>
#include <cstdlib>

using namespace TovarToolkit;

namespace {

const int kFramesPerLevel = 120;
const int kWarmUpFrames = 10;

void FrameRow(int wanted)
{
    level = wanted - 1;
    ReBuildEnemyes();
    StandInView(EnemyList.TotalEntities);
    long long start = 0;
    for (int i = 0; i < kWarmUpFrames + kFramesPerLevel; ++i) {
        if (i == kWarmUpFrames)
            start = TovarPlatform::SteadyMicroseconds();
        PrepareFrame();
        DrawGLScene();
        SwapBuffers(hdc);
    }
    double seconds = (TovarPlatform::SteadyMicroseconds() - start) / 1e6;
    std::printf("| browser: frame, level %d (%d creatures) | %.1f fps (%.2f ms) | %d frames shown; %d drawn |\n",
                wanted, EnemyList.TotalEntities, kFramesPerLevel / seconds, seconds * 1000.0 / kFramesPerLevel,
                kFramesPerLevel, CreaturesDrawn);
    std::fflush(stdout);
}

} // namespace

int main()
{
    TW.maxperspective = 10000.0f;
    if (!TW.Create(Wintitle, Winwidth, Winheight, 16)) {
        std::fprintf(stderr, "no canvas\n");
        return 1;
    }
    if (!Init()) {
        std::fprintf(stderr, "cannot load the data\n");
        return 1;
    }
    // The game's own presentation: a swap interval for 60 a second.
    int interval = ApplySwapIntervalFor(60);
    std::printf("| browser: renderer | %s | swap interval %d |\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), interval);
    for (int wanted : {1, 5, 10, 20})
        FrameRow(wanted);
    TW.Destroy();
    // In the browser only exit ends the program (see app/main.cpp).
    std::exit(0);
}
