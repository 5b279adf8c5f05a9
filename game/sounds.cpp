// The game's sounds: read once after start-up, played where the rules make
// their moments happen. Without StartSounds (tests, the soak) every request
// is nothing, so the rules run the same with or without sound.

#include "game/main.h"

#include "toolkit/File.h"
#include "toolkit/Mixer.h"
#include "toolkit/Wave.h"
#include "toolkit/platform/Audio.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace TovarToolkit;

namespace {

const char* const kSoundFiles[GameSoundCount] = {
    "Sounds\\PlayerShot.wav", "Sounds\\EnemyShot.wav", "Sounds\\CreatureHit.wav", "Sounds\\CreatureFalls.wav",
    "Sounds\\NewWave.wav",    "Sounds\\PlayerHit.wav", "Sounds\\GameOver.wav",
};

TovarMixer g_mixer;
DecodedSound g_sounds[GameSoundCount];
bool g_open = false;
void (*g_listener)(GameSound) = nullptr;

// Empty (and so silent) when the file is missing or refused; the reason
// goes to standard error, since the log keeps its own fixed lines.
void LoadSound(int which)
{
    std::vector<unsigned char> bytes;
    std::string reason;
    DecodedSound& sound = g_sounds[which];
    sound = DecodedSound();
    if (!ReadWholeFile(kSoundFiles[which], bytes, &reason)) {
        std::fprintf(stderr, "Quellin plays without a sound: %s\n", reason.c_str());
        return;
    }
    if (!DecodeWAV(bytes.data(), bytes.size(), sound, reason)) {
        std::fprintf(stderr, "Quellin plays without a sound: %s: %s\n", NativePath(kSoundFiles[which]).c_str(),
                     reason.c_str());
        return;
    }
    ResampleSound(sound, g_mixer.Rate());
}

} // namespace

void StartSounds()
{
    const char* mute = std::getenv("QUELLIN_MUTE");
    g_mixer.SetMuted(mute && std::strcmp(mute, "1") == 0);
    for (int i = 0; i < GameSoundCount; ++i)
        LoadSound(i);
    std::string reason;
    g_open = TovarPlatform::OpenAudio(g_mixer.Rate(), TovarMixer::Pull, &g_mixer, reason);
    if (!g_open)
        std::fprintf(stderr, "Quellin plays without sound: no audio device (%s)\n", reason.c_str());
}

void StopSounds()
{
    if (g_open)
        TovarPlatform::CloseAudio();
    g_open = false;
}

void PlayGameSound(GameSound sound)
{
    if (sound < 0 || sound >= GameSoundCount)
        return;
    if (g_listener)
        g_listener(sound);
    if (!g_open)
        return;
    const DecodedSound& s = g_sounds[sound];
    if (!s.samples.empty())
        g_mixer.Play(s.samples.data(), s.samples.size());
}

void SetGameSoundListener(void (*listener)(GameSound sound)) { g_listener = listener; }

void ToggleSoundMuted() { g_mixer.SetMuted(!g_mixer.Muted()); }

bool SoundMuted() { return g_mixer.Muted(); }
