#define TOVAR_WEBGL_NO_ROUTING
#include "toolkit/platform/web/DisplayLists.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

namespace {

struct Step {
    enum Kind { Draw, Translate } kind;
    GLenum mode;   // Draw: the primitive
    GLint first;   // Draw: the first vertex of the list's array
    GLsizei count; // Draw: how many vertices
    GLfloat x, y, z; // Translate
};

struct List {
    std::vector<GLfloat> vertices; // x, y, z per vertex
    std::vector<Step> steps;
};

// GL's own minimum depth of the attribute stack.
const std::size_t kMaxAttribDepth = 16;

struct Lists {
    std::map<GLuint, List> names; // every name in use; glGenLists makes them empty lists
    GLuint base = 0;
    struct Saved {
        bool listBit;
        GLuint base;
    };
    std::vector<Saved> saved; // one per glPushAttrib

    bool recording = false;
    bool execute = false; // GL_COMPILE_AND_EXECUTE
    GLuint recordingName = 0;
    List recorded;
    bool inBegin = false;
    GLenum beginMode = 0;
    std::size_t beginFirst = 0;
};

Lists& State()
{
    static Lists state;
    return state;
}

// Vertices per primitive of the modes whose runs may be joined into one draw;
// 0 for strips, loops, fans and polygons, which must stay apart.
GLsizei Independent(GLenum mode)
{
    switch (mode) {
    case GL_POINTS: return 1;
    case GL_LINES: return 2;
    case GL_TRIANGLES: return 3;
    case GL_QUADS: return 4;
    default: return 0;
    }
}

void RecordVertex(GLfloat x, GLfloat y, GLfloat z)
{
    Lists& s = State();
    if (!s.inBegin)
        return; // a vertex outside glBegin/glEnd draws nothing
    s.recorded.vertices.insert(s.recorded.vertices.end(), {x, y, z});
}

// The client arrays as the caller left them, put back when the replay ends.
// Taken only when a list actually draws, so empty glyphs cost no query.
class ClientArrays {
public:
    ~ClientArrays()
    {
        if (!taken_)
            return;
        if (size_ > 0)
            glVertexPointer(size_, static_cast<GLenum>(type_), stride_, pointer_);
        if (!vertex_)
            glDisableClientState(GL_VERTEX_ARRAY);
        if (color_)
            glEnableClientState(GL_COLOR_ARRAY);
        if (normal_)
            glEnableClientState(GL_NORMAL_ARRAY);
        if (texCoord_)
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }

    void Use(const GLfloat* vertices)
    {
        if (!taken_) {
            taken_ = true;
            // glGetBooleanv, not glIsEnabled: the emulation answers client
            // arrays only through the former.
            vertex_ = Enabled(GL_VERTEX_ARRAY);
            color_ = Enabled(GL_COLOR_ARRAY);
            normal_ = Enabled(GL_NORMAL_ARRAY);
            texCoord_ = Enabled(GL_TEXTURE_COORD_ARRAY);
            glGetIntegerv(GL_VERTEX_ARRAY_SIZE, &size_);
            glGetIntegerv(GL_VERTEX_ARRAY_TYPE, &type_);
            glGetIntegerv(GL_VERTEX_ARRAY_STRIDE, &stride_);
            glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer_);
            if (!vertex_)
                glEnableClientState(GL_VERTEX_ARRAY);
            if (color_)
                glDisableClientState(GL_COLOR_ARRAY);
            if (normal_)
                glDisableClientState(GL_NORMAL_ARRAY);
            if (texCoord_)
                glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glVertexPointer(3, GL_FLOAT, 0, vertices);
    }

private:
    static bool Enabled(GLenum array)
    {
        GLboolean on = GL_FALSE;
        glGetBooleanv(array, &on);
        return on != GL_FALSE;
    }

    bool taken_ = false;
    bool vertex_ = false, color_ = false, normal_ = false, texCoord_ = false;
    GLint size_ = 0, type_ = 0, stride_ = 0;
    GLvoid* pointer_ = nullptr;
};

void Replay(GLuint name, ClientArrays& arrays)
{
    Lists& s = State();
    auto it = s.names.find(name);
    if (it == s.names.end())
        return;
    const List& list = it->second;
    bool pointed = false;
    for (const Step& step : list.steps) {
        if (step.kind == Step::Translate) {
            glTranslatef(step.x, step.y, step.z);
            continue;
        }
        if (!pointed) {
            arrays.Use(list.vertices.data());
            pointed = true;
        }
        glDrawArrays(step.mode, step.first, step.count);
    }
}

// The n-th name of a glCallLists array, as GL reads each type.
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
    case GL_3_BYTES:
        offset = GLuint(bytes[3 * i]) << 16 | GLuint(bytes[3 * i + 1]) << 8 | bytes[3 * i + 2];
        return true;
    case GL_4_BYTES:
        offset = GLuint(bytes[4 * i]) << 24 | GLuint(bytes[4 * i + 1]) << 16 | GLuint(bytes[4 * i + 2]) << 8
            | bytes[4 * i + 3];
        return true;
    default: return false;
    }
}

} // namespace

