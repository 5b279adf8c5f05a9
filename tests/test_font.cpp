#include "support/GLWindow.h"

#include "toolkit/Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace TovarToolkit;

namespace {

typedef std::array<float, 3> Vertex;
typedef std::vector<Vertex> Polygon;

struct Feedback {
    std::vector<Polygon> polygons;
    int lines = 0;
    bool overflow = false;

    float MinX() const { return Extreme(0, false); }
    float MaxX() const { return Extreme(0, true); }
    float MinY() const { return Extreme(1, false); }
    float MaxY() const { return Extreme(1, true); }
    float Extreme(int axis, bool biggest) const
    {
        float best = biggest ? -1e30f : 1e30f;
        for (const Polygon& p : polygons)
            for (const Vertex& v : p)
                best = biggest ? std::max(best, v[axis]) : std::min(best, v[axis]);
        return best;
    }
};

// An orthographic view in which window coordinates are em units times kScale,
// shifted by (kOriginX, kOriginY): feedback then reads back in em units.
const float kScale = 40.0f;
const float kOriginX = 400.0f;
const float kOriginY = 300.0f;

template <typename Draw>
Feedback Capture(Draw draw, float scale = kScale)
{
    static std::vector<GLfloat> buffer(1 << 22);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(kOriginX, kOriginY, 0);
    glScalef(scale, scale, scale);

    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    Feedback out;
    if (n < 0) {
        out.overflow = true;
        return out;
    }
    auto vertex = [&](GLint& i) {
        Vertex v = {(buffer[i] - kOriginX) / scale, (buffer[i + 1] - kOriginY) / scale, buffer[i + 2]};
        i += 3;
        return v;
    };
    for (GLint i = 0; i < n;) {
        GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            GLint count = static_cast<GLint>(buffer[i++]);
            Polygon p;
            for (GLint k = 0; k < count; ++k)
                p.push_back(vertex(i));
            out.polygons.push_back(p);
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            ++out.lines;
            i += 6;
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            i += 3; // points, bitmaps and pixel rectangles carry one vertex
        }
    }
    return out;
}

std::array<GLdouble, 16> Modelview()
{
    std::array<GLdouble, 16> m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

void ExpectSameMatrix(const std::array<GLdouble, 16>& a, const std::array<GLdouble, 16>& b)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-5) << "element " << i;
}

bool IsZero(const GLYPHMETRICSFLOAT& m)
{
    return m.gmfBlackBoxX == 0 && m.gmfBlackBoxY == 0 && m.gmfptGlyphOrigin.x == 0
        && m.gmfptGlyphOrigin.y == 0 && m.gmfCellIncX == 0 && m.gmfCellIncY == 0;
}

// The face fontconfig gives for the HUD's request, looked up independently of
// the font code, with its cap height from the OS/2 table (0 when absent).
struct MatchedFace {
    std::string description;
    double capHeight = 0.0;
};

MatchedFace LookUpFace()
{
    MatchedFace out;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Comic Sans MS:bold"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return out;
    FcChar8 *family = nullptr, *style = nullptr, *file = nullptr;
    FcPatternGetString(match, FC_FAMILY, 0, &family);
    FcPatternGetString(match, FC_STYLE, 0, &style);
    FcPatternGetString(match, FC_FILE, 0, &file);
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    out.description = std::string(family ? (const char*)family : "?") + " " + (style ? (const char*)style : "?")
        + " (" + (file ? (const char*)file : "?") + ")";
    FT_Library library;
    FT_Face face;
    if (file && FT_Init_FreeType(&library) == 0) {
        if (FT_New_Face(library, (const char*)file, index, &face) == 0) {
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            if (os2 && os2->version >= 2 && os2->sCapHeight > 0)
                out.capHeight = double(os2->sCapHeight) / face->units_per_EM;
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
    }
    FcPatternDestroy(match);
    return out;
}

bool Printable(int c) { return (c > 32 && c < 127) || (c > 160 && c < 255 && c != 173); }

TovarFont font; // static storage: zero-filled like the game's own font

class FontTest : public GLWindowTest {
protected:
    static unsigned int built;

    static void SetUpTestSuite()
    {
        GLWindowTest::SetUpTestSuite();
        if (TW.hRC)
            built = font.CreateGLFont("Comic Sans MS");
    }

    const GLYPHMETRICSFLOAT& Info(unsigned char c) const { return font.GlyphInfo[c]; }
};
unsigned int FontTest::built = 0;

} // namespace

// ---- The lists and their metrics ------------------------------------------------

