// Sound through the browser's Web Audio, on Emscripten's own calls (no port).
// A page may start sound only from a click, so the context is made on the
// first press on the canvas, the one that starts play. A timer then keeps a
// tenth of a second of mixed samples queued ahead of the context's clock as
// short buffers: nothing runs on an audio thread, and the game's loop, which
// yields to the browser every frame, is never entered while it waits.

#include "toolkit/platform/Audio.h"

#include "toolkit/Mixer.h"

#include <emscripten.h>

#include <cstdint>

namespace {

const int kFrames = 1024;
TovarToolkit::TovarMixer* g_mixer = nullptr;
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
        if (!context || context.state !== 'running')
            return;
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

// The page's timer asks for the next block; the mixer gives it at once.
extern "C" EMSCRIPTEN_KEEPALIVE std::int16_t* tovar_audio_pull(int frames)
{
    if (g_mixer && frames > 0 && frames <= kFrames)
        g_mixer->Mix(g_block, static_cast<std::size_t>(frames));
    return g_block;
}

namespace TovarPlatform {

bool OpenAudio(TovarToolkit::TovarMixer& mixer, std::string& reason)
{
    CloseAudio();
    g_mixer = &mixer;
    if (!tovar_audio_open(mixer.Rate(), kFrames)) {
        g_mixer = nullptr;
        reason = "this browser has no Web Audio";
        return false;
    }
    return true;
}

void CloseAudio()
{
    tovar_audio_close();
    g_mixer = nullptr;
}

} // namespace TovarPlatform
