// Textures, GLU's mipmaps and image scaling, and reading pixels back.

#include "toolkit/platform/gles2/Internal.h"

#include <cstring>
#include <vector>

namespace TovarGLES2 {

const Texture* FindTexture(GLuint name)
{
    auto& textures = L().textures;
    auto it = textures.find(name);
    return it == textures.end() ? nullptr : &it->second;
}

namespace {

// GLU's error codes.
const GLint kGluInvalidEnum = 100900;
const GLint kGluInvalidValue = 100901;

int Components(GLenum format)
{
    switch (format) {
    case GL_RGB: return 3;
    case GL_RGBA: return 4;
    case GL_LUMINANCE: case GL_ALPHA: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    default: return 0;
    }
}

// The format an internal format keeps, as WebGL needs it named.
GLenum BaseFormat(GLint internal)
{
    switch (internal) {
    case 1: case GL_LUMINANCE: case GL_LUMINANCE8: return GL_LUMINANCE;
    case 2: case GL_LUMINANCE_ALPHA: case GL_LUMINANCE8_ALPHA8: return GL_LUMINANCE_ALPHA;
    case 3: case GL_RGB: case GL_RGB8: return GL_RGB;
    case 4: case GL_RGBA: case GL_RGBA8: return GL_RGBA;
    case GL_ALPHA: case GL_ALPHA8: return GL_ALPHA;
    default: return 0;
    }
}

std::size_t RowBytes(GLsizei width, int components, GLint alignment)
{
    const std::size_t row = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    return (row + static_cast<std::size_t>(alignment) - 1) / static_cast<std::size_t>(alignment)
        * static_cast<std::size_t>(alignment);
}

// The caller's texture, made on first use as GL 1.1 makes a bound name.
Texture& TextureNamed(GLuint name)
{
    Layer& l = L();
    Texture& t = l.textures[name];
    if (!t.real && l.started)
        l.gl.GenTextures(1, &t.real);
    return t;
}

Texture* Bound()
{
    GLuint name = L().attrib.texture.binding;
    return name ? &TextureNamed(name) : nullptr;
}

// One level into the bound texture, rows `alignment` apart.
void Upload(Texture& t, GLint level, GLenum format, GLsizei width, GLsizei height, const void* pixels,
            GLint alignment)
{
    Layer& l = L();
    FlushIfPending(); // draws waiting to be sent may read the old image
    if (level == 0) {
        t.width = width;
        t.height = height;
        t.format = format;
        DrawStateChanged();
    }
    if (!l.started)
        return;
    BindRealTexture(t.real);
    RealPixelStore(GL_UNPACK_ALIGNMENT, alignment);
    l.gl.TexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE,
                    pixels);
}

// GLU's power of two for a size: the nearest one, 3 counting up.
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

// Resamples an image to another size, each output pixel the average of
// the input it covers (partly covered pixels by their share), as
// gluScaleImage does.
void Scale(const unsigned char* in, GLsizei w, GLsizei h, std::size_t inRow, int n, unsigned char* out,
           GLsizei outW, GLsizei outH, std::size_t outRow)
{
    const double sx = static_cast<double>(w) / outW, sy = static_cast<double>(h) / outH;
    std::vector<double> sum(static_cast<std::size_t>(n));
    for (GLsizei y = 0; y < outH; ++y) {
        const double y0 = y * sy, y1 = y0 + sy;
        for (GLsizei x = 0; x < outW; ++x) {
            const double x0 = x * sx, x1 = x0 + sx;
            std::fill(sum.begin(), sum.end(), 0.0);
            double area = 0.0;
            for (GLsizei j = static_cast<GLsizei>(y0); j < h && j < y1; ++j) {
                const double wy = (j + 1 < y1 ? j + 1 : y1) - (j > y0 ? j : y0);
                for (GLsizei i = static_cast<GLsizei>(x0); i < w && i < x1; ++i) {
                    const double wx = (i + 1 < x1 ? i + 1 : x1) - (i > x0 ? i : x0);
                    const unsigned char* p = in + static_cast<std::size_t>(j) * inRow + static_cast<std::size_t>(i) * n;
                    for (int c = 0; c < n; ++c)
                        sum[static_cast<std::size_t>(c)] += p[c] * wx * wy;
                    area += wx * wy;
                }
            }
            unsigned char* q = out + static_cast<std::size_t>(y) * outRow + static_cast<std::size_t>(x) * n;
            for (int c = 0; c < n; ++c)
                q[c] = static_cast<unsigned char>(area > 0.0 ? sum[static_cast<std::size_t>(c)] / area + 0.5 : 0.0);
        }
    }
}

// The next level down: each pixel the rounded mean of the 2 x 2 it
// replaces, or of 2 where one side is down to 1, as GLU halves.
std::vector<unsigned char> Halve(const std::vector<unsigned char>& in, GLsizei w, GLsizei h, int n)
{
    const GLsizei nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
    std::vector<unsigned char> out(static_cast<std::size_t>(nw) * nh * n);
    const std::size_t row = static_cast<std::size_t>(w) * n;
    for (GLsizei y = 0; y < nh; ++y)
        for (GLsizei x = 0; x < nw; ++x)
            for (int c = 0; c < n; ++c) {
                const std::size_t at = static_cast<std::size_t>(h > 1 ? 2 * y : y) * row
                    + static_cast<std::size_t>(w > 1 ? 2 * x : x) * n + c;
                unsigned value;
                if (w > 1 && h > 1)
                    value = (in[at] + in[at + n] + in[at + row] + in[at + row + n] + 2u) / 4u;
                else if (w > 1)
                    value = (in[at] + in[at + n] + 1u) / 2u;
                else
                    value = (in[at] + in[at + row] + 1u) / 2u;
                out[(static_cast<std::size_t>(y) * nw + x) * n + c] = static_cast<unsigned char>(value);
            }
    return out;
}

} // namespace

} // namespace TovarGLES2

