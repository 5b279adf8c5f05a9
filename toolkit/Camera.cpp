#include "toolkit/Camera.h"

#include "toolkit/platform/GL.h"

#include <cmath>

namespace TovarToolkit {

TovarCamera::TovarCamera()
    : screenwidth(0), screenheight(0), posx(0), posy(0), posz(0), viewx(0), viewy(0), viewz(0), upx(0),
      upy(0), upz(0), LastPosx(0), LastPosy(0), LastPosz(0), Yaw(0), Pitch(0), m_vPosition(0, 0, 0),
      m_vView(0, 1.0f, 0.5f), m_vUpVector(0, 0, 1.0f), m_vStrafe(0, 0, 0), currentRotX(0.0f)
{
}

void TovarCamera::PositionCamera(float positionX, float positionY, float positionZ, float viewX, float viewY,
                                 float viewZ, float upVectorX, float upVectorY, float upVectorZ)
{
    m_vPosition = TovarVector3f(positionX, positionY, positionZ);
    m_vView = TovarVector3f(viewX, viewY, viewZ);
    m_vUpVector = TovarVector3f(upVectorX, upVectorY, upVectorZ);
    // A camera placed anew looks level from here: the limit counts from now.
    currentRotX = 0.0f;
}

void TovarCamera::RotateView(float angle, float x, float y, float z)
{
    TovarVector3f vView = m_vView - m_vPosition;
    float cosTheta = static_cast<float>(std::cos(static_cast<double>(angle)));
    float sinTheta = static_cast<float>(std::sin(static_cast<double>(angle)));
    float c = cosTheta, s = sinTheta, t = 1 - cosTheta;

    TovarVector3f vNewView;
    vNewView.x = (c + t * x * x) * vView.x + (t * x * y - z * s) * vView.y + (t * x * z + y * s) * vView.z;
    vNewView.y = (t * x * y + z * s) * vView.x + (c + t * y * y) * vView.y + (t * y * z - x * s) * vView.z;
    vNewView.z = (t * x * z - y * s) * vView.x + (t * y * z + x * s) * vView.y + (c + t * z * z) * vView.z;

    m_vView = m_vPosition + vNewView;
}

void TovarCamera::ViewByMouse(int screen_width, int screen_height, float mouse_sensitivity)
{
    TovarPlatform::SetCursorVisible(false);

    int middleX = screen_width >> 1;
    int middleY = screen_height >> 1;

    POINT mousePos = {0, 0};
    GetCursorPos(&mousePos);
    if (mousePos.x == middleX && mousePos.y == middleY)
        return;

    if (middleX > mousePos.x)
        Yaw -= 0.25f;
    if (mousePos.x > middleX)
        Yaw += 0.25f;
    if (middleY > mousePos.y)
        Pitch += 0.25f;
    if (mousePos.y > middleY)
        Pitch -= 0.25f;

    SetCursorPos(middleX, middleY);

    float mX = static_cast<float>((middleX - mousePos.x) / 1000.0);
    float mY = static_cast<float>((middleY - mousePos.y) / 1000.0);

    currentRotX -= mY;
    if (currentRotX > 1.0f) {
        currentRotX = 1.0f;
        return;
    }
    if (currentRotX < -1.0f) {
        currentRotX = -1.0f;
        return;
    }

    // Looking straight along the up vector leaves no axis to tip the view
    // about; the turn about the vertical still applies.
    TovarVector3f vAxis = Normalize(Cross(m_vView - m_vPosition, m_vUpVector));
    if (Magnitude(vAxis) > 0.0f)
        RotateView(mY * mouse_sensitivity, vAxis.x, vAxis.y, vAxis.z);
    RotateView(mX * mouse_sensitivity, 0, 1, 0);
}

void TovarCamera::StrafeCamera(float speed)
{
    m_vPosition.x += m_vStrafe.x * speed;
    m_vPosition.z += m_vStrafe.z * speed;
    m_vView.x += m_vStrafe.x * speed;
    m_vView.z += m_vStrafe.z * speed;
}

void TovarCamera::MoveCamera(float speed)
{
    // A zero line of sight normalises to zero: the eye stays where it is.
    TovarVector3f vVector = Normalize(m_vView - m_vPosition);

    LastPosx = m_vPosition.x;
    LastPosy = m_vPosition.y;
    LastPosz = m_vPosition.z;

    m_vPosition.x += vVector.x * speed;
    m_vPosition.z += vVector.z * speed;
    m_vView.x += vVector.x * speed;
    m_vView.z += vVector.z * speed;
}

void TovarCamera::MoveCameraB(float speed)
{
    TovarVector3f NP = m_vView - m_vPosition;
    float length = NP.GetLength();
    // No direction to fly along (or a reciprocal that would overflow): stay put.
    if (!(length > 0.0f) || !std::isfinite(1.0f / length))
        return;
    NP.Normalize();
    m_vView = m_vView + NP * speed;
    m_vPosition = m_vPosition + NP * speed;
}

void TovarCamera::Update()
{
    TovarVector3f vCross = Cross(m_vView - m_vPosition, m_vUpVector);
    // With the line of sight along the up vector (or of zero length) there is
    // no "right"; strafing keeps the last one it had.
    if (Magnitude(vCross) > 0.0f)
        m_vStrafe = Normalize(vCross);
}

void TovarCamera::Look()
{
    gluLookAt(m_vPosition.x, m_vPosition.y, m_vPosition.z, m_vView.x, m_vView.y, m_vView.z, m_vUpVector.x,
              m_vUpVector.y, m_vUpVector.z);
    posx = m_vPosition.x;
    posy = m_vPosition.y;
    posz = m_vPosition.z;
    viewx = m_vView.x;
    viewy = m_vView.y;
    viewz = m_vView.z;
    upx = m_vUpVector.x;
    upy = m_vUpVector.y;
    upz = m_vUpVector.z;
}

} // namespace TovarToolkit
