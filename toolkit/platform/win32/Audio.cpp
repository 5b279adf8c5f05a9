// Sound through waveOut: a few buffers queued on the device, and a thread of
// our own that refills each one from the mixer as the device hands it back
// (the device signals an event; its callbacks may not call waveOut itself).

#include "toolkit/platform/Audio.h"

#include "toolkit/Mixer.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>

namespace TovarPlatform {

namespace {

const int kBuffers = 4;
const int kFrames = 1024; // about 23 ms a buffer at 44100 Hz

struct Output {
    HWAVEOUT device = nullptr;
    HANDLE ready = nullptr; // set by the device as a buffer comes back
    HANDLE thread = nullptr;
    std::atomic<bool> stop{false};
    TovarToolkit::TovarMixer* mixer = nullptr;
    WAVEHDR headers[kBuffers] = {};
    std::int16_t samples[kBuffers][kFrames] = {};
};

Output g_out;

void Fill(WAVEHDR& header)
{
    header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    g_out.mixer->Mix(reinterpret_cast<std::int16_t*>(header.lpData), kFrames);
    waveOutWrite(g_out.device, &header, sizeof header);
}

DWORD WINAPI Feed(LPVOID)
{
    while (WaitForSingleObject(g_out.ready, INFINITE) == WAIT_OBJECT_0 && !g_out.stop.load())
        for (WAVEHDR& header : g_out.headers)
            if (header.dwFlags & WHDR_DONE)
                Fill(header);
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
    g_out.mixer = nullptr;
    for (WAVEHDR& header : g_out.headers)
        header = WAVEHDR();
}

} // namespace

bool OpenAudio(TovarToolkit::TovarMixer& mixer, std::string& reason)
{
    CloseAudio();
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<DWORD>(mixer.Rate());
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
        char text[MAXERRORLENGTH] = {};
        if (waveOutGetErrorTextA(result, text, sizeof text) != MMSYSERR_NOERROR)
            wsprintfA(text, "waveOut error %u", static_cast<unsigned>(result));
        reason = text;
        g_out.device = nullptr;
        Release();
        return false;
    }
    g_out.mixer = &mixer;
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
        Fill(header);
    g_out.thread = CreateThread(nullptr, 0, Feed, nullptr, 0, nullptr);
    if (!g_out.thread) {
        reason = "no thread to feed the sound device";
        Release();
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
    Release();
}

} // namespace TovarPlatform
