#pragma once

// The glyph step of the outline font: fontconfig picks the face for a
// requested name and weight, FreeType gives each glyph's outline, which is
// flattened into contours and, for filled glyphs, tessellated by GLU into
// triangles, with the glyph's metrics in em units. wglUseFontOutlinesA
// compiles the result into display lists; the font bake tool writes it to a
// file for the browser, which has neither FreeType nor GLU.

#include "toolkit/platform/Platform.h"

#include <array>
#include <string>
#include <vector>

namespace TovarPlatform {

// What a logical font asks for. Its height plays no part: outlines come in
// em units.
struct OutlineFontRequest {
    std::string face;
    int weight = 0;
    bool italic = false;
};

typedef std::array<double, 3> OutlinePoint;

struct OutlineGlyph {
    // False for a code without a glyph (controls, codes Windows-1252 leaves
    // undefined) and for a glyph the face would not load: its list stays
    // empty and its metrics zero.
    bool present = false;
    // The face would not load the glyph, or its outline could not be
    // flattened or tessellated (a present glyph then only advances).
    bool failed = false;
    GLYPHMETRICSFLOAT metrics = {};   // gmfCellIncX is also the list's advance
    std::vector<double> triangles;     // WGL_FONT_POLYGONS: x, y, z per vertex, three vertices a triangle
    std::vector<std::vector<OutlinePoint>> contours; // WGL_FONT_LINES: one closed loop each
};

// The glyphs of the Windows-1252 codes first to first + count - 1, one entry
// per code, in the given format (WGL_FONT_POLYGONS or WGL_FONT_LINES), flat,
// with a chord error of at most `deviation` em (0: one design unit). False,
// with `glyphs` empty, when no face matches or it cannot be read; `faceFile`,
// when given, is set to the file of the face used.
bool MakeOutlineGlyphs(const OutlineFontRequest& font, DWORD first, DWORD count, float deviation, int format,
                       std::vector<OutlineGlyph>& glyphs, std::string* faceFile = nullptr);

} // namespace TovarPlatform
