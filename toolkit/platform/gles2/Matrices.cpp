// The matrix stacks and GLU's projection and look-at. Every step works in
// floats in the order a desktop GL (and GLU) works, so that the browser's
// matrices, and with them its pixels, come out as the desktop's do.

#include "toolkit/platform/gles2/Internal.h"

#include <cmath>
#include <cstring>

namespace TovarGLES2 {

Matrix IdentityMatrix()
{
    Matrix r = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    return r;
}

bool IsIdentity(const Matrix& a)
{
    static const Matrix identity = IdentityMatrix();
    return std::memcmp(a.m, identity.m, sizeof a.m) == 0;
}

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix p;
    for (int i = 0; i < 4; ++i) {
        const float ai0 = a.m[i], ai1 = a.m[4 + i], ai2 = a.m[8 + i], ai3 = a.m[12 + i];
        for (int j = 0; j < 4; ++j)
            p.m[j * 4 + i] = ai0 * b.m[j * 4] + ai1 * b.m[j * 4 + 1] + ai2 * b.m[j * 4 + 2] + ai3 * b.m[j * 4 + 3];
    }
    return p;
}

Matrix& CurrentMatrix()
{
    Layer& l = L();
    switch (l.attrib.matrixMode) {
    case GL_PROJECTION: return l.projection.Top();
    case GL_TEXTURE: return l.texture.Top();
    default: return l.modelview.Top();
    }
}

static MatrixStack& CurrentStack()
{
    Layer& l = L();
    switch (l.attrib.matrixMode) {
    case GL_PROJECTION: return l.projection;
    case GL_TEXTURE: return l.texture;
    default: return l.modelview;
    }
}

void MatrixChanged() { L().mvpValid = false; }

const Matrix& ModelViewProjection()
{
    Layer& l = L();
    if (!l.mvpValid) {
        l.mvp = Multiply(l.projection.Top(), l.modelview.Top());
        l.mvpValid = true;
    }
    return l.mvp;
}

namespace {

const double kPi = 3.14159265358979323846;

// A matrix call into the list being compiled, with its numbers.
bool Recorded(ListStep::Kind kind, const float* v = nullptr, int n = 0, GLenum e = 0)
{
    ListStep step = MakeStep(kind, 0, e);
    for (int i = 0; i < n; ++i)
        step.v[i] = v[i];
    return Recorded(step);
}

void MultiplyCurrent(const Matrix& m)
{
    Matrix& top = CurrentMatrix();
    top = Multiply(top, m);
    MatrixChanged();
}

} // namespace

} // namespace TovarGLES2

using namespace TovarGLES2;

void GLAPIENTRY glMatrixMode(GLenum mode)
{
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) {
        UnsupportedEnum("glMatrixMode", mode);
        SetError(GL_INVALID_ENUM);
        return;
    }
    if (Recorded(ListStep::MatrixMode, nullptr, 0, mode))
        return;
    L().attrib.matrixMode = mode;
}

void GLAPIENTRY glLoadIdentity()
{
    if (Recorded(ListStep::LoadIdentity))
        return;
    CurrentMatrix() = IdentityMatrix();
    MatrixChanged();
}

void GLAPIENTRY glLoadMatrixf(const GLfloat* m)
{
    if (!m)
        return;
    if (L().compiling) {
        // Identity times m is m, to the bit.
        Recorded(ListStep::LoadIdentity);
        if (Recorded(ListStep::MultMatrix, m, 16))
            return;
    }
    std::memcpy(CurrentMatrix().m, m, sizeof(Matrix::m));
    MatrixChanged();
}

void GLAPIENTRY glLoadMatrixd(const GLdouble* m)
{
    if (!m)
        return;
    GLfloat f[16];
    for (int i = 0; i < 16; ++i)
        f[i] = static_cast<GLfloat>(m[i]);
    glLoadMatrixf(f);
}

void GLAPIENTRY glMultMatrixf(const GLfloat* m)
{
    if (!m || Recorded(ListStep::MultMatrix, m, 16))
        return;
    Matrix b;
    std::memcpy(b.m, m, sizeof b.m);
    MultiplyCurrent(b);
}

void GLAPIENTRY glMultMatrixd(const GLdouble* m)
{
    if (!m)
        return;
    GLfloat f[16];
    for (int i = 0; i < 16; ++i)
        f[i] = static_cast<GLfloat>(m[i]);
    glMultMatrixf(f);
}

void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    const float v[3] = {x, y, z};
    if (Recorded(ListStep::Translate, v, 3))
        return;
    float* m = CurrentMatrix().m;
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
    MatrixChanged();
}

void GLAPIENTRY glTranslated(GLdouble x, GLdouble y, GLdouble z)
{
    glTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void GLAPIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    const float v[3] = {x, y, z};
    if (Recorded(ListStep::Scale, v, 3))
        return;
    float* m = CurrentMatrix().m;
    for (int i = 0; i < 4; ++i) {
        m[i] *= x;
        m[4 + i] *= y;
        m[8 + i] *= z;
    }
    MatrixChanged();
}

