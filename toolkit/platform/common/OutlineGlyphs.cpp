#include "toolkit/platform/common/OutlineGlyphs.h"

#include "toolkit/platform/GL.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <string>
#include <vector>

namespace TovarPlatform {

namespace {

// The Unicode character of a Windows-1252 code, or 0 where the code is a
// control or undefined: those get no glyph at all.
unsigned long CodePoint(unsigned long code)
{
    static const unsigned short c1[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (code < 0x20 || code == 0x7F)
        return 0;
    if (code >= 0x80 && code < 0xA0)
        return c1[code - 0x80];
    return code; // Latin-1 and, past 255, Unicode as it stands
}

struct FaceFile {
    std::string path;
    int index = 0;
    bool embolden = false; // fontconfig asks for synthetic bold when the family has none
};

bool MatchFace(const OutlineFontRequest& font, FaceFile& out)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    if (!font.face.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.face.c_str()));
    if (font.weight > 0)
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::min(font.weight, 1000)));
    if (font.italic)
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ITALIC);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;

    FcChar8* file = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        out.path = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            out.index = index;
        FcBool embolden = FcFalse;
        if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
            out.embolden = embolden != FcFalse;
    }
    FcPatternDestroy(match);
    return found;
}

// ---- Outline to contours -------------------------------------------------------

typedef std::array<GLdouble, 3> Point;
typedef std::vector<Point> Contour;

struct Flattener {
    std::vector<Contour> contours;
    double scale;     // font units to em
    double tolerance; // largest chord error allowed, font units
    double cx = 0.0, cy = 0.0;

    void Add(double x, double y)
    {
        contours.back().push_back(Point{x * scale, y * scale, 0.0});
        cx = x;
        cy = y;
    }

    // Segments enough to keep the chord within tolerance, given the largest
    // second difference of the control polygon.
    int Steps(double secondDifference, double factor) const
    {
        double n = std::ceil(std::sqrt(factor * secondDifference / tolerance));
        return static_cast<int>(std::clamp(n, 1.0, 64.0));
    }

    static int MoveTo(const FT_Vector* to, void* user)
    {
        auto* f = static_cast<Flattener*>(user);
        f->contours.emplace_back();
        f->Add(to->x, to->y);
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user)
    {
        static_cast<Flattener*>(user)->Add(to->x, to->y);
        return 0;
    }
    static int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user)
    {
        auto* f = static_cast<Flattener*>(user);
        double x0 = f->cx, y0 = f->cy;
        double dd = std::hypot(x0 - 2.0 * c->x + to->x, y0 - 2.0 * c->y + to->y);
        int n = f->Steps(dd, 0.25);
        for (int i = 1; i <= n; ++i) {
            double t = double(i) / n, u = 1.0 - t;
            f->Add(u * u * x0 + 2 * u * t * c->x + t * t * to->x,
                   u * u * y0 + 2 * u * t * c->y + t * t * to->y);
        }
        return 0;
    }
    static int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
    {
        auto* f = static_cast<Flattener*>(user);
        double x0 = f->cx, y0 = f->cy;
        double d1 = std::hypot(x0 - 2.0 * c1->x + c2->x, y0 - 2.0 * c1->y + c2->y);
        double d2 = std::hypot(c1->x - 2.0 * c2->x + to->x, c1->y - 2.0 * c2->y + to->y);
        int n = f->Steps(std::max(d1, d2), 0.75);
        for (int i = 1; i <= n; ++i) {
            double t = double(i) / n, u = 1.0 - t;
            double a = u * u * u, b = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
            f->Add(a * x0 + b * c1->x + cc * c2->x + d * to->x,
                   a * y0 + b * c1->y + cc * c2->y + d * to->y);
        }
        return 0;
    }
};

bool Flatten(FT_Outline& outline, double unitsPerEm, double tolerance, std::vector<Contour>& out)
{
    Flattener f;
    f.scale = 1.0 / unitsPerEm;
    f.tolerance = tolerance;
    FT_Outline_Funcs funcs = {};
    funcs.move_to = &Flattener::MoveTo;
    funcs.line_to = &Flattener::LineTo;
    funcs.conic_to = &Flattener::ConicTo;
    funcs.cubic_to = &Flattener::CubicTo;
    if (FT_Outline_Decompose(&outline, &funcs, &f) != 0)
        return false;
    for (Contour& c : f.contours) {
        // Contours close by themselves; a repeated start point is only an empty edge.
        if (c.size() > 1 && c.front() == c.back())
            c.pop_back();
    }
    out.swap(f.contours);
    return true;
}

// ---- Contours to triangles ------------------------------------------------------

