// The frame pacer on a clock of the test's own: the rate it holds when frames
// are quick, slow, or the sleep wakes late.

#include "toolkit/FramePacer.h"

#include <gtest/gtest.h>

#include <vector>

using namespace TovarToolkit;

namespace {

long long g_now = 0;
long long g_oversleep = 0;
long long FakeNow() { return g_now; }
void FakeSleep(long long micro) { g_now += micro + g_oversleep; }

// Runs a loop like the game's for the given time, each frame costing
// frameCost; returns the start times of the frames.
std::vector<long long> Loop(TovarFramePacer& pacer, long long runFor, long long frameCost)
{
    std::vector<long long> starts;
    long long end = g_now + runFor;
    while (g_now < end) {
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

class PacerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_now = 5000000;
        g_oversleep = 0;
        pacer.SetClock(FakeNow, FakeSleep);
    }
    TovarFramePacer pacer{60};
};

TEST_F(PacerTest, QuickFramesAreHeldToSixtyASecond)
{
    for (long long cost : {0LL, 300LL, 2000LL, 16000LL}) {
        std::vector<long long> starts = Loop(pacer, 10000000, cost);
        EXPECT_GE(starts.size(), 599u) << "cost " << cost;
        EXPECT_LE(starts.size(), 601u) << "cost " << cost;
        for (size_t i = 1; i < starts.size(); ++i)
            ASSERT_GE(starts[i] - starts[i - 1], 16666 - 1000) << "frame " << i << ", cost " << cost;
    }
}

TEST_F(PacerTest, LateWakeUpsDoNotLowerTheRate)
{
    g_oversleep = 700;
    std::vector<long long> starts = Loop(pacer, 10000000, 1000);
    EXPECT_GE(starts.size(), 595u);
    EXPECT_LE(starts.size(), 601u);
}

TEST_F(PacerTest, SlowFramesNeverWaitAndEarnNoBurst)
{
    std::vector<long long> slow = Loop(pacer, 1000000, 25000);
    EXPECT_EQ(slow.size(), 40u) << "a 25 ms frame runs back to back";
    g_now += 500000; // a stall
    std::vector<long long> quick = Loop(pacer, 1000000, 100);
    ASSERT_GE(quick.size(), 2u);
    for (size_t i = 1; i < quick.size(); ++i)
        ASSERT_GE(quick[i] - quick[i - 1], 16666 - 1000) << "frame " << i << " after the stall";
}

TEST(SwapInterval, OnlyWholeMultiplesOfTheRateGetVsync)
{
    EXPECT_EQ(SwapIntervalFor(60, 60), 1);
    EXPECT_EQ(SwapIntervalFor(120, 60), 2);
    EXPECT_EQ(SwapIntervalFor(240, 60), 4);
    EXPECT_EQ(SwapIntervalFor(144, 60), 0);
    EXPECT_EQ(SwapIntervalFor(75, 60), 0);
    EXPECT_EQ(SwapIntervalFor(59, 60), 0);
    EXPECT_EQ(SwapIntervalFor(0, 60), 0);
}

} // namespace