void GLAPIENTRY glScaled(GLdouble x, GLdouble y, GLdouble z)
{
    glScalef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void GLAPIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const float v[4] = {angle, x, y, z};
    if (Recorded(ListStep::Rotate, v, 4))
        return;
    const float s = std::sin(static_cast<float>(angle * kPi / 180.0));
    const float c = std::cos(static_cast<float>(angle * kPi / 180.0));
    Matrix r = IdentityMatrix();
    float* m = r.m;
    auto M = [m](int row, int col) -> float& { return m[col * 4 + row]; };
    // Rotations about an axis are written out, as a desktop GL does, so that
    // their zeros stay exact.
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
        M(0, 0) = c;
        M(1, 1) = c;
        M(0, 1) = z < 0.0f ? s : -s;
        M(1, 0) = z < 0.0f ? -s : s;
    } else if (x == 0.0f && z == 0.0f && y != 0.0f) {
        M(0, 0) = c;
        M(2, 2) = c;
        M(0, 2) = y < 0.0f ? -s : s;
        M(2, 0) = y < 0.0f ? s : -s;
    } else if (y == 0.0f && z == 0.0f && x != 0.0f) {
        M(1, 1) = c;
        M(2, 2) = c;
        M(1, 2) = x < 0.0f ? s : -s;
        M(2, 1) = x < 0.0f ? -s : s;
    } else {
        const float mag = std::sqrt(x * x + y * y + z * z);
        if (!(mag > 1.0e-4f))
            return; // no axis: no rotation
        x /= mag;
        y /= mag;
        z /= mag;
        const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s, oneC = 1.0f - c;
        M(0, 0) = (oneC * xx) + c;
        M(0, 1) = (oneC * xy) - zs;
        M(0, 2) = (oneC * zx) + ys;
        M(1, 0) = (oneC * xy) + zs;
        M(1, 1) = (oneC * yy) + c;
        M(1, 2) = (oneC * yz) - xs;
        M(2, 0) = (oneC * zx) - ys;
        M(2, 1) = (oneC * yz) + xs;
        M(2, 2) = (oneC * zz) + c;
    }
    MultiplyCurrent(r);
}

void GLAPIENTRY glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z)
{
    glRotatef(static_cast<GLfloat>(angle), static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void GLAPIENTRY glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    const float l = static_cast<float>(left), r = static_cast<float>(right), b = static_cast<float>(bottom),
                t = static_cast<float>(top), n = static_cast<float>(zNear), f = static_cast<float>(zFar);
    if (l == r || b == t || n == f) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    Matrix o = IdentityMatrix();
    o.m[0] = 2.0f / (r - l);
    o.m[12] = -(r + l) / (r - l);
    o.m[5] = 2.0f / (t - b);
    o.m[13] = -(t + b) / (t - b);
    o.m[10] = -2.0f / (f - n);
    o.m[14] = -(f + n) / (f - n);
    if (Recorded(ListStep::MultMatrix, o.m, 16))
        return;
    MultiplyCurrent(o);
}

void GLAPIENTRY glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar)
{
    const float l = static_cast<float>(left), r = static_cast<float>(right), b = static_cast<float>(bottom),
                t = static_cast<float>(top), n = static_cast<float>(zNear), f = static_cast<float>(zFar);
    if (n <= 0.0f || f <= 0.0f || l == r || b == t || n == f) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    Matrix p = IdentityMatrix();
    p.m[0] = (2.0f * n) / (r - l);
    p.m[5] = (2.0f * n) / (t - b);
    p.m[8] = (r + l) / (r - l);
    p.m[9] = (t + b) / (t - b);
    p.m[10] = -(f + n) / (f - n);
    p.m[14] = -(2.0f * f * n) / (f - n);
    p.m[11] = -1.0f;
    p.m[15] = 0.0f;
    if (Recorded(ListStep::MultMatrix, p.m, 16))
        return;
    MultiplyCurrent(p);
}

void GLAPIENTRY glPushMatrix()
{
    if (Recorded(ListStep::PushMatrix))
        return;
    MatrixStack& s = CurrentStack();
    if (s.stack.size() >= s.depth) {
        SetError(GL_STACK_OVERFLOW);
        return;
    }
    s.stack.push_back(s.stack.back());
}

void GLAPIENTRY glPopMatrix()
{
    if (Recorded(ListStep::PopMatrix))
        return;
    MatrixStack& s = CurrentStack();
    if (s.stack.size() <= 1) {
        SetError(GL_STACK_UNDERFLOW);
        return;
    }
    s.stack.pop_back();
    MatrixChanged();
}

// ---- GLU --------------------------------------------------------------------------

void GLAPIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double radians = fovy / 2 * kPi / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0)
        return;
    const double cotangent = std::cos(radians) / sine;
    GLdouble m[16] = {};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    glMultMatrixd(m);
}

namespace {

void Normalize(float v[3])
{
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f)
        return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

void Cross(const float a[3], const float b[3], float out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

void GLAPIENTRY gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
                          GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    // In floats, as GLU works it out.
    float forward[3] = {static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                        static_cast<float>(centerZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    float side[3];
    Normalize(forward);
    Cross(forward, up, side);
    Normalize(side);
    Cross(side, forward, up);
    GLfloat m[16] = {side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0,
                     side[2], up[2], -forward[2], 0, 0,       0,     0,           1};
    glMultMatrixf(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
}
