// Immediate mode and display lists. glBegin/glEnd turns its vertices into
// triangles, lines or points and writes them, transformed, into the frame's
// stream. A list keeps its vertices in that form, in object space, from
// glEndList on; a replay transforms ranges of them into the stream.

#include "toolkit/platform/gles2/Internal.h"

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace TovarGLES2 {

GLenum PrimitiveClass(GLenum mode)
{
    switch (mode) {
    case GL_POINTS: return GL_POINTS;
    case GL_LINES: case GL_LINE_STRIP: case GL_LINE_LOOP: return GL_LINES;
    default: return GL_TRIANGLES;
    }
}

bool PrimitiveOrder(GLenum mode, std::size_t n, std::vector<std::uint32_t>& order)
{
    order.clear();
    auto put = [&order](std::size_t a, std::size_t b, std::size_t c) {
        order.push_back(static_cast<std::uint32_t>(a));
        order.push_back(static_cast<std::uint32_t>(b));
        order.push_back(static_cast<std::uint32_t>(c));
    };
    // A quad a b c d goes as two triangles split along a-c, as a desktop GL
    // splits it: a quad that is not flat, or not shaded evenly, shows which.
    auto quad = [&put](std::size_t a, std::size_t b, std::size_t c, std::size_t d) {
        put(a, b, c);
        put(a, c, d);
    };
    switch (mode) {
    case GL_POINTS:
        for (std::size_t i = 0; i < n; ++i)
            order.push_back(static_cast<std::uint32_t>(i));
        return true;
    case GL_LINES:
        for (std::size_t i = 0; i + 1 < n; i += 2)
            order.push_back(static_cast<std::uint32_t>(i)), order.push_back(static_cast<std::uint32_t>(i + 1));
        return true;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        for (std::size_t i = 0; i + 1 < n; ++i)
            order.push_back(static_cast<std::uint32_t>(i)), order.push_back(static_cast<std::uint32_t>(i + 1));
        if (mode == GL_LINE_LOOP && n > 2)
            order.push_back(static_cast<std::uint32_t>(n - 1)), order.push_back(0);
        return true;
    case GL_TRIANGLES:
        for (std::size_t i = 0; i + 2 < n; i += 3)
            put(i, i + 1, i + 2);
        return true;
    case GL_TRIANGLE_STRIP:
        // Every other triangle turned round, so that all keep one winding.
        for (std::size_t i = 0; i + 2 < n; ++i) {
            if (i % 2 == 0)
                put(i, i + 1, i + 2);
            else
                put(i + 1, i, i + 2);
        }
        return true;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (std::size_t i = 1; i + 1 < n; ++i)
            put(0, i, i + 1);
        return true;
    case GL_QUADS:
        for (std::size_t i = 0; i + 3 < n; i += 4)
            quad(i, i + 1, i + 2, i + 3);
        return true;
    case GL_QUAD_STRIP:
        for (std::size_t i = 0; i + 3 < n; i += 2)
            quad(i, i + 1, i + 3, i + 2);
        return true;
    default: return false;
    }
}

namespace {

// Colours are clamped to 0 to 1 when drawn, as a desktop GL clamps them.
std::uint16_t Unorm16(float v)
{
    if (!(v > 0.0f)) // NaN too
        return 0;
    if (v >= 1.0f)
        return 65535;
    return static_cast<std::uint16_t>(std::lround(v * 65535.0f));
}

// What turns object-space texture coordinates into the ones drawn with:
// sphere-map generation and the texture matrix, worked out once per call.
struct TexCoordRule {
    bool textured = false, sphereS = false, sphereT = false, matrix = false;
    Matrix modelview, normalMatrix, texture;
    bool normalize = false;

    TexCoordRule()
    {
        Layer& l = L();
        const Attributes& a = l.attrib;
        textured = (CurrentDrawState().program & kTextured) != 0;
        if (!textured)
            return;
        sphereS = a.enable.texGenS && a.texture.genModeS == GL_SPHERE_MAP;
        sphereT = a.enable.texGenT && a.texture.genModeT == GL_SPHERE_MAP;
        matrix = !IsIdentity(l.texture.Top());
        texture = l.texture.Top();
        if (sphereS || sphereT) {
            modelview = l.modelview.Top();
            normalize = a.enable.normalize;
            normalMatrix = InverseTranspose3(modelview);
        }
    }

    // The inverse of the upper 3 x 3, transposed, in a Matrix's first
    // three columns: how normals go to eye space.
    static Matrix InverseTranspose3(const Matrix& mv)
    {
        const float* m = mv.m;
        const float a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
        const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
        Matrix r = IdentityMatrix();
        if (det == 0.0f)
            return r;
        const float k = 1.0f / det;
        // Rows of the inverse become columns of its transpose.
        r.m[0] = (e * i - f * h) * k, r.m[4] = -(d * i - f * g) * k, r.m[8] = (d * h - e * g) * k;
        r.m[1] = -(b * i - c * h) * k, r.m[5] = (a * i - c * g) * k, r.m[9] = -(a * h - b * g) * k;
        r.m[2] = (b * f - c * e) * k, r.m[6] = -(a * f - c * d) * k, r.m[10] = (a * e - b * d) * k;
        // That is the inverse; transposed:
        std::swap(r.m[1], r.m[4]);
        std::swap(r.m[2], r.m[8]);
        std::swap(r.m[6], r.m[9]);
        return r;
    }

    void Apply(const float position[4], const float normal[3], const float in[4], float out[2]) const
    {
        float s = in[0], t = in[1], r = in[2], q = in[3];
        if (sphereS || sphereT) {
            const float* m = modelview.m;
            float u[3];
            for (int k = 0; k < 3; ++k)
                u[k] = m[k] * position[0] + m[4 + k] * position[1] + m[8 + k] * position[2] + m[12 + k] * position[3];
            const float ul = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
            if (ul > 0.0f)
                u[0] /= ul, u[1] /= ul, u[2] /= ul;
            const float* nm = normalMatrix.m;
            float n[3];
            for (int k = 0; k < 3; ++k)
                n[k] = nm[k] * normal[0] + nm[4 + k] * normal[1] + nm[8 + k] * normal[2];
            if (normalize) {
                const float nl = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                if (nl > 0.0f)
                    n[0] /= nl, n[1] /= nl, n[2] /= nl;
            }
            const float dot = 2.0f * (n[0] * u[0] + n[1] * u[1] + n[2] * u[2]);
            const float rx = u[0] - n[0] * dot, ry = u[1] - n[1] * dot, rz = u[2] - n[2] * dot + 1.0f;
            const float mm = 2.0f * std::sqrt(rx * rx + ry * ry + rz * rz);
            if (sphereS)
                s = mm > 0.0f ? rx / mm + 0.5f : 0.5f;
            if (sphereT)
                t = mm > 0.0f ? ry / mm + 0.5f : 0.5f;
        }
        if (matrix) {
            const float* m = texture.m;
            const float ts = m[0] * s + m[4] * t + m[8] * r + m[12] * q;
            const float tt = m[1] * s + m[5] * t + m[9] * r + m[13] * q;
            const float tq = m[3] * s + m[7] * t + m[11] * r + m[15] * q;
            s = ts, t = tt, q = tq;
        }
        if (q != 1.0f && q != 0.0f)
            s /= q, t /= q;
        out[0] = s;
        out[1] = t;
    }
};

// Starts or extends the stream draw that `count` more vertices of
// `primitive` belong to, and returns where they go.
StreamVertex* StreamSpace(GLenum primitive, std::size_t count)
{
    Layer& l = L();
    const DrawState& state = CurrentDrawState();
    const std::size_t first = l.stream.size();
    Command* last = l.commands.empty() ? nullptr : &l.commands.back();
    if (last && !last->arrays && last->primitive == primitive && last->state == state
        && static_cast<std::size_t>(last->first) + static_cast<std::size_t>(last->count) == first) {
        last->count += static_cast<GLsizei>(count);
    } else {
        Command c;
        c.state = state;
        c.primitive = primitive;
        c.first = static_cast<GLint>(first);
        c.count = static_cast<GLsizei>(count);
        l.commands.push_back(c);
    }
    l.stream.resize(first + count);
    return &l.stream[first];
}

// The vertices `at(i)` (position, colour, texture coordinates and normal
// of the i-th), transformed into the stream.
template <typename At>
void Append(GLenum primitive, std::size_t count, At at)
{
    if (count == 0)
        return;
    const Matrix mvp = ModelViewProjection();
    const float* m = mvp.m;
    const TexCoordRule rule;
    StreamVertex* out = StreamSpace(primitive, count);
    for (std::size_t i = 0; i < count; ++i, ++out) {
        const float *p, *c, *t, *n;
        at(i, p, c, t, n);
        out->position[0] = m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12] * p[3];
        out->position[1] = m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13] * p[3];
        out->position[2] = m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14] * p[3];
        out->position[3] = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15] * p[3];
        for (int k = 0; k < 4; ++k)
            out->color[k] = Unorm16(c[k]);
        if (rule.textured)
            rule.Apply(p, n, t, out->texCoord);
        else
            out->texCoord[0] = out->texCoord[1] = 0.0f;
    }
}

