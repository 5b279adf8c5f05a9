#pragma once

// The first-person camera: eye, looked-at point and up direction; walking,
// flying, strafing, turning and the mouse look. One up direction, no roll;
// where the eye may go is the caller's to decide.

#include "toolkit/Math.h"

namespace TovarToolkit {

// First-person camera: an eye, the point it looks at, and an up direction.
class TovarCamera {
public:
    int screenwidth, screenheight;
    float posx, posy, posz;    // copies made by Look
    float viewx, viewy, viewz;
    float upx, upy, upz;
    float LastPosx, LastPosy, LastPosz; // eye before the last MoveCamera
    float Yaw, Pitch;                   // step counters of the mouse look
    TovarVector3f m_vPosition;
    TovarVector3f m_vView; // a point, not a direction
    TovarVector3f m_vUpVector;
    TovarVector3f m_vStrafe;
    // The unscaled vertical mouse motion summed since the camera was last
    // placed; it bounds how far the view tips up or down (to +-1).
    float currentRotX;

    TovarCamera();

    // Also restarts the mouse look's vertical limit.
    void PositionCamera(float positionX, float positionY, float positionZ, float viewX, float viewY,
                        float viewZ, float upVectorX, float upVectorY, float upVectorZ);
    // (x, y, z) must be a unit axis.
    void RotateView(float angle, float x, float y, float z);
    void ViewByMouse(int screen_width, int screen_height, float mouse_sensitivity);
    void StrafeCamera(float speed);
    void MoveCamera(float speed);
    void MoveCameraB(float speed);
    void Update();
    void Look();
};

} // namespace TovarToolkit
