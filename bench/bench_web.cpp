// The browser rows of the benchmarks: the game's frame at levels 1, 5, 10
// and 20, every creature standing in view and animating as bench_game puts
// them, with the page's notice hidden (drawn over the canvas it costs the
// browser a tenth of the frame). Two rows a level:
// - shown: presented through the page's own frames as the game presents
//   them, frames shown per second of wall time, which the display's rate
//   caps (60 in headless Chromium);
// - free: drawn back to back without presenting, each frame ended by a
//   one-pixel read-back, which waits for the frame to be drawn, as the
//   native rows end with glFinish.
// Where bench_web.js counts the WebGL calls, a row also says what one frame
// sent. Prints table rows on standard output.

#include "bench/StandingWave.h"
#include "game/main.h"

#include "toolkit/platform/GL.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace TovarToolkit;

namespace {

const int kFramesPerLevel = 120;
const int kWarmUpFrames = 10;

EM_JS(void, bench_hide_notice, (), { document.getElementById('notice').classList.add('hidden'); });

// The WebGL calls counted so far (bench_web.js wraps the context's methods),
// or all zero where nobody counts.
EM_JS(double, bench_counter, (int which), {
    var c = globalThis.quellinWebGLCounts;
    if (!c)
        return 0;
    return [c.calls, c.draws, c.programs, c.uploads, c.uploadBytes, c.triangles][which];
});

struct Counts {
    double values[6];
    static Counts Now()
    {
        Counts c;
        for (int i = 0; i < 6; ++i)
            c.values[i] = bench_counter(i);
        return c;
    }
};

// What one frame sent, from the counts before and after `frames` frames.
std::string PerFrame(const Counts& before, const Counts& after, int frames)
{
    double d[6];
    for (int i = 0; i < 6; ++i)
        d[i] = (after.values[i] - before.values[i]) / frames;
    if (d[0] == 0.0)
        return "";
    char text[200];
    std::snprintf(text, sizeof text,
                  "; a frame: %.0f draws, %.0f WebGL calls, %.0f program switches, %.1f uploads (%.1f KiB), "
                  "%.0f triangles",
                  d[1], d[0], d[2], d[3], d[4] / 1024.0, d[5]);
    return text;
}

void ReadOnePixel()
{
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

void FrameRows(int wanted)
{
    level = wanted - 1;
    ReBuildEnemyes();
    StandInView(EnemyList.TotalEntities);

    for (bool shown : {true, false}) {
        long long start = 0, waited = 0;
        Counts before = {};
        for (int i = 0; i < kWarmUpFrames + kFramesPerLevel; ++i) {
            if (i == kWarmUpFrames) {
                start = TovarPlatform::SteadyMicroseconds();
                waited = 0;
                before = Counts::Now();
            }
            PrepareFrame();
            DrawGLScene();
            const long long drawn = TovarPlatform::SteadyMicroseconds();
            if (shown)
                SwapBuffers(hdc);
            else
                ReadOnePixel();
            waited += TovarPlatform::SteadyMicroseconds() - drawn;
        }
        double seconds = (TovarPlatform::SteadyMicroseconds() - start) / 1e6;
        Counts after = Counts::Now();
        // Free, the frame is the page's own work plus the wait for the
        // browser's GPU process to draw it; shown, the wait is for the display.
        char split[96];
        std::snprintf(split, sizeof split, "; the page's thread %.2f ms a frame, %.2f ms waiting",
                      (seconds * 1e6 - waited) / 1000.0 / kFramesPerLevel, waited / 1000.0 / kFramesPerLevel);
        std::printf("| browser: frame, level %d (%d creatures), %s | %.1f fps (%.2f ms) | %d frames %s; %d drawn%s%s |\n",
                    wanted, EnemyList.TotalEntities, shown ? "shown" : "free", kFramesPerLevel / seconds,
                    seconds * 1000.0 / kFramesPerLevel, kFramesPerLevel,
                    shown ? "shown" : "drawn back to back, each ended by a read-back", CreaturesDrawn, split,
                    PerFrame(before, after, kFramesPerLevel).c_str());
        std::fflush(stdout);
    }
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
    bench_hide_notice();
    // The game's own presentation: a swap interval for 60 a second.
    int interval = ApplySwapIntervalFor(60);
    std::printf("| browser: renderer | %s | swap interval %d |\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), interval);
    for (int wanted : {1, 5, 10, 20})
        FrameRows(wanted);
    TW.Destroy();
    // In the browser only exit ends the program (see app/main.cpp).
    std::exit(0);
}