void AppendToList(GLenum mode, const SourceVertex* vertices, const std::vector<std::uint32_t>& order)
{
    Layer& l = L();
    List& list = *l.compiled;
    const GLenum primitive = PrimitiveClass(mode);
    const std::size_t first = list.vertices.size();
    for (std::uint32_t i : order) {
        const std::uint8_t own = i < l.primitiveOwn.size() ? l.primitiveOwn[i] : 0;
        list.vertices.push_back({vertices[i], (own & 1) != 0, (own & 2) != 0, (own & 4) != 0});
    }
    if (order.empty())
        return;
    // A run right after one of its own kind joins it: a glyph made of many
    // glBegin/glEnd becomes one range.
    if (!list.steps.empty()) {
        ListStep& last = list.steps.back();
        if (last.kind == ListStep::Draw && last.primitive == primitive && last.first + last.count == first) {
            last.count += static_cast<std::uint32_t>(order.size());
            return;
        }
    }
    ListStep step;
    step.kind = ListStep::Draw;
    step.primitive = primitive;
    step.first = static_cast<std::uint32_t>(first);
    step.count = static_cast<std::uint32_t>(order.size());
    list.steps.push_back(step);
}

} // namespace

void AppendToStream(GLenum primitive, const SourceVertex* vertices, const std::uint32_t* order, std::size_t count)
{
    Append(primitive, count, [vertices, order](std::size_t i, const float*& p, const float*& c, const float*& t,
                                               const float*& n) {
        const SourceVertex& v = vertices[order ? order[i] : i];
        p = v.position, c = v.color, t = v.texCoord, n = v.normal;
    });
}

