// The browser's display lists and font, beside the desktop GL's own lists and
// the desktop's font: the same pixels, state, triangles and metrics; and a
// broken baked font refused.

#include "support/GLWindow.h"
#include "support/TempDir.h"

#include "toolkit/Font.h"
#include "toolkit/platform/common/OutlineGlyphs.h"
#include "toolkit/platform/common/BakedFont.h"
#define TOVAR_WEBGL_NO_ROUTING
#include "toolkit/platform/web/DisplayLists.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The browser's outline call, renamed in this program (tests/CMakeLists.txt);
// its font handles are the desktop's.
BOOL WebUseFontOutlinesA(HDC, DWORD, DWORD, DWORD, float, float, int, LPGLYPHMETRICSFLOAT);

using namespace TovarToolkit;

namespace {

TovarFont desktop; // static storage: zero-filled like the game's own font

class WebTest : public GLWindowTest {
protected:
    static TempDir* dir;
    static int baked; // fontbake's exit status

    static void SetUpTestSuite()
    {
        GLWindowTest::SetUpTestSuite();
        dir = new TempDir;
        std::filesystem::create_directory(dir->path() / "Fonts");
        baked = std::system(("\"" QUELLIN_BINARY_DIR "/tools/fontbake\" \"" + dir->file("Fonts/HUD.font") + "\"").c_str());
        if (TW.hRC)
            desktop.CreateGLFont("Comic Sans MS");
    }
    static void TearDownTestSuite()
    {
        GLWindowTest::TearDownTestSuite();
        delete dir;
    }

    // The browser's lists and metrics for codes 0 to 254, built in `folder`.
    static BOOL BuildWebFont(const std::filesystem::path& folder, GLuint& base, GLYPHMETRICSFLOAT* metrics)
    {
        auto here = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        SelectObject(hdc, CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                                            CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                            "Comic Sans MS"));
        base = TovarWebGL_GenLists(256);
        BOOL ok = WebUseFontOutlinesA(hdc, 0, 255, base, 0.0f, 0.0f, WGL_FONT_POLYGONS, metrics);
        std::filesystem::current_path(here);
        return ok;
    }
};
TempDir* WebTest::dir = nullptr;
int WebTest::baked = -1;

std::vector<unsigned char> Pixels()
{
    std::vector<unsigned char> rgb(800 * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// Pixels that differ between two frames; `ink` counts the lit ones of `a`.
int Differ(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int& ink)
{
    int differ = 0;
    for (size_t i = 0; i < a.size(); i += 3)
        ink += a[i + 1] > 0, differ += std::memcmp(&a[i], &b[i], 3) != 0;
    return differ;
}

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
    glGenLists, glNewList,  glEndList,  glBegin,     glEnd,       glVertex3f,  glVertex3d,    glVertex3dv,
    glTranslatef, glCallLists, glListBase, glPushAttrib, glPopAttrib, glIsList, glDeleteLists,
};

const Api kOurs = {
    TovarWebGL_GenLists,   TovarWebGL_NewList,   TovarWebGL_EndList,  TovarWebGL_Begin,     TovarWebGL_End,
    TovarWebGL_Vertex3f,   TovarWebGL_Vertex3d,  TovarWebGL_Vertex3dv, TovarWebGL_Translatef, TovarWebGL_CallLists,
    TovarWebGL_ListBase,   TovarWebGL_PushAttrib, TovarWebGL_PopAttrib, TovarWebGL_IsList,    TovarWebGL_DeleteLists,
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
    const GLdouble v[3][3] = {{0.0, 0.95, 0}, {0.61, 0.95, 0}, {0.3, 1.2, 0}};
    gl.begin(GL_TRIANGLES), gl.vertex3dv(v[0]), gl.vertex3dv(v[1]), gl.vertex3dv(v[2]), gl.end();
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
    std::vector<unsigned char> pixels;
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
    out.pixels = Pixels();
    return out;
}

} // namespace

TEST_F(WebTest, ReplayDrawsTheSamePixelsAsRealListsAndLeavesTheSameState)
{
    for (GLenum cap : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_BLEND, GL_CULL_FACE})
        glDisable(cap);
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
    int ink = 0;
    EXPECT_EQ(Differ(a.pixels, b.pixels, ink), 0) << "pixels that differ from real display lists";
    EXPECT_GT(ink, 3000) << "the text should draw";
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(static_cast<float>(a.modelview[i]), static_cast<float>(b.modelview[i])) << i;

    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
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

TEST_F(WebTest, NamesAreHandedOutAndFreedAsGLDoes)
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
        EXPECT_TRUE((c + 2 <= b || c >= b + 2) && (c <= a || c > a + 2)) << "names still in use stay out";
        gl->deleteLists(c, 2);
        EXPECT_EQ(gl->gen(0), 0u);
        gl->deleteLists(a, 3);
        gl->deleteLists(b, 2);
        EXPECT_FALSE(gl->isList(b + 1));
    }
}