TEST_F(FontTest, EveryCodeUpTo254HasAListAndPrintableOnesDrawSomething)
{
    ASSERT_NE(built, 0u);
    EXPECT_EQ(built, font.FontListID);
    std::string missing, notEmpty;
    for (int c = 0; c < 255; ++c) {
        EXPECT_TRUE(glIsList(font.FontListID + c)) << "code " << c;
        Feedback f = Capture([&] { glCallList(font.FontListID + c); });
        ASSERT_FALSE(f.overflow);
        if (Printable(c) && f.polygons.empty())
            missing += std::to_string(c) + " ";
        if ((c < 33 || c == 127) && !f.polygons.empty())
            notEmpty += std::to_string(c) + " ";
    }
    EXPECT_EQ(missing, "") << "printable codes that draw nothing";
    EXPECT_EQ(notEmpty, "") << "controls and the space should draw nothing";

    // Code 255 is outside the 255 glyphs built: nothing drawn, nothing measured.
    Feedback last = Capture([&] { glCallList(font.FontListID + 255); });
    EXPECT_TRUE(last.polygons.empty());
    EXPECT_TRUE(IsZero(Info(255)));
    for (int c = 0; c < 32; ++c)
        EXPECT_TRUE(IsZero(Info(static_cast<unsigned char>(c)))) << "control " << c;
}

TEST_F(FontTest, AdvancesArePositiveAndGlyphsAreInEmUnits)
{
    MatchedFace face = LookUpFace();
    std::printf("face for \"Comic Sans MS\" bold: %s, cap height %.3f em\n", face.description.c_str(),
                face.capHeight);
    RecordProperty("face", face.description);

    for (int c = 32; c < 127; ++c) {
        EXPECT_GT(Info(c).gmfCellIncX, 0.1f) << "code " << c;
        EXPECT_LT(Info(c).gmfCellIncX, 1.5f) << "code " << c;
        EXPECT_EQ(Info(c).gmfCellIncY, 0.0f) << "code " << c;
    }

    // A capital stands on the baseline and reaches the face's cap height.
    const GLYPHMETRICSFLOAT& h = Info('H');
    EXPECT_NEAR(h.gmfptGlyphOrigin.y - h.gmfBlackBoxY, 0.0f, 0.01f);
    EXPECT_LT(h.gmfBlackBoxY, 0.9f);
    EXPECT_GT(h.gmfBlackBoxY, 0.5f);
    if (face.capHeight > 0) {
        EXPECT_NEAR(h.gmfBlackBoxY, face.capHeight, 0.05 * face.capHeight);
    }

    // What a list draws lies in its black box, and the list moves on by its advance.
    for (unsigned char c : std::string("HAgjQ@%")) {
        const GLYPHMETRICSFLOAT& m = Info(c);
        Feedback f = Capture([&] { glCallList(font.FontListID + c); });
        ASSERT_FALSE(f.polygons.empty()) << c;
        const float eps = 0.002f;
        EXPECT_NEAR(f.MinX(), m.gmfptGlyphOrigin.x, eps) << c;
        EXPECT_NEAR(f.MaxX(), m.gmfptGlyphOrigin.x + m.gmfBlackBoxX, eps) << c;
        EXPECT_NEAR(f.MaxY(), m.gmfptGlyphOrigin.y, eps) << c;
        EXPECT_NEAR(f.MinY(), m.gmfptGlyphOrigin.y - m.gmfBlackBoxY, eps) << c;

        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glCallList(font.FontListID + c);
        auto after = Modelview();
        glPopMatrix();
        EXPECT_NEAR(after[12], m.gmfCellIncX, 1e-6) << c;
        EXPECT_NEAR(after[13], 0.0, 1e-6) << c;
    }
    EXPECT_LT(Info('g').gmfptGlyphOrigin.y - Info('g').gmfBlackBoxY, -0.1f) << "a descender goes below";
}

TEST_F(FontTest, CodesAbove127AreWindows1252)
{
    // 0x93 and 0x94 are the curly double quotes: small marks high above the baseline.
    for (unsigned char c : {0x93, 0x94}) {
        EXPECT_GT(Info(c).gmfCellIncX, 0.0f) << int(c);
        EXPECT_LT(Info(c).gmfBlackBoxY, 0.35f) << int(c);
        EXPECT_GT(Info(c).gmfptGlyphOrigin.y - Info(c).gmfBlackBoxY, 0.35f) << int(c);
    }
    // 0xE9 is e with an acute accent: the width of an e, taller.
    EXPECT_NEAR(Info(0xE9).gmfCellIncX, Info('e').gmfCellIncX, 1e-4);
    EXPECT_GT(Info(0xE9).gmfBlackBoxY, Info('e').gmfBlackBoxY + 0.1f);
}

