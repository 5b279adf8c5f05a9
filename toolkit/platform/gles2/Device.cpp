// The real context: binding to it, the programs, the frame's stream and its
// upload, and sending the recorded draws with only the state that changed.

#include "toolkit/platform/gles2/Internal.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace TovarGLES2 {

namespace {

enum Attribute : GLuint { kPosition = 0, kColor = 1, kTexCoord = 2, kMatrix = 3 };

} // namespace

// This runs over every vertex of every frame, where a byte loop would show.
bool SameBytes(const void* a, const void* b, std::size_t n)
{
    const unsigned char* p = static_cast<const unsigned char*>(a);
    const unsigned char* q = static_cast<const unsigned char*>(b);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, p + i, 8);
        std::memcpy(&y, q + i, 8);
        if (x != y)
            return false;
    }
    for (; i < n; ++i)
        if (p[i] != q[i])
            return false;
    return true;
}

void BindRealBuffer(GLenum target, GLuint buffer)
{
    RealState& r = L().real;
    GLuint& bound = target == GL_ARRAY_BUFFER ? r.arrayBuffer : r.elementBuffer;
    if (bound != buffer) {
        bound = buffer;
        L().gl.BindBuffer(target, buffer);
    }
}

void BindRealTexture(GLuint texture)
{
    RealState& r = L().real;
    if (r.texture != texture)
        L().gl.BindTexture(GL_TEXTURE_2D, r.texture = texture);
}

void RealPixelStore(GLenum pname, GLint value)
{
    RealState& r = L().real;
    GLint& now = pname == GL_PACK_ALIGNMENT ? r.packAlignment : r.unpackAlignment;
    if (now != value)
        L().gl.PixelStorei(pname, now = value);
}

namespace {

const char* const kVertexShader = R"(
attribute vec4 position;
attribute vec4 color;
attribute vec2 texCoord;
varying vec4 vColor;
varying vec2 vTexCoord;
#ifdef INSTANCED
attribute vec4 mvp0, mvp1, mvp2, mvp3;
#elif defined(TRANSFORMED)
uniform mat4 mvp;
#endif
void main() {
  vColor = color;
  vTexCoord = texCoord;
#ifdef INSTANCED
  gl_Position = mat4(mvp0, mvp1, mvp2, mvp3) * position;
#elif defined(TRANSFORMED)
  gl_Position = mvp * position;
#else
  gl_Position = position;
#endif
  gl_PointSize = 1.0;
}
)";

const char* const kFragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 vColor;
varying vec2 vTexCoord;
#ifdef TEXTURED
uniform sampler2D sampler;
#endif
#ifdef ALPHA_PASSES
uniform float alphaRef;
#endif
void main() {
  vec4 c = vColor;
#ifdef TEXTURED
  vec4 t = texture2D(sampler, vTexCoord);
#ifdef ALPHA_TEXTURE
  c.a *= t.a;
#else
  c *= t;
#endif
#endif
#ifdef ALPHA_PASSES
  if (!(ALPHA_PASSES)) discard;
#endif
  gl_FragColor = c;
}
)";

// The comparison of GL's alpha function, GL_NEVER to GL_ALWAYS, in GLSL.
const char* AlphaPasses(std::uint32_t func)
{
    static const char* const tests[] = {"false",           "c.a < alphaRef", "c.a == alphaRef", "c.a <= alphaRef",
                                        "c.a > alphaRef",  "c.a != alphaRef", "c.a >= alphaRef", "true"};
    return tests[func & 7];
}

GLuint Compile(GLenum type, const std::string& source)
{
    const Functions& gl = L().gl;
    GLuint shader = gl.CreateShader(type);
    const GLchar* text = source.c_str();
    gl.ShaderSource(shader, 1, &text, nullptr);
    gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "GL: the WebGL layer's shader does not compile: %s\n", log);
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

