#include "toolkit/platform/common/HeldInput.h"

#include <cmath>

namespace TovarCommon {

namespace {

bool InRange(int vk) { return vk >= 0 && vk < 256; }

// sin(22.5 degrees): an axis counts while the stick points within 67.5
// degrees of it, which cuts the circle into eight equal directions.
const float kAxisShare = 0.38268343f;

} // namespace

bool HeldInput::Press(unsigned device, int vk)
{
    if (!InRange(vk))
        return false;
    const bool fresh = holders_[vk] == 0;
    holders_[vk] = static_cast<unsigned char>(holders_[vk] | device);
    return fresh;
}

bool HeldInput::Release(unsigned device, int vk)
{
    if (!InRange(vk))
        return false;
    holders_[vk] = static_cast<unsigned char>(holders_[vk] & ~device);
    return holders_[vk] == 0;
}

bool HeldInput::Held(int vk) const { return InRange(vk) && holders_[vk] != 0; }

bool HeldInput::HeldBy(unsigned device, int vk) const { return InRange(vk) && (holders_[vk] & device) != 0; }

void HeldInput::Clear()
{
    for (unsigned char& holders : holders_)
        holders = 0;
}

InputMessage KeyMessage(int vk, bool down)
{
    if (vk == VK_LBUTTON)
        return {static_cast<UINT>(down ? WM_LBUTTONDOWN : WM_LBUTTONUP), 0, 0};
    // Repeat count 1; a release was down before and is in transition.
    LPARAM lParam = 1;
    if (!down)
        lParam |= (LPARAM)1 << 30 | (LPARAM)1 << 31;
    return {static_cast<UINT>(down ? WM_KEYDOWN : WM_KEYUP), static_cast<WPARAM>(vk), lParam};
}

StickKeys KeysOfStick(float x, float y, float deadZone)
{
    StickKeys keys;
    const float length = std::sqrt(x * x + y * y);
    if (!(length > deadZone) || !(length > 0.0f))
        return keys;
    const float share = kAxisShare * length;
    keys.forward = y > share;
    keys.back = y < -share;
    keys.right = x > share;
    keys.left = x < -share;
    return keys;
}

StickHold::StickHold(int forward, int back, int left, int right) : keys_{forward, back, left, right} {}

} // namespace TovarCommon