using namespace TovarGLES2;

void GLAPIENTRY glGenTextures(GLsizei n, GLuint* textures)
{
    Layer& l = L();
    if (n < 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    for (GLsizei i = 0; i < n; ++i) {
        while (l.textures.count(l.nextTexture) || l.nextTexture == 0)
            ++l.nextTexture;
        textures[i] = l.nextTexture;
        TextureNamed(l.nextTexture++);
    }
}

void GLAPIENTRY glDeleteTextures(GLsizei n, const GLuint* textures)
{
    Layer& l = L();
    if (n < 0 || !textures)
        return;
    for (GLsizei i = 0; i < n; ++i) {
        auto it = l.textures.find(textures[i]);
        if (textures[i] == 0 || it == l.textures.end())
            continue;
        FlushIfPending();
        // Textures are freed by destructors that may run after the context
        // has gone; then there is nothing left to delete.
        if (l.started && it->second.real) {
            if (l.real.texture == it->second.real)
                l.real.texture = 0;
            l.gl.DeleteTextures(1, &it->second.real);
        }
        if (l.attrib.texture.binding == textures[i])
            l.attrib.texture.binding = 0;
        l.textures.erase(it);
        DrawStateChanged();
    }
}

GLboolean GLAPIENTRY glIsTexture(GLuint texture) { return texture && L().textures.count(texture) ? GL_TRUE : GL_FALSE; }

void GLAPIENTRY glBindTexture(GLenum target, GLuint texture)
{
    Layer& l = L();
    if (target != GL_TEXTURE_2D) {
        UnsupportedEnum("glBindTexture", target);
        SetError(GL_INVALID_ENUM);
        return;
    }
    if (Recorded(MakeStep(ListStep::BindTexture, texture)))
        return;
    if (texture)
        TextureNamed(texture);
    if (l.attrib.texture.binding != texture) {
        l.attrib.texture.binding = texture;
        DrawStateChanged();
    }
}

void GLAPIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE || !Components(format)) {
        UnsupportedEnum("glTexImage2D", target != GL_TEXTURE_2D ? target : type != GL_UNSIGNED_BYTE ? type : format);
        SetError(GL_INVALID_ENUM);
        return;
    }
    if (level < 0 || width < 0 || height < 0 || border != 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    // WebGL keeps an image in the format it is given.
    if (BaseFormat(internalFormat) != format)
        UnsupportedEnum("glTexImage2D with an internal format other than its format", static_cast<GLenum>(internalFormat));
    Texture* t = Bound();
    if (!t) {
        Unsupported("glTexImage2D into texture 0");
        return;
    }
    Upload(*t, level, format, width, height, pixels, L().client.unpackAlignment);
}

void GLAPIENTRY glTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,
                                GLsizei height, GLenum format, GLenum type, const GLvoid* pixels)
{
    Layer& l = L();
    Texture* t = Bound();
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE || !Components(format) || !t) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    FlushIfPending();
    if (!l.started)
        return;
    BindRealTexture(t->real);
    RealPixelStore(GL_UNPACK_ALIGNMENT, l.client.unpackAlignment);
    l.gl.TexSubImage2D(GL_TEXTURE_2D, level, xoffset, yoffset, width, height, format, type, pixels);
}

void GLAPIENTRY glTexParameteri(GLenum target, GLenum pname, GLint param)
{
    Layer& l = L();
    Texture* t = Bound();
    if (target != GL_TEXTURE_2D || !t) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    switch (pname) {
    case GL_TEXTURE_MIN_FILTER: t->minFilter = static_cast<GLenum>(param); break;
    case GL_TEXTURE_MAG_FILTER: t->magFilter = static_cast<GLenum>(param); break;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T:
        if (param == GL_CLAMP) {
            // GLES has no border to blend with at the edge: the nearest it has.
            Unsupported("GL_CLAMP (drawn as GL_CLAMP_TO_EDGE)");
            param = GL_CLAMP_TO_EDGE;
        }
        (pname == GL_TEXTURE_WRAP_S ? t->wrapS : t->wrapT) = static_cast<GLenum>(param);
        break;
    default: UnsupportedEnum("glTexParameteri", pname); return;
    }
    FlushIfPending();
    if (!l.started)
        return;
    BindRealTexture(t->real);
    l.gl.TexParameteri(GL_TEXTURE_2D, pname, param);
}

