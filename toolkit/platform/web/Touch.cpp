// Touch. Fingers on the game's area (the page's #view: the game and the bars
// beside it) are the stick and the look of TouchControls; the page's Fire and
// Restart buttons hold the left button and Space while a finger is on them.
// Every touch here is the game's: the handlers prevent the browser's own use
// of it (scrolling, zooming, the mouse events it would make up).

#include "toolkit/platform/common/TouchControls.h"
#include "toolkit/platform/web/Internal.h"

#include <emscripten.h>

#include <cstdint>
#include <initializer_list>

#define TOVAR_WEB_VIEW "#view"

namespace {

// Pushed a thumb's width (about 1.3 cm) the stick is pushed all the way; a
// quarter of that holds nothing, so a resting thumb does not walk.
const float kStickRadius = 48.0f;
const float kDeadZone = 0.25f;

TovarCommon::TouchControls g_touch(kStickRadius, kDeadZone);
double g_turnX = 0.0, g_turnY = 0.0; // look motion short of a whole canvas pixel

// The page draws the stick under the thumb.
EM_JS(void, tovar_show_stick, (int down, float cx, float cy, float x, float y), {
    if (Module['onStick'])
        Module['onStick'](!!down, cx, cy, x, y);
});

EM_JS(int, tovar_on_page, (const char* selector), { return document.querySelector(UTF8ToString(selector)) ? 1 : 0; });

void ShowStick()
{
    const TovarCommon::TouchControls::Finger& stick = g_touch.Stick();
    tovar_show_stick(stick.down ? 1 : 0, stick.cx, stick.cy, stick.x, stick.y);
}

bool Listed(const EmscriptenTouchEvent& event, int id)
{
    for (int i = 0; i < event.numTouches; ++i)
        if (event.touches[i].identifier == id)
            return true;
    return false;
}

// The look finger's motion, in canvas pixels, turns the view as a locked
// mouse's does; fractions are kept for the next move.
void Turn(double dx, double dy)
{
    g_turnX += dx;
    g_turnY += dy;
    long x = static_cast<long>(g_turnX), y = static_cast<long>(g_turnY);
    g_turnX -= x;
    g_turnY -= y;
    if (x != 0 || y != 0)
        TovarWeb::TurnBy(x, y);
}

EM_BOOL OnViewTouch(int type, const EmscriptenTouchEvent* event, void*)
{
    if (!TovarWeb::CurrentWindow())
        return EM_FALSE;
    TovarCommon::HeldInput& held = TovarWeb::Held();
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
        TovarWeb::PlayPressed(TovarCommon::kTouch);
        // A finger whose end never came is gone.
        for (const TovarCommon::TouchControls::Finger* f : {&g_touch.Stick(), &g_touch.Look()})
            if (f->down && !Listed(*event, f->id))
                g_touch.Up(held, f->id, TovarWeb::PostInput);
    }
    double width = 0.0, height = 0.0;
    emscripten_get_element_css_size(TOVAR_WEB_VIEW, &width, &height);
    const double scale = TovarWeb::CanvasScale();
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& t = event->touches[i];
        if (!t.isChanged)
            continue;
        const float x = static_cast<float>(t.targetX), y = static_cast<float>(t.targetY);
        if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
            g_touch.Down(t.identifier, x, y, static_cast<float>(width));
        } else if (type == EMSCRIPTEN_EVENT_TOUCHMOVE) {
            float dx = 0.0f, dy = 0.0f;
            g_touch.Move(held, t.identifier, x, y, dx, dy, TovarWeb::PostInput);
            Turn(dx * scale, dy * scale);
        } else {
            g_touch.Up(held, t.identifier, TovarWeb::PostInput);
        }
    }
    ShowStick();
    return EM_TRUE;
}

// A button holds its key while any finger is on it.
EM_BOOL OnButtonTouch(int type, const EmscriptenTouchEvent* event, void* key)
{
    if (!TovarWeb::CurrentWindow())
        return EM_FALSE;
    const int vk = static_cast<int>(reinterpret_cast<std::intptr_t>(key));
    int fingers = 0;
    for (int i = 0; i < event->numTouches; ++i)
        fingers += event->touches[i].onTarget ? 1 : 0;
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
        TovarWeb::PlayPressed(TovarCommon::kTouch);
        // Still held by a touch whose end never came: let go first, so that
        // this press is heard.
        if (fingers <= 1 && TovarWeb::Held().HeldBy(TovarCommon::kTouch, vk))
            TovarWeb::PressInput(TovarCommon::kTouch, vk, false);
        TovarWeb::PressInput(TovarCommon::kTouch, vk, true);
    } else if (fingers == 0) {
        TovarWeb::PressInput(TovarCommon::kTouch, vk, false);
    }
    return EM_TRUE;
}

void Listen(const char* target, EM_BOOL (*handler)(int, const EmscriptenTouchEvent*, void*), void* data, bool on)
{
    if (!tovar_on_page(target))
        return;
    auto callback = on ? handler : nullptr;
    emscripten_set_touchstart_callback(target, data, EM_FALSE, callback);
    emscripten_set_touchmove_callback(target, data, EM_FALSE, callback);
    emscripten_set_touchend_callback(target, data, EM_FALSE, callback);
    emscripten_set_touchcancel_callback(target, data, EM_FALSE, callback);
}

} // namespace

namespace TovarWeb {

void ListenForTouch(bool on)
{
    Listen(TOVAR_WEB_VIEW, OnViewTouch, nullptr, on);
    Listen("#fire", OnButtonTouch, reinterpret_cast<void*>(static_cast<std::intptr_t>(VK_LBUTTON)), on);
    Listen("#restart", OnButtonTouch, reinterpret_cast<void*>(static_cast<std::intptr_t>(VK_SPACE)), on);
    if (!on)
        LiftFingers();
}

void LiftFingers()
{
    g_touch.UpAll(Held(), TovarWeb::PostInput);
    g_turnX = g_turnY = 0.0;
    ShowStick();
}

} // namespace TovarWeb
