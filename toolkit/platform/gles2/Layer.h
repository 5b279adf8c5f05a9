#pragma once

// The fixed-function GL 1.x subset the toolkit and the game call, drawn with
// OpenGL ES 2 (WebGL 1 in the browser). The GL 1.x entry points themselves
// (glBegin, glCallLists, gluLookAt...) are defined by this folder under their
// own names; this header is what a backend needs to bind them to a context.
//
// How it draws:
// - matrices are kept and multiplied here, in floats, in the order a desktop
//   GL multiplies them;
// - immediate mode, display lists and small arrays are transformed here and
//   written into one vertex stream per frame, uploaded once (only the part
//   that changed since the last frame); a draw is issued only where the
//   texture, blending, depth, culling or the program changes;
// - large indexed arrays (a creature) keep their data in buffers that are
//   reused while their contents stay the same, compared byte for byte, so
//   a pose uploads its positions once however many creatures show it;
// - one small program per combination of texturing and alpha test in use,
//   compiled when first needed;
// - GL state is tracked here and sent only where it changes.
//
// The layer reaches the real GLES2 only through a table of entry points,
// because several of its own GL 1.x names are also GLES2 names
// (glBindTexture, glDrawArrays, glViewport...). In the browser the table is
// Emscripten's emscripten_gl* functions; natively (the tests) it comes from
// eglGetProcAddress, and the layer's own names are renamed (Renamed.h) so
// that it can live beside the desktop GL in one program.

#if !defined(GL_ES_VERSION_2_0)
#include "toolkit/platform/GL.h"
#endif

namespace TovarGLES2 {

// The GLES2 entry points the layer calls: X(return type, name without "gl",
// parameters).
#define TOVAR_GLES2_FUNCTIONS(X)                                                                            \
    X(void, AttachShader, (GLuint program, GLuint shader))                                                  \
    X(void, BindAttribLocation, (GLuint program, GLuint index, const GLchar* name))                         \
    X(void, BindBuffer, (GLenum target, GLuint buffer))                                                     \
    X(void, BindTexture, (GLenum target, GLuint texture))                                                   \
    X(void, BlendFunc, (GLenum sfactor, GLenum dfactor))                                                    \
    X(void, BufferData, (GLenum target, GLsizeiptr size, const void* data, GLenum usage))                   \
    X(void, BufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const void* data))             \
    X(void, Clear, (GLbitfield mask))                                                                       \
    X(void, ClearColor, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha))                          \
    X(void, ClearDepthf, (GLfloat depth))                                                                   \
    X(void, ColorMask, (GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha))                   \
    X(void, CompileShader, (GLuint shader))                                                                 \
    X(GLuint, CreateProgram, (void))                                                                        \
    X(GLuint, CreateShader, (GLenum type))                                                                  \
    X(void, CullFace, (GLenum mode))                                                                        \
    X(void, DeleteBuffers, (GLsizei n, const GLuint* buffers))                                              \
    X(void, DeleteProgram, (GLuint program))                                                                \
    X(void, DeleteShader, (GLuint shader))                                                                  \
    X(void, DeleteTextures, (GLsizei n, const GLuint* textures))                                            \
    X(void, DepthFunc, (GLenum func))                                                                       \
    X(void, DepthMask, (GLboolean flag))                                                                    \
    X(void, DepthRangef, (GLfloat n, GLfloat f))                                                            \
    X(void, Disable, (GLenum cap))                                                                          \
    X(void, DisableVertexAttribArray, (GLuint index))                                                       \
    X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count))                                          \
    X(void, DrawElements, (GLenum mode, GLsizei count, GLenum type, const void* indices))                   \
    X(void, Enable, (GLenum cap))                                                                           \
    X(void, EnableVertexAttribArray, (GLuint index))                                                        \
    X(void, Finish, (void))                                                                                 \
    X(void, FrontFace, (GLenum mode))                                                                       \
    X(void, GenBuffers, (GLsizei n, GLuint* buffers))                                                       \
    X(void, GenTextures, (GLsizei n, GLuint* textures))                                                     \
    X(GLenum, GetError, (void))                                                                             \
    X(void, GetIntegerv, (GLenum pname, GLint* data))                                                       \
    X(void, GetFloatv, (GLenum pname, GLfloat* data))                                                       \
    X(void, GetProgramiv, (GLuint program, GLenum pname, GLint* params))                                    \
    X(void, GetProgramInfoLog, (GLuint program, GLsizei bufSize, GLsizei* length, GLchar* infoLog))         \
    X(void, GetShaderiv, (GLuint shader, GLenum pname, GLint* params))                                      \
    X(void, GetShaderInfoLog, (GLuint shader, GLsizei bufSize, GLsizei* length, GLchar* infoLog))           \
    X(const GLubyte*, GetString, (GLenum name))                                                             \
    X(GLint, GetUniformLocation, (GLuint program, const GLchar* name))                                      \
    X(void, LinkProgram, (GLuint program))                                                                  \
    X(void, PixelStorei, (GLenum pname, GLint param))                                                       \
    X(void, ReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,       \
                         void* pixels))                                                                     \
    X(void, ShaderSource, (GLuint shader, GLsizei count, const GLchar* const* string, const GLint* length)) \
    X(void, TexImage2D, (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height,   \
                         GLint border, GLenum format, GLenum type, const void* pixels))                     \
    X(void, TexParameteri, (GLenum target, GLenum pname, GLint param))                                      \
    X(void, TexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width,        \
                            GLsizei height, GLenum format, GLenum type, const void* pixels))                \
    X(void, Uniform1f, (GLint location, GLfloat v0))                                                        \
    X(void, Uniform1i, (GLint location, GLint v0))                                                          \
    X(void, UniformMatrix4fv, (GLint location, GLsizei count, GLboolean transpose, const GLfloat* value))   \
    X(void, UseProgram, (GLuint program))                                                                   \
    X(void, VertexAttrib4f, (GLuint index, GLfloat x, GLfloat y, GLfloat z, GLfloat w))                     \
    X(void, VertexAttribPointer, (GLuint index, GLint size, GLenum type, GLboolean normalized,              \
                                  GLsizei stride, const void* pointer))                                     \
    X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height))

