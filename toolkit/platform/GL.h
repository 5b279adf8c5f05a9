#pragma once

// OpenGL 1.1 and GLU, with whatever the platform needs included first. Where
// the system has no GL 1.x of its own, the backend supplies these calls.
#include "toolkit/platform/Platform.h"

#include <GL/gl.h>
#include <GL/glu.h>
