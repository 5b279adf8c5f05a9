#pragma once

// The GL and GLU calls the toolkit makes that the browser's legacy GL
// emulation lacks or gets wrong, routed to our own versions: the matrix of
// gluLookAt (the emulation leaves the matrix as it was), mipmaps through
// glGenerateMipmap (there is no gluBuild2DMipmaps), read-back in RGB (WebGL
// reads RGBA only), texture deletion once the context is gone, and quiet
// versions of the fixed-state calls WebGL has no state for (the emulation
// answers them with a TODO or a GL error, where the desktop's defaults are
// what WebGL does anyway). Display lists and the attribute stack come from
// DisplayLists.h. Included by toolkit/platform/GL.h after gl.h and glu.h.

#include <GL/gl.h>
#include <GL/glu.h>

#include "toolkit/platform/web/DisplayLists.h"

namespace TovarWebGL {

void LookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
            GLdouble upX, GLdouble upY, GLdouble upZ);
GLint Build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                     GLenum type, const void* data);
void ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);
// Without a current context a desktop GL ignores the call; the emulation
// would fail on it. Textures are freed by destructors that may run after the
// window and its context are gone.
void DeleteTextures(GLsizei n, const GLuint* textures);
// WebGL always shades smoothly.
void ShadeModel(GLenum mode);
// WebGL has only the mipmap hint; it always corrects perspective.
void Hint(GLenum target, GLenum mode);

} // namespace TovarWebGL

#define gluLookAt TovarWebGL::LookAt
#define gluBuild2DMipmaps TovarWebGL::Build2DMipmaps
#define glReadPixels TovarWebGL::ReadPixels
#define glDeleteTextures TovarWebGL::DeleteTextures
#define glShadeModel TovarWebGL::ShadeModel
#define glHint TovarWebGL::Hint