Program& ProgramFor(std::uint32_t key)
{
    Layer& l = L();
    Program& p = l.programs[key];
    if (p.program || p.failed)
        return p;
    std::string defines;
    if (key & kTransformed)
        defines += "#define TRANSFORMED\n";
    if (key & kInstanced)
        defines += "#define INSTANCED\n";
    if (key & kTextured)
        defines += "#define TEXTURED\n";
    if (key & kAlphaTexture)
        defines += "#define ALPHA_TEXTURE\n";
    if (std::uint32_t func = key >> kAlphaTestShift)
        defines += std::string("#define ALPHA_PASSES ") + AlphaPasses(func - 1) + "\n";
    const Functions& gl = l.gl;
    GLuint vs = Compile(GL_VERTEX_SHADER, defines + kVertexShader);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, defines + kFragmentShader);
    p.failed = true;
    if (!vs || !fs)
        return p;
    GLuint program = gl.CreateProgram();
    gl.AttachShader(program, vs);
    gl.AttachShader(program, fs);
    gl.BindAttribLocation(program, kPosition, "position");
    gl.BindAttribLocation(program, kColor, "color");
    gl.BindAttribLocation(program, kTexCoord, "texCoord");
    for (GLuint column = 0; column < 4; ++column)
        gl.BindAttribLocation(program, kMatrix + column, ("mvp" + std::to_string(column)).c_str());
    gl.LinkProgram(program);
    gl.DeleteShader(vs);
    gl.DeleteShader(fs);
    GLint ok = GL_FALSE;
    gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        gl.GetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "GL: the WebGL layer's program does not link: %s\n", log);
        gl.DeleteProgram(program);
        return p;
    }
    p.failed = false;
    p.program = program;
    p.mvp = gl.GetUniformLocation(program, "mvp");
    p.alphaRef = gl.GetUniformLocation(program, "alphaRef");
    p.sampler = gl.GetUniformLocation(program, "sampler");
    if (p.sampler >= 0) {
        gl.UseProgram(program);
        gl.Uniform1i(p.sampler, 0);
        gl.UseProgram(l.real.program);
    }
    return p;
}

// ---- The real state, sent only where it differs ------------------------------------

void Capability(bool& real, bool on, GLenum cap)
{
    if (real == on)
        return;
    real = on;
    if (on)
        L().gl.Enable(cap);
    else
        L().gl.Disable(cap);
}

void ApplyDrawState(const DrawState& s)
{
    Layer& l = L();
    RealState& r = l.real;
    const Functions& gl = l.gl;
    Capability(r.blend, s.blend, GL_BLEND);
    if (s.blend && (r.blendSrc != s.blendSrc || r.blendDst != s.blendDst)) {
        r.blendSrc = s.blendSrc;
        r.blendDst = s.blendDst;
        gl.BlendFunc(s.blendSrc, s.blendDst);
    }
    Capability(r.depthTest, s.depthTest, GL_DEPTH_TEST);
    if (s.depthTest && r.depthFunc != s.depthFunc)
        gl.DepthFunc(r.depthFunc = s.depthFunc);
    if (r.depthMask != s.depthMask) {
        r.depthMask = s.depthMask;
        gl.DepthMask(s.depthMask);
    }
    Capability(r.cull, s.cull, GL_CULL_FACE);
    if (s.cull && r.cullFace != s.cullFace)
        gl.CullFace(r.cullFace = s.cullFace);
    if (s.cull && r.frontFace != s.frontFace)
        gl.FrontFace(r.frontFace = s.frontFace);
    if (r.colorMask != s.colorMask) {
        r.colorMask = s.colorMask;
        gl.ColorMask(s.colorMask & 1, (s.colorMask >> 1) & 1, (s.colorMask >> 2) & 1, (s.colorMask >> 3) & 1);
    }
    if (s.texture)
        BindRealTexture(s.texture);
}

bool UseProgram(std::uint32_t key, Program*& out)
{
    Layer& l = L();
    Program& p = ProgramFor(key);
    if (!p.program)
        return false;
    if (l.real.program != p.program)
        l.gl.UseProgram(l.real.program = p.program);
    out = &p;
    return true;
}

void AttributeArray(GLuint index, bool on)
{
    Layer& l = L();
    if (l.real.attribEnabled[index] == on)
        return;
    l.real.attribEnabled[index] = on;
    if (on)
        l.gl.EnableVertexAttribArray(index);
    else
        l.gl.DisableVertexAttribArray(index);
}

void Divisor(GLuint index, GLuint divisor)
{
    Layer& l = L();
    if (l.real.divisor[index] != divisor && l.gl.VertexAttribDivisor)
        l.gl.VertexAttribDivisor(index, l.real.divisor[index] = divisor);
}