TEST_F(WebTest, TheBakedFileHoldsWhatTheTessellatorMakesAndDrawsLikeTheDesktopFont)
{
    ASSERT_EQ(baked, 0);
    std::ifstream in(dir->file("Fonts/HUD.font"), std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TovarBakedFont font;
    std::string reason;
    ASSERT_TRUE(DecodeBakedFont(bytes.data(), bytes.size(), "HUD.font", font, reason)) << reason;

    TovarPlatform::OutlineFontRequest request;
    request.face = "Comic Sans MS";
    request.weight = FW_BOLD;
    std::vector<TovarPlatform::OutlineGlyph> made;
    ASSERT_TRUE(TovarPlatform::MakeOutlineGlyphs(request, 0, 255, 0.0f, WGL_FONT_POLYGONS, made));
    ASSERT_EQ(font.first, 0u);
    ASSERT_EQ(font.glyphs.size(), made.size());
    for (size_t c = 0; c < made.size(); ++c) {
        const TovarBakedGlyph& g = font.glyphs[c];
        EXPECT_EQ(g.present, made[c].present) << c;
        EXPECT_EQ(std::memcmp(&g.metrics, &made[c].metrics, sizeof g.metrics), 0) << c;
        ASSERT_EQ(g.vertices.size() * 3, made[c].triangles.size() * 2) << c;
        for (size_t v = 0; v < g.vertices.size(); ++v)
            ASSERT_EQ(g.vertices[v], static_cast<float>(made[c].triangles[v / 2 * 3 + v % 2])) << c;
    }

    // The browser's font: the desktop font's metrics, bit for bit, and its pixels.
    GLuint base = 0;
    GLYPHMETRICSFLOAT metrics[256] = {};
    ASSERT_TRUE(BuildWebFont(dir->path(), base, metrics));
    EXPECT_EQ(std::memcmp(metrics, desktop.GlyphInfo, sizeof metrics), 0);
    TW.ReSize(800, 600);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    auto draw = [&](bool web) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3ub(0, 250, 250);
        // Every printable code, in the HUD's scale and depth, then a few big.
        for (int line = 0; line < 7; ++line) {
            std::string text = "Qg@&8%";
            for (int c = 32 + 38 * line; line < 6 && c < std::min(255, 70 + 38 * line); ++c)
                text += static_cast<char>(c);
            const bool big = line == 6;
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glScalef(0.008f, 0.008f, 0.008f);
            glTranslatef(-16.0f, big ? -11.5f : 10.0f - 3.3f * line, -31.0f);
            if (big)
                glScalef(2.5f, 2.5f, 2.5f);
            if (web) {
                TovarWebGL_ListBase(base);
                TovarWebGL_CallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
            } else {
                glListBase(desktop.FontListID);
                glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
            }
        }
        return Pixels();
    };
    std::vector<unsigned char> a = draw(false), b = draw(true);
    int ink = 0;
    EXPECT_EQ(Differ(a, b, ink), 0) << "pixels that differ from the desktop font";
    EXPECT_GT(ink, 20000);
}

TEST_F(WebTest, ABrokenOrMissingFileIsRefused)
{
    TovarBakedFont font;
    font.first = 65;
    font.glyphs.resize(2);
    font.glyphs[0].present = true;
    font.glyphs[0].metrics.gmfCellIncX = 0.5f;
    font.glyphs[0].vertices = {0, 0, 1, 0, 0, 1};
    std::vector<unsigned char> good;
    std::string reason;
    ASSERT_TRUE(EncodeBakedFont(font, good, reason)) << reason;

    auto refused = [&](std::vector<unsigned char> bytes, const char* what) {
        TovarBakedFont out;
        out.first = 7;
        std::string why;
        bool ok = DecodeBakedFont(bytes.data(), bytes.size(), "HUD.font", out, why);
        EXPECT_FALSE(ok) << what;
        EXPECT_TRUE(out.glyphs.empty() && out.first == 0) << what;
        EXPECT_EQ(why.rfind("HUD.font: ", 0), 0u) << what << ": " << why;
    };
    for (size_t n = 0; n < good.size(); ++n)
        refused(std::vector<unsigned char>(good.begin(), good.begin() + n), "truncated");
    auto changed = [&](size_t at, unsigned char value) {
        std::vector<unsigned char> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    refused(changed(0, 'X'), "magic");
    refused(changed(4, 2), "version");
    refused(changed(12, 200), "codes past 255");
    refused(changed(16, 4), "unknown flag");
    refused(changed(16 + 25 + 3, 0x10), "more triangles than bytes");
    std::vector<unsigned char> infinite = good;
    const float inf = INFINITY;
    std::memcpy(&infinite[16 + 29], &inf, 4);
    refused(infinite, "a vertex that is not finite");
    refused(changed(good.size() - 29 + 1, 0x3f), "metrics for a code without a glyph");
    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    refused(longer, "trailing byte");

    font.glyphs[0].vertices.pop_back();
    EXPECT_FALSE(EncodeBakedFont(font, good, reason)) << "half a vertex";

    // The browser's calls: no file, or a broken one, and no font.
    TempDir empty;
    GLuint base = 0;
    GLYPHMETRICSFLOAT metrics[256];
    std::memset(metrics, 0x7f, sizeof metrics);
    EXPECT_FALSE(BuildWebFont(empty.path(), base, metrics));
    EXPECT_EQ(metrics[65].gmfCellIncX, 0.0f) << "a refusal leaves zero metrics";
    std::filesystem::create_directory(empty.path() / "Fonts");
    std::ofstream(empty.file("Fonts/HUD.font"), std::ios::binary).write(reinterpret_cast<const char*>(good.data()), 30);
    EXPECT_FALSE(BuildWebFont(empty.path(), base, metrics));
}
