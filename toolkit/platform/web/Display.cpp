// The display's refresh rate and the swap interval in the browser. A page is
// not told the rate; it is timed from the browser's animation frames, which
// come once per refresh.

#include "toolkit/platform/web/Internal.h"

#include <emscripten.h>

#include <cmath>

namespace {

int g_interval = 1;
double g_periodMs = 0.0; // of the refresh, once timed

// Refresh rates are whole numbers of Hz, but the frames measured drift a
// little around them (59.94 Hz shows as 60 on the desktop too).
int Rounded(double hz)
{
    for (int multiple = 60; multiple <= 240; multiple += 60)
        if (std::fabs(hz - multiple) <= multiple * 0.03)
            return multiple;
    return static_cast<int>(std::lround(hz));
}

} // namespace

namespace TovarWeb {

int SwapInterval() { return g_interval; }

double RefreshPeriodMs() { return g_periodMs; }

} // namespace TovarWeb

namespace TovarPlatform {

int DisplayRefreshRate()
{
    // Frame times follow the refresh, so the gap between two frames is one
    // refresh or, where the page was busy, a few: the shortest of some is one.
    const int kGaps = 8;
    double last = TovarWeb::WaitForAnimationFrame();
    double gap = 0.0;
    for (int i = 0; i < kGaps; ++i) {
        double now = TovarWeb::WaitForAnimationFrame();
        if (now > last && (gap == 0.0 || now - last < gap))
            gap = now - last;
        last = now;
    }
    if (gap <= 0.0)
        return 0;
    int hz = Rounded(1000.0 / gap);
    g_periodMs = hz > 0 ? 1000.0 / hz : 0.0;
    return hz;
}

bool SetSwapInterval(int interval)
{
    if (interval < 0)
        return false;
    g_interval = interval;
    return true;
}

// The page's notice says it, over the last frame.
bool ShowsPauseNotice() { return true; }

} // namespace TovarPlatform
