#pragma once

// The device context of a backend without GDI: the window it belongs to, the
// pixel format set on it and the font selected into it. The window code makes
// it, the GL context reads its format and the outline font its selection, so
// it sits where all can see it.

#include "toolkit/platform/Platform.h"

struct HDC__ {
    HWND window = nullptr;
    HGDIOBJ selected = nullptr; // the font that wglUseFontOutlinesA draws from
    int pixelFormat = 0;        // 0 until SetPixelFormat; a window takes one format only
    PIXELFORMATDESCRIPTOR pfd = {};
};
