#include "toolkit/platform/common/TouchControls.h"

#include <cmath>

namespace TovarCommon {

TouchControls::TouchControls(float radius, float deadZone)
    : radius_(radius > 0.0f ? radius : 1.0f), deadZone_(deadZone), hold_('W', 'S', 'A', 'D')
{
}

TouchControls::Finger TouchControls::Place(int id, float x, float y)
{
    Finger f;
    f.down = true;
    f.id = id;
    f.x = f.cx = x;
    f.y = f.cy = y;
    return f;
}

void TouchControls::PushStick(float x, float y)
{
    stick_.x = x;
    stick_.y = y;
    const float dx = x - stick_.cx, dy = y - stick_.cy;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > radius_) {
        stick_.cx = x - dx * radius_ / length;
        stick_.cy = y - dy * radius_ / length;
    }
}

} // namespace TovarCommon
