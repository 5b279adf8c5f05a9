// Start-up and frame time of the real game in a real window. Measures and
// prints; it never fails on a slow machine.
//
//   bench_game [data dir] [frames]

#include "game/main.h"
#include "toolkit/platform/GL.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace TovarToolkit;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

} // namespace

int main(int argc, char** argv)
{
    const char* data = argc > 1 ? argv[1] : QUELLIN_SOURCE_DIR "/data";
    int frames = argc > 2 ? std::atoi(argv[2]) : 600;
    std::filesystem::current_path(data);

    TW.maxperspective = 10000.0f;
    if (!TW.Create(Wintitle, Winwidth, Winheight, 16)) {
        std::fprintf(stderr, "no window (is there a display?)\n");
        return 1;
    }

    Clock::time_point start = Clock::now();
    int ok = Init();
    double startup = Milliseconds(Clock::now() - start);
    if (!ok) {
        std::fprintf(stderr, "Init failed in %s\n", data);
        TW.Destroy();
        return 1;
    }

    // Turn toward the first wave so the creatures are in view, and keep the
    // enemies' fire off so the measured frames stay alike.
    Camera.PositionCamera(5, 4, 10, 205, 4, 210, 0, 1, 0);
    std::vector<double> times;
    times.reserve(frames);
    for (int i = 0; i < frames; ++i) {
        EnemyShootWaitTime = 100;
        Clock::time_point t0 = Clock::now();
        Camera.Update();
        DrawGLScene();
        glFinish();
        times.push_back(Milliseconds(Clock::now() - t0));
    }
    TW.Destroy();

    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    std::printf("start-up (Init: textures, model, font, first wave): %.1f ms\n", startup);
    std::printf("frame (DrawGLScene + glFinish, %d frames, %d enemies): mean %.3f ms, median %.3f ms, "
                "95th percentile %.3f ms\n",
                frames, EnemyList.TotalEntities, sum / frames, times[times.size() / 2],
                times[times.size() * 95 / 100]);
    return 0;
}
