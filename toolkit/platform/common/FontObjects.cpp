// The GDI font calls of a platform without GDI, the same for every such
// backend: a handle keeps the request as it is (FontHandles.h), and the
// backend's wglUseFontOutlinesA decides what is drawn from it.

#include "toolkit/platform/common/FontHandles.h"

HFONT CreateFontA(int cHeight, int, int, int, int cWeight, DWORD bItalic, DWORD, DWORD, DWORD, DWORD, DWORD,
                  DWORD, DWORD, LPCSTR pszFaceName)
{
    return TovarPlatform::NewFont(cHeight, cWeight, bItalic != 0, pszFaceName);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) { return TovarPlatform::SelectFont(hdc, h); }

BOOL DeleteObject(HGDIOBJ ho) { return TovarPlatform::DeleteFont(ho); }
