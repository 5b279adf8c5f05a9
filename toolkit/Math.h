#pragma once

// Plain float vectors. Every position, direction and velocity of the game is a
// TovarVector3f; arithmetic stays in single precision on purpose, so results
// match bit for bit wherever they are computed.

namespace TovarToolkit {

class TovarVector3f {
public:
    float x, y, z;

    TovarVector3f() : x(0.0f), y(0.0f), z(0.0f) {}
    TovarVector3f(float X, float Y, float Z) : x(X), y(Y), z(Z) {}

    float GetLength() const;
    float GetLengthSquare() const;
    void Normalize();
    float GetDist(TovarVector3f vec) const;
    bool IsEqual(TovarVector3f Vec) const;
    // Reads only its arguments; a member for the callers' convenience.
    float DotProduct(TovarVector3f a, TovarVector3f b) const;
    void Set(float X, float Y, float Z);

    TovarVector3f operator+(TovarVector3f v) const;
    TovarVector3f operator-(TovarVector3f v) const;
    TovarVector3f operator*(float s) const;
    TovarVector3f operator/(float s) const;
    // Component-wise product and quotient; ^ is the cross product.
    TovarVector3f operator*(TovarVector3f v) const;
    TovarVector3f operator/(TovarVector3f v) const;
    TovarVector3f operator^(TovarVector3f v) const;
};

class TovarVector2f {
public:
    float x, y;

    TovarVector2f() : x(0.0f), y(0.0f) {}
    TovarVector2f(float X, float Y) : x(X), y(Y) {}

    float GetLength() const;
    float GetLengthSquare() const;
    void Normalize();
    // Distance between the two arguments; ignores this vector.
    float GetDist(TovarVector2f a, TovarVector2f b) const;
    bool IsEqual(TovarVector2f Vec) const;
    float DotProduct(TovarVector2f a, TovarVector2f b) const;
    void Set(float X, float Y);

    TovarVector2f operator+(TovarVector2f v) const;
    TovarVector2f operator-(TovarVector2f v) const;
    TovarVector2f operator*(TovarVector2f v) const;
    TovarVector2f operator/(TovarVector2f v) const;
    TovarVector2f operator*(float s) const;
    TovarVector2f operator/(float s) const;
};

// Four-component vector for plane normals, rotations and shadow-volume work.
// Results built from three components carry w = 1, a point in homogeneous
// coordinates; in-place operations leave w as it was.
class TovarVector4f {
public:
    float x, y, z, w;

    TovarVector4f() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    TovarVector4f(float X, float Y, float Z) : x(X), y(Y), z(Z), w(1.0f) {}
    TovarVector4f(float X, float Y, float Z, float W) : x(X), y(Y), z(Z), w(W) {}
    TovarVector4f(const TovarVector4f& v) : x(v.x), y(v.y), z(v.z), w(v.w) {}

    void operator=(TovarVector4f v);

    TovarVector4f operator+(TovarVector4f v) const;
    TovarVector4f operator-(TovarVector4f v) const;
    TovarVector4f operator*(TovarVector4f v) const;
    TovarVector4f operator*(float f) const;
    TovarVector4f operator/(float f) const;
    void operator+=(TovarVector4f v);
    void operator-=(TovarVector4f v);
    void operator*=(float f);
    void operator/=(float f);
    bool operator==(TovarVector4f v) const;
    bool operator!=(TovarVector4f v) const;

    void CrossProduct(TovarVector4f A, TovarVector4f B);
    void CrossProduct3(TovarVector4f A, TovarVector4f B, TovarVector4f C);
    float DotProduct3(TovarVector4f A) const;
    float DotProduct4(TovarVector4f A) const;
    float GetLength() const;
    void Normal();
    // Unit normal of the triangle Triangle[0..2].
    void Normalize(const TovarVector4f* Triangle);
    void ExtendVertexPos(TovarVector4f currentVertex, TovarVector4f lightPos, float Extend);
    void ExtendVertexPos(TovarVector4f lightPos, float Extend);
    TovarVector4f GetRotatedX(double angle) const;
    TovarVector4f GetRotatedY(double angle) const;
    TovarVector4f GetRotatedZ(double angle) const;
    void CalculateBinormalVector(TovarVector4f tangent, TovarVector4f normal);
};

TovarVector3f Cross(TovarVector3f vVector1, TovarVector3f vVector2);
float Magnitude(TovarVector3f vNormal);
// Divides each component by the length (the member Normalize multiplies by its
// reciprocal instead; the two may differ in the last bit). A vector without
// length stays zero.
TovarVector3f Normalize(TovarVector3f vVector);
// Determinant of the rows (a0 a1 a2), (b0 b1 b2), (c0 c1 c2).
float Det3(float a0, float a1, float a2, float b0, float b1, float b2, float c0, float c1, float c2);
// Determinant of a 4 x 4 matrix of 16 floats; a matrix and its transpose
// agree, so GL's column-major order serves as well.
float Det4(const float m[16]);

} // namespace TovarToolkit
