// GL state: capabilities, blending, depth, culling, the attribute stack, the
// queries the toolkit makes, errors, and the calls outside the subset.

#include "toolkit/platform/gles2/Internal.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace TovarGLES2 {

Layer& L()
{
    // Never destroyed: textures and fonts are freed by global destructors,
    // which may run after this one would have.
    static Layer* layer = new Layer;
    return *layer;
}

bool Live() { return L().started; }

void SetError(GLenum error)
{
    // GL keeps the first error until it is read.
    if (L().error == GL_NO_ERROR)
        L().error = error;
}

void Unsupported(const char* what)
{
    if (L().told.insert(what).second)
        std::fprintf(stderr, "GL: %s is not supported by the WebGL layer; the call is ignored\n", what);
}

void UnsupportedEnum(const char* call, GLenum value)
{
    char what[96];
    std::snprintf(what, sizeof what, "%s(0x%04X)", call, static_cast<unsigned>(value));
    Unsupported(what);
}

void DrawStateChanged() { L().drawStateValid = false; }

namespace {

// The capabilities that change drawing, and where each is kept.
bool* Capability(GLenum cap)
{
    EnableState& e = L().attrib.enable;
    switch (cap) {
    case GL_TEXTURE_2D: return &e.texture2D;
    case GL_BLEND: return &e.blend;
    case GL_DEPTH_TEST: return &e.depthTest;
    case GL_CULL_FACE: return &e.cullFace;
    case GL_ALPHA_TEST: return &e.alphaTest;
    case GL_TEXTURE_GEN_S: return &e.texGenS;
    case GL_TEXTURE_GEN_T: return &e.texGenT;
    case GL_NORMALIZE: return &e.normalize;
    // WebGL cannot smooth polygons; the desktop's hint-like switch is kept
    // only to be read back.
    case GL_POLYGON_SMOOTH: return &e.polygonSmooth;
    case GL_DITHER: return &e.dither;
    default: return nullptr;
    }
}

void SetCapability(GLenum cap, bool on)
{
    if (Recorded(MakeStep(on ? ListStep::Enable : ListStep::Disable, 0, cap)))
        return;
    if (bool* flag = Capability(cap)) {
        if (*flag != on) {
            *flag = on;
            DrawStateChanged();
        }
        return;
    }
    if (on)
        UnsupportedEnum("glEnable", cap);
    L().attrib.enable.others[cap] = on;
}

bool ValidBlendFactor(GLenum f)
{
    switch (f) {
    case GL_ZERO: case GL_ONE: case GL_SRC_COLOR: case GL_ONE_MINUS_SRC_COLOR: case GL_DST_COLOR:
    case GL_ONE_MINUS_DST_COLOR: case GL_SRC_ALPHA: case GL_ONE_MINUS_SRC_ALPHA: case GL_DST_ALPHA:
    case GL_ONE_MINUS_DST_ALPHA: case GL_SRC_ALPHA_SATURATE: return true;
    default: return false;
    }
}

bool ValidCompare(GLenum f) { return f >= GL_NEVER && f <= GL_ALWAYS; }

} // namespace

