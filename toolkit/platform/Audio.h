#pragma once

// The sound output: each backend opens the platform's device and has it pull
// samples from the mixer, one channel of 16-bit samples at the mixer's rate.
// There is at most one output at a time.

#include <string>

namespace TovarToolkit {
class TovarMixer;
}

namespace TovarPlatform {

// Starts pulling from `mixer`, which must outlive CloseAudio. False, with
// the reason, when there is no device or it refuses; the caller then plays
// on in silence. In the browser the device starts on the page's first click.
bool OpenAudio(TovarToolkit::TovarMixer& mixer, std::string& reason);
// Stops the pulling; after it returns the mixer is no longer touched.
void CloseAudio();

} // namespace TovarPlatform
