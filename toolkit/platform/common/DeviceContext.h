#pragma once

// The device context of a backend without GDI: the window it belongs to and
// the font selected into it. The window code makes it, the outline font reads
// the selection, so it sits where both can see it.

#include "toolkit/platform/Platform.h"

struct HDC__ {
    HWND window = nullptr;
    HGDIOBJ selected = nullptr; // the font that wglUseFontOutlinesA draws from
};
