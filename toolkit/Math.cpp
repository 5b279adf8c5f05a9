#include "toolkit/Math.h"

#include <cmath>

namespace TovarToolkit {

// ---- TovarVector3f --------------------------------------------------------

float TovarVector3f::GetLength() const { return std::sqrt(x * x + y * y + z * z); }

float TovarVector3f::GetLengthSquare() const { return x * x + y * y + z * z; }

void TovarVector3f::Normalize()
{
    float InvertLength = 1.0f / GetLength();
    x *= InvertLength;
    y *= InvertLength;
    z *= InvertLength;
}

float TovarVector3f::GetDist(TovarVector3f vec) const
{
    float dx = vec.x - x, dy = vec.y - y, dz = vec.z - z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool TovarVector3f::IsEqual(TovarVector3f Vec) const
{
    return std::fabs(x - Vec.x) < 0.001f && std::fabs(y - Vec.y) < 0.001f &&
           std::fabs(z - Vec.z) < 0.001f;
}

float TovarVector3f::DotProduct(TovarVector3f a, TovarVector3f b) const
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

void TovarVector3f::Set(float X, float Y, float Z)
{
    x = X;
    y = Y;
    z = Z;
}

TovarVector3f TovarVector3f::operator+(TovarVector3f v) const { return {x + v.x, y + v.y, z + v.z}; }
TovarVector3f TovarVector3f::operator-(TovarVector3f v) const { return {x - v.x, y - v.y, z - v.z}; }
TovarVector3f TovarVector3f::operator*(float s) const { return {x * s, y * s, z * s}; }
TovarVector3f TovarVector3f::operator/(float s) const { return {x / s, y / s, z / s}; }
TovarVector3f TovarVector3f::operator*(TovarVector3f v) const { return {x * v.x, y * v.y, z * v.z}; }
TovarVector3f TovarVector3f::operator/(TovarVector3f v) const { return {x / v.x, y / v.y, z / v.z}; }

TovarVector3f TovarVector3f::operator^(TovarVector3f v) const
{
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
}

// ---- TovarVector2f --------------------------------------------------------

float TovarVector2f::GetLength() const { return std::sqrt(x * x + y * y); }

float TovarVector2f::GetLengthSquare() const { return x * x + y * y; }

void TovarVector2f::Normalize()
{
    float InvertLength = 1.0f / GetLength();
    x *= InvertLength;
    y *= InvertLength;
}

float TovarVector2f::GetDist(TovarVector2f a, TovarVector2f b) const
{
    float dx = b.x - a.x, dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool TovarVector2f::IsEqual(TovarVector2f Vec) const
{
    return std::fabs(x - Vec.x) < 0.001f && std::fabs(y - Vec.y) < 0.001f;
}

float TovarVector2f::DotProduct(TovarVector2f a, TovarVector2f b) const { return a.x * b.x + a.y * b.y; }

void TovarVector2f::Set(float X, float Y)
{
    x = X;
    y = Y;
}

TovarVector2f TovarVector2f::operator+(TovarVector2f v) const { return {x + v.x, y + v.y}; }
TovarVector2f TovarVector2f::operator-(TovarVector2f v) const { return {x - v.x, y - v.y}; }
TovarVector2f TovarVector2f::operator*(TovarVector2f v) const { return {x * v.x, y * v.y}; }
TovarVector2f TovarVector2f::operator/(TovarVector2f v) const { return {x / v.x, y / v.y}; }
TovarVector2f TovarVector2f::operator*(float s) const { return {x * s, y * s}; }
TovarVector2f TovarVector2f::operator/(float s) const { return {x / s, y / s}; }

// ---- TovarVector4f --------------------------------------------------------

void TovarVector4f::operator=(TovarVector4f v)
{
    x = v.x;
    y = v.y;
    z = v.z;
    w = v.w;
}

TovarVector4f TovarVector4f::operator+(TovarVector4f v) const { return TovarVector4f(x + v.x, y + v.y, z + v.z); }
TovarVector4f TovarVector4f::operator-(TovarVector4f v) const { return TovarVector4f(x - v.x, y - v.y, z - v.z); }
TovarVector4f TovarVector4f::operator*(TovarVector4f v) const { return TovarVector4f(x * v.x, y * v.y, z * v.z); }
TovarVector4f TovarVector4f::operator*(float f) const { return TovarVector4f(x * f, y * f, z * f); }

TovarVector4f TovarVector4f::operator/(float f) const
{
    float r = 1.0f / f;
    return TovarVector4f(x * r, y * r, z * r);
}

void TovarVector4f::operator+=(TovarVector4f v)
{
    x += v.x;
    y += v.y;
    z += v.z;
}

void TovarVector4f::operator-=(TovarVector4f v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
}

void TovarVector4f::operator*=(float f)
{
    x *= f;
    y *= f;
    z *= f;
}

void TovarVector4f::operator/=(float f)
{
    float r = 1.0f / f;
    x *= r;
    y *= r;
    z *= r;
}

bool TovarVector4f::operator==(TovarVector4f v) const { return x == v.x && y == v.y && z == v.z; }
bool TovarVector4f::operator!=(TovarVector4f v) const { return !(*this == v); }

void TovarVector4f::CrossProduct(TovarVector4f A, TovarVector4f B)
{
    x = A.y * B.z - A.z * B.y;
    y = A.z * B.x - A.x * B.z;
    z = A.x * B.y - A.y * B.x;
}

float Det3(float a0, float a1, float a2, float b0, float b1, float b2, float c0, float c1, float c2)
{
    return a0 * (b1 * c2 - b2 * c1) - a1 * (b0 * c2 - b2 * c0) + a2 * (b0 * c1 - b1 * c0);
}

float Det4(const float m[16])
{
    // Along the first row, each minor without that row and one column.
    float det = 0.0f;
    for (int c = 0; c < 4; ++c) {
        float minor[9];
        int n = 0;
        for (int j = 0; j < 4; ++j)
            if (j != c)
                for (int i = 1; i < 4; ++i)
                    minor[n++] = m[j * 4 + i];
        det += (c % 2 == 0 ? 1.0f : -1.0f) * m[c * 4] *
               Det3(minor[0], minor[1], minor[2], minor[3], minor[4], minor[5], minor[6], minor[7], minor[8]);
    }
    return det;
}

void TovarVector4f::CrossProduct3(TovarVector4f A, TovarVector4f B, TovarVector4f C)
{
    float nx = Det3(A.y, A.z, A.w, B.y, B.z, B.w, C.y, C.z, C.w);
    float ny = -Det3(A.x, A.z, A.w, B.x, B.z, B.w, C.x, C.z, C.w);
    float nz = Det3(A.x, A.y, A.w, B.x, B.y, B.w, C.x, C.y, C.w);
    float nw = -Det3(A.x, A.y, A.z, B.x, B.y, B.z, C.x, C.y, C.z);
    x = nx;
    y = ny;
    z = nz;
    w = nw;
}

float TovarVector4f::DotProduct3(TovarVector4f A) const { return x * A.x + y * A.y + z * A.z; }
float TovarVector4f::DotProduct4(TovarVector4f A) const { return x * A.x + y * A.y + z * A.z + w * A.w; }
float TovarVector4f::GetLength() const { return std::sqrt(x * x + y * y + z * z); }

void TovarVector4f::Normal()
{
    float Length = GetLength();
    if (Length == 0.0f)
        Length = 1.0f;
    x /= Length;
    y /= Length;
    z /= Length;
    w /= Length;
}

void TovarVector4f::Normalize(const TovarVector4f* Triangle)
{
    TovarVector4f A = Triangle[0] - Triangle[1];
    TovarVector4f B = Triangle[1] - Triangle[2];
    CrossProduct(A, B);
    Normal();
}

void TovarVector4f::ExtendVertexPos(TovarVector4f currentVertex, TovarVector4f lightPos, float Extend)
{
    x = lightPos.x + (currentVertex.x - lightPos.x) * Extend;
    y = lightPos.y + (currentVertex.y - lightPos.y) * Extend;
    z = lightPos.z + (currentVertex.z - lightPos.z) * Extend;
    w = lightPos.w;
}

void TovarVector4f::ExtendVertexPos(TovarVector4f lightPos, float Extend)
{
    ExtendVertexPos(*this, lightPos, Extend);
}

// Each sine and cosine is evaluated in double and used as a float in the
// products, so the rotations round the same way wherever they run.
TovarVector4f TovarVector4f::GetRotatedX(double angle) const
{
    float s = (float)std::sin(angle), c = (float)std::cos(angle);
    return TovarVector4f(x, y * c - z * s, y * s + z * c);
}

TovarVector4f TovarVector4f::GetRotatedY(double angle) const
{
    float s = (float)std::sin(angle), c = (float)std::cos(angle);
    return TovarVector4f(x * c + z * s, y, z * c - x * s);
}

TovarVector4f TovarVector4f::GetRotatedZ(double angle) const
{
    float s = (float)std::sin(angle), c = (float)std::cos(angle);
    return TovarVector4f(x * c - y * s, x * s + y * c, z);
}

void TovarVector4f::CalculateBinormalVector(TovarVector4f tangent, TovarVector4f normal)
{
    CrossProduct(tangent, normal);
}

// ---- Free helpers ----------------------------------------------------------

TovarVector3f Cross(TovarVector3f vVector1, TovarVector3f vVector2)
{
    TovarVector3f n;
    n.x = vVector1.y * vVector2.z - vVector1.z * vVector2.y;
    n.y = vVector1.z * vVector2.x - vVector1.x * vVector2.z;
    n.z = vVector1.x * vVector2.y - vVector1.y * vVector2.x;
    return n;
}

float Magnitude(TovarVector3f vNormal)
{
    return std::sqrt(vNormal.x * vNormal.x + vNormal.y * vNormal.y + vNormal.z * vNormal.z);
}

TovarVector3f Normalize(TovarVector3f vVector)
{
    float magnitude = Magnitude(vVector);
    // A vector without a direction (or one so short that its length underflows)
    // stays zero instead of turning into infinities and NaNs.
    if (!(magnitude > 0.0f))
        return TovarVector3f();
    return vVector / magnitude;
}

} // namespace TovarToolkit