const DrawState& CurrentDrawState()
{
    Layer& l = L();
    if (l.drawStateValid)
        return l.drawState;
    const Attributes& a = l.attrib;
    DrawState s;
    // A texture without an image leaves texturing off, as on a desktop GL
    // (WebGL would sample black from it).
    const Texture* texture = a.enable.texture2D ? FindTexture(a.texture.binding) : nullptr;
    if (texture && texture->width > 0) {
        const bool mipmapped = texture->minFilter != GL_NEAREST && texture->minFilter != GL_LINEAR;
        const bool powerOfTwo = !(texture->width & (texture->width - 1)) && !(texture->height & (texture->height - 1));
        if (!powerOfTwo && (mipmapped || texture->wrapS != GL_CLAMP_TO_EDGE || texture->wrapT != GL_CLAMP_TO_EDGE))
            Unsupported("a texture whose sides are not powers of two, repeated or mipmapped (WebGL 1 draws it black)");
        s.program |= kTextured;
        if (texture->format == GL_ALPHA)
            s.program |= kAlphaTexture;
        s.texture = texture->real;
    }
    if (a.enable.alphaTest && a.color.alphaFunc != GL_ALWAYS) {
        s.program |= (a.color.alphaFunc - GL_NEVER + 1) << kAlphaTestShift;
        s.alphaRef = a.color.alphaRef;
    }
    s.blend = a.enable.blend;
    s.blendSrc = a.color.blendSrc;
    s.blendDst = a.color.blendDst;
    s.depthTest = a.enable.depthTest;
    s.depthFunc = a.depth.func;
    // Without the depth test GL writes no depth either.
    s.depthMask = a.depth.mask && a.enable.depthTest;
    s.cull = a.enable.cullFace;
    s.cullFace = a.polygon.cullFace;
    s.frontFace = a.polygon.frontFace;
    s.colorMask = static_cast<std::uint8_t>(a.color.colorMask[0] | a.color.colorMask[1] << 1
                                            | a.color.colorMask[2] << 2 | a.color.colorMask[3] << 3);
    l.drawState = s;
    l.drawStateValid = true;
    return l.drawState;
}

} // namespace TovarGLES2

using namespace TovarGLES2;

// ---- Capabilities and fixed state --------------------------------------------------

void GLAPIENTRY glEnable(GLenum cap) { SetCapability(cap, true); }

void GLAPIENTRY glDisable(GLenum cap) { SetCapability(cap, false); }

GLboolean GLAPIENTRY glIsEnabled(GLenum cap)
{
    Layer& l = L();
    if (const bool* flag = Capability(cap))
        return *flag ? GL_TRUE : GL_FALSE;
    switch (cap) {
    case GL_VERTEX_ARRAY: return l.client.vertex.enabled;
    case GL_COLOR_ARRAY: return l.client.color.enabled;
    case GL_TEXTURE_COORD_ARRAY: return l.client.texCoord.enabled;
    case GL_NORMAL_ARRAY: return l.client.normal.enabled;
    default: break;
    }
    auto it = l.attrib.enable.others.find(cap);
    return it != l.attrib.enable.others.end() && it->second ? GL_TRUE : GL_FALSE;
}

void GLAPIENTRY glBlendFunc(GLenum sfactor, GLenum dfactor)
{
    Layer& l = L();
    if (!ValidBlendFactor(sfactor) || !ValidBlendFactor(dfactor)) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    if (Recorded(MakeStep(ListStep::BlendFunc, 0, sfactor, dfactor)))
        return;
    l.attrib.color.blendSrc = sfactor;
    l.attrib.color.blendDst = dfactor;
    DrawStateChanged();
}

void GLAPIENTRY glAlphaFunc(GLenum func, GLclampf ref)
{
    if (!ValidCompare(func)) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    ColorState& c = L().attrib.color;
    c.alphaFunc = func;
    c.alphaRef = ref < 0.0f ? 0.0f : ref > 1.0f ? 1.0f : ref;
    DrawStateChanged();
}

void GLAPIENTRY glDepthFunc(GLenum func)
{
    if (!ValidCompare(func)) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    L().attrib.depth.func = func;
    DrawStateChanged();
}

void GLAPIENTRY glDepthMask(GLboolean flag)
{
    L().attrib.depth.mask = flag != GL_FALSE;
    DrawStateChanged();
}

void GLAPIENTRY glColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha)
{
    bool* mask = L().attrib.color.colorMask;
    mask[0] = red != GL_FALSE;
    mask[1] = green != GL_FALSE;
    mask[2] = blue != GL_FALSE;
    mask[3] = alpha != GL_FALSE;
    DrawStateChanged();
}

void GLAPIENTRY glCullFace(GLenum mode)
{
    if (mode != GL_FRONT && mode != GL_BACK && mode != GL_FRONT_AND_BACK) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    L().attrib.polygon.cullFace = mode;
    DrawStateChanged();
}

void GLAPIENTRY glFrontFace(GLenum mode)
{
    if (mode != GL_CW && mode != GL_CCW) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    L().attrib.polygon.frontFace = mode;
    DrawStateChanged();
}

