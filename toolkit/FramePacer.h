#pragma once

// Holds a loop to a frame rate: frames start no more often than the rate
// allows, whatever the display does. Where vsync presents at exactly that
// rate it rarely has to wait; where vsync is missing, too fast (120, 144 or
// 240 Hz displays) or ignored (virtual displays), the pacer is what holds
// the rate. On the platform's steady clock and sleep, both replaceable so
// that tests can drive it with a clock of their own.

namespace TovarToolkit {

class TovarFramePacer {
public:
    typedef long long (*NowFunction)();           // microseconds, never going back
    typedef void (*SleepFunction)(long long micro); // sleeps about that long

    explicit TovarFramePacer(int framesPerSecond = 60);

    // Null restores the steady clock or the thread sleep.
    void SetClock(NowFunction now, SleepFunction sleep);
    // Microseconds until the next frame may start; 0 when it may start now.
    long long TimeToNextFrame() const;
    // Marks the start of a frame.
    void FrameStarted();
    // Sleeps for at most the given time, and no longer than the next frame
    // is away; a loop that has messages to handle waits in short pieces.
    void Wait(long long atMostMicro);
    long long FramePeriod() const { return m_period; }

private:
    long long Now() const;

    long long m_period;
    long long m_next; // earliest start of the next frame
    bool m_started;
    NowFunction m_now;
    SleepFunction m_sleep;
};

// The swap interval that presents at framesPerSecond on a display of
// refreshHz: the whole ratio where the rate divides exactly, else 0 (no
// vsync; the pacer holds the rate).
int SwapIntervalFor(int refreshHz, int framesPerSecond);

// Chooses the current GL context's swap interval for framesPerSecond on
// the display the window is on; returns the interval that took (0: none).
int ApplySwapIntervalFor(int framesPerSecond);

} // namespace TovarToolkit
