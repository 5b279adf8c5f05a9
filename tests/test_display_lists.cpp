// The browser's display lists, replayed in a real GL beside real display
// lists made by the same calls: the pixels and the state they leave must match.

#include "support/GLWindow.h"

#define TOVAR_WEBGL_NO_ROUTING
#include "toolkit/platform/web/DisplayLists.h"

#include <vector>

namespace {

// One set of list calls: GL's own, or ours.
struct Api {
    GLuint (*gen)(GLsizei);
    void (*newList)(GLuint, GLenum);
    void (*endList)();
    void (*begin)(GLenum);
    void (*end)();
    void (*vertex3f)(GLfloat, GLfloat, GLfloat);
    void (*vertex3d)(GLdouble, GLdouble, GLdouble);
    void (*vertex3dv)(const GLdouble*);
    void (*translatef)(GLfloat, GLfloat, GLfloat);
    void (*callLists)(GLsizei, GLenum, const GLvoid*);
    void (*listBase)(GLuint);
    void (*pushAttrib)(GLbitfield);
    void (*popAttrib)();
    GLboolean (*isList)(GLuint);
    void (*deleteLists)(GLuint, GLsizei);
};

const Api kReal = {
    [](GLsizei r) { return glGenLists(r); },
    [](GLuint l, GLenum m) { glNewList(l, m); },
    [] { glEndList(); },
    [](GLenum m) { glBegin(m); },
    [] { glEnd(); },
    [](GLfloat x, GLfloat y, GLfloat z) { glVertex3f(x, y, z); },
    [](GLdouble x, GLdouble y, GLdouble z) { glVertex3d(x, y, z); },
    [](const GLdouble* v) { glVertex3dv(v); },
    [](GLfloat x, GLfloat y, GLfloat z) { glTranslatef(x, y, z); },
    [](GLsizei n, GLenum t, const GLvoid* l) { glCallLists(n, t, l); },
    [](GLuint b) { glListBase(b); },
    [](GLbitfield m) { glPushAttrib(m); },
    [] { glPopAttrib(); },
    [](GLuint l) { return glIsList(l); },
    [](GLuint l, GLsizei r) { glDeleteLists(l, r); },
};

const Api kOurs = {
    TovarWebGL_GenLists, TovarWebGL_NewList,   TovarWebGL_EndList,   TovarWebGL_Begin,
    TovarWebGL_End,      TovarWebGL_Vertex3f,  TovarWebGL_Vertex3d,  TovarWebGL_Vertex3dv,
    TovarWebGL_Translatef, TovarWebGL_CallLists, TovarWebGL_ListBase, TovarWebGL_PushAttrib,
    TovarWebGL_PopAttrib, TovarWebGL_IsList,   TovarWebGL_DeleteLists,
};

// Four "glyphs" with what a font list holds and a little more: runs of
// triangles, quads, a fan and a loop, each ending with an advance.
GLuint MakeLists(const Api& gl)
{
    GLuint base = gl.gen(4);
    gl.newList(base, GL_COMPILE);
    gl.begin(GL_TRIANGLES);
    gl.vertex3d(0, 0, 0), gl.vertex3d(0.6, 0, 0), gl.vertex3d(0.3, 0.9, 0);
    gl.end();
    gl.begin(GL_TRIANGLES);
    const GLdouble v[3][3] = {{0.0, 0.95, 0}, {0.61, 0.95, 0}, {0.3, 1.2, 0}};
    for (const auto& p : v)
        gl.vertex3dv(p);
    gl.end();
    gl.translatef(0.7f, 0, 0);
    gl.endList();

    gl.newList(base + 1, GL_COMPILE);
    gl.begin(GL_QUADS);
    gl.vertex3f(0, 0, 0), gl.vertex3f(0.5f, 0, 0), gl.vertex3f(0.5f, 0.25f, 0), gl.vertex3f(0, 0.25f, 0);
    gl.end();
    gl.translatef(0, 0.5f, 0);
    gl.begin(GL_TRIANGLE_FAN);
    gl.vertex3f(0.25f, 0, 0);
    for (int i = 0; i <= 6; ++i)
        gl.vertex3f(0.25f + 0.2f * (i % 2 ? 1.0f : 0.7f) * (i - 3) / 3, 0.3f + 0.05f * i, 0);
    gl.end();
    gl.translatef(0.6f, -0.5f, 0);
    gl.endList();

    gl.newList(base + 2, GL_COMPILE);
    gl.begin(GL_LINE_LOOP);
    gl.vertex3f(0, 0, 0), gl.vertex3f(0.4f, 0.1f, 0), gl.vertex3f(0.3f, 0.8f, 0);
    gl.end();
    gl.translatef(0.5f, 0, 0);
    gl.endList();

    gl.newList(base + 3, GL_COMPILE); // a space: only the advance
    gl.translatef(0.3f, 0, 0);
    gl.endList();
    return base;
}

struct Drawn {
    std::vector<unsigned char> pixels = std::vector<unsigned char>(800 * 600 * 3);
    GLdouble modelview[16];
};

Drawn DrawText(const Api& gl, GLuint base)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(13.3f, 100.7f, 0);
    glScalef(37.1f, 41.9f, 1);
    glColor3ub(0, 250, 250);
    const unsigned char text[] = {0, 3, 1, 2, 0, 9, 0, 1, 2, 3, 1, 0, 2, 2, 1, 0, 0, 3, 1};
    gl.listBase(base - 2);
    gl.pushAttrib(GL_LIST_BIT);
    gl.listBase(base);
    gl.callLists(sizeof text, GL_UNSIGNED_BYTE, text);
    gl.popAttrib();
    // Under the restored base, with another index type.
    const GLushort second[] = {4, 5, 2};
    glTranslatef(-19, 3, 0);
    gl.callLists(3, GL_UNSIGNED_SHORT, second);
    Drawn out;
    glGetDoublev(GL_MODELVIEW_MATRIX, out.modelview);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, out.pixels.data());
    return out;
}

