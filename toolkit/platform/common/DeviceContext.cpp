// Pixel formats where there is no GDI: one format, double-buffered RGBA for
// GL, which the backend's context then asks its own system for.

#include "toolkit/platform/common/DeviceContext.h"

int ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* ppfd)
{
    if (!hdc || !ppfd)
        return 0;
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((ppfd->dwFlags & needed) != needed || ppfd->iPixelType != PFD_TYPE_RGBA)
        return 0;
    return 1;
}

BOOL SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR* ppfd)
{
    if (!hdc || !ppfd || format != 1 || hdc->pixelFormat != 0)
        return FALSE;
    hdc->pixelFormat = format;
    hdc->pfd = *ppfd;
    return TRUE;
}