void AttributePointer(GLuint index, GLuint buffer, GLint size, GLenum type, GLsizei stride, std::size_t offset)
{
    Layer& l = L();
    AttributeArray(index, true);
    RealState::Pointer& p = l.real.pointer[index];
    if (p.buffer == buffer && p.size == size && p.type == type && p.stride == stride && p.offset == offset)
        return;
    BindRealBuffer(GL_ARRAY_BUFFER, buffer);
    p = {buffer, size, type, stride, offset};
    // Colours as bytes or 16-bit values mean 0 to 1.
    const GLboolean normalized = type == GL_FLOAT ? GL_FALSE : GL_TRUE;
    l.gl.VertexAttribPointer(index, size, type, normalized, stride, reinterpret_cast<const void*>(offset));
}

void AttributeConstant(GLuint index, const float v[4])
{
    Layer& l = L();
    AttributeArray(index, false);
    RealState& r = l.real;
    if (r.constantSet[index] && std::memcmp(r.constant[index], v, sizeof(float) * 4) == 0)
        return;
    std::memcpy(r.constant[index], v, sizeof(float) * 4);
    r.constantSet[index] = true;
    l.gl.VertexAttrib4f(index, v[0], v[1], v[2], v[3]);
}

// Bytes into a buffer that already holds what was sent last: only the
// stretches that differ go, so a frame like the last sends little or
// nothing. Stretches close together go as one; many go as one covering all.
void UploadChanged(GLuint& buffer, std::vector<unsigned char>& held, const void* data, std::size_t size)
{
    Layer& l = L();
    const Functions& gl = l.gl;
    if (size == 0)
        return;
    if (!buffer)
        gl.GenBuffers(1, &buffer);
    BindRealBuffer(GL_ARRAY_BUFFER, buffer);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (size > held.size()) {
        held.assign(bytes, bytes + size);
        held.resize(size + size / 2); // room to grow
        gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(held.size()), held.data(), GL_DYNAMIC_DRAW);
        return;
    }
    const std::size_t kChunk = 8192; // bytes compared as one
    const std::size_t kGap = 4;      // unchanged chunks that still join two stretches
    const std::size_t kMaxStretches = 3;
    std::vector<std::pair<std::size_t, std::size_t>> stretches; // [begin, end) in bytes
    for (std::size_t at = 0; at < size; at += kChunk) {
        const std::size_t end = at + kChunk < size ? at + kChunk : size;
        if (SameBytes(bytes + at, &held[at], end - at))
            continue;
        if (!stretches.empty() && at - stretches.back().second <= kGap * kChunk)
            stretches.back().second = end;
        else
            stretches.emplace_back(at, end);
    }
    if (stretches.size() > kMaxStretches)
        stretches = {{stretches.front().first, stretches.back().second}};
    for (const auto& s : stretches) {
        std::memcpy(&held[s.first], bytes + s.first, s.second - s.first);
        gl.BufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(s.first), static_cast<GLsizeiptr>(s.second - s.first),
                         &held[s.first]);
    }
}

// Whether two array draws differ in their matrix alone.
bool SameModel(const Command& a, const Command& b)
{
    auto same = [](const ArraySource& x, const ArraySource& y) {
        return x.cache == y.cache && (x.cache < 0 || (x.size == y.size && x.type == y.type));
    };
    return a.arrays && b.arrays && a.state == b.state && a.primitive == b.primitive && a.count == b.count
        && a.elements == b.elements && a.indexType == b.indexType && same(a.position, b.position)
        && same(a.color, b.color) && same(a.texCoord, b.texCoord)
        && (a.color.cache >= 0 || std::memcmp(a.constantColor, b.constantColor, sizeof a.constantColor) == 0)
        && (a.texCoord.cache >= 0 || std::memcmp(a.constantTexCoord, b.constantTexCoord, sizeof a.constantTexCoord) == 0);
}

// Runs of array draws of one model become one instanced draw each: its
// first command says how many, and where their matrices start.
void GroupInstances()
{
    Layer& l = L();
    l.instances.clear();
    if (!l.gl.VertexAttribDivisor)
        return;
    std::vector<Command>& c = l.commands;
    for (std::size_t i = 0; i < c.size();) {
        std::size_t j = i + 1;
        while (j < c.size() && SameModel(c[i], c[j]))
            ++j;
        if (j - i > 1) {
            c[i].instances = static_cast<GLsizei>(j - i);
            c[i].instanceFirst = l.instances.size() / 16;
            for (std::size_t k = i; k < j; ++k)
                l.instances.insert(l.instances.end(), c[k].mvp, c[k].mvp + 16);
        }
        i = j;
    }
}

