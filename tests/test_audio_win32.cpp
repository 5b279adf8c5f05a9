// Windows' sound door on a device that refuses a write in play: silence,
// said once on standard error, and the pull function told of the stop.

#include "support/TempDir.h"
#include "toolkit/File.h"
#include "toolkit/platform/Audio.h"
#include "toolkit/platform/win32/Internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::atomic<int> g_writes{0}, g_pulls{0}, g_stops{0};

// The four first buffers and two refills go through; the seventh is refused.
MMRESULT WINAPI RefuseTheSeventh(HWAVEOUT device, LPWAVEHDR header, UINT size)
{
    return ++g_writes > 6 ? MMSYSERR_NODRIVER : waveOutWrite(device, header, size);
}

void Count(void*, std::int16_t* out, std::size_t count)
{
    ++(out ? g_pulls : g_stops);
    std::fill(out, out + count, std::int16_t(0));
}

} // namespace

TEST(WaveOut, AWriteRefusedInPlayGivesSilenceAndOneLine)
{
    TempDir dir;
    const std::string err = dir.file("stderr.txt");
    ASSERT_TRUE(std::freopen(err.c_str(), "w", stderr));
    TovarPlatform::WaveOutWrite = RefuseTheSeventh;
    std::string reason;
    if (!TovarPlatform::OpenAudio(44100, Count, nullptr, reason))
        GTEST_SKIP() << "no sound device: " << reason;
    for (int i = 0; i < 300 && g_stops == 0; ++i)
        Sleep(10);
    Sleep(200);
    EXPECT_EQ(g_stops.load(), 1) << "the device stopped";
    EXPECT_EQ(g_pulls.load(), 7) << "and nothing more was pulled";
    TovarPlatform::CloseAudio();
    std::freopen("NUL", "w", stderr); // this program's for good: gtest reports on standard output
    std::vector<unsigned char> bytes;
    TovarToolkit::ReadWholeFile(err.c_str(), bytes);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("Quellin plays without sound: the sound device failed ("), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}
