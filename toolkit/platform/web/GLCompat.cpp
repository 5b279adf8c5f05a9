// Our own versions of the GL and GLU calls the emulation lacks; see GLCompat.h.

#include "toolkit/platform/GL.h"

#include <emscripten/html5_webgl.h>

#include <cmath>
#include <vector>

// From here on the names are the emulation's own calls.
#undef gluLookAt
#undef gluBuild2DMipmaps
#undef glReadPixels
#undef glDeleteTextures
#undef glShadeModel
#undef glHint

extern "C" void glGenerateMipmap(GLenum target);

namespace {

// The GLU error codes, as a desktop GLU returns them.
const GLint kGluInvalidEnum = 100900;
const GLint kGluInvalidValue = 100901;

int Components(GLenum format)
{
    switch (format) {
    case GL_RGB: return 3;
    case GL_RGBA: return 4;
    case GL_LUMINANCE:
    case GL_ALPHA: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    default: return 0;
    }
}

// The power of two nearest to value, as GLU picks it (3 counts up).
GLsizei NearestPower(GLsizei value)
{
    GLsizei power = 1;
    while (value > 1) {
        if (value == 3)
            return power * 4;
        value >>= 1;
        power *= 2;
    }
    return power;
}

long Stride(GLsizei width, int components, GLint alignment)
{
    long row = static_cast<long>(width) * components;
    if (alignment <= 1)
        return row;
    return (row + alignment - 1) / alignment * alignment;
}

// Bilinear resampling of a whole image to another size, rows tightly packed
// in the result, as gluScaleImage would before building the levels.
std::vector<unsigned char> Scaled(const unsigned char* in, GLsizei w, GLsizei h, long stride, int n, GLsizei outW,
                                  GLsizei outH)
{
    std::vector<unsigned char> out(static_cast<size_t>(outW) * outH * n);
    for (GLsizei y = 0; y < outH; ++y) {
        double sy = (y + 0.5) * h / outH - 0.5;
        int y0 = sy < 0 ? 0 : static_cast<int>(sy);
        int y1 = y0 + 1 < h ? y0 + 1 : h - 1;
        double fy = sy < 0 ? 0.0 : sy - y0;
        for (GLsizei x = 0; x < outW; ++x) {
            double sx = (x + 0.5) * w / outW - 0.5;
            int x0 = sx < 0 ? 0 : static_cast<int>(sx);
            int x1 = x0 + 1 < w ? x0 + 1 : w - 1;
            double fx = sx < 0 ? 0.0 : sx - x0;
            for (int c = 0; c < n; ++c) {
                double a = in[y0 * stride + x0 * n + c], b = in[y0 * stride + x1 * n + c];
                double d = in[y1 * stride + x0 * n + c], e = in[y1 * stride + x1 * n + c];
                double top = a + (b - a) * fx, bottom = d + (e - d) * fx;
                out[(static_cast<size_t>(y) * outW + x) * n + c] =
                    static_cast<unsigned char>(std::lround(top + (bottom - top) * fy));
            }
        }
    }
    return out;
}

} // namespace

namespace TovarWebGL {

void LookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
            GLdouble upX, GLdouble upY, GLdouble upZ)
{
    double f[3] = {centerX - eyeX, centerY - eyeY, centerZ - eyeZ};
    double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (fl > 0)
        for (double& v : f)
            v /= fl;
    // side = forward x up, then up again from side x forward, as GLU does.
    double s[3] = {f[1] * upZ - f[2] * upY, f[2] * upX - f[0] * upZ, f[0] * upY - f[1] * upX};
    double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (sl > 0)
        for (double& v : s)
            v /= sl;
    double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    GLfloat m[16] = {
        (GLfloat)s[0], (GLfloat)u[0], (GLfloat)-f[0], 0.0f,
        (GLfloat)s[1], (GLfloat)u[1], (GLfloat)-f[1], 0.0f,
        (GLfloat)s[2], (GLfloat)u[2], (GLfloat)-f[2], 0.0f,
        0.0f,          0.0f,          0.0f,           1.0f,
    };
    glMultMatrixf(m);
    glTranslatef((GLfloat)-eyeX, (GLfloat)-eyeY, (GLfloat)-eyeZ);
}

GLint Build2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei height, GLenum format, GLenum type,
                     const void* data)
{
    if (width < 1 || height < 1)
        return kGluInvalidValue;
    const int n = Components(format);
    if (n == 0 || type != GL_UNSIGNED_BYTE || !data)
        return kGluInvalidEnum;

    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    // WebGL 1 builds mipmaps of power-of-two images only; GLU scales the
    // image to one first, and so do we.
    GLsizei w = NearestPower(width), h = NearestPower(height);
    while (largest > 0 && (w > largest || h > largest)) {
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    const unsigned char* pixels = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> scaled;
    if (w != width || h != height) {
        scaled = Scaled(pixels, width, height, Stride(width, n, alignment), n, w, h);
        pixels = scaled.data();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    // WebGL takes the internal format only as the format itself.
    glTexImage2D(target, 0, format, w, h, 0, format, type, pixels);
    glGenerateMipmap(target);
    if (!scaled.empty())
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return 0;
}

void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    if (format != GL_RGB || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0 || !pixels) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    // RGBA rows are whole 4-byte words: read packed at an alignment of 4 (at
    // 8, odd widths would be padded past the buffer).
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    const long stride = Stride(width, 3, alignment);
    unsigned char* out = static_cast<unsigned char*>(pixels);
    for (GLsizei row = 0; row < height; ++row)
        for (GLsizei col = 0; col < width; ++col)
            for (int c = 0; c < 3; ++c)
                out[row * stride + col * 3 + c] = rgba[(static_cast<size_t>(row) * width + col) * 4 + c];
}

void DeleteTextures(GLsizei n, const GLuint* textures)
{
    if (emscripten_webgl_get_current_context() != 0)
        glDeleteTextures(n, textures);
}

void ShadeModel(GLenum) {}

void Hint(GLenum target, GLenum mode)
{
    if (target == GL_GENERATE_MIPMAP_HINT)
        glHint(target, mode);
}

} // namespace TovarWebGL
