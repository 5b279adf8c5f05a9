#pragma once

// The message queue and the window classes of a backend that has no system
// to keep them (SDL2, the browser). The backend turns its events into posted
// messages and asks for the procedure of a class when it makes a window;
// the queue keeps Windows' order and filters.

#include "toolkit/platform/Platform.h"

namespace TovarCommon {

// Queues a message, stamped with the tick count and the cursor position.
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The first message for `window` (any window when null; the quit message
// always) in [first, last] (everything when both are 0), as PeekMessageA
// finds it; taken off the queue when `remove`.
bool Peek(MSG& msg, HWND window, UINT first, UINT last, bool remove);
// Drops the queued messages of a window that is going away.
void Forget(HWND window);
// The procedure of a registered class; null when no class has that name.
WNDPROC ClassProcedure(LPCSTR className);

} // namespace TovarCommon