void EmitPrimitive(GLenum mode, const SourceVertex* vertices, std::size_t count)
{
    Layer& l = L();
    std::vector<std::uint32_t>& order = l.order;
    if (!PrimitiveOrder(mode, count, order))
        return;
    if (l.compiling) {
        AppendToList(mode, vertices, order);
        if (!l.compileAndExecute)
            return;
    }
    AppendToStream(PrimitiveClass(mode), vertices, order.data(), order.size());
}

bool ListCompiling() { return L().compiling; }

ListStep MakeStep(ListStep::Kind kind, GLuint name, GLenum e0, GLenum e1)
{
    ListStep step;
    step.kind = kind;
    step.name = name;
    step.e[0] = e0;
    step.e[1] = e1;
    return step;
}

bool Recorded(const ListStep& step)
{
    Layer& l = L();
    if (!l.compiling)
        return false;
    l.compiled->steps.push_back(step);
    return !l.compileAndExecute;
}

namespace {

// GL's own minimum of nested list calls.
const int kMaxNesting = 64;

void ReplaySteps(const List& list)
{
    Layer& l = L();
    CurrentState& current = l.attrib.current;
    for (const ListStep& s : list.steps) {
        switch (s.kind) {
        case ListStep::Draw: {
            const ListVertex* v = &list.vertices[s.first];
            Append(s.primitive, s.count, [v, &current](std::size_t i, const float*& p, const float*& c,
                                                       const float*& t, const float*& n) {
                const ListVertex& x = v[i];
                p = x.v.position;
                c = x.ownColor ? x.v.color : current.color;
                t = x.ownTexCoord ? x.v.texCoord : current.texCoord;
                n = x.ownNormal ? x.v.normal : current.normal;
            });
            break;
        }
        case ListStep::Color: std::memcpy(current.color, s.v, sizeof current.color); break;
        case ListStep::TexCoord: std::memcpy(current.texCoord, s.v, sizeof current.texCoord); break;
        case ListStep::Normal: std::memcpy(current.normal, s.v, sizeof current.normal); break;
        case ListStep::Translate: glTranslatef(s.v[0], s.v[1], s.v[2]); break;
        case ListStep::Scale: glScalef(s.v[0], s.v[1], s.v[2]); break;
        case ListStep::Rotate: glRotatef(s.v[0], s.v[1], s.v[2], s.v[3]); break;
        case ListStep::MultMatrix: glMultMatrixf(s.v); break;
        case ListStep::LoadIdentity: glLoadIdentity(); break;
        case ListStep::PushMatrix: glPushMatrix(); break;
        case ListStep::PopMatrix: glPopMatrix(); break;
        case ListStep::MatrixMode: glMatrixMode(s.e[0]); break;
        case ListStep::CallList: ReplayList(s.e[0] ? l.attrib.listBase + s.name : s.name); break;
        case ListStep::ListBase: l.attrib.listBase = s.name; break;
        case ListStep::Enable: glEnable(s.e[0]); break;
        case ListStep::Disable: glDisable(s.e[0]); break;
        case ListStep::BindTexture: glBindTexture(GL_TEXTURE_2D, s.name); break;
        case ListStep::BlendFunc: glBlendFunc(s.e[0], s.e[1]); break;
        }
    }
}

} // namespace

