// Sound through SDL's audio: its own thread calls back for samples, which
// the caller's pull function gives.

#include "toolkit/platform/Audio.h"

#include <SDL.h>
#include <dlfcn.h>

namespace TovarPlatform {

namespace {

SDL_AudioDeviceID g_device = 0;
AudioPull g_pull = nullptr;
void* g_user = nullptr;

void Pull(void*, Uint8* stream, int bytes)
{
    g_pull(g_user, reinterpret_cast<Sint16*>(stream), static_cast<std::size_t>(bytes) / sizeof(Sint16));
}

// ALSA prints its own lines about a machine without a sound card before SDL
// gives up on it; the reason SDL hands back says it once. Its printer is
// shared by every user of the library, SDL's own copy included.
void Discard(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa()
{
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY);
    if (!alsa)
        return; // SDL will not use it either
    typedef void (*Printer)(const char*, int, const char*, int, const char*, ...);
    typedef int (*SetPrinter)(Printer);
    if (auto set = reinterpret_cast<SetPrinter>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(Discard);
}

} // namespace

bool OpenAudio(int rate, AudioPull pull, void* user, std::string& reason)
{
    CloseAudio();
    if (!pull || rate <= 0) {
        reason = "nothing to play";
        return false;
    }
    QuietAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
        return false;
    }
    SDL_AudioSpec want = {};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 1024; // about 23 ms at 44100 Hz
    want.callback = Pull;
    // No changes allowed: SDL converts to what the device takes, so the
    // pull function always writes the format asked for.
    g_pull = pull;
    g_user = user;
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (g_device == 0) {
        reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(g_device, 0);
    return true;
}

void CloseAudio()
{
    if (g_device == 0)
        return;
    SDL_CloseAudioDevice(g_device); // waits for a callback under way
    g_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_pull(g_user, nullptr, 0);
}

} // namespace TovarPlatform