struct Tessellation {
    std::vector<GLdouble> triangles; // x, y, z per vertex, three vertices a triangle
    std::deque<Point> combined;      // vertices made at crossings; freed with this object
    bool failed = false;

    static void GLAPIENTRY Vertex(void* vertex, void* data)
    {
        const GLdouble* v = static_cast<const GLdouble*>(vertex);
        auto& t = static_cast<Tessellation*>(data)->triangles;
        t.insert(t.end(), v, v + 3);
    }
    static void GLAPIENTRY Combine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* data)
    {
        auto* self = static_cast<Tessellation*>(data);
        self->combined.push_back(Point{coords[0], coords[1], coords[2]});
        *out = self->combined.back().data();
    }
    static void GLAPIENTRY Error(GLenum, void* data) { static_cast<Tessellation*>(data)->failed = true; }
    // Registering an edge-flag callback makes the tessellator emit plain triangles only.
    static void GLAPIENTRY EdgeFlag(GLboolean, void*) {}
};

bool Tessellate(GLUtesselator* tess, const std::vector<Contour>& contours, bool evenOdd,
                std::vector<GLdouble>& triangles)
{
    Tessellation t;
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, evenOdd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    gluTessBeginPolygon(tess, &t);
    for (const Contour& c : contours) {
        if (c.size() < 3)
            continue;
        gluTessBeginContour(tess);
        for (const Point& p : c)
            gluTessVertex(tess, const_cast<GLdouble*>(p.data()), const_cast<GLdouble*>(p.data()));
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    if (t.failed || t.triangles.size() % 9 != 0)
        return false;
    triangles.swap(t.triangles);
    return true;
}

} // namespace

bool MakeOutlineGlyphs(const OutlineFontRequest& font, DWORD first, DWORD count, float deviation, int format,
                       std::vector<OutlineGlyph>& glyphs, std::string* faceFile)
{
    glyphs.clear();
    FaceFile file;
    if (!MatchFace(font, file))
        return false;

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return false;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0 || !FT_IS_SCALABLE(face)
        || face->units_per_EM == 0) {
        if (face)
            FT_Done_Face(face);
        FT_Done_FreeType(library);
        return false;
    }
    GLUtesselator* tess = gluNewTess();
    if (!tess) {
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        return false;
    }
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&Tessellation::Vertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&Tessellation::Combine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&Tessellation::Error));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&Tessellation::EdgeFlag));
    if (faceFile)
        *faceFile = file.path;

    const double upem = face->units_per_EM;
    // Deviation 0 means one design unit, as fine as the font itself is drawn.
    const double tolerance = deviation > 0.0f ? deviation * upem : 1.0;
    const FT_Pos bolder = face->units_per_EM / 24;

    glyphs.resize(count);
    for (DWORD i = 0; i < count; ++i) {
        OutlineGlyph& glyph = glyphs[i];
        unsigned long cp = CodePoint(first + i);
        if (cp == 0)
            continue;
        // A character the face lacks is drawn as its missing-glyph shape (index 0).
        FT_UInt index = FT_Get_Char_Index(face, cp);
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) != 0
            || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
            glyph.failed = true;
            continue;
        }
        glyph.present = true;
        FT_Outline& outline = face->glyph->outline;
        double advance = static_cast<double>(face->glyph->metrics.horiAdvance);
        if (file.embolden && FT_Outline_EmboldenXY(&outline, bolder, bolder) == 0)
            advance += bolder;

        bool shaped = Flatten(outline, upem, tolerance, glyph.contours);
        if (shaped && format == WGL_FONT_POLYGONS)
            shaped = Tessellate(tess, glyph.contours, (outline.flags & FT_OUTLINE_EVEN_ODD_FILL) != 0,
                                glyph.triangles);
        if (!shaped || format == WGL_FONT_POLYGONS)
            glyph.contours.clear();
        if (!shaped)
            glyph.triangles.clear();
        glyph.failed = !shaped;

        GLYPHMETRICSFLOAT& m = glyph.metrics;
        if (outline.n_points > 0) {
            FT_BBox box;
            FT_Outline_Get_BBox(&outline, &box);
            m.gmfBlackBoxX = static_cast<float>((box.xMax - box.xMin) / upem);
            m.gmfBlackBoxY = static_cast<float>((box.yMax - box.yMin) / upem);
            m.gmfptGlyphOrigin.x = static_cast<float>(box.xMin / upem);
            m.gmfptGlyphOrigin.y = static_cast<float>(box.yMax / upem);
        }
        m.gmfCellIncX = static_cast<float>(advance / upem);
        m.gmfCellIncY = 0.0f;
    }

    gluDeleteTess(tess);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

} // namespace TovarPlatform