bool ReplayList(GLuint name)
{
    Layer& l = L();
    auto it = l.lists.find(name);
    if (it == l.lists.end() || !it->second)
        return false;
    if (l.replayDepth >= kMaxNesting)
        return true;
    // What a list runs is not compiled again into a list being made
    // (GL_COMPILE_AND_EXECUTE runs its calls; it compiles only the call).
    const bool compiling = l.compiling;
    l.compiling = false;
    ++l.replayDepth;
    ReplaySteps(*it->second);
    --l.replayDepth;
    l.compiling = compiling;
    return true;
}

} // namespace TovarGLES2

using namespace TovarGLES2;

// ---- Immediate mode ----------------------------------------------------------------

void GLAPIENTRY glBegin(GLenum mode)
{
    Layer& l = L();
    if (l.inBegin) {
        SetError(GL_INVALID_OPERATION);
        return;
    }
    if (mode > GL_POLYGON) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    l.inBegin = true;
    l.beginMode = mode;
    l.primitive.clear();
    l.primitiveOwn.clear();
}

void GLAPIENTRY glEnd()
{
    Layer& l = L();
    if (!l.inBegin) {
        SetError(GL_INVALID_OPERATION);
        return;
    }
    l.inBegin = false;
    EmitPrimitive(l.beginMode, l.primitive.data(), l.primitive.size());
}

namespace {

const CurrentState& VertexState()
{
    Layer& l = L();
    return l.compiling ? l.compileCurrent : l.attrib.current;
}

void Vertex(float x, float y, float z, float w)
{
    Layer& l = L();
    if (!l.inBegin)
        return; // a vertex outside glBegin/glEnd draws nothing
    const CurrentState& c = VertexState();
    SourceVertex v;
    v.position[0] = x, v.position[1] = y, v.position[2] = z, v.position[3] = w;
    std::memcpy(v.color, c.color, sizeof v.color);
    std::memcpy(v.texCoord, c.texCoord, sizeof v.texCoord);
    std::memcpy(v.normal, c.normal, sizeof v.normal);
    l.primitive.push_back(v);
    if (l.compiling) // which of them the list itself set, so far
        l.primitiveOwn.push_back(static_cast<std::uint8_t>(l.listColor | l.listTexCoord << 1 | l.listNormal << 2));
}

// glColor, glTexCoord and glNormal: the current value, or in a list a step.
void SetCurrent(ListStep::Kind kind, const float* v, int n)
{
    Layer& l = L();
    auto write = [kind, v, n](CurrentState& c) {
        float* to = kind == ListStep::Color ? c.color : kind == ListStep::TexCoord ? c.texCoord : c.normal;
        std::memcpy(to, v, sizeof(float) * static_cast<std::size_t>(n));
    };
    if (l.compiling) {
        write(l.compileCurrent);
        (kind == ListStep::Color ? l.listColor : kind == ListStep::TexCoord ? l.listTexCoord : l.listNormal) = true;
        // Inside glBegin/glEnd the vertices carry it; between them the list
        // sets it when it runs.
        if (!l.inBegin) {
            ListStep step;
            step.kind = kind;
            std::memcpy(step.v, v, sizeof(float) * static_cast<std::size_t>(n));
            l.compiled->steps.push_back(step);
        }
        if (!l.compileAndExecute)
            return;
    }
    write(l.attrib.current);
}

void Color(float r, float g, float b, float a)
{
    const float v[4] = {r, g, b, a};
    SetCurrent(ListStep::Color, v, 4);
}

void TexCoord(float s, float t)
{
    const float v[4] = {s, t, 0.0f, 1.0f};
    SetCurrent(ListStep::TexCoord, v, 4);
}

void Normal(float x, float y, float z)
{
    const float v[3] = {x, y, z};
    SetCurrent(ListStep::Normal, v, 3);
}

float Byte(GLubyte v) { return v / 255.0f; }

} // namespace

