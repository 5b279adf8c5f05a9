// The outline-font calls of a platform without GDI: a font handle keeps the
// request, and wglUseFontOutlinesA compiles the glyphs the outline code makes
// (OutlineGlyphs.h) into one display list per code.

#include "toolkit/platform/common/FontHandles.h"
#include "toolkit/platform/common/OutlineGlyphs.h"

#include "toolkit/platform/GL.h"

#include <algorithm>
#include <vector>

namespace {

void EmptyList(DWORD list)
{
    glNewList(list, GL_COMPILE);
    glEndList();
}

} // namespace

BOOL wglUseFontOutlinesA(HDC hdc, DWORD first, DWORD count, DWORD listBase, float deviation, float extrusion,
                         int format, LPGLYPHMETRICSFLOAT lpgmf)
{
    if (lpgmf)
        std::fill(lpgmf, lpgmf + count, GLYPHMETRICSFLOAT{});
    HFONT__* font = hdc ? TovarPlatform::AsFont(hdc->selected) : nullptr;
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
