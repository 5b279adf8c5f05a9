#pragma once

// What the Windows backend's tests reach inside it.

#include <windows.h>
#include <mmsystem.h>

namespace TovarPlatform {

// The sound door's write of a buffer to the device: waveOutWrite, unless a
// test puts in one that fails, as a device that goes away does.
extern MMRESULT(WINAPI* WaveOutWrite)(HWAVEOUT device, LPWAVEHDR header, UINT size);

} // namespace TovarPlatform
