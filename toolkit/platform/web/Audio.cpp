// Sound through the browser's Web Audio, on Emscripten's own calls (no port).
// A page may start sound only from a click, so the context is made on the
// first press on the canvas, the one that starts play. A timer then keeps a
// tenth of a second of mixed samples queued ahead of the context's clock as
// short buffers: nothing runs on an audio thread, and the game's loop, which
// yields to the browser every frame, is never entered while it waits.

#include "toolkit/platform/Audio.h"

#include <emscripten.h>

#include <cstdint>

namespace {

const int kFrames = 1024;
TovarPlatform::AudioPull g_pull = nullptr;
void* g_user = nullptr;
std::int16_t g_block[kFrames];

EM_JS(int, tovar_audio_open, (int rate, int frames), {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context)
        return 0;
    // blocks and loudBlocks count what was queued, for whoever measures the page.
    var audio = { rate: rate, frames: frames, context: null, timer: 0, next: 0, blocks: 0, loudBlocks: 0 };
    Module['tovarAudio'] = audio;
    function pump() {
        var context = audio.context;
        if (!context || context.state !== 'running') {
            // Suspended or interrupted: what the game asks for meanwhile
            // is dropped, and the device starts empty when it runs again.
            if (audio.live)
                _tovar_audio_stopped();
            audio.live = false;
            return;
        }
        audio.live = true;
        // Behind the clock (the page was busy or hidden): start afresh just ahead.
        if (audio.next < context.currentTime + 0.01)
            audio.next = context.currentTime + 0.02;
        while (audio.next < context.currentTime + 0.1) {
            var at = _tovar_audio_pull(frames) >> 1;
            var buffer = context.createBuffer(1, frames, rate);
            var out = buffer.getChannelData(0);
            var loud = false;
            for (var i = 0; i < frames; ++i) {
                out[i] = HEAP16[at + i] / 32768;
                loud = loud || out[i] !== 0;
            }
            audio.blocks++;
            if (loud)
                audio.loudBlocks++;
            var source = context.createBufferSource();
            source.buffer = buffer;
            source.connect(context.destination);
            source.start(audio.next);
            audio.next += frames / rate;
        }
    }
    audio.start = function() {
        Module.canvas.removeEventListener('mousedown', audio.start, true);
        if (audio.stopped)
            return;
        try {
            audio.context = new Context();
        } catch (e) {
            err('Quellin plays without sound: no audio device (' + e.message + ')');
            return;
        }
        audio.timer = setInterval(pump, 20);
    };
    Module.canvas.addEventListener('mousedown', audio.start, true);
    return 1;
});

EM_JS(void, tovar_audio_close, (), {
    var audio = Module['tovarAudio'];
    if (!audio)
        return;
    audio.stopped = true;
    Module.canvas.removeEventListener('mousedown', audio.start, true);
    clearInterval(audio.timer);
    if (audio.context)
        audio.context.close();
    Module['tovarAudio'] = null;
});

} // namespace

// The page's timer asks for the next block; the pull function gives it at once.
extern "C" EMSCRIPTEN_KEEPALIVE std::int16_t* tovar_audio_pull(int frames)
{
    if (g_pull && frames > 0 && frames <= kFrames)
        g_pull(g_user, g_block, static_cast<std::size_t>(frames));
    return g_block;
}

extern "C" EMSCRIPTEN_KEEPALIVE void tovar_audio_stopped()
{
    if (g_pull)
        g_pull(g_user, nullptr, 0);
}

namespace TovarPlatform {

bool OpenAudio(int rate, AudioPull pull, void* user, std::string& reason)
{
    CloseAudio();
    if (!pull || rate <= 0) {
        reason = "nothing to play";
        return false;
    }
    g_pull = pull;
    g_user = user;
    if (!tovar_audio_open(rate, kFrames)) {
        g_pull = nullptr;
        reason = "this browser has no Web Audio";
        return false;
    }
    return true;
}

void CloseAudio()
{
    tovar_audio_close();
    tovar_audio_stopped();
    g_pull = nullptr;
}

} // namespace TovarPlatform
