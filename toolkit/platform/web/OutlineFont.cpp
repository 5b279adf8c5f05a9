// The outline-font calls in the browser, which has neither FreeType nor a
// tessellator: the glyphs come baked into Fonts/HUD.font by tools/fontbake,
// made on the desktop by the desktop's own outline code for the HUD's face, so
// the same triangles and metrics are compiled into the same lists here. That
// one face stands in for whatever face is asked for, as fontconfig
// substitutes a face that is missing.

#include "toolkit/platform/common/BakedFont.h"
#include "toolkit/platform/common/FontHandles.h"
#include "toolkit/platform/GL.h"

#include "toolkit/File.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kBakedFontFile = "Fonts\\HUD.font";

void EmptyList(DWORD list)
{
    glNewList(list, GL_COMPILE);
    glEndList();
}

bool ReadBakedFont(TovarToolkit::TovarBakedFont& font)
{
    std::vector<unsigned char> bytes;
    std::string reason;
    if (!TovarToolkit::ReadWholeFile(kBakedFontFile, bytes, &reason)
        || !TovarToolkit::DecodeBakedFont(bytes.data(), bytes.size(), TovarToolkit::NativePath(kBakedFontFile),
                                          font, reason)) {
        // The font reports no failure of its own; without this line a
        // missing HUD would have no explanation anywhere.
        std::fprintf(stderr, "%s\n", reason.c_str());
        return false;
    }
    return true;
}

} // namespace

BOOL wglUseFontOutlinesA(HDC hdc, DWORD first, DWORD count, DWORD listBase, float deviation, float extrusion,
                         int format, LPGLYPHMETRICSFLOAT lpgmf)
{
    if (lpgmf)
        std::fill(lpgmf, lpgmf + count, GLYPHMETRICSFLOAT{});
    HFONT__* font = hdc ? TovarPlatform::AsFont(hdc->selected) : nullptr;
    // Only filled, flat glyphs are baked.
    if (!font || format != WGL_FONT_POLYGONS || extrusion != 0.0f || !(deviation >= 0.0f))
        return FALSE;

    TovarToolkit::TovarBakedFont baked;
    if (!ReadBakedFont(baked))
        return FALSE;

    BOOL ok = TRUE;
    for (DWORD i = 0; i < count; ++i) {
        DWORD list = listBase + i;
        DWORD code = first + i;
        if (code < baked.first || code - baked.first >= baked.glyphs.size()) {
            EmptyList(list); // not baked: the desktop would have made it
            ok = FALSE;
            continue;
        }
        const TovarToolkit::TovarBakedGlyph& glyph = baked.glyphs[code - baked.first];
        if (glyph.failed)
            ok = FALSE;
        if (!glyph.present) {
            EmptyList(list);
            continue;
        }
        if (lpgmf)
            lpgmf[i] = glyph.metrics;

        glNewList(list, GL_COMPILE);
        if (!glyph.vertices.empty()) {
            glBegin(GL_TRIANGLES);
            for (size_t v = 0; v < glyph.vertices.size(); v += 2)
                glVertex3f(glyph.vertices[v], glyph.vertices[v + 1], 0.0f);
            glEnd();
        }
        glTranslatef(glyph.metrics.gmfCellIncX, 0.0f, 0.0f);
        glEndList();
    }
    return ok;
}
