// Vertex arrays. A large draw from client arrays (a creature) keeps its
// arrays in buffers of the context: each array is compared with what the
// buffers already hold, byte for byte, and sent only when none holds it.
// So a model's indices and texture coordinates go once, and a pose's
// positions once however many creatures show it; the matrix goes with the
// draw. Small draws, and what GLES2 cannot draw from arrays (quads,
// generated texture coordinates), go through the frame's stream instead.

#include "toolkit/platform/gles2/Internal.h"

#include <cstring>
#include <initializer_list>

namespace TovarGLES2 {

namespace {

// Below this many vertices a draw costs more than its vertices do, so it
// joins the stream and the draws around it.
const GLsizei kOwnDrawFrom = 64;
const std::size_t kArrayBuffers = 8, kElementBuffers = 4;

std::size_t TypeSize(GLenum type)
{
    switch (type) {
    case GL_BYTE: case GL_UNSIGNED_BYTE: return 1;
    case GL_SHORT: case GL_UNSIGNED_SHORT: return 2;
    case GL_INT: case GL_UNSIGNED_INT: case GL_FLOAT: return 4;
    case GL_DOUBLE: return 8;
    default: return 0;
    }
}

std::size_t Stride(const ClientArray& a)
{
    return a.stride ? static_cast<std::size_t>(a.stride) : static_cast<std::size_t>(a.size) * TypeSize(a.type);
}

// Element i of an array as GL reads it: colours of integer types mean 0 to
// 1, the rest their value; missing components from `fill`.
void Fetch(const ClientArray& a, std::size_t i, bool normalized, float out[4], const float fill[4])
{
    const unsigned char* p = static_cast<const unsigned char*>(a.pointer) + i * Stride(a);
    for (int k = 0; k < 4; ++k) {
        if (k >= a.size) {
            out[k] = fill[k];
            continue;
        }
        switch (a.type) {
        case GL_FLOAT: { float v; std::memcpy(&v, p + 4 * k, 4); out[k] = v; break; }
        case GL_DOUBLE: { double v; std::memcpy(&v, p + 8 * k, 8); out[k] = static_cast<float>(v); break; }
        case GL_UNSIGNED_BYTE: out[k] = normalized ? p[k] / 255.0f : p[k]; break;
        case GL_SHORT: { GLshort v; std::memcpy(&v, p + 2 * k, 2); out[k] = v; break; }
        case GL_INT: { GLint v; std::memcpy(&v, p + 4 * k, 4); out[k] = static_cast<float>(v); break; }
        default: out[k] = fill[k];
        }
    }
}

bool PointerArgs(GLint size, GLenum type, GLsizei stride, GLint minSize, std::initializer_list<GLenum> types)
{
    bool known = false;
    for (GLenum t : types)
        known = known || t == type;
    if (size < minSize || size > 4 || stride < 0) {
        SetError(GL_INVALID_VALUE);
        return false;
    }
    if (!known) {
        SetError(GL_INVALID_ENUM);
        return false;
    }
    return true;
}

ClientArray* ArrayOf(GLenum array)
{
    ClientState& c = L().client;
    switch (array) {
    case GL_VERTEX_ARRAY: return &c.vertex;
    case GL_COLOR_ARRAY: return &c.color;
    case GL_TEXTURE_COORD_ARRAY: return &c.texCoord;
    case GL_NORMAL_ARRAY: return &c.normal;
    default: return nullptr;
    }
}

// The vertices of a draw through the stream: each index fetched from the
// enabled arrays, the current values for the rest.
void DrawThroughStream(GLenum mode, std::size_t count, std::size_t (*index)(const void*, std::size_t),
                       const void* indices)
{
    Layer& l = L();
    const ClientState& c = l.client;
    const CurrentState& current = l.attrib.current;
    std::vector<SourceVertex> vertices(count);
    const float position[4] = {0, 0, 0, 1};
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = index(indices, i);
        SourceVertex& v = vertices[i];
        Fetch(c.vertex, at, false, v.position, position);
        if (c.color.enabled)
            Fetch(c.color, at, true, v.color, current.color);
        else
            std::memcpy(v.color, current.color, sizeof v.color);
        if (c.texCoord.enabled)
            Fetch(c.texCoord, at, false, v.texCoord, current.texCoord);
        else
            std::memcpy(v.texCoord, current.texCoord, sizeof v.texCoord);
        const float normalFill[4] = {current.normal[0], current.normal[1], current.normal[2], 0.0f};
        float normal[4];
        if (c.normal.enabled)
            Fetch(c.normal, at, false, normal, normalFill);
        else
            std::memcpy(normal, normalFill, sizeof normal);
        std::memcpy(v.normal, normal, sizeof v.normal);
    }
    EmitPrimitive(mode, vertices.data(), vertices.size());
}

// A buffer of the context that holds `bytes`: one that already does, or
// the one used longest ago, filled now.
int Cached(std::vector<CachedBuffer>& cache, std::size_t slots, GLenum target, const unsigned char* bytes,
           std::size_t size)
{
    Layer& l = L();
    ++l.useClock;
    for (std::size_t i = 0; i < cache.size(); ++i) {
        CachedBuffer& b = cache[i];
        if (b.bytes.size() == size && SameBytes(b.bytes.data(), bytes, size)) {
            b.lastUse = l.useClock;
            b.flushUsed = l.flushes;
            return static_cast<int>(i);
        }
    }
    std::size_t slot = cache.size();
    if (cache.size() >= slots) {
        // A buffer the unsent draws still read cannot change: those go first.
        slot = 0;
        for (std::size_t i = 1; i < cache.size(); ++i)
            if (cache[i].lastUse < cache[slot].lastUse)
                slot = i;
        if (cache[slot].flushUsed == l.flushes && !l.commands.empty())
            Flush();
    } else {
        cache.emplace_back();
    }
    CachedBuffer& b = cache[slot];
    if (!b.buffer)
        l.gl.GenBuffers(1, &b.buffer);
    BindRealBuffer(target, b.buffer);
    if (b.bytes.size() == size) {
        l.gl.BufferSubData(target, 0, static_cast<GLsizeiptr>(size), bytes);
    } else {
        l.gl.BufferData(target, static_cast<GLsizeiptr>(size), bytes, GL_STATIC_DRAW);
    }
    b.bytes.assign(bytes, bytes + size);
    b.lastUse = l.useClock;
    b.flushUsed = l.flushes;
    return static_cast<int>(slot);
}

// Elements [first, first + count) of an array, in a cached buffer, packed.
ArraySource CachedArray(const ClientArray& a, std::size_t first, std::size_t count)
{
    Layer& l = L();
    const std::size_t element = static_cast<std::size_t>(a.size) * TypeSize(a.type);
    const std::size_t stride = Stride(a);
    const unsigned char* from = static_cast<const unsigned char*>(a.pointer) + first * stride;
    const unsigned char* bytes = from;
    if (stride != element) {
        l.scratch.resize(count * element);
        for (std::size_t i = 0; i < count; ++i)
            std::memcpy(&l.scratch[i * element], from + i * stride, element);
        bytes = l.scratch.data();
    }
    ArraySource s;
    s.cache = Cached(l.arrayCache, kArrayBuffers, GL_ARRAY_BUFFER, bytes, count * element);
    s.size = a.size;
    s.type = a.type;
    return s;
}

// Whether the draw can go from buffers as it stands: modes GLES2 has, array
// types it reads, nothing generated per vertex here.
bool OwnDraw(GLenum mode, GLsizei count)
{
    Layer& l = L();
    const ClientState& c = l.client;
    const DrawState& state = CurrentDrawState();
    const bool textured = (state.program & kTextured) != 0;
    if (l.compiling || count < kOwnDrawFrom || !Live())
        return false;
    if (mode == GL_QUADS || mode == GL_QUAD_STRIP || mode == GL_POLYGON)
        return false;
    if (c.vertex.type != GL_FLOAT || c.vertex.size < 2)
        return false;
    if (c.color.enabled && c.color.type != GL_FLOAT && c.color.type != GL_UNSIGNED_BYTE)
        return false;
    if (c.color.enabled && c.color.size < 3)
        return false;
    if (textured && c.texCoord.enabled && c.texCoord.type != GL_FLOAT)
        return false;
    if (textured && (l.attrib.enable.texGenS || l.attrib.enable.texGenT || !IsIdentity(l.texture.Top())))
        return false;
    return true;
}

void RecordOwnDraw(GLenum mode, GLsizei count, std::size_t first, std::size_t vertices, int elements, GLenum indexType)
{
    Layer& l = L();
    const ClientState& c = l.client;
    Command cmd;
    cmd.state = CurrentDrawState();
    cmd.state.program |= kTransformed;
    cmd.primitive = mode;
    cmd.count = count;
    cmd.arrays = true;
    cmd.position = CachedArray(c.vertex, first, vertices);
    if (c.color.enabled)
        cmd.color = CachedArray(c.color, first, vertices);
    if ((cmd.state.program & kTextured) && c.texCoord.enabled)
        cmd.texCoord = CachedArray(c.texCoord, first, vertices);
    cmd.elements = elements;
    cmd.indexType = indexType;
    std::memcpy(cmd.mvp, ModelViewProjection().m, sizeof cmd.mvp);
    const CurrentState& current = l.attrib.current;
    for (int k = 0; k < 4; ++k)
        cmd.constantColor[k] = current.color[k] < 0.0f ? 0.0f : current.color[k] > 1.0f ? 1.0f : current.color[k];
    cmd.constantTexCoord[0] = current.texCoord[0];
    cmd.constantTexCoord[1] = current.texCoord[1];
    AppendCommand(cmd);
}

std::size_t Sequential(const void* first, std::size_t i) { return *static_cast<const std::size_t*>(first) + i; }
std::size_t UnsignedByte(const void* p, std::size_t i) { return static_cast<const GLubyte*>(p)[i]; }
std::size_t UnsignedShort(const void* p, std::size_t i) { return static_cast<const GLushort*>(p)[i]; }
std::size_t UnsignedInt(const void* p, std::size_t i) { return static_cast<const GLuint*>(p)[i]; }

} // namespace

} // namespace TovarGLES2

