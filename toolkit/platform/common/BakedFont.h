#pragma once

// The baked outline font: the triangles and metrics the desktop's outline
// code makes for each character code, written by tools/fontbake and read by
// the browser build, which has neither FreeType nor a tessellator. No GL and
// no file system here, so it is built and tested natively too.
//
// The file, little-endian throughout:
//   magic "TVFB", u32 version (1), u32 first code, u32 number of codes;
//   then per code: u8 flags (1: the code has a glyph, 2: the outline code
//   failed on it), six f32 metrics (black box x and y, glyph origin x and y,
//   cell increments x and y, in em), u32 number of triangles, and per
//   triangle three vertices of two f32 (x, y; glyphs are flat, z is 0).
// The file ends after the last code.

#include "toolkit/platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace TovarToolkit {

struct TovarBakedGlyph {
    bool present = false; // false: the list stays empty and the metrics zero
    bool failed = false;  // the outline code could not make it where it was baked
    GLYPHMETRICSFLOAT metrics = {};
    std::vector<float> vertices; // x, y per vertex, three vertices a triangle
};

struct TovarBakedFont {
    std::uint32_t first = 0; // the code of glyphs[0]
    std::vector<TovarBakedGlyph> glyphs;
};

const std::uint32_t kBakedFontVersion = 1;

// Decodes a whole baked font. On refusal `font` is left empty and `reason`
// says why, starting with `name`.
bool DecodeBakedFont(const unsigned char* bytes, std::size_t size, const std::string& name, TovarBakedFont& font,
                     std::string& reason);

// The bytes of a baked font. False, with a reason, for what the file cannot
// hold (a glyph whose vertices do not make whole triangles, a missing glyph
// with metrics or triangles, a value that is not finite).
bool EncodeBakedFont(const TovarBakedFont& font, std::vector<unsigned char>& bytes, std::string& reason);

} // namespace TovarToolkit
