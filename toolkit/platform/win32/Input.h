#pragma once

// The Windows layer's input, as far as its tests reach into it.

#include "toolkit/platform/Platform.h"

#include <xinput.h>

namespace TovarWin32 {

typedef DWORD(WINAPI* XInputGetStateProc)(DWORD user, XINPUT_STATE* state);

// Pads are read through XInput's XInputGetState, loaded from the system at
// the first read; a function set here is read instead (a stand-in pad), until
// it is set back to null.
void UseXInputGetState(XInputGetStateProc proc);

} // namespace TovarWin32