GLuint TovarWebGL_GenLists(GLsizei range)
{
    if (range <= 0)
        return 0;
    Lists& s = State();
    // The lowest run of `range` free names, as GL hands them out.
    const std::uint64_t want = static_cast<std::uint64_t>(range);
    std::uint64_t first = 1;
    for (const auto& used : s.names) {
        if (used.first >= first + want)
            break;
        if (used.first >= first)
            first = std::uint64_t(used.first) + 1;
    }
    if (first + want - 1 > std::numeric_limits<GLuint>::max())
        return 0;
    for (std::uint64_t n = first; n < first + want; ++n)
        s.names.emplace(static_cast<GLuint>(n), List());
    return static_cast<GLuint>(first);
}

void TovarWebGL_NewList(GLuint list, GLenum mode)
{
    Lists& s = State();
    if (list == 0 || s.recording || (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE))
        return;
    s.recording = true;
    s.execute = mode == GL_COMPILE_AND_EXECUTE;
    s.recordingName = list;
    s.recorded = List();
    s.inBegin = false;
}

void TovarWebGL_EndList()
{
    Lists& s = State();
    if (!s.recording)
        return;
    if (s.inBegin)
        TovarWebGL_End();
    s.recording = false;
    s.names[s.recordingName] = std::move(s.recorded);
    s.recorded = List();
}

void TovarWebGL_CallList(GLuint list)
{
    ClientArrays arrays;
    Replay(list, arrays);
}

void TovarWebGL_CallLists(GLsizei n, GLenum type, const GLvoid* lists)
{
    if (n <= 0 || !lists)
        return;
    Lists& s = State();
    ClientArrays arrays;
    for (GLsizei i = 0; i < n; ++i) {
        GLuint offset = 0;
        if (!ListOffset(type, lists, i, offset))
            return;
        Replay(s.base + offset, arrays);
    }
}

void TovarWebGL_ListBase(GLuint base) { State().base = base; }

void TovarWebGL_DeleteLists(GLuint list, GLsizei range)
{
    if (range <= 0)
        return;
    Lists& s = State();
    std::uint64_t end = std::uint64_t(list) + static_cast<std::uint64_t>(range);
    auto from = s.names.lower_bound(list);
    auto to = end > std::numeric_limits<GLuint>::max() ? s.names.end()
                                                        : s.names.lower_bound(static_cast<GLuint>(end));
    s.names.erase(from, to);
}

GLboolean TovarWebGL_IsList(GLuint list) { return State().names.count(list) ? GL_TRUE : GL_FALSE; }

void TovarWebGL_PushAttrib(GLbitfield mask)
{
    Lists& s = State();
    if (s.saved.size() >= kMaxAttribDepth)
        return; // GL refuses with a stack overflow and changes nothing
    s.saved.push_back({(mask & GL_LIST_BIT) != 0, s.base});
}

void TovarWebGL_PopAttrib()
{
    Lists& s = State();
    if (s.saved.empty())
        return;
    if (s.saved.back().listBit)
        s.base = s.saved.back().base;
    s.saved.pop_back();
}

void TovarWebGL_Begin(GLenum mode)
{
    Lists& s = State();
    if (s.execute || !s.recording)
        glBegin(mode);
    if (!s.recording || s.inBegin || mode > GL_POLYGON)
        return;
    s.inBegin = true;
    s.beginMode = mode;
    s.beginFirst = s.recorded.vertices.size() / 3;
}

void TovarWebGL_End()
{
    Lists& s = State();
    if (s.execute || !s.recording)
        glEnd();
    if (!s.recording || !s.inBegin)
        return;
    s.inBegin = false;
    List& list = s.recorded;
    std::size_t count = list.vertices.size() / 3 - s.beginFirst;
    // An unfinished primitive draws nothing; dropping its vertices here keeps
    // them from joining the next run.
    if (GLsizei per = Independent(s.beginMode)) {
        count -= count % static_cast<std::size_t>(per);
        list.vertices.resize((s.beginFirst + count) * 3);
    }
    if (count == 0) {
        list.vertices.resize(s.beginFirst * 3);
        return;
    }
    if (!list.steps.empty()) {
        Step& last = list.steps.back();
        if (last.kind == Step::Draw && last.mode == s.beginMode && Independent(s.beginMode)
            && static_cast<std::size_t>(last.first) + static_cast<std::size_t>(last.count) == s.beginFirst) {
            last.count += static_cast<GLsizei>(count);
            return;
        }
    }
    Step step = {Step::Draw, s.beginMode, static_cast<GLint>(s.beginFirst), static_cast<GLsizei>(count), 0, 0, 0};
    list.steps.push_back(step);
}

void TovarWebGL_Vertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    Lists& s = State();
    if (s.execute || !s.recording)
        glVertex3f(x, y, z);
    if (s.recording)
        RecordVertex(x, y, z);
}

void TovarWebGL_Vertex3d(GLdouble x, GLdouble y, GLdouble z)
{
    // The emulation has no double forms; GL keeps vertices as floats anyway.
    TovarWebGL_Vertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
}

void TovarWebGL_Vertex3dv(const GLdouble* v)
{
    if (v)
        TovarWebGL_Vertex3d(v[0], v[1], v[2]);
}

void TovarWebGL_Translatef(GLfloat x, GLfloat y, GLfloat z)
{
    Lists& s = State();
    if (s.execute || !s.recording)
        glTranslatef(x, y, z);
    if (s.recording) {
        Step step = {Step::Translate, 0, 0, 0, x, y, z};
        s.recorded.steps.push_back(step);
    }
}
