// Whether the player is in the game, and the page's full screen. A page
// cannot play for its player: before the first click or tap, and once the
// player has left (Escape freed the pointer, the page was hidden), the game
// waits as it does behind a hidden tab, through the same minimised window:
// the rules, the pacer and the animation clock stop, the last frame stays on
// show, and the page's notice says how to go on.

#include "toolkit/platform/common/MessageQueue.h"
#include "toolkit/platform/web/Internal.h"

#include <emscripten.h>

namespace {

bool g_in = false;             // the player is in
bool g_everIn = false;         // and has been since the page loaded
bool g_waitingForLock = false; // a click asked for the pointer lock; the player is in once it comes
unsigned g_wayIn = 0;          // the device that last took the player in
bool g_hidden = false;         // the page is hidden
bool g_shown = false;          // a frame is on show
bool g_away = false;           // what the window was last told
bool g_cursorShown = true;
int g_toldWaiting = -1, g_toldOver = -1;
double g_fullScreenEndedAt = -1e9; // ms

// A browser leaves full screen on Escape before or after handing the key to
// the page: a press this soon after is the one that left.
const double kEscapeGraceMs = 250.0;

// The page shows "Click to play" while the player is out, and offers its
// Restart while the game is over (the only time the game shows the cursor).
EM_JS(void, tovar_tell_page, (int waiting, int over), {
    if (Module['onPlayState'])
        Module['onPlayState'](!!waiting, !!over);
});

// Sound may start only inside a press. A touch counts as one when it ends,
// so the sound starts then.
EM_JS(void, tovar_start_sound, (int touch), {
    var audio = Module['tovarAudio'];
    if (!audio || audio.stopped || (audio.context && audio.context.state === 'running'))
        return;
    function start() {
        if (audio.stopped)
            return;
        // Once: a browser without a device says so once, not at every press.
        if (!audio.context && !Module['tovarSoundAsked']) {
            Module['tovarSoundAsked'] = true;
            audio.start();
        }
        if (audio.context && audio.context.state === 'suspended')
            audio.context.resume();
    }
    if (touch)
        window.addEventListener('touchend', start, {once : true, capture : true});
    else
        start();
});

EM_JS(int, tovar_page_has_focus, (), { return document.hasFocus() ? 1 : 0; });

void Update()
{
    HWND window = TovarWeb::CurrentWindow();
    if (!window)
        return;
    // The first frame is drawn before the game waits, so that the player
    // sees the arena behind the notice.
    bool away = g_hidden || (g_shown && !g_in);
    if (away != g_away) {
        g_away = away;
        TovarCommon::Post(window, WM_SIZE, away ? SIZE_MINIMIZED : SIZE_RESTORED,
                          MAKELPARAM(window->width, window->height));
    }
    int waiting = g_in ? 0 : 1, over = g_shown && g_cursorShown ? 1 : 0;
    if (waiting != g_toldWaiting || over != g_toldOver) {
        g_toldWaiting = waiting;
        g_toldOver = over;
        tovar_tell_page(waiting, over);
    }
}

void ComeIn(unsigned device)
{
    g_in = g_everIn = true;
    g_wayIn = device;
    g_waitingForLock = false;
    Update();
}

void Leave()
{
    g_in = false;
    g_waitingForLock = false;
    Update();
}

EM_BOOL OnFullScreen(int, const EmscriptenFullscreenChangeEvent* event, void*)
{
    if (!event->isFullscreen)
        g_fullScreenEndedAt = emscripten_get_now();
    return EM_FALSE;
}

} // namespace

namespace TovarWeb {

void PlayPressed(unsigned device)
{
    if (!CurrentWindow())
        return;
    tovar_start_sound(device == TovarCommon::kTouch ? 1 : 0);
    // A mouse player is in once the pointer is theirs: until then the view
    // could not turn. A key before the first click starts at once.
    bool mouse = device == TovarCommon::kMouse;
    if ((mouse || device == TovarCommon::kKeyboard) && RequestPointerLock() && mouse) {
        g_waitingForLock = true;
        return;
    }
    ComeIn(device);
}

bool PlayerEverCameIn() { return g_everIn; }

void PageHidden(bool hidden)
{
    g_hidden = hidden;
    if (hidden)
        Leave();
    else
        Update();
}

void PageFocused(bool focused)
{
    if (HWND window = CurrentWindow())
        TovarCommon::Post(window, WM_ACTIVATE, MAKEWPARAM(focused ? WA_ACTIVE : WA_INACTIVE, g_away ? 1 : 0), 0);
}

void FrameShown()
{
    if (!g_shown) {
        g_shown = true;
        Update();
    }
}

void PointerLockChanged(bool locked, bool steering)
{
    if (locked) {
        if (g_waitingForLock)
            ComeIn(TovarCommon::kMouse);
    } else if (steering) {
        Leave(); // Escape, or the browser took the pointer back
    }
}

void CursorChanged(bool visible, bool locked)
{
    g_cursorShown = visible;
    // The game steers again (a restart) with the pointer free: a mouse
    // player cannot turn until they click.
    if (!visible && !locked && g_in && g_wayIn == TovarCommon::kMouse)
        Leave();
    else
        Update();
}

bool EscapeLeavesFullScreen()
{
    EmscriptenFullscreenChangeEvent status;
    if (emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.isFullscreen) {
        emscripten_exit_fullscreen();
        return true;
    }
    return emscripten_get_now() - g_fullScreenEndedAt < kEscapeGraceMs;
}

void ListenForPlay(bool on)
{
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             on ? OnFullScreen : nullptr);
    g_in = g_everIn = g_waitingForLock = g_hidden = g_shown = g_away = false;
    g_cursorShown = true;
    g_toldWaiting = g_toldOver = -1;
    if (on) {
        Update();
        if (tovar_page_has_focus())
            PageFocused(true);
    }
}

} // namespace TovarWeb