void Draw(const Command& c)
{
    Layer& l = L();
    const Functions& gl = l.gl;
    const bool instanced = c.instances > 1;
    Program* program = nullptr;
    if (!UseProgram(c.state.program | (instanced ? std::uint32_t(kInstanced) : 0u), program))
        return;
    ApplyDrawState(c.state);
    if (program->alphaRef >= 0 && program->lastAlphaRef != c.state.alphaRef)
        gl.Uniform1f(program->alphaRef, program->lastAlphaRef = c.state.alphaRef);
    for (GLuint column = 0; column < 4; ++column) {
        if (!instanced) {
            AttributeArray(kMatrix + column, false);
            continue;
        }
        AttributePointer(kMatrix + column, l.instanceBuffer, 4, GL_FLOAT, 64, c.instanceFirst * 64 + column * 16);
        Divisor(kMatrix + column, 1);
    }

    if (!c.arrays) {
        const GLsizei stride = sizeof(StreamVertex);
        AttributePointer(kPosition, l.streamBuffer, 4, GL_FLOAT, stride, offsetof(StreamVertex, position));
        AttributePointer(kColor, l.streamBuffer, 4, GL_UNSIGNED_SHORT, stride, offsetof(StreamVertex, color));
        AttributePointer(kTexCoord, l.streamBuffer, 2, GL_FLOAT, stride, offsetof(StreamVertex, texCoord));
        gl.DrawArrays(c.primitive, c.first, c.count);
        return;
    }

    if (!instanced && program->mvp >= 0
        && (!program->mvpSet || std::memcmp(program->lastMvp, c.mvp, sizeof c.mvp) != 0)) {
        std::memcpy(program->lastMvp, c.mvp, sizeof c.mvp);
        program->mvpSet = true;
        gl.UniformMatrix4fv(program->mvp, 1, GL_FALSE, c.mvp);
    }
    auto source = [&](GLuint index, const ArraySource& s, const float* constant) {
        if (s.cache >= 0)
            AttributePointer(index, l.arrayCache[static_cast<std::size_t>(s.cache)].buffer, s.size, s.type, 0, 0);
        else
            AttributeConstant(index, constant);
    };
    const float texCoord[4] = {c.constantTexCoord[0], c.constantTexCoord[1], 0, 1};
    const float origin[4] = {0, 0, 0, 1}; // never used: positions always come from an array
    source(kPosition, c.position, origin);
    source(kColor, c.color, c.constantColor);
    source(kTexCoord, c.texCoord, texCoord);
    if (c.elements >= 0) {
        BindRealBuffer(GL_ELEMENT_ARRAY_BUFFER, l.elementCache[static_cast<std::size_t>(c.elements)].buffer);
        if (instanced)
            gl.DrawElementsInstanced(c.primitive, c.count, c.indexType, nullptr, c.instances);
        else
            gl.DrawElements(c.primitive, c.count, c.indexType, nullptr);
    } else if (instanced) {
        gl.DrawArraysInstanced(c.primitive, 0, c.count, c.instances);
    } else {
        gl.DrawArrays(c.primitive, 0, c.count);
    }
}

void ApplyViewport()
{
    Layer& l = L();
    RealState& r = l.real;
    const ViewportState& v = l.attrib.viewport;
    if (std::memcmp(r.viewport, v.viewport, sizeof r.viewport) != 0) {
        std::memcpy(r.viewport, v.viewport, sizeof r.viewport);
        l.gl.Viewport(v.viewport[0], v.viewport[1], v.viewport[2], v.viewport[3]);
    }
    if (std::memcmp(r.depthRange, v.depthRange, sizeof r.depthRange) != 0) {
        std::memcpy(r.depthRange, v.depthRange, sizeof r.depthRange);
        l.gl.DepthRangef(v.depthRange[0], v.depthRange[1]);
    }
}

} // namespace

void AppendCommand(const Command& command) { L().commands.push_back(command); }

void FlushIfPending()
{
    if (!L().commands.empty())
        Flush();
}

