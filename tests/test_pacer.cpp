// The frame pacer on a clock of the test's own: the rate it holds when frames
// are quick, slow, or the sleep wakes late.

#include "toolkit/FramePacer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace TovarToolkit;

namespace {

long long g_now = 0, g_oversleep = 0;
long long FakeNow() { return g_now; }
void FakeSleep(long long micro) { g_now += micro + g_oversleep; }

// The start times of frames costing frameCost each, run like the game's.
std::vector<long long> Loop(TovarFramePacer& pacer, long long runFor, long long frameCost)
{
    std::vector<long long> starts;
    for (long long end = g_now + runFor; g_now < end;) {
        if (pacer.TimeToNextFrame() > 0) {
            pacer.Wait(2000);
            continue;
        }
        pacer.FrameStarted();
        starts.push_back(g_now);
        g_now += frameCost;
    }
    return starts;
}

void ExpectSpaced(const std::vector<long long>& starts)
{
    for (size_t i = 1; i < starts.size(); ++i)
        ASSERT_GE(starts[i] - starts[i - 1], 16666 - 1000) << "frame " << i;
}

TEST(Pacer, HoldsSixtyFramesASecondWhateverTheFramesCost)
{
    TovarFramePacer pacer(60);
    pacer.SetClock(FakeNow, FakeSleep);
    for (long long cost : {0LL, 300LL, 2000LL, 16000LL}) {
        SCOPED_TRACE(cost);
        std::vector<long long> starts = Loop(pacer, 10000000, cost);
        EXPECT_GE(starts.size(), 599u);
        EXPECT_LE(starts.size(), 601u);
        ExpectSpaced(starts);
    }
    // Sleeps that wake late are paid back: the rate stays.
    g_oversleep = 700;
    EXPECT_GE(Loop(pacer, 10000000, 1000).size(), 595u);
    g_oversleep = 0;
    // Slow frames run back to back, and a stall earns no burst after it.
    EXPECT_EQ(Loop(pacer, 1000000, 25000).size(), 40u);
    g_now += 500000;
    ExpectSpaced(Loop(pacer, 1000000, 100));
}

TEST(Pacer, OnlyWholeMultiplesOfTheRateGetVsync)
{
    for (auto [hz, interval] : {std::pair{60, 1}, {120, 2}, {240, 4}, {144, 0}, {75, 0}, {59, 0}, {0, 0}})
        EXPECT_EQ(SwapIntervalFor(hz, 60), interval) << hz;
}

} // namespace
