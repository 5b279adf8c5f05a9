// The outline-font calls of a platform without GDI: a font handle keeps the
// request, and wglUseFontOutlinesA compiles the glyphs the outline code makes
// (OutlineGlyphs.h) into one display list per code.

#include "toolkit/platform/common/DeviceContext.h"
#include "toolkit/platform/common/OutlineGlyphs.h"

#include "toolkit/platform/GL.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

struct HFONT__ {
    std::string face;
    int height = 0;
    int weight = 0;
    bool italic = false;
    int selections = 0; // device contexts it is selected into; those keep it alive
};

namespace {

// Every font handle we handed out and did not delete; anything else passed in
// as a font is refused instead of being dereferenced. Fonts still selected at
// exit (the game never deletes its own) are released with the registry.
struct FontRegistry {
    std::set<HFONT__*> fonts;
    ~FontRegistry()
    {
        for (HFONT__* font : fonts)
            delete font;
    }
};

std::set<HFONT__*>& LiveFonts()
{
    static FontRegistry registry;
    return registry.fonts;
}

HFONT__* AsFont(HGDIOBJ object)
{
    if (!object)
        return nullptr;
    auto& fonts = LiveFonts();
    auto it = fonts.find(static_cast<HFONT__*>(object));
    return it == fonts.end() ? nullptr : *it;
}

void EmptyList(DWORD list)
{
    glNewList(list, GL_COMPILE);
    glEndList();
}

} // namespace

HFONT CreateFontA(int cHeight, int, int, int, int cWeight, DWORD bItalic, DWORD, DWORD, DWORD, DWORD, DWORD,
                  DWORD, DWORD, LPCSTR pszFaceName)
{
    // The request is kept as it is; the face is looked up when outlines are
    // asked for, and fontconfig substitutes when the name is not installed.
    HFONT__* font = new HFONT__;
    font->face = pszFaceName ? pszFaceName : "";
    font->height = cHeight;
    font->weight = cWeight;
    font->italic = bItalic != 0;
    LiveFonts().insert(font);
    return font;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    HFONT__* font = AsFont(h);
    if (!hdc || !font)
        return nullptr;
    HGDIOBJ previous = hdc->selected;
    if (previous == font)
        return previous;
    if (HFONT__* old = AsFont(previous))
        --old->selections;
    ++font->selections;
    hdc->selected = font;
    return previous;
}

BOOL DeleteObject(HGDIOBJ ho)
{
    HFONT__* font = AsFont(ho);
    if (!font || font->selections > 0)
        return FALSE; // unknown, or a device context still draws with it
    LiveFonts().erase(font);
    delete font;
    return TRUE;
}

BOOL wglUseFontOutlinesA(HDC hdc, DWORD first, DWORD count, DWORD listBase, float deviation, float extrusion,
                         int format, LPGLYPHMETRICSFLOAT lpgmf)
{
    if (lpgmf)
        std::fill(lpgmf, lpgmf + count, GLYPHMETRICSFLOAT{});
    HFONT__* font = hdc ? AsFont(hdc->selected) : nullptr;
    if (!font || (format != WGL_FONT_POLYGONS && format != WGL_FONT_LINES))
        return FALSE;
    // Only flat glyphs are made here.
    if (extrusion != 0.0f || !(deviation >= 0.0f))
        return FALSE;

    TovarPlatform::OutlineFontRequest request;
    request.face = font->face;
    request.weight = font->weight;
    request.italic = font->italic;
    std::vector<TovarPlatform::OutlineGlyph> glyphs;
    if (!TovarPlatform::MakeOutlineGlyphs(request, first, count, deviation, format, glyphs))
        return FALSE;

    BOOL ok = TRUE;
    for (DWORD i = 0; i < count; ++i) {
        const TovarPlatform::OutlineGlyph& glyph = glyphs[i];
        DWORD list = listBase + i;
        if (glyph.failed)
            ok = FALSE;
        if (!glyph.present) {
            EmptyList(list);
            continue;
        }
        if (lpgmf)
            lpgmf[i] = glyph.metrics;

        glNewList(list, GL_COMPILE);
        if (format == WGL_FONT_POLYGONS) {
            if (!glyph.triangles.empty()) {
                glBegin(GL_TRIANGLES);
                for (size_t v = 0; v < glyph.triangles.size(); v += 3)
                    glVertex3d(glyph.triangles[v], glyph.triangles[v + 1], glyph.triangles[v + 2]);
                glEnd();
            }
        } else {
            for (const auto& c : glyph.contours) {
                glBegin(GL_LINE_LOOP);
                for (const auto& p : c)
                    glVertex3dv(p.data());
                glEnd();
            }
        }
        glTranslatef(glyph.metrics.gmfCellIncX, 0.0f, 0.0f);
        glEndList();
    }
    return ok;
}