void GLAPIENTRY glVertex2f(GLfloat x, GLfloat y) { Vertex(x, y, 0, 1); }
void GLAPIENTRY glVertex2d(GLdouble x, GLdouble y) { Vertex(static_cast<float>(x), static_cast<float>(y), 0, 1); }
void GLAPIENTRY glVertex2i(GLint x, GLint y) { Vertex(static_cast<float>(x), static_cast<float>(y), 0, 1); }
void GLAPIENTRY glVertex2fv(const GLfloat* v) { Vertex(v[0], v[1], 0, 1); }
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Vertex(x, y, z, 1); }
void GLAPIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    Vertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 1);
}
void GLAPIENTRY glVertex3i(GLint x, GLint y, GLint z)
{
    Vertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), 1);
}
void GLAPIENTRY glVertex3fv(const GLfloat* v) { Vertex(v[0], v[1], v[2], 1); }
void GLAPIENTRY glVertex3dv(const GLdouble* v) { glVertex3d(v[0], v[1], v[2]); }
void GLAPIENTRY glVertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w) { Vertex(x, y, z, w); }
void GLAPIENTRY glVertex4fv(const GLfloat* v) { Vertex(v[0], v[1], v[2], v[3]); }

void GLAPIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { Color(r, g, b, 1); }
void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Color(r, g, b, a); }
void GLAPIENTRY glColor3fv(const GLfloat* v) { Color(v[0], v[1], v[2], 1); }
void GLAPIENTRY glColor4fv(const GLfloat* v) { Color(v[0], v[1], v[2], v[3]); }
void GLAPIENTRY glColor3d(GLdouble r, GLdouble g, GLdouble b)
{
    Color(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 1);
}
void GLAPIENTRY glColor3ub(GLubyte r, GLubyte g, GLubyte b) { Color(Byte(r), Byte(g), Byte(b), 1); }
void GLAPIENTRY glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) { Color(Byte(r), Byte(g), Byte(b), Byte(a)); }
void GLAPIENTRY glColor3ubv(const GLubyte* v) { Color(Byte(v[0]), Byte(v[1]), Byte(v[2]), 1); }
void GLAPIENTRY glColor4ubv(const GLubyte* v) { Color(Byte(v[0]), Byte(v[1]), Byte(v[2]), Byte(v[3])); }

void GLAPIENTRY glTexCoord2f(GLfloat s, GLfloat t) { TexCoord(s, t); }
void GLAPIENTRY glTexCoord2fv(const GLfloat* v) { TexCoord(v[0], v[1]); }
void GLAPIENTRY glTexCoord2d(GLdouble s, GLdouble t) { TexCoord(static_cast<float>(s), static_cast<float>(t)); }
void GLAPIENTRY glTexCoord2i(GLint s, GLint t) { TexCoord(static_cast<float>(s), static_cast<float>(t)); }

void GLAPIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Normal(x, y, z); }
void GLAPIENTRY glNormal3fv(const GLfloat* v) { Normal(v[0], v[1], v[2]); }
void GLAPIENTRY glNormal3d(GLdouble x, GLdouble y, GLdouble z)
{
    Normal(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

// ---- Display lists --------------------------------------------------------------------

GLuint GLAPIENTRY glGenLists(GLsizei range)
{
    if (range < 0)
        SetError(GL_INVALID_VALUE);
    if (range <= 0)
        return 0;
    Layer& l = L();
    // Past the highest name handed out so far, as a desktop GL does; the
    // lowest free run once that end is reached.
    const std::uint64_t want = static_cast<std::uint64_t>(range);
    std::uint64_t first = std::uint64_t(l.highestList) + 1;
    if (first + want - 1 > std::numeric_limits<GLuint>::max()) {
        first = 1;
        for (const auto& used : l.lists) {
            if (used.first >= first + want)
                break;
            if (used.first >= first)
                first = std::uint64_t(used.first) + 1;
        }
        if (first + want - 1 > std::numeric_limits<GLuint>::max())
            return 0;
    }
    l.highestList = std::max(l.highestList, static_cast<GLuint>(first + want - 1));
    for (std::uint64_t n = first; n < first + want; ++n)
        l.lists.emplace(static_cast<GLuint>(n), std::make_unique<List>());
    return static_cast<GLuint>(first);
}

void GLAPIENTRY glNewList(GLuint list, GLenum mode)
{
    Layer& l = L();
    if (list == 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
        SetError(GL_INVALID_ENUM);
        return;
    }
    if (l.compiling || l.inBegin) {
        SetError(GL_INVALID_OPERATION);
        return;
    }
    l.compiling = true;
    l.compileAndExecute = mode == GL_COMPILE_AND_EXECUTE;
    l.compilingName = list;
    l.compiled = std::make_unique<List>();
    l.listColor = l.listTexCoord = l.listNormal = false;
    l.compileCurrent = l.attrib.current;
}

void GLAPIENTRY glEndList()
{
    Layer& l = L();
    if (!l.compiling || l.inBegin) {
        SetError(GL_INVALID_OPERATION);
        return;
    }
    l.compiling = false;
    l.lists[l.compilingName] = std::move(l.compiled);
}

void GLAPIENTRY glCallList(GLuint list)
{
    if (!Recorded(MakeStep(ListStep::CallList, list)))
        ReplayList(list);
}

namespace {

// The n-th entry of a glCallLists array, as GL reads each type.
bool ListOffset(GLenum type, const GLvoid* lists, GLsizei i, GLuint& offset)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(lists);
    switch (type) {
    case GL_BYTE: offset = static_cast<GLuint>(static_cast<const GLbyte*>(lists)[i]); return true;
    case GL_UNSIGNED_BYTE: offset = bytes[i]; return true;
    case GL_SHORT: offset = static_cast<GLuint>(static_cast<const GLshort*>(lists)[i]); return true;
    case GL_UNSIGNED_SHORT: offset = static_cast<const GLushort*>(lists)[i]; return true;
    case GL_INT: offset = static_cast<GLuint>(static_cast<const GLint*>(lists)[i]); return true;
    case GL_UNSIGNED_INT: offset = static_cast<const GLuint*>(lists)[i]; return true;
    case GL_FLOAT: offset = static_cast<GLuint>(static_cast<const GLfloat*>(lists)[i]); return true;
    case GL_2_BYTES: offset = GLuint(bytes[2 * i]) << 8 | bytes[2 * i + 1]; return true;
    case GL_3_BYTES: offset = GLuint(bytes[3 * i]) << 16 | GLuint(bytes[3 * i + 1]) << 8 | bytes[3 * i + 2]; return true;
    case GL_4_BYTES:
        offset = GLuint(bytes[4 * i]) << 24 | GLuint(bytes[4 * i + 1]) << 16 | GLuint(bytes[4 * i + 2]) << 8
            | bytes[4 * i + 3];
        return true;
    default: return false;
    }
}

} // namespace

void GLAPIENTRY glCallLists(GLsizei n, GLenum type, const GLvoid* lists)
{
    Layer& l = L();
    if (n < 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    if (!lists)
        return;
    for (GLsizei i = 0; i < n; ++i) {
        GLuint offset = 0;
        if (!ListOffset(type, lists, i, offset)) {
            SetError(GL_INVALID_ENUM);
            return;
        }
        // Through the base in force when the list runs (e[0] = 1).
        if (!Recorded(MakeStep(ListStep::CallList, offset, 1)))
            ReplayList(l.attrib.listBase + offset);
    }
}

void GLAPIENTRY glListBase(GLuint base)
{
    if (!Recorded(MakeStep(ListStep::ListBase, base)))
        L().attrib.listBase = base;
}

void GLAPIENTRY glDeleteLists(GLuint list, GLsizei range)
{
    if (range < 0) {
        SetError(GL_INVALID_VALUE);
        return;
    }
    Layer& l = L();
    const std::uint64_t end = std::uint64_t(list) + static_cast<std::uint64_t>(range);
    auto from = l.lists.lower_bound(list);
    auto to = end > std::numeric_limits<GLuint>::max() ? l.lists.end() : l.lists.lower_bound(static_cast<GLuint>(end));
    l.lists.erase(from, to);
}

GLboolean GLAPIENTRY glIsList(GLuint list) { return L().lists.count(list) ? GL_TRUE : GL_FALSE; }
