#pragma once

// Display lists for a GL that has none: the browser's legacy GL emulation
// lacks glNewList and glPushAttrib, and the font is made of display lists.
//
// A list records what the font puts in it: glBegin/glEnd with glVertex3f,
// glVertex3d and glVertex3dv, and glTranslatef. Each glBegin/glEnd becomes a
// range of one float vertex array, so replaying a list is one glDrawArrays per
// primitive run (consecutive runs of independent triangles, lines or points
// are merged) and one glTranslatef per translation, instead of a GL call per
// vertex. Only those calls are recorded; any other GL call made between
// glNewList and glEndList runs at once, and a glCallList made while recording
// runs at once too instead of being recorded.
//
// glPushAttrib/glPopAttrib keep the list base (GL_LIST_BIT) and nothing else:
// the emulation cannot report the rest of that state reliably (glIsEnabled
// says 0 for GL_TEXTURE_2D whatever it is), and the toolkit pushes only
// GL_LIST_BIT.
//
// Replay draws from a client vertex array: it enables GL_VERTEX_ARRAY, turns
// the colour, normal and texture-coordinate arrays off for the draw (a list
// draws with the current colour, as glVertex does), and puts every client
// array and the vertex pointer back as they were.
//
// Everything here is GL 1.1, so the same code runs on a desktop GL too, where
// its lists can be checked against real ones.

// The platform header first, as GL.h has it: it settles APIENTRY before GL does.
#include "toolkit/platform/Platform.h"

#include <GL/gl.h>

GLuint TovarWebGL_GenLists(GLsizei range);
void TovarWebGL_NewList(GLuint list, GLenum mode);
void TovarWebGL_EndList();
void TovarWebGL_CallList(GLuint list);
void TovarWebGL_CallLists(GLsizei n, GLenum type, const GLvoid* lists);
void TovarWebGL_ListBase(GLuint base);
void TovarWebGL_DeleteLists(GLuint list, GLsizei range);
GLboolean TovarWebGL_IsList(GLuint list);
void TovarWebGL_PushAttrib(GLbitfield mask);
void TovarWebGL_PopAttrib();

void TovarWebGL_Begin(GLenum mode);
void TovarWebGL_End();
void TovarWebGL_Vertex3f(GLfloat x, GLfloat y, GLfloat z);
void TovarWebGL_Vertex3d(GLdouble x, GLdouble y, GLdouble z);
void TovarWebGL_Vertex3dv(const GLdouble* v);
void TovarWebGL_Translatef(GLfloat x, GLfloat y, GLfloat z);

// The toolkit's own code calls the GL names; these send them here. The
// source that implements them defines TOVAR_WEBGL_NO_ROUTING to reach the
// real GL.
#ifndef TOVAR_WEBGL_NO_ROUTING
#define glGenLists TovarWebGL_GenLists
#define glNewList TovarWebGL_NewList
#define glEndList TovarWebGL_EndList
#define glCallList TovarWebGL_CallList
#define glCallLists TovarWebGL_CallLists
#define glListBase TovarWebGL_ListBase
#define glDeleteLists TovarWebGL_DeleteLists
#define glIsList TovarWebGL_IsList
#define glPushAttrib TovarWebGL_PushAttrib
#define glPopAttrib TovarWebGL_PopAttrib
#define glBegin TovarWebGL_Begin
#define glEnd TovarWebGL_End
#define glVertex3f TovarWebGL_Vertex3f
#define glVertex3d TovarWebGL_Vertex3d
#define glVertex3dv TovarWebGL_Vertex3dv
#define glTranslatef TovarWebGL_Translatef
#endif
