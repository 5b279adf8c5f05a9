#pragma once

// OpenGL 1.1 and GLU, with whatever the platform needs included first.
#include "toolkit/platform/Platform.h"

#include <GL/gl.h>
#include <GL/glu.h>