struct Functions {
#define TOVAR_GLES2_POINTER(ret, name, params) ret(*name) params = nullptr;
    TOVAR_GLES2_FUNCTIONS(TOVAR_GLES2_POINTER)
#undef TOVAR_GLES2_POINTER
    // Instanced drawing (ANGLE_instanced_arrays in WebGL 1), where the
    // context has it: consecutive draws of one model under different
    // matrices then go as one draw. Null without.
    void (*DrawElementsInstanced)(GLenum mode, GLsizei count, GLenum type, const void* indices,
                                  GLsizei instances) = nullptr;
    void (*DrawArraysInstanced)(GLenum mode, GLint first, GLsizei count, GLsizei instances) = nullptr;
    void (*VertexAttribDivisor)(GLuint index, GLuint divisor) = nullptr;
};

// Binds the layer to the context these functions draw into, which must be
// current, with every GL 1.x state at its initial value. False if an entry
// point is missing; the layer then draws nothing.
bool Start(const Functions& gl, int width, int height);
// Forgets the context: it was destroyed, or the browser lost it. Its GL
// objects went with it, so nothing is deleted, and later calls change the
// layer's state but reach no GL. Display lists stay: they are the layer's own.
void Stop();
// Sends what the frame has recorded so far. The buffer swap calls it;
// glFlush, glFinish, glClear and glReadPixels do too.
void Flush();

// The browser's WebGL 1 entry points (defined in the browser build only),
// with instanced drawing where the context has ANGLE_instanced_arrays on.
Functions WebGLFunctions(bool instancing);

} // namespace TovarGLES2
