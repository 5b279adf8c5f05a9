#pragma once

// OpenGL 1.1 and GLU, with whatever the platform needs included first.
#include "toolkit/platform/Platform.h"

#include <GL/gl.h>
#include <GL/glu.h>

#ifdef __EMSCRIPTEN__
// The browser's GL emulation lacks a few of the calls above; the web backend
// supplies them under the same names.
#include "toolkit/platform/web/GLCompat.h"
#endif