bool Start(const Functions& gl, int width, int height)
{
    Layer& l = L();
    Stop();
    bool complete = true;
#define TOVAR_GLES2_CHECK(ret, name, params) complete = complete && gl.name != nullptr;
    TOVAR_GLES2_FUNCTIONS(TOVAR_GLES2_CHECK)
#undef TOVAR_GLES2_CHECK
    if (!complete)
        return false;
    // Lists and texture names outlive a context in the layer, but a new
    // context starts with GL's initial state.
    l.attrib = Attributes();
    l.attribStack.clear();
    l.client = ClientState();
    l.modelview = MatrixStack(32);
    l.projection = MatrixStack(32);
    l.texture = MatrixStack(32);
    l.textures.clear();
    l.error = GL_NO_ERROR;
    l.gl = gl;
    l.real = RealState();
    l.attrib.viewport.viewport[2] = l.real.viewport[2] = width;
    l.attrib.viewport.viewport[3] = l.real.viewport[3] = height;
    // What the layer takes the context's state to be, made so: a context
    // drawn into before (by an earlier start) may hold anything.
    gl.Disable(GL_BLEND);
    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_CULL_FACE);
    gl.BlendFunc(GL_ONE, GL_ZERO);
    gl.DepthFunc(GL_LESS);
    gl.DepthMask(GL_TRUE);
    gl.CullFace(GL_BACK);
    gl.FrontFace(GL_CCW);
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl.UseProgram(0);
    gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gl.BindTexture(GL_TEXTURE_2D, 0);
    for (GLuint i = 0; i < RealState::kAttributes; ++i) {
        gl.DisableVertexAttribArray(i);
        if (gl.VertexAttribDivisor)
            gl.VertexAttribDivisor(i, 0);
    }
    gl.Viewport(0, 0, width, height);
    gl.DepthRangef(0.0f, 1.0f);
    gl.ClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    gl.ClearDepthf(1.0f);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    l.started = true;
    MatrixChanged();
    DrawStateChanged();
    return true;
}

void Stop()
{
    Layer& l = L();
    l.started = false;
    l.stream.clear();
    l.commands.clear();
    l.programs.clear();
    l.streamBuffer = l.instanceBuffer = 0;
    l.uploaded.clear();
    l.instancesUploaded.clear();
    l.arrayCache.clear();
    l.elementCache.clear();
    for (auto& t : l.textures)
        t.second.real = 0;
    DrawStateChanged();
}

void Flush()
{
    Layer& l = L();
    if (!l.started) {
        l.stream.clear();
        l.commands.clear();
        return;
    }
    if (l.commands.empty()) {
        l.stream.clear();
        return;
    }
    ApplyViewport();
    GroupInstances();
    UploadChanged(l.streamBuffer, l.uploaded, l.stream.data(), l.stream.size() * sizeof(StreamVertex));
    UploadChanged(l.instanceBuffer, l.instancesUploaded, l.instances.data(), l.instances.size() * sizeof(float));
    for (std::size_t i = 0; i < l.commands.size(); i += static_cast<std::size_t>(l.commands[i].instances))
        Draw(l.commands[i]);
    l.commands.clear();
    l.stream.clear();
    ++l.flushes; // buffers the sent draws used are free to change
}

} // namespace TovarGLES2

using namespace TovarGLES2;

void GLAPIENTRY glClear(GLbitfield mask)
{
    Layer& l = L();
    if (l.compiling) {
        Unsupported("glClear inside a display list");
        if (!l.compileAndExecute)
            return;
    }
    Flush();
    if (!l.started)
        return;
    RealState& r = l.real;
    const Attributes& a = l.attrib;
    ApplyViewport();
    // What the clear obeys: the write masks, as on a desktop GL.
    if (mask & GL_COLOR_BUFFER_BIT) {
        if (std::memcmp(r.clearColor, a.color.clearColor, sizeof r.clearColor) != 0) {
            std::memcpy(r.clearColor, a.color.clearColor, sizeof r.clearColor);
            l.gl.ClearColor(r.clearColor[0], r.clearColor[1], r.clearColor[2], r.clearColor[3]);
        }
        const std::uint8_t colorMask = CurrentDrawState().colorMask;
        if (r.colorMask != colorMask) {
            r.colorMask = colorMask;
            l.gl.ColorMask(colorMask & 1, (colorMask >> 1) & 1, (colorMask >> 2) & 1, (colorMask >> 3) & 1);
        }
    }
    if (mask & GL_DEPTH_BUFFER_BIT) {
        if (r.clearDepth != a.depth.clear)
            l.gl.ClearDepthf(r.clearDepth = a.depth.clear);
        if (r.depthMask != a.depth.mask) {
            r.depthMask = a.depth.mask;
            l.gl.DepthMask(a.depth.mask);
        }
    }
    if (mask & ~(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT))
        UnsupportedEnum("glClear", mask & ~(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    l.gl.Clear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}