void GLAPIENTRY glShadeModel(GLenum mode)
{
    // WebGL always shades smoothly.
    if (mode == GL_FLAT)
        Unsupported("glShadeModel(GL_FLAT)");
    else if (mode != GL_SMOOTH)
        SetError(GL_INVALID_ENUM);
}

void GLAPIENTRY glHint(GLenum, GLenum) {} // hints: WebGL draws as it draws

void GLAPIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    float* c = L().attrib.color.clearColor;
    auto clamp = [](float v) { return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v; };
    c[0] = clamp(red), c[1] = clamp(green), c[2] = clamp(blue), c[3] = clamp(alpha);
}

void GLAPIENTRY glClearDepth(GLclampd depth)
{
    L().attrib.depth.clear = static_cast<float>(depth < 0.0 ? 0.0 : depth > 1.0 ? 1.0 : depth);
}

void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (width < 0 || height < 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    GLint* v = L().attrib.viewport.viewport;
    v[0] = x, v[1] = y, v[2] = width, v[3] = height;
}

void GLAPIENTRY glDepthRange(GLclampd zNear, GLclampd zFar)
{
    auto clamp = [](double v) { return static_cast<float>(v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v); };
    L().attrib.viewport.depthRange[0] = clamp(zNear);
    L().attrib.viewport.depthRange[1] = clamp(zFar);
}

void GLAPIENTRY glPixelStorei(GLenum pname, GLint param)
{
    ClientState& c = L().client;
    if (param != 1 && param != 2 && param != 4 && param != 8) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    if (pname == GL_PACK_ALIGNMENT)
        c.packAlignment = param;
    else if (pname == GL_UNPACK_ALIGNMENT)
        c.unpackAlignment = param;
    else
        UnsupportedEnum("glPixelStorei", pname);
}

// ---- The attribute stack -------------------------------------------------------------

void GLAPIENTRY glPushAttrib(GLbitfield mask)
{
    Layer& l = L();
    // GL's own minimum depth.
    if (l.attribStack.size() >= 16) {
        SetError(GL_STACK_OVERFLOW);
        return;
    }
    const GLbitfield kept = GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT
        | GL_POLYGON_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_LIST_BIT;
    if (mask != GL_ALL_ATTRIB_BITS && (mask & ~kept))
        UnsupportedEnum("glPushAttrib", mask & ~kept);
    l.attribStack.emplace_back(mask, l.attrib);
}

void GLAPIENTRY glPopAttrib()
{
    Layer& l = L();
    if (l.attribStack.empty()) {
        SetError(GL_STACK_UNDERFLOW);
        return;
    }
    const GLbitfield mask = l.attribStack.back().first;
    const Attributes& saved = l.attribStack.back().second;
    Attributes& a = l.attrib;
    if (mask & GL_CURRENT_BIT)
        a.current = saved.current;
    if (mask & GL_ENABLE_BIT)
        a.enable = saved.enable;
    if (mask & GL_COLOR_BUFFER_BIT) {
        a.color = saved.color;
        a.enable.blend = saved.enable.blend;
        a.enable.alphaTest = saved.enable.alphaTest;
        a.enable.dither = saved.enable.dither;
    }
    if (mask & GL_DEPTH_BUFFER_BIT) {
        a.depth = saved.depth;
        a.enable.depthTest = saved.enable.depthTest;
    }
    if (mask & GL_POLYGON_BIT) {
        a.polygon = saved.polygon;
        a.enable.cullFace = saved.enable.cullFace;
        a.enable.polygonSmooth = saved.enable.polygonSmooth;
    }
    if (mask & GL_TEXTURE_BIT) {
        a.texture = saved.texture;
        a.enable.texGenS = saved.enable.texGenS;
        a.enable.texGenT = saved.enable.texGenT;
    }
    if (mask & GL_VIEWPORT_BIT)
        a.viewport = saved.viewport;
    if (mask & GL_TRANSFORM_BIT) {
        a.matrixMode = saved.matrixMode;
        a.enable.normalize = saved.enable.normalize;
    }
    if (mask & GL_LIST_BIT)
        a.listBase = saved.listBase;
    l.attribStack.pop_back();
    DrawStateChanged();
}