class DisplayListTest : public GLWindowTest {};

} // namespace

TEST_F(DisplayListTest, ReplayDrawsTheSamePixelsAsRealListsAndLeavesTheSameState)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    GLuint real = MakeLists(kReal);
    GLuint ours = MakeLists(kOurs);
    ASSERT_NE(real, 0u);
    ASSERT_NE(ours, 0u);

    // The caller's own client arrays, which replay must leave as they were.
    static const GLfloat callerVertices[8] = {};
    glVertexPointer(2, GL_FLOAT, 8, callerVertices);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);

    Drawn a = DrawText(kReal, real);
    Drawn b = DrawText(kOurs, ours);
    int ink = 0, differ = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 3) {
        ink += a.pixels[i + 1] > 0;
        differ += a.pixels[i] != b.pixels[i] || a.pixels[i + 1] != b.pixels[i + 1] || a.pixels[i + 2] != b.pixels[i + 2];
    }
    EXPECT_GT(ink, 3000) << "the text should draw";
    EXPECT_EQ(differ, 0) << "pixels that differ from real display lists";
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(static_cast<float>(a.modelview[i]), static_cast<float>(b.modelview[i])) << i;

    GLboolean vertexArray = GL_TRUE, texArray = GL_FALSE;
    glGetBooleanv(GL_VERTEX_ARRAY, &vertexArray);
    glGetBooleanv(GL_TEXTURE_COORD_ARRAY, &texArray);
    EXPECT_FALSE(vertexArray);
    EXPECT_TRUE(texArray);
    GLint size = 0, stride = 0;
    GLvoid* pointer = nullptr;
    glGetIntegerv(GL_VERTEX_ARRAY_SIZE, &size);
    glGetIntegerv(GL_VERTEX_ARRAY_STRIDE, &stride);
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(stride, 8);
    EXPECT_EQ(pointer, callerVertices);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DisplayListTest, NamesAreHandedOutAndFreedAsGLDoes)
{
    for (const Api* gl : {&kReal, &kOurs}) {
        SCOPED_TRACE(gl == &kReal ? "real" : "ours");
        GLuint a = gl->gen(3);
        ASSERT_NE(a, 0u);
        EXPECT_TRUE(gl->isList(a + 2)) << "made empty by glGenLists";
        EXPECT_FALSE(gl->isList(a + 3));
        GLuint b = gl->gen(2);
        EXPECT_GE(b, a + 3) << "no overlap";
        gl->deleteLists(a, 2);
        EXPECT_FALSE(gl->isList(a));
        EXPECT_TRUE(gl->isList(a + 2));
        GLuint c = gl->gen(2);
        EXPECT_TRUE(c + 2 <= b || c >= b + 2) << "names still in use stay out";
        EXPECT_TRUE(c + 2 <= a + 2 || c > a + 2);
        gl->deleteLists(c, 2);
        EXPECT_EQ(gl->gen(0), 0u);
        gl->deleteLists(a, 3);
        gl->deleteLists(b, 2);
        EXPECT_FALSE(gl->isList(b + 1));
    }
}
