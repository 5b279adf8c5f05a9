// GL 1.x calls outside the subset the toolkit and the game use. Each says
// so once on standard error and does nothing, instead of failing the link
// or drawing something else in silence.

#include "toolkit/platform/gles2/Internal.h"

using namespace TovarGLES2;

// `#name` is the name as written, before any renaming.
#define TOVAR_GLES2_UNSUPPORTED(name, params) \
    void GLAPIENTRY name params { Unsupported(#name); }

TOVAR_GLES2_UNSUPPORTED(glArrayElement, (GLint))
TOVAR_GLES2_UNSUPPORTED(glBitmap, (GLsizei, GLsizei, GLfloat, GLfloat, GLfloat, GLfloat, const GLubyte*))
TOVAR_GLES2_UNSUPPORTED(glClearStencil, (GLint))
TOVAR_GLES2_UNSUPPORTED(glClipPlane, (GLenum, const GLdouble*))
TOVAR_GLES2_UNSUPPORTED(glColorMaterial, (GLenum, GLenum))
TOVAR_GLES2_UNSUPPORTED(glCopyTexImage2D, (GLenum, GLint, GLenum, GLint, GLint, GLsizei, GLsizei, GLint))
TOVAR_GLES2_UNSUPPORTED(glCopyTexSubImage2D, (GLenum, GLint, GLint, GLint, GLint, GLint, GLsizei, GLsizei))
TOVAR_GLES2_UNSUPPORTED(glDrawBuffer, (GLenum))
TOVAR_GLES2_UNSUPPORTED(glDrawPixels, (GLsizei, GLsizei, GLenum, GLenum, const GLvoid*))
TOVAR_GLES2_UNSUPPORTED(glEdgeFlag, (GLboolean))
TOVAR_GLES2_UNSUPPORTED(glFogf, (GLenum, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glFogfv, (GLenum, const GLfloat*))
TOVAR_GLES2_UNSUPPORTED(glFogi, (GLenum, GLint))
TOVAR_GLES2_UNSUPPORTED(glGetTexImage, (GLenum, GLint, GLenum, GLenum, GLvoid*))
TOVAR_GLES2_UNSUPPORTED(glGetTexParameteriv, (GLenum, GLenum, GLint*))
TOVAR_GLES2_UNSUPPORTED(glInterleavedArrays, (GLenum, GLsizei, const GLvoid*))
TOVAR_GLES2_UNSUPPORTED(glLightf, (GLenum, GLenum, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glLightfv, (GLenum, GLenum, const GLfloat*))
TOVAR_GLES2_UNSUPPORTED(glLightModelfv, (GLenum, const GLfloat*))
TOVAR_GLES2_UNSUPPORTED(glLineStipple, (GLint, GLushort))
TOVAR_GLES2_UNSUPPORTED(glLineWidth, (GLfloat))
TOVAR_GLES2_UNSUPPORTED(glLogicOp, (GLenum))
TOVAR_GLES2_UNSUPPORTED(glMaterialf, (GLenum, GLenum, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glMaterialfv, (GLenum, GLenum, const GLfloat*))
TOVAR_GLES2_UNSUPPORTED(glPixelTransferf, (GLenum, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glPixelZoom, (GLfloat, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glPointSize, (GLfloat))
TOVAR_GLES2_UNSUPPORTED(glPolygonMode, (GLenum, GLenum))
TOVAR_GLES2_UNSUPPORTED(glPolygonOffset, (GLfloat, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glPopClientAttrib, (void))
TOVAR_GLES2_UNSUPPORTED(glPushClientAttrib, (GLbitfield))
TOVAR_GLES2_UNSUPPORTED(glRasterPos2f, (GLfloat, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glRasterPos2i, (GLint, GLint))
TOVAR_GLES2_UNSUPPORTED(glRasterPos3f, (GLfloat, GLfloat, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glReadBuffer, (GLenum))
TOVAR_GLES2_UNSUPPORTED(glRectf, (GLfloat, GLfloat, GLfloat, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glScissor, (GLint, GLint, GLsizei, GLsizei))
TOVAR_GLES2_UNSUPPORTED(glStencilFunc, (GLenum, GLint, GLuint))
TOVAR_GLES2_UNSUPPORTED(glStencilMask, (GLuint))
TOVAR_GLES2_UNSUPPORTED(glStencilOp, (GLenum, GLenum, GLenum))
TOVAR_GLES2_UNSUPPORTED(glTexEnvf, (GLenum, GLenum, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glTexEnvfv, (GLenum, GLenum, const GLfloat*))
TOVAR_GLES2_UNSUPPORTED(glTexGenf, (GLenum, GLenum, GLfloat))
TOVAR_GLES2_UNSUPPORTED(glTexGenfv, (GLenum, GLenum, const GLfloat*))
TOVAR_GLES2_UNSUPPORTED(glTexImage1D, (GLenum, GLint, GLint, GLsizei, GLint, GLenum, GLenum, const GLvoid*))

GLint GLAPIENTRY glRenderMode(GLenum mode)
{
    if (mode != GL_RENDER)
        Unsupported("glRenderMode");
    return 0;
}