// ---- Queries --------------------------------------------------------------------------

namespace {

// Writes a query's values through `put`; false for a name the layer does not
// keep.
template <typename Put>
bool Query(GLenum pname, Put put)
{
    Layer& l = L();
    const Attributes& a = l.attrib;
    switch (pname) {
    case GL_MODELVIEW_MATRIX: for (int i = 0; i < 16; ++i) put(i, l.modelview.Top().m[i]); return true;
    case GL_PROJECTION_MATRIX: for (int i = 0; i < 16; ++i) put(i, l.projection.Top().m[i]); return true;
    case GL_TEXTURE_MATRIX: for (int i = 0; i < 16; ++i) put(i, l.texture.Top().m[i]); return true;
    case GL_MODELVIEW_STACK_DEPTH: put(0, static_cast<double>(l.modelview.stack.size())); return true;
    case GL_PROJECTION_STACK_DEPTH: put(0, static_cast<double>(l.projection.stack.size())); return true;
    case GL_MATRIX_MODE: put(0, a.matrixMode); return true;
    case GL_VIEWPORT: for (int i = 0; i < 4; ++i) put(i, a.viewport.viewport[i]); return true;
    case GL_DEPTH_RANGE: put(0, a.viewport.depthRange[0]); put(1, a.viewport.depthRange[1]); return true;
    case GL_DEPTH_FUNC: put(0, a.depth.func); return true;
    case GL_DEPTH_WRITEMASK: put(0, a.depth.mask); return true;
    case GL_DEPTH_CLEAR_VALUE: put(0, a.depth.clear); return true;
    case GL_CULL_FACE_MODE: put(0, a.polygon.cullFace); return true;
    case GL_FRONT_FACE: put(0, a.polygon.frontFace); return true;
    case GL_BLEND_SRC: put(0, a.color.blendSrc); return true;
    case GL_BLEND_DST: put(0, a.color.blendDst); return true;
    case GL_ALPHA_TEST_FUNC: put(0, a.color.alphaFunc); return true;
    case GL_ALPHA_TEST_REF: put(0, a.color.alphaRef); return true;
    case GL_COLOR_CLEAR_VALUE: for (int i = 0; i < 4; ++i) put(i, a.color.clearColor[i]); return true;
    case GL_COLOR_WRITEMASK: for (int i = 0; i < 4; ++i) put(i, a.color.colorMask[i]); return true;
    case GL_CURRENT_COLOR: for (int i = 0; i < 4; ++i) put(i, a.current.color[i]); return true;
    case GL_CURRENT_TEXTURE_COORDS: for (int i = 0; i < 4; ++i) put(i, a.current.texCoord[i]); return true;
    case GL_CURRENT_NORMAL: for (int i = 0; i < 3; ++i) put(i, a.current.normal[i]); return true;
    case GL_TEXTURE_BINDING_2D: put(0, a.texture.binding); return true;
    case GL_LIST_BASE: put(0, a.listBase); return true;
    case GL_LIST_INDEX: put(0, l.compiling ? l.compilingName : 0); return true;
    case GL_LIST_MODE: put(0, l.compiling ? (l.compileAndExecute ? GL_COMPILE_AND_EXECUTE : GL_COMPILE) : 0); return true;
    case GL_ATTRIB_STACK_DEPTH: put(0, static_cast<double>(l.attribStack.size())); return true;
    case GL_PACK_ALIGNMENT: put(0, l.client.packAlignment); return true;
    case GL_UNPACK_ALIGNMENT: put(0, l.client.unpackAlignment); return true;
    case GL_VERTEX_ARRAY: put(0, l.client.vertex.enabled); return true;
    case GL_COLOR_ARRAY: put(0, l.client.color.enabled); return true;
    case GL_TEXTURE_COORD_ARRAY: put(0, l.client.texCoord.enabled); return true;
    case GL_NORMAL_ARRAY: put(0, l.client.normal.enabled); return true;
    case GL_VERTEX_ARRAY_SIZE: put(0, l.client.vertex.size); return true;
    case GL_VERTEX_ARRAY_TYPE: put(0, l.client.vertex.type); return true;
    case GL_VERTEX_ARRAY_STRIDE: put(0, l.client.vertex.stride); return true;
    case GL_MAX_MODELVIEW_STACK_DEPTH: put(0, static_cast<double>(l.modelview.depth)); return true;
    case GL_MAX_PROJECTION_STACK_DEPTH: put(0, static_cast<double>(l.projection.depth)); return true;
    case GL_MAX_ATTRIB_STACK_DEPTH: put(0, 16); return true;
    case GL_MAX_LIST_NESTING: put(0, 64); return true;
    default: break;
    }
    if (const bool* flag = Capability(pname)) {
        put(0, *flag);
        return true;
    }
    return false;
}

// What the context itself answers: its limits and its buffers' sizes.
bool AskTheContext(GLenum pname)
{
    switch (pname) {
    case GL_MAX_TEXTURE_SIZE: case GL_MAX_VIEWPORT_DIMS: case GL_RED_BITS: case GL_GREEN_BITS: case GL_BLUE_BITS:
    case GL_ALPHA_BITS: case GL_DEPTH_BITS: case GL_STENCIL_BITS: case GL_SUBPIXEL_BITS: return true;
    default: return false;
    }
}

} // namespace

