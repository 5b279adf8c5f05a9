// Windows' sound door on a device whose writes fail: silence, said once on
// standard error, and the pull function told that the device stopped.

#include "support/TempDir.h"
#include "toolkit/File.h"
#include "toolkit/platform/Audio.h"
#include "toolkit/platform/win32/Internal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

using namespace TovarPlatform;

namespace {

std::atomic<int> g_writes{0}, g_pulls{0}, g_stops{0};
int g_goodWrites = 0;

MMRESULT WINAPI WriteThenFail(HWAVEOUT device, LPWAVEHDR header, UINT size)
{
    if (++g_writes > g_goodWrites)
        return MMSYSERR_NODRIVER;
    return waveOutWrite(device, header, size);
}

void Count(void*, std::int16_t* out, std::size_t count)
{
    if (!out) {
        ++g_stops;
        return;
    }
    ++g_pulls;
    std::fill(out, out + count, std::int16_t(0));
}

// Standard error into a file for the life of this object.
class CapturedStderr {
public:
    explicit CapturedStderr(const std::string& file) : file_(file)
    {
        std::fflush(stderr);
        saved_ = _dup(2);
        const int fd = _open(file.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC, 0600);
        _dup2(fd, 2);
        _close(fd);
    }
    std::string Text()
    {
        std::fflush(stderr);
        std::vector<unsigned char> bytes;
        TovarToolkit::ReadWholeFile(file_.c_str(), bytes);
        return std::string(bytes.begin(), bytes.end());
    }
    ~CapturedStderr()
    {
        std::fflush(stderr);
        _dup2(saved_, 2);
        _close(saved_);
    }

private:
    std::string file_;
    int saved_;
};

int Lines(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(WaveOut, AWriteThatFailsGivesSilenceAndOneLine)
{
    TempDir dir;
    CapturedStderr err(dir.file("stderr.txt"));
    std::string reason;

    // At the start: the four first buffers, one refused. A failed open, which
    // the game reports itself.
    g_writes = g_stops = 0;
    g_goodWrites = 2;
    WaveOutWrite = WriteThenFail;
    const bool opened = OpenAudio(44100, Count, nullptr, reason);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(g_stops.load(), 1);
    EXPECT_EQ(err.Text(), "");

    // In play: the four first buffers and two refills go through, then the
    // device refuses one.
    g_writes = g_pulls = g_stops = 0;
    g_goodWrites = 6;
    reason.clear();
    if (!OpenAudio(44100, Count, nullptr, reason)) {
        WaveOutWrite = waveOutWrite;
        GTEST_SKIP() << "no sound device: " << reason;
    }
    for (int i = 0; i < 300 && g_stops == 0; ++i)
        Sleep(10);
    EXPECT_EQ(g_stops.load(), 1) << "the device stopped";
    const int pulled = g_pulls;
    Sleep(200);
    EXPECT_EQ(g_pulls.load(), pulled) << "nothing more is pulled: silence";
    EXPECT_EQ(g_pulls.load(), 7);
    CloseAudio();
    WaveOutWrite = waveOutWrite;
    const std::string text = err.Text();
    EXPECT_EQ(Lines(text, "Quellin plays without sound: the sound device failed ("), 1) << text;
    EXPECT_EQ(Lines(text, "\n"), 1) << text;
}
