// Sound through waveOut: a few buffers queued on the device, and a thread of
// our own that refills each one from the pull function as the device hands
// it back (the device signals an event; its callbacks may not call waveOut
// itself).

#include "toolkit/platform/Audio.h"

#include "toolkit/platform/win32/Internal.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

namespace TovarPlatform {

MMRESULT(WINAPI* WaveOutWrite)(HWAVEOUT, LPWAVEHDR, UINT) = waveOutWrite;

namespace {

const int kBuffers = 4;
const int kFrames = 1024; // about 23 ms a buffer at 44100 Hz

struct Output {
    HWAVEOUT device = nullptr;
    HANDLE ready = nullptr; // set by the device as a buffer comes back
    HANDLE thread = nullptr;
    std::atomic<bool> stop{false};
    AudioPull pull = nullptr;
    void* user = nullptr;
    WAVEHDR headers[kBuffers] = {};
    std::int16_t samples[kBuffers][kFrames] = {};
};

Output g_out;

std::string ErrorText(MMRESULT result)
{
    char text[MAXERRORLENGTH] = {};
    if (waveOutGetErrorTextA(result, text, sizeof text) != MMSYSERR_NOERROR)
        wsprintfA(text, "waveOut error %u", static_cast<unsigned>(result));
    return text;
}

// False, with the reason, when the device refuses the buffer: it would
// never come back, and the device would fall silent one buffer at a time.
bool Fill(WAVEHDR& header, std::string& reason)
{
    header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    g_out.pull(g_out.user, reinterpret_cast<std::int16_t*>(header.lpData), kFrames);
    const MMRESULT result = WaveOutWrite(g_out.device, &header, sizeof header);
    if (result == MMSYSERR_NOERROR)
        return true;
    reason = ErrorText(result);
    return false;
}

DWORD WINAPI Feed(LPVOID)
{
    std::string reason;
    while (WaitForSingleObject(g_out.ready, INFINITE) == WAIT_OBJECT_0 && !g_out.stop.load())
        for (WAVEHDR& header : g_out.headers)
            if ((header.dwFlags & WHDR_DONE) && !Fill(header, reason)) {
                // What is queued plays out; then silence, said once.
                g_out.pull(g_out.user, nullptr, 0);
                std::fprintf(stderr, "Quellin plays without sound: the sound device failed (%s)\n", reason.c_str());
                std::fflush(stderr);
                return 0;
            }
    return 0;
}

void Release()
{
    if (g_out.device) {
        waveOutReset(g_out.device); // hands every queued buffer back
        for (WAVEHDR& header : g_out.headers)
            if (header.dwFlags & WHDR_PREPARED)
                waveOutUnprepareHeader(g_out.device, &header, sizeof header);
        waveOutClose(g_out.device);
    }
    if (g_out.ready)
        CloseHandle(g_out.ready);
    g_out.device = nullptr;
    g_out.ready = nullptr;
    g_out.thread = nullptr;
    g_out.pull = nullptr;
    g_out.user = nullptr;
    for (WAVEHDR& header : g_out.headers)
        header = WAVEHDR();
}

} // namespace

bool OpenAudio(int rate, AudioPull pull, void* user, std::string& reason)
{
    CloseAudio();
    if (!pull || rate <= 0) {
        reason = "nothing to play";
        return false;
    }
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;

    g_out.ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!g_out.ready) {
        reason = "no event for the sound device";
        return false;
    }
    const MMRESULT result = waveOutOpen(&g_out.device, WAVE_MAPPER, &format,
                                        reinterpret_cast<DWORD_PTR>(g_out.ready), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        reason = ErrorText(result);
        g_out.device = nullptr;
        Release();
        return false;
    }
    g_out.pull = pull;
    g_out.user = user;
    g_out.stop = false;
    for (int i = 0; i < kBuffers; ++i) {
        WAVEHDR& header = g_out.headers[i];
        header.lpData = reinterpret_cast<LPSTR>(g_out.samples[i]);
        header.dwBufferLength = sizeof g_out.samples[i];
        if (waveOutPrepareHeader(g_out.device, &header, sizeof header) != MMSYSERR_NOERROR) {
            reason = "the sound device refused its buffers";
            Release();
            return false;
        }
    }
    for (WAVEHDR& header : g_out.headers)
        if (!Fill(header, reason)) {
            Release();
            pull(user, nullptr, 0);
            return false;
        }
    g_out.thread = CreateThread(nullptr, 0, Feed, nullptr, 0, nullptr);
    if (!g_out.thread) {
        reason = "no thread to feed the sound device";
        Release();
        pull(user, nullptr, 0);
        return false;
    }
    return true;
}

void CloseAudio()
{
    if (!g_out.device)
        return;
    g_out.stop = true;
    SetEvent(g_out.ready);
    WaitForSingleObject(g_out.thread, INFINITE);
    CloseHandle(g_out.thread);
    AudioPull pull = g_out.pull;
    void* user = g_out.user;
    Release();
    pull(user, nullptr, 0);
}

} // namespace TovarPlatform