void GLAPIENTRY glGetIntegerv(GLenum pname, GLint* data)
{
    if (!data)
        return;
    if (Query(pname, [data](int i, double v) { data[i] = static_cast<GLint>(v); }))
        return;
    if (AskTheContext(pname) && Live()) {
        L().gl.GetIntegerv(pname, data);
        return;
    }
    UnsupportedEnum("glGetIntegerv", pname);
    SetError(GL_INVALID_ENUM);
}

void GLAPIENTRY glGetFloatv(GLenum pname, GLfloat* data)
{
    if (!data)
        return;
    if (Query(pname, [data](int i, double v) { data[i] = static_cast<GLfloat>(v); }))
        return;
    if (AskTheContext(pname) && Live()) {
        L().gl.GetFloatv(pname, data);
        return;
    }
    UnsupportedEnum("glGetFloatv", pname);
    SetError(GL_INVALID_ENUM);
}

void GLAPIENTRY glGetDoublev(GLenum pname, GLdouble* data)
{
    if (!data)
        return;
    if (!Query(pname, [data](int i, double v) { data[i] = v; })) {
        UnsupportedEnum("glGetDoublev", pname);
        SetError(GL_INVALID_ENUM);
    }
}

void GLAPIENTRY glGetBooleanv(GLenum pname, GLboolean* data)
{
    if (!data)
        return;
    if (!Query(pname, [data](int i, double v) { data[i] = v != 0.0 ? GL_TRUE : GL_FALSE; })) {
        UnsupportedEnum("glGetBooleanv", pname);
        SetError(GL_INVALID_ENUM);
    }
}

void GLAPIENTRY glGetPointerv(GLenum pname, GLvoid** params)
{
    if (!params)
        return;
    const ClientState& c = L().client;
    switch (pname) {
    case GL_VERTEX_ARRAY_POINTER: *params = const_cast<void*>(c.vertex.pointer); return;
    case GL_COLOR_ARRAY_POINTER: *params = const_cast<void*>(c.color.pointer); return;
    case GL_TEXTURE_COORD_ARRAY_POINTER: *params = const_cast<void*>(c.texCoord.pointer); return;
    case GL_NORMAL_ARRAY_POINTER: *params = const_cast<void*>(c.normal.pointer); return;
    default: SetError(GL_INVALID_ENUM);
    }
}

GLenum GLAPIENTRY glGetError()
{
    Layer& l = L();
    GLenum error = l.error;
    l.error = GL_NO_ERROR;
    if (error == GL_NO_ERROR && Live())
        error = l.gl.GetError();
    return error;
}

const GLubyte* GLAPIENTRY glGetString(GLenum name)
{
    if (!Live())
        return nullptr;
    return L().gl.GetString(name);
}

void GLAPIENTRY glFlush() { Flush(); }

void GLAPIENTRY glFinish()
{
    Flush();
    if (Live())
        L().gl.Finish();
}
