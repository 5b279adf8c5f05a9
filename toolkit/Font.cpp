#include "toolkit/Font.h"

#include "toolkit/Window.h"
#include "toolkit/platform/GL.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace TovarToolkit {

unsigned int TovarFont::CreateGLFont(const char* FontName)
{
    FontListID = glGenLists(256);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, FontName);
    SelectObject(hdc, font);
    // Codes 0 to 254: the list and metrics of code 255 stay empty.
    if (!FontListID
        || !wglUseFontOutlinesA(hdc, 0, 255, FontListID, 0.0f, 0.0f, WGL_FONT_POLYGONS, GlyphInfo))
        return 0;
    return FontListID;
}

void TovarFont::DrawTextA(float x, float y, float z, const char* strString, ...)
{
    if (!strString)
        return;

    char text[256];
    va_list args;
    va_start(args, strString);
    int written = std::vsnprintf(text, sizeof(text), strString, args);
    va_end(args);
    if (written < 0)
        text[0] = '\0';

    float length = 0.0f;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c)
        length += GlyphInfo[*c].gmfCellIncX;

    glTranslatef(x - length, y, z);
    // List base 0 would run lists 0 to 255, which belong to whoever made them:
    // a font without lists draws nothing.
    if (FontListID != 0) {
        glPushAttrib(GL_LIST_BIT);
        glListBase(FontListID);
        glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
        glPopAttrib();
    }
    glTranslatef(-(x - length), -y, -z);
}

void TovarFont::DestroyFont()
{
    // Deleting from base 0 would take lists 1 to 255 of somebody else.
    if (FontListID == 0)
        return;
    glDeleteLists(FontListID, 256);
    FontListID = 0;
}

} // namespace TovarToolkit
