#pragma once

#include "toolkit/platform/Platform.h"

namespace TovarToolkit {

// An outline font as 256 display lists, one per character code, and
// right-aligned formatted text drawn with them.
class TovarFont {
public:
    unsigned int FontListID; // list FontListID + c draws character c
    HFONT hOldFont;
    GLYPHMETRICSFLOAT GlyphInfo[256];

    unsigned int CreateGLFont(const char* FontName);
    // printf-style text whose right end lies at x, on the baseline through (x, y, z).
    void DrawTextA(float x, float y, float z, const char* strString, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 5, 6)))
#endif
        ;
    void DestroyFont();
};

} // namespace TovarToolkit
