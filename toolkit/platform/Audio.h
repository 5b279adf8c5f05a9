#pragma once

// The sound output: each backend opens the platform's device, which pulls
// one channel of signed 16-bit samples at a given rate from a function of
// the caller's. The backend knows nothing of what makes the samples. There
// is at most one output at a time.

#include <cstddef>
#include <cstdint>
#include <string>

namespace TovarPlatform {

// Called from the device's thread (in the browser, the page's timer), one
// call at a time: fill out[0 .. count) with the next samples. Called with
// `out` null and `count` 0 when the device stops, on its own or through
// CloseAudio; a later call with samples is the device starting again.
typedef void (*AudioPull)(void* user, std::int16_t* out, std::size_t count);

// Starts pulling `rate` samples a second from `pull`, which is handed
// `user`. False, with the reason, when there is no device or it refuses; the
// caller then plays on in silence. A door that sees its device fail later
// (Windows' refused write) stops pulling and says so in one line on
// standard error. In the browser the device starts on the page's first click.
bool OpenAudio(int rate, AudioPull pull, void* user, std::string& reason);
// Stops the pulling; after it returns `pull` is not called again.
void CloseAudio();

} // namespace TovarPlatform
