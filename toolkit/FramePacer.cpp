#include "toolkit/FramePacer.h"

#include "toolkit/platform/Platform.h"

namespace TovarToolkit {

namespace {

// Sleeping wakes a little late now and then; a frame may start this much
// before its slot, and the slack is taken out of the next one, so the
// average rate stays the rate.
const long long kSlackMicro = 1000;

} // namespace

TovarFramePacer::TovarFramePacer(int framesPerSecond)
    : m_period(1000000 / (framesPerSecond > 0 ? framesPerSecond : 60)), m_next(0), m_started(false),
      m_now(nullptr), m_sleep(nullptr)
{
    // 60 frames a second: 16666 us, rounded down; the schedule below keeps
    // the remainder from adding up to an extra frame.
}

void TovarFramePacer::SetClock(NowFunction now, SleepFunction sleep)
{
    m_now = now;
    m_sleep = sleep;
    m_started = false;
}

long long TovarFramePacer::Now() const { return m_now ? m_now() : TovarPlatform::SteadyMicroseconds(); }

long long TovarFramePacer::TimeToNextFrame() const
{
    if (!m_started)
        return 0;
    long long left = m_next - Now();
    return left > 0 ? left : 0;
}

void TovarFramePacer::FrameStarted()
{
    long long now = Now();
    if (!m_started) {
        m_started = true;
        m_next = now + m_period;
        return;
    }
    // Keep to the schedule, so an early wake-up is paid back at once; but a
    // frame that ran late does not earn a burst of quick ones after it.
    long long onSchedule = m_next + m_period;
    long long fromNow = now + m_period - kSlackMicro;
    m_next = onSchedule > fromNow ? onSchedule : fromNow;
}

void TovarFramePacer::Wait(long long atMostMicro)
{
    long long left = TimeToNextFrame();
    if (atMostMicro < left)
        left = atMostMicro;
    if (left <= 0)
        return;
    if (m_sleep)
        m_sleep(left);
    else
        TovarPlatform::SleepMicroseconds(left);
}

int SwapIntervalFor(int refreshHz, int framesPerSecond)
{
    if (refreshHz <= 0 || framesPerSecond <= 0 || refreshHz % framesPerSecond != 0)
        return 0;
    return refreshHz / framesPerSecond;
}

int ApplySwapIntervalFor(int framesPerSecond)
{
    int interval = SwapIntervalFor(TovarPlatform::DisplayRefreshRate(), framesPerSecond);
    if (interval > 0 && TovarPlatform::SetSwapInterval(interval))
        return interval;
    // No vsync rather than one at the wrong rate: the pacer holds the rate.
    TovarPlatform::SetSwapInterval(0);
    return 0;
}

} // namespace TovarToolkit