void GLAPIENTRY glTexParameterf(GLenum target, GLenum pname, GLfloat param)
{
    glTexParameteri(target, pname, static_cast<GLint>(param));
}

void GLAPIENTRY glTexGeni(GLenum coord, GLenum pname, GLint param)
{
    TextureState& t = L().attrib.texture;
    if ((coord != GL_S && coord != GL_T) || pname != GL_TEXTURE_GEN_MODE) {
        UnsupportedEnum("glTexGeni", coord != GL_S && coord != GL_T ? coord : pname);
        return;
    }
    if (param != GL_SPHERE_MAP)
        UnsupportedEnum("glTexGeni mode", static_cast<GLenum>(param));
    (coord == GL_S ? t.genModeS : t.genModeT) = static_cast<GLenum>(param);
    DrawStateChanged();
}

void GLAPIENTRY glTexEnvi(GLenum target, GLenum pname, GLint param)
{
    // GL_MODULATE, the initial mode, is what the programs do.
    if (target != GL_TEXTURE_ENV || pname != GL_TEXTURE_ENV_MODE || param != GL_MODULATE)
        UnsupportedEnum("glTexEnvi", target != GL_TEXTURE_ENV ? target : pname != GL_TEXTURE_ENV_MODE ? pname : param);
}

GLint GLAPIENTRY gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                                   GLenum type, const void* data)
{
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE || !Components(format) || !BaseFormat(internalFormat))
        return kGluInvalidEnum;
    if (width < 1 || height < 1 || !data)
        return kGluInvalidValue;
    Layer& l = L();
    Texture* t = Bound();
    if (!t)
        return 0;
    const int n = Components(format);
    GLint largest = 0;
    if (l.started)
        l.gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    GLsizei w = NearestPower(width), h = NearestPower(height);
    while (largest > 0 && (w > largest || h > largest)) {
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    // Level 0 packed, scaled to its power of two where it is not one.
    const unsigned char* in = static_cast<const unsigned char*>(data);
    const std::size_t inRow = RowBytes(width, n, l.client.unpackAlignment);
    std::vector<unsigned char> level(static_cast<std::size_t>(w) * h * n);
    if (w == width && h == height) {
        for (GLsizei y = 0; y < h; ++y)
            std::memcpy(&level[static_cast<std::size_t>(y) * w * n], in + y * inRow, static_cast<std::size_t>(w) * n);
    } else {
        Scale(in, width, height, inRow, n, level.data(), w, h, static_cast<std::size_t>(w) * n);
    }
    for (GLint i = 0;; ++i) {
        Upload(*t, i, format, w, h, level.data(), 1);
        if (w == 1 && h == 1)
            break;
        level = Halve(level, w, h, n);
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return 0;
}

GLint GLAPIENTRY gluScaleImage(GLenum format, GLsizei widthin, GLsizei heightin, GLenum typein, const void* datain,
                               GLsizei widthout, GLsizei heightout, GLenum typeout, void* dataout)
{
    const int n = Components(format);
    if (!n || typein != GL_UNSIGNED_BYTE || typeout != GL_UNSIGNED_BYTE)
        return kGluInvalidEnum;
    if (widthin < 0 || heightin < 0 || widthout < 0 || heightout < 0)
        return kGluInvalidValue;
    if (widthin == 0 || heightin == 0 || widthout == 0 || heightout == 0 || !datain || !dataout)
        return 0;
    const ClientState& c = L().client;
    Scale(static_cast<const unsigned char*>(datain), widthin, heightin, RowBytes(widthin, n, c.unpackAlignment), n,
          static_cast<unsigned char*>(dataout), widthout, heightout, RowBytes(widthout, n, c.packAlignment));
    return 0;
}

void GLAPIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                             GLvoid* pixels)
{
    Layer& l = L();
    if (width < 0 || height < 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    if ((format != GL_RGB && format != GL_RGBA) || type != GL_UNSIGNED_BYTE) {
        UnsupportedEnum("glReadPixels", format != GL_RGB && format != GL_RGBA ? format : type);
        return;
    }
    Flush();
    if (!l.started || width == 0 || height == 0 || !pixels)
        return;
    const GLint alignment = l.client.packAlignment;
    if (format == GL_RGBA) {
        RealPixelStore(GL_PACK_ALIGNMENT, alignment);
        l.gl.ReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        return;
    }
    // WebGL reads RGBA only; rows of whole words need an alignment of 4 at
    // most, so odd widths are not padded past the buffer.
    std::vector<unsigned char> rgba(static_cast<std::size_t>(width) * height * 4);
    RealPixelStore(GL_PACK_ALIGNMENT, 4);
    l.gl.ReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const std::size_t row = RowBytes(width, 3, alignment);
    unsigned char* out = static_cast<unsigned char*>(pixels);
    for (GLsizei j = 0; j < height; ++j)
        for (GLsizei i = 0; i < width; ++i)
            std::memcpy(out + j * row + static_cast<std::size_t>(i) * 3,
                        &rgba[(static_cast<std::size_t>(j) * width + i) * 4], 3);
}