using namespace TovarGLES2;

void GLAPIENTRY glEnableClientState(GLenum array)
{
    if (ClientArray* a = ArrayOf(array))
        a->enabled = true;
    else
        UnsupportedEnum("glEnableClientState", array);
}

void GLAPIENTRY glDisableClientState(GLenum array)
{
    if (ClientArray* a = ArrayOf(array))
        a->enabled = false;
}

void GLAPIENTRY glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    if (PointerArgs(size, type, stride, 2, {GL_SHORT, GL_INT, GL_FLOAT, GL_DOUBLE}))
        L().client.vertex = {L().client.vertex.enabled, size, type, stride, pointer};
}

void GLAPIENTRY glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    if (PointerArgs(size, type, stride, 3, {GL_UNSIGNED_BYTE, GL_FLOAT, GL_DOUBLE}))
        L().client.color = {L().client.color.enabled, size, type, stride, pointer};
}

void GLAPIENTRY glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer)
{
    if (PointerArgs(size, type, stride, 1, {GL_SHORT, GL_INT, GL_FLOAT, GL_DOUBLE}))
        L().client.texCoord = {L().client.texCoord.enabled, size, type, stride, pointer};
}

void GLAPIENTRY glNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer)
{
    if (PointerArgs(3, type, stride, 3, {GL_SHORT, GL_INT, GL_FLOAT, GL_DOUBLE}))
        L().client.normal = {L().client.normal.enabled, 3, type, stride, pointer};
}

void GLAPIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    Layer& l = L();
    if (first < 0 || count < 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    if (mode > GL_POLYGON) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    if (!l.client.vertex.enabled || !l.client.vertex.pointer || count == 0)
        return;
    if (OwnDraw(mode, count)) {
        RecordOwnDraw(mode, count, static_cast<std::size_t>(first), static_cast<std::size_t>(count), -1, 0);
        return;
    }
    std::size_t start = static_cast<std::size_t>(first);
    DrawThroughStream(mode, static_cast<std::size_t>(count), Sequential, &start);
}

void GLAPIENTRY glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices)
{
    Layer& l = L();
    if (count < 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    if (mode > GL_POLYGON || (type != GL_UNSIGNED_BYTE && type != GL_UNSIGNED_SHORT && type != GL_UNSIGNED_INT)) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    if (!l.client.vertex.enabled || !l.client.vertex.pointer || !indices || count == 0)
        return;
    std::size_t (*index)(const void*, std::size_t) =
        type == GL_UNSIGNED_BYTE ? UnsignedByte : type == GL_UNSIGNED_SHORT ? UnsignedShort : UnsignedInt;
    // 32-bit indices are an extension in WebGL 1: those draws take the stream.
    if (type != GL_UNSIGNED_INT && OwnDraw(mode, count)) {
        std::size_t highest = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const std::size_t at = index(indices, i);
            highest = at > highest ? at : highest;
        }
        const int elements = Cached(l.elementCache, kElementBuffers, GL_ELEMENT_ARRAY_BUFFER,
                                    static_cast<const unsigned char*>(indices),
                                    static_cast<std::size_t>(count) * TypeSize(type));
        RecordOwnDraw(mode, count, 0, highest + 1, elements, type);
        return;
    }
    DrawThroughStream(mode, static_cast<std::size_t>(count), index, indices);
}