TEST_F(FontTest, FilledGlyphsKeepTheirCounters)
{
    // Rendered big: a row through the middle of O crosses ink twice, with the
    // counter left open; I is crossed once.
    TW.ReSize(800, 600);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    auto runsThroughMiddle = [&](unsigned char c) {
        const GLYPHMETRICSFLOAT& m = Info(c);
        const float scale = 400.0f;
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 800, 0, 600, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(100, 100, 0);
        glScalef(scale, scale, scale);
        glColor3f(1, 1, 1);
        glCallList(font.FontListID + c);
        int row = static_cast<int>(100 + scale * (m.gmfptGlyphOrigin.y - m.gmfBlackBoxY / 2));
        std::vector<unsigned char> pixels(800 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, row, 800, 1, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        int runs = 0;
        bool inInk = false;
        for (int x = 0; x < 800; ++x) {
            bool ink = pixels[x * 3] > 128;
            if (ink && !inInk)
                ++runs;
            inInk = ink;
        }
        return runs;
    };
    EXPECT_EQ(runsThroughMiddle('O'), 2);
    EXPECT_EQ(runsThroughMiddle('o'), 2);
    EXPECT_EQ(runsThroughMiddle('0'), 2);
    EXPECT_EQ(runsThroughMiddle('I'), 1);
    EXPECT_EQ(runsThroughMiddle('U'), 2);
    TW.ReSize(800, 600);
}

// ---- DrawTextA --------------------------------------------------------------------

TEST_F(FontTest, ANullFormatMakesNoGLCall)
{
    // Between glBegin and glEnd almost every other GL call is an error, so any
    // call DrawTextA made would show up in glGetError.
    while (glGetError() != GL_NO_ERROR) {
    }
    auto before = Modelview();
    const char* volatile none = nullptr;
    glBegin(GL_POINTS);
    font.DrawTextA(5, 6, 7, none);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ExpectSameMatrix(before, Modelview());

    // The probe itself: a real text does call GL, and is caught.
    glBegin(GL_POINTS);
    font.DrawTextA(5, 6, 7, "A");
    glEnd();
    EXPECT_NE(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST_F(FontTest, AnEmptyTextDrawsNothingAndLeavesTheMatrix)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(30, 0, 1, 0);
    auto before = Modelview();
    font.DrawTextA(17, 10, -31, "%s", "");
    ExpectSameMatrix(before, Modelview());
    glPopMatrix();

    Feedback f = Capture([&] { font.DrawTextA(1, 2, 0, "%s", ""); });
    EXPECT_TRUE(f.polygons.empty());
}

TEST_F(FontTest, TextEndsAtXOnTheBaselineThroughY)
{
    const std::string text = "Score: 120";
    Feedback f = Capture([&] { font.DrawTextA(3, 1, 0, "Score: %i", 120); });
    ASSERT_FALSE(f.polygons.empty());

    // The ten characters, one list each, and nothing else.
    size_t expected = 0;
    float length = 0;
    for (unsigned char c : text) {
        expected += Capture([&] { glCallList(font.FontListID + c); }).polygons.size();
        length += Info(c).gmfCellIncX;
    }
    EXPECT_EQ(f.polygons.size(), expected);

    // The last glyph's advance ends at x; its ink ends at its black box.
    const GLYPHMETRICSFLOAT& zero = Info('0');
    EXPECT_NEAR(f.MaxX(), 3 - zero.gmfCellIncX + zero.gmfptGlyphOrigin.x + zero.gmfBlackBoxX, 0.002f);
    EXPECT_LE(f.MaxX(), 3.0f + 0.002f);
    const GLYPHMETRICSFLOAT& s = Info('S');
    EXPECT_NEAR(f.MinX(), 3 - length + s.gmfptGlyphOrigin.x, 0.002f);
    EXPECT_NEAR(f.MinY(), 1.0f, 0.05f) << "no descenders: the ink sits on the baseline";

    // The matrix keeps the advances the lists made, and only those.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    font.DrawTextA(3, 1, -2, "Score: %i", 120);
    auto after = Modelview();
    glPopMatrix();
    EXPECT_NEAR(after[12], length, 1e-4);
    EXPECT_NEAR(after[13], 0.0, 1e-5);
    EXPECT_NEAR(after[14], 0.0, 1e-5);
}

TEST_F(FontTest, LongTextIsCutAt255Characters)
{
    const std::string text(300, 'A');
    size_t perGlyph = Capture([&] { glCallList(font.FontListID + 'A'); }, 1.0f).polygons.size();
    ASSERT_GT(perGlyph, 0u);

    // Small enough that 255 capitals stay in view.
    Feedback f = Capture([&] { font.DrawTextA(0, 0, 0, "%s", text.c_str()); }, 0.1f);
    ASSERT_FALSE(f.overflow);
    EXPECT_EQ(f.polygons.size(), 255 * perGlyph);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    font.DrawTextA(0, 0, 0, "%s", text.c_str());
    auto after = Modelview();
    glPopMatrix();
    EXPECT_NEAR(after[12], 255 * Info('A').gmfCellIncX, 1e-3);
}

TEST_F(FontTest, Code255AddsNothing)
{
    Feedback plain = Capture([&] { font.DrawTextA(2, 0, 0, "A"); });
    Feedback with255 = Capture([&] { font.DrawTextA(2, 0, 0, "A\xff"); });
    ASSERT_FALSE(plain.polygons.empty());
    EXPECT_EQ(with255.polygons.size(), plain.polygons.size());
    EXPECT_NEAR(with255.MaxX(), plain.MaxX(), 1e-4);
    EXPECT_NEAR(with255.MinX(), plain.MinX(), 1e-4);
}

TEST_F(FontTest, AFontWithoutListsDrawsNothingAndDeletesNothing)
{
    // Zero-filled, as before CreateGLFont: list base 0 would run other lists.
    TovarFont blank = {};
    auto before = Modelview();
    Feedback f = Capture([&] { blank.DrawTextA(1, 1, 0, "ABC"); });
    EXPECT_TRUE(f.polygons.empty());
    blank.DrawTextA(1, 1, 0, "ABC");
    ExpectSameMatrix(before, Modelview());

    blank.DestroyFont();
    EXPECT_TRUE(glIsList(font.FontListID + 'A'));
}

TEST_F(FontTest, DestroyFontDeletesItsOwnLists)
{
    TovarFont other = {};
    ASSERT_NE(other.CreateGLFont("DejaVu Sans"), 0u);
    unsigned int base = other.FontListID;
    EXPECT_TRUE(glIsList(base + 'A'));
    other.DestroyFont();
    EXPECT_FALSE(glIsList(base + 'A'));
    EXPECT_EQ(other.FontListID, 0u);
    EXPECT_TRUE(glIsList(font.FontListID + 'A')) << "the other font's lists stay";
}

// ---- The platform's outline-font calls ----------------------------------------------

TEST_F(FontTest, OutlineCallsRefuseWhatTheyCannotUse)
{
    GLYPHMETRICSFLOAT metrics[4];
    std::memset(metrics, 0x7f, sizeof(metrics));
    GLuint base = glGenLists(4);
    EXPECT_FALSE(wglUseFontOutlinesA(nullptr, 'A', 4, base, 0, 0, WGL_FONT_POLYGONS, metrics));
    for (const GLYPHMETRICSFLOAT& m : metrics)
        EXPECT_TRUE(IsZero(m)) << "a failed call leaves zero metrics";
    // Extruded glyphs are not made here.
    EXPECT_FALSE(wglUseFontOutlinesA(hdc, 'A', 4, base, 0, 0.5f, WGL_FONT_POLYGONS, metrics));
    EXPECT_FALSE(wglUseFontOutlinesA(hdc, 'A', 4, base, 0, 0, 7, metrics));
    EXPECT_TRUE(Capture([&] { glCallList(base); }).polygons.empty());
    glDeleteLists(base, 4);

    int notAFont = 0;
    EXPECT_EQ(SelectObject(hdc, &notAFont), nullptr);
    EXPECT_EQ(SelectObject(nullptr, nullptr), nullptr);
    EXPECT_FALSE(DeleteObject(&notAFont));
    EXPECT_FALSE(DeleteObject(nullptr));
}

TEST_F(FontTest, AFontIsDeletedOnlyOnceAndNotWhileSelected)
{
    HFONT a = CreateFontA(-12, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                          CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "DejaVu Sans");
    HFONT b = CreateFontA(-12, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                          CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    HGDIOBJ original = SelectObject(hdc, a);
    EXPECT_EQ(SelectObject(hdc, b), a) << "the previous selection comes back";
    EXPECT_EQ(SelectObject(hdc, a), b);
    EXPECT_FALSE(DeleteObject(a)) << "still selected";

    // Outlines as lines: one closed loop per contour.
    GLYPHMETRICSFLOAT m[1];
    GLuint list = glGenLists(1);
    EXPECT_TRUE(wglUseFontOutlinesA(hdc, 'O', 1, list, 0, 0, WGL_FONT_LINES, m));
    Feedback f = Capture([&] { glCallList(list); });
    EXPECT_TRUE(f.polygons.empty());
    EXPECT_GT(f.lines, 8);
    EXPECT_GT(m[0].gmfCellIncX, 0.3f);
    glDeleteLists(list, 1);

    SelectObject(hdc, original ? original : b);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_FALSE(DeleteObject(a)) << "a second delete is refused";
    if (original) {
        EXPECT_TRUE(DeleteObject(b));
    }
}
