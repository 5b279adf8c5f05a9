// The cursor as a state. Windows keeps a display count instead: every hide
// takes one off, every show adds one, and the cursor shows only at 0 or
// above. The game hides it in every frame that the mouse steers the view and
// shows it in every game-over frame, so calling ShowCursor each time would
// keep it hidden on the game-over screen for as many frames as were played.
// The count therefore changes here only when the state does.

#include "toolkit/platform/Platform.h"

namespace {

bool g_visible = true; // a program starts with the count at 0: shown

} // namespace

namespace TovarPlatform {

void SetCursorVisible(bool visible)
{
    if (visible == g_visible)
        return;
    g_visible = visible;
    ShowCursor(visible ? TRUE : FALSE);
}

bool IsCursorVisible() { return g_visible; }

} // namespace TovarPlatform
